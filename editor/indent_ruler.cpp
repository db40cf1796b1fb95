#include "editor/indent_ruler.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <algorithm>

namespace radevir {

namespace {
constexpr int kHeight = 24;
constexpr double kGrab = 6;
}  // namespace

IndentRuler::IndentRuler(QTextEdit& editor, QWidget* parent) : QWidget(parent), editor_(editor) {
    setObjectName(QStringLiteral("Ruler"));
    setMouseTracking(true);
    setFixedHeight(kHeight);
    connect(&editor_, &QTextEdit::cursorPositionChanged, this, &IndentRuler::UpdateFromCursor);
    connect(editor_.horizontalScrollBar(), &QScrollBar::valueChanged, this, qOverload<>(&QWidget::update));
}

QSize IndentRuler::sizeHint() const { return {400, kHeight}; }

double IndentRuler::TextLeft() const {
    const double margin = editor_.document()->documentMargin();
    const int viewportX = mapFromGlobal(editor_.viewport()->mapToGlobal(QPoint(0, 0))).x();
    return viewportX + margin - editor_.horizontalScrollBar()->value();
}

double IndentRuler::TextRight() const {
    const double margin = editor_.document()->documentMargin();
    const double width = editor_.lineWrapMode() == QTextEdit::NoWrap ? editor_.viewport()->width()
                                                                      : editor_.document()->textWidth();
    return TextLeft() + std::max(0.0, width - 2 * margin);
}

void IndentRuler::UpdateFromCursor() {
    const QTextBlockFormat f = editor_.textCursor().blockFormat();
    left_ = f.leftMargin();
    first_ = f.textIndent();
    right_ = f.rightMargin();
    update();
}

void IndentRuler::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const double x0 = TextLeft();
    const double x1 = TextRight();
    p.fillRect(QRectF(x0, 4, x1 - x0, height() - 8), palette().base());
    p.setPen(palette().text().color());
    const double pxPerCm = logicalDpiX() / 2.54;
    QFont small = font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.7));
    p.setFont(small);
    for (int mm = 0; x0 + mm * pxPerCm / 10 <= x1; ++mm) {
        const double x = x0 + mm * pxPerCm / 10;
        if (mm % 10 == 0 && mm > 0) {
            p.drawText(QRectF(x - 10, 4, 20, height() - 8), Qt::AlignCenter, QString::number(mm / 10));
        } else if (mm % 5 == 0) {
            p.drawLine(QPointF(x, height() / 2.0 - 3), QPointF(x, height() / 2.0 + 3));
        } else {
            p.drawLine(QPointF(x, height() / 2.0 - 1), QPointF(x, height() / 2.0 + 1));
        }
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(palette().button());
    const auto triangle = [&](double x, bool down) {
        const double y = down ? 0 : height();
        const double tip = down ? 8 : height() - 8;
        const QPointF pts[] = {{x - 5, y}, {x + 5, y}, {x, tip}};
        p.drawPolygon(pts, 3);
    };
    triangle(x0 + left_ + first_, true);
    triangle(x0 + left_, false);
    triangle(x1 - right_, false);
}

IndentRuler::Marker IndentRuler::MarkerAt(const QPoint& pos) const {
    const double x0 = TextLeft();
    if (std::abs(pos.x() - (TextRight() - right_)) <= kGrab) return Marker::Right;
    const bool upper = pos.y() < height() / 2;
    if (upper && std::abs(pos.x() - (x0 + left_ + first_)) <= kGrab) return Marker::First;
    if (!upper && std::abs(pos.x() - (x0 + left_)) <= kGrab) return Marker::Left;
    if (std::abs(pos.x() - (x0 + left_ + first_)) <= kGrab) return Marker::First;
    if (std::abs(pos.x() - (x0 + left_)) <= kGrab) return Marker::Left;
    return Marker::None;
}

void IndentRuler::mousePressEvent(QMouseEvent* event) {
    dragging_ = MarkerAt(event->position().toPoint());
}

void IndentRuler::mouseMoveEvent(QMouseEvent* event) {
    const double x = event->position().x();
    if (dragging_ == Marker::None) {
        setCursor(MarkerAt(event->position().toPoint()) == Marker::None ? Qt::ArrowCursor : Qt::SizeHorCursor);
        return;
    }
    const double x0 = TextLeft();
    const double width = TextRight() - x0;
    switch (dragging_) {
        case Marker::First: first_ = std::clamp(x - x0, 0.0, width) - left_; break;
        case Marker::Left: {
            const double firstAt = left_ + first_;
            left_ = std::clamp(x - x0, 0.0, width - right_);
            first_ = firstAt - left_;  // the first line stays where it is
            break;
        }
        case Marker::Right: right_ = std::clamp(TextRight() - x, 0.0, width - left_); break;
        case Marker::None: break;
    }
    Apply();
    update();
}

void IndentRuler::mouseReleaseEvent(QMouseEvent*) { dragging_ = Marker::None; }

void IndentRuler::Apply() {
    QTextCursor c = editor_.textCursor();
    QTextBlockFormat f;
    f.setLeftMargin(left_);
    f.setTextIndent(first_);
    f.setRightMargin(right_);
    c.mergeBlockFormat(f);
}

}  // namespace radevir
