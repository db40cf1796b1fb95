#include "chooser/item_delegates.h"

#include <QFontMetrics>
#include <QListWidget>
#include <QPainter>

#include "chooser/chooser_style.h"
#include "chooser/list_entries.h"
#include "chooser/recent_files.h"
#include "support/codepage.h"

namespace radevir {
namespace {

// Gaps from a row's left edge and between a recent name's two parts, in pixels.
constexpr int kTextIndent_px = 2;
constexpr int kLookWordIndent_px = 4;
constexpr int kRecentPartGap_px = 8;

Bytes EntryBytes(const QModelIndex& index) {
    const QByteArray raw = index.data(kEntryRole).toByteArray();
    return Bytes(raw.constData(), static_cast<size_t>(raw.size()));
}

}  // namespace

void DrawBoxedText(QPainter& painter, int x, const QRect& row, const QString& text,
                   const QColor& ink, const QColor& background) {
    const QFontMetrics metrics = painter.fontMetrics();
    const QRect box(x, row.top(), metrics.horizontalAdvance(text), row.height());
    painter.fillRect(box.intersected(row), background);
    painter.setPen(ink);
    painter.drawText(QRect(x, row.top(), row.right() - x + 1, row.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

void PaintRecentEntry(QPainter& painter, const QRect& rect, const QString& name, bool selected) {
    painter.fillRect(rect, Qt::white);
    const RecentNameParts parts = SplitRecentName(ToCp1252(name));
    int x = rect.left() + kTextIndent_px;
    if (!parts.folder.empty()) {
        const QString folder = FromCp1252(parts.folder);
        DrawBoxedText(painter, x, rect, folder, Qt::black, kSilver);
        x += painter.fontMetrics().horizontalAdvance(folder) + kRecentPartGap_px;
    }
    DrawBoxedText(painter, x, rect, FromCp1252(parts.file), Qt::blue,
                  selected ? Qt::yellow : Qt::white);
}

LineListDelegate::LineListDelegate(QListWidget* list) : QStyledItemDelegate(list), list_(list) {}

void LineListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    painter->save();
    painter->setFont(list_->font());
    const QRect row = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    const QColor fill = !selected ? kListGrey : list_->hasFocus() ? kFocusedSelection : kGrey;
    painter->fillRect(row, fill);
    const ListEntryLook look = LookOfEntry(EntryBytes(index));
    if (look.kind == ListEntryLook::Kind::Setting) {
        DrawBoxedText(*painter, row.left() + kLookWordIndent_px, row, LookWord(look.kind), kGrey,
                      kSilver);
    } else if (look.kind == ListEntryLook::Kind::Comment) {
        DrawBoxedText(*painter, row.left() + kLookWordIndent_px, row, LookWord(look.kind), Qt::blue,
                      kGrey);
    } else {
        const QString text = FromCp1252(look.shownText);
        DrawBoxedText(*painter, row.left() + kTextIndent_px, row, text, Qt::black,
                      look.silverBackground ? kSilver : fill);
        // the line number once more in blue, over the black one
        painter->setPen(Qt::blue);
        painter->drawText(QRect(row.left() + kTextIndent_px, row.top(),
                                row.width() - kTextIndent_px, row.height()),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          text.left(look.numberLength));
    }
    painter->restore();
}

QSize LineListDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return list_->gridSize().isValid() ? list_->gridSize() : QSize(100, 20);
}

void RecentEntryDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    painter->save();
    painter->setFont(option.font);
    PaintRecentEntry(*painter, option.rect, index.data().toString(),
                     option.state & QStyle::State_Selected);
    painter->restore();
}

}  // namespace radevir
