#include "editor/editor_print.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "editor/editor_files.h"
#include "editor/task_tools.h"

namespace radevir {

namespace {

constexpr int kMaxPages = 50;
const QColor kGapRed(255, 0, 0);

bool IsRed(const QTextCharFormat& f) {
    return f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().color().rgb() == kGapRed.rgb();
}

void SetColour(QTextDocument& doc, int position, const QColor& colour) {
    QTextCursor c(&doc);
    c.setPosition(position);
    c.setPosition(position + 1, QTextCursor::KeepAnchor);
    QTextCharFormat f;
    f.setForeground(colour);
    c.mergeCharFormat(f);
}

QFont HeaderFont(int points) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(points);
    return font;
}

}  // namespace

std::unique_ptr<QTextDocument> PrintedDocument(const QTextDocument& document, const PrintOptions& options,
                                               double scale) {
    std::unique_ptr<QTextDocument> doc(document.clone());
    const QString text = DocumentText(*doc);
    // the gap texts as the editor shows them: red between the markers
    for (const TextRange& r : GapRanges(text))
        for (int i = r.start; i < r.end; ++i) SetColour(*doc, i, kGapRed);
    // from the end, so that positions stay where they are while characters are replaced
    for (int i = static_cast<int>(text.size()) - 1; i >= 0; --i) {
        const QChar ch = text[i];
        if (ch == kParagraphMark) {
            SetColour(*doc, i, Qt::white);
            continue;
        }
        if (!options.gapsToFill) continue;
        QTextCursor c(doc.get());
        c.setPosition(i + 1);
        const QTextCharFormat f = c.charFormat();
        if (ch == kGapMarker) {
            SetColour(*doc, i, Qt::black);
        } else if (IsRed(f) && ch != '\n') {
            QTextCharFormat black = f;
            black.setForeground(QColor(Qt::black));
            c.setPosition(i);
            c.setPosition(i + 1, QTextCursor::KeepAnchor);
            c.insertText(QStringLiteral("_"), black);
        }
    }
    if (scale > 0 && scale < 1) {
        const double defaultPoints = doc->defaultFont().pointSizeF() > 0 ? doc->defaultFont().pointSizeF() : 12;
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                QTextCursor c(doc.get());
                c.setPosition(fragment.position());
                c.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
                QTextCharFormat f = fragment.charFormat();
                const double points = f.fontPointSize() > 0 ? f.fontPointSize() : defaultPoints;
                f.setFontPointSize(points * scale);
                c.setCharFormat(f);
            }
        }
    }
    return doc;
}

PrintLayout PrintEditorDocument(const QTextDocument& document, const PrintOptions& options,
                                double editorWidth_in, QPagedPaintDevice& device, int copies,
                                const QDate& today) {
    PrintLayout layout;
    QPainter painter;
    if (!painter.begin(&device)) return layout;
    const double dpiX = device.logicalDpiX();
    const double dpiY = device.logicalDpiY();
    const QRectF page(0, 0, device.width(), device.height());  // the painter's page, margins off
    const QRectF printable = page.adjusted(dpiX, dpiY, -dpiX, -dpiY);

    const double printableWidth_in = printable.width() / dpiX;
    const double scale = editorWidth_in > printableWidth_in && editorWidth_in > 0
                             ? printableWidth_in / editorWidth_in
                             : 1.0;
    std::unique_ptr<QTextDocument> doc = PrintedDocument(document, options, scale);
    doc->documentLayout()->setPaintDevice(&device);
    doc->setDocumentMargin(0);

    // the header moves the text of the first page down
    const QFont headerFont = HeaderFont(12);
    const QFontMetricsF header(headerFont, &device);
    const double line = header.lineSpacing();
    double top = printable.top();
    struct HeaderText {
        QPointF at;
        QString text;
    };
    std::vector<HeaderText> headerTexts;
    if (options.date) {
        const QString date = QLocale(QLocale::German).toString(today, QLocale::ShortFormat);
        headerTexts.push_back({{printable.right() - header.horizontalAdvance(date), top - 2 * line}, date});
    }
    if (options.nameField) {
        headerTexts.push_back({{printable.left(), top - 2 * line}, QStringLiteral("NAME:_____________________________")});
        top += 3 * line;
    }
    if (options.caption) {
        const QString name = QFileInfo(QString(options.captionText).replace('\\', '/')).fileName();
        headerTexts.push_back({{printable.center().x() - header.horizontalAdvance(name) / 2, top - line}, name});
        top += 2 * line;
    }
    // (an empty paragraph of that height in front: frame margins would repeat on every page,
    // and a paragraph's top margin is dropped at the top of a page)
    if (top > printable.top()) {
        QTextCursor first(doc.get());
        const QTextBlockFormat textFormat = first.blockFormat();
        QTextBlockFormat spacer;
        // lengths of formats count at 96 per inch whatever the device
        spacer.setLineHeight((top - printable.top()) * 96.0 / dpiY, QTextBlockFormat::FixedHeight);
        first.insertBlock(textFormat);
        first.movePosition(QTextCursor::Start);
        first.setBlockFormat(spacer);
    }
    doc->setPageSize(printable.size());
    layout.pages = std::min(doc->pageCount(), kMaxPages);

    const QFont footerFont = HeaderFont(10);
    const QFontMetricsF footer(footerFont, &device);
    const QStringList after = options.textAfter ? options.textAfterLines : QStringList();

    for (int copy = 0; copy < std::max(1, copies); ++copy) {
        if (copy > 0) device.newPage();
        for (int p = 0; p < layout.pages; ++p) {
            if (p > 0) device.newPage();
            if (p == 0) {
                painter.setFont(headerFont);
                painter.setPen(Qt::black);
                for (const HeaderText& h : headerTexts) painter.drawText(h.at, h.text);
            }
            painter.save();
            painter.translate(printable.left(), printable.top() - p * printable.height());
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = QRectF(0, p * printable.height(), printable.width(), printable.height());
            painter.setClipRect(context.clip);
            doc->documentLayout()->draw(&painter, context);
            painter.restore();
            if (p == layout.pages - 1 && !after.isEmpty()) {
                // the lines after the document below the printable area, in reading order, the
                // last one no lower than the page's edge
                const double lineHeight = footer.lineSpacing();
                const int n = static_cast<int>(after.size());
                double lastBaseline = printable.bottom() + (n + 2) * lineHeight;
                lastBaseline = std::min(lastBaseline, page.bottom() - footer.descent());
                painter.setFont(footerFont);
                painter.setPen(Qt::black);
                for (int i = 0; i < n; ++i)
                    painter.drawText(QPointF(printable.left(), lastBaseline - (n - 1 - i) * lineHeight), after[i]);
            }
        }
    }
    painter.end();
    return layout;
}

}  // namespace radevir
