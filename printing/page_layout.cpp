#include "printing/page_layout.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextCursor>
#include <QTextEdit>

#include "printing/fractions.h"

namespace radevir {
namespace {

// Distances the layout gives in printer units were measured on a 600 dpi printer.
constexpr double kPrinterUnitsPerInch = 600.0;
constexpr int kRuleOffsetUnits = 10;       // a rule lies this far below its line's top
constexpr int kRulePenUnits = 2;
constexpr int kCheckMarkGapUnits = 4;      // right-aligned check marks stand this far right of the edge
constexpr int kLastRightAlignSize = 200;   // a marker above this size ends the right-aligned mode
constexpr size_t kRuleDashes = 31;         // a right-aligned line starting with these is a rule
constexpr char32_t kCheckMark = U'\u2714';

QString FamilyFor(const std::string& name, int& stretch) {
    stretch = QFont::AnyStretch;
    if (name == kBaseFontName) return QStringLiteral("Liberation Mono");
    if (name == kCondensedFontName) {
        if (QFontDatabase::hasFamily(QStringLiteral("Liberation Sans Narrow")))
            return QStringLiteral("Liberation Sans Narrow");
        stretch = QFont::SemiCondensed;  // DejaVu Sans Condensed
        return QStringLiteral("DejaVu Sans");
    }
    return FromCp1252(name);
}

bool StartsWithRule(const Bytes& text) {
    return text.size() >= kRuleDashes && text.find_first_not_of('-') >= kRuleDashes;
}

// The text as printed: a trailing check mark byte taken off, control bytes as blanks, and in
// the fractions font every "n/d" as its fraction glyph.
QString PrintedText(const StyledLine& line, bool& checkMark) {
    Bytes text = line.text;
    checkMark = !text.empty() && static_cast<unsigned char>(text.back()) == kCheckMarkByte;
    if (checkMark) text.pop_back();
    for (char& c : text)
        if (static_cast<unsigned char>(c) < ' ') c = ' ';
    const QString printed = FromCp1252(text);
    return line.font.name == kFractionFontName ? ShapeFractions(printed) : printed;
}

}  // namespace

QFont PrinterQFont(const PrinterFont& font) {
    int stretch = QFont::AnyStretch;
    QFont f(FamilyFor(font.name, stretch));
    if (stretch != QFont::AnyStretch) f.setStretch(stretch);
    f.setPointSize(std::max(1, font.size_pt));
    f.setBold(font.bold);
    return f;
}

QString CheckMarkText() { return QString::fromUcs4(&kCheckMark, 1); }

QFont CheckMarkFont(int size_pt) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSize(std::max(1, size_pt));
    return f;
}

int PrintStyledLines(QPagedPaintDevice& device, const std::vector<StyledLine>& lines,
                     PrintProgress* progress) {
    if (lines.empty()) return 0;
    QPainter painter;
    if (!painter.begin(&device)) return 0;
    const double unit = device.logicalDpiY() / kPrinterUnitsPerInch;
    const int pageWidth = device.width();
    const int pageHeight = device.height();
    const int left = pageWidth / 10;
    const int top = pageHeight / 20;
    const int usableHeight = pageHeight - 2 * top;

    painter.setFont(PrinterQFont(PrinterFont{}));
    const int charWidth = painter.fontMetrics().horizontalAdvance(QLatin1Char('A'));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Qt::black);

    int pages = 1;
    int y = top;
    int x = 0;
    bool rightAligned = false;
    int rightEdge = 0;
    int lastContinuedWidth = 0;
    // A page is started when something is printed on it: a form feed or a full page at the
    // end of a document leaves no empty sheet behind.
    bool pageWaiting = false;
    auto newPage = [&] {
        pageWaiting = true;
        y = top;
        x = 0;
    };
    auto startWaitingPage = [&] {
        if (!pageWaiting) return;
        device.newPage();
        ++pages;
        pageWaiting = false;
    };
    auto drawCheckMark = [&](int atX, int baseline) {
        const QFont textFont = painter.font();
        painter.setFont(CheckMarkFont(textFont.pointSize()));
        painter.drawText(atX, baseline, CheckMarkText());
        painter.setFont(textFont);
    };
    auto lineHeight = [&] { return painter.fontMetrics().height(); };

    for (size_t i = 0; i < lines.size(); ++i) {
        if (progress && progress->Cancelled()) break;
        const StyledLine& line = lines[i];
        const bool marker = line.font.white;
        if (marker && line.font.size_pt > kLastRightAlignSize) {
            rightAligned = false;
            y += lineHeight();
        } else {
            if (marker) {
                rightAligned = true;
                rightEdge = left + line.font.size_pt * charWidth;
            } else {
                painter.setFont(PrinterQFont(line.font));
            }
            if (IsControlLine(line)) {
                if (IsFormFeedLine(line) && y > usableHeight / 5) newPage();
                continue;
            }
            startWaitingPage();
            bool checkMark = false;
            const QString text = PrintedText(line, checkMark);
            const QFontMetrics metrics = painter.fontMetrics();
            const int width = metrics.horizontalAdvance(text);
            const int baseline = y + metrics.ascent();
            if (rightAligned) {
                if (StartsWithRule(line.text)) {
                    const int ruleY = y + qRound(kRuleOffsetUnits * unit);
                    painter.save();
                    painter.setPen(QPen(Qt::black, std::max(1.0, kRulePenUnits * unit)));
                    painter.drawLine(rightEdge - width, ruleY, rightEdge, ruleY);
                    painter.restore();
                } else {
                    painter.drawText(rightEdge - width, baseline, text);
                }
                if (checkMark) drawCheckMark(rightEdge + qRound(kCheckMarkGapUnits * unit), baseline);
            } else {
                painter.drawText(left + x, baseline, text);
                if (checkMark) drawCheckMark(left + x + width, baseline);
            }
            if (marker) {
                x += lastContinuedWidth;
            } else if (line.continues) {
                x += width;
                lastContinuedWidth = width;
            } else {
                y += lineHeight();
                x = 0;
            }
        }
        if (y > usableHeight) newPage();
    }
    painter.end();
    return pages;
}

void RenderStyledLines(const std::vector<StyledLine>& lines, const QString& heading, QTextEdit& edit) {
    edit.clear();
    QTextCharFormat base;
    base.setFont(PrinterQFont(PrinterFont{}));
    edit.setCurrentCharFormat(base);
    QTextCursor cursor(edit.document());
    if (!heading.isEmpty()) {
        cursor.insertText(heading, base);
        cursor.insertBlock();
    }
    for (const StyledLine& line : lines) {
        if (IsControlLine(line)) continue;
        QTextCharFormat format;
        format.setFont(PrinterQFont(line.font));
        bool checkMark = false;
        cursor.insertText(PrintedText(line, checkMark), format);
        if (checkMark) {
            QTextCharFormat mark;
            mark.setFont(CheckMarkFont(line.font.size_pt));
            cursor.insertText(CheckMarkText(), mark);
        }
        if (!line.continues) cursor.insertBlock();
    }
}

}  // namespace radevir
