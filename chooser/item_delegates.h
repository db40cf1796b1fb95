// How the chooser draws its own rows: the numbered lines of the line list ("#" lines as
// "Einstellung"/"Kommentar", "!" lines on silver, answers after "_" hidden) and the recent
// names (folder part on silver, file name in blue).
#pragma once

#include <QStyledItemDelegate>

class QListWidget;

namespace radevir {

// Draws a text with a background box as wide as the text, clipped to the row.
void DrawBoxedText(QPainter& painter, int x, const QRect& row, const QString& text,
                   const QColor& ink, const QColor& background);

// One recent name in `rect`; the file name sits on yellow when `selected`.
void PaintRecentEntry(QPainter& painter, const QRect& rect, const QString& name, bool selected);

// The line list's rows, drawn from the entry bytes stored under kEntryRole. The selection is
// light blue while the list has the focus, grey otherwise.
class LineListDelegate : public QStyledItemDelegate {
public:
    explicit LineListDelegate(QListWidget* list);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QListWidget* list_;
};

// The rows of the recent box's drop-down list.
class RecentEntryDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

}  // namespace radevir
