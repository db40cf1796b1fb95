// The ruler above the editor's text: a centimetre scale with the paragraph's first-line, left
// and right indents as markers that are dragged to change them.
#pragma once

#include <QWidget>

class QTextEdit;

namespace radevir {

class IndentRuler : public QWidget {
    Q_OBJECT
public:
    explicit IndentRuler(QTextEdit& editor, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    // Shows the indents of the caret's paragraph.
    void UpdateFromCursor();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Marker { None, First, Left, Right };
    double TextLeft() const;   // x of the text's left edge in ruler pixels
    double TextRight() const;
    Marker MarkerAt(const QPoint& p) const;
    void Apply();

    QTextEdit& editor_;
    double left_ = 0;    // indents in document pixels
    double first_ = 0;   // relative to left_
    double right_ = 0;
    Marker dragging_ = Marker::None;
};

}  // namespace radevir
