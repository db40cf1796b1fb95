// Console set-up and text output: cells, colours, windows, Write/DrawCells with glyph pictures,
// the XOR text cursor, scrolling, screen pages and shading.
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include "console/console.h"
#include "support/rounding.h"
#include "support/text_helpers.h"

namespace radevir {
namespace {

QColor Rgb(int r, int g, int b) { return QColor(r, g, b); }

// The measuring device for console fonts: the framebuffer is 96 dots per inch.
constexpr int kDotsPerMeter = 3780;

// Fonts whose letters are worked out and kept; the console switches between few.
constexpr size_t kLetterFacesKept = 8;
// Letters from this pixel size up are drawn one by one (the painter draws such sizes as
// outlines, and runs are only known to match the cached glyph path).
constexpr int kLargestRunPixelSize = 60;

// Glyph cells are drawn straight into the RGB32 framebuffer. Every pixel the painter leaves
// there is opaque, so a copy is a plain memory copy and a blend only writes the ink pixels:
// exactly what the painter's Source copy and AND/OR/XOR raster operations give.
constexpr QRgb kOpaque = 0xFF000000u;

void CopyPixels(QImage& image, QRect source, QPoint to) {
    const QRect inside = source.intersected(image.rect());
    if (inside.isEmpty()) return;
    to += inside.topLeft() - source.topLeft();
    const QRect target = QRect(to, inside.size()).intersected(image.rect());
    if (target.isEmpty()) return;
    const QPoint from = inside.topLeft() + (target.topLeft() - to);
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const auto pixel = [&](int x, int y) { return bits + y * stride + x * qsizetype{sizeof(QRgb)}; };
    const size_t rowBytes = static_cast<size_t>(target.width()) * sizeof(QRgb);
    const bool downwards = target.top() > from.y();  // overlapping blocks copy from the far end
    for (int i = 0; i < target.height(); ++i) {
        const int row = downwards ? target.height() - 1 - i : i;
        std::memmove(pixel(target.left(), target.top() + row), pixel(from.x(), from.y() + row), rowBytes);
    }
}

}  // namespace

Console::Console(ConsoleHost& host, Clock& clock, const ProgramEnvironment& env)
    : host_(host), clock_(clock), env_(env) {
    canvas_.font = QFont(QStringLiteral("Courier New"));
    canvas_.font.setBold(true);
    canvas_.font.setPixelSize(19);
    trace_.Reset(25);
}

void Console::InitConsole(const std::vector<GlyphSource>& glyphs) {
    graphics_.drawTargetPage = -1;
    leftButtonDown_ = rightButtonDown_ = false;
    abortRequested_ = false;
    graphics_.graphicsDrawn = false;
    graphics_.xorWriteMode = false;
    canvas_.penXor = canvas_.copyXor = false;
    graphics_.justifyHorizontal = graphics_.justifyVertical = 0;
    active_ = true;

    const QSize client = host_.ClientSize();
    cursorX_ = cursorY_ = 0;
    windowLeft_ = windowTop_ = 0;
    cellWidth_ = std::max(1, Round((client.width() - 2) / 80.0));
    cellHeight_ = std::max(1, Round((client.height() - 2) / 25.0));
    windowRight_ = 79 * cellWidth_;
    windowBottom_ = 24 * cellHeight_;

    FitConsoleFont();

    extendedColours_.fill(QColor(Qt::black));
    const std::array<QColor, 17> base = {
        Rgb(0, 0, 0),     Rgb(0, 0, 128),     Rgb(128, 0, 0),     Rgb(0, 192, 160),
        Rgb(255, 0, 0),   Rgb(128, 0, 240),   Rgb(255, 255, 0),   Rgb(160, 160, 160),
        Rgb(64, 64, 64),  Rgb(0, 0, 255),     Rgb(0, 224, 0),     Rgb(0, 255, 255),
        Rgb(255, 160, 0), Rgb(255, 0, 128),   Rgb(255, 255, 64),  Rgb(255, 255, 255),
        Rgb(0, 0, 0)};
    std::copy(base.begin(), base.end(), extendedColours_.begin());
    extendedColours_[18] = Rgb(0, 32, 64);
    extendedColours_[19] = Rgb(128, 64, 255);
    extendedColours_[20] = Rgb(48, 48, 96);
    extendedColours_[21] = Rgb(48, 96, 144);
    extendedColours_[22] = Rgb(144, 144, 128);
    extendedColours_[64] = Rgb(128, 64, 0);
    std::copy(extendedColours_.begin(), extendedColours_.begin() + 17, palette_.begin());
    defaultPalette_ = palette_;

    const QString arial = QStringLiteral("Arial");
    fontTable_.clear();
    fontTable_.push_back(arial);
    fontTable_.push_back(installedFonts_.empty() ? arial : installedFonts_.front());
    fontTable_.push_back(QStringLiteral("Courier New"));
    if (installedFonts_.empty()) {
        fontTable_.push_back(arial);
    } else {
        fontTable_.insert(fontTable_.end(), installedFonts_.begin(), installedFonts_.end());
    }
    fontTable_.insert(fontTable_.begin() + std::min<size_t>(4, fontTable_.size()),
                      QStringLiteral("AvantGarde Bk BT"));

    textCursorVisible_ = false;
    drawnCursor_ = QPoint(-1, -1);
    graphics_.transparentText = true;

    glyphs_.clear();
    for (const GlyphSource& g : glyphs) glyphs_.push_back(Glyph{g.name, g.render, {}, {}});
    BuildGlyphBitmaps();
    letterFaces_.clear();  // installed fonts may have changed what a face name finds

    geometry_.clientSize = client;
    geometry_.virtualSize = client;
    geometry_.virtualOrigin = QPoint(0, 0);
    graphics_.fullScreenOffset = QPoint(0, 0);
    trace_.Reset(graphics_.graphicsMode ? 30 : 25);
}

int Console::FitConsoleFont() {
    // Two cells count here. The console font fills the cells it is drawn in: the window's in
    // text mode, the 640×480 area's in graphics mode. The graphics text sizes, though, are used
    // after the next InitGraph, in the 640×480 area; with KeepAspect that is the centred 4:3 part
    // of the window even while text mode fills all of it, so a wide window must not make them
    // larger than a 4:3 one.
    const int areaCellWidth = VgaGeometry::FittedArea(host_.ClientSize()).width() / 80;
    const int fontTarget = geometry_.keepAspect && graphics_.graphicsMode ? areaCellWidth : cellWidth_;
    const int tableTarget = geometry_.keepAspect ? areaCellWidth : cellWidth_;
    QImage probe(1, 1, QImage::Format_RGB32);
    probe.setDotsPerMeterX(kDotsPerMeter);
    probe.setDotsPerMeterY(kDotsPerMeter);
    QFont font = canvas_.font;
    font.setBold(true);
    // the first size whose "A" is at least `target` wide
    auto firstSizeReaching = [&](int target) {
        int size = 6;
        for (;; ++size) {
            font.setPointSize(size);
            const QFontMetricsF fm(font, &probe);
            if (fm.horizontalAdvance(QLatin1Char('A')) >= target || size >= 400) return size;
        }
    };
    const int size = firstSizeReaching(tableTarget);
    font.setPointSize(fontTarget == tableTarget ? size : firstSizeReaching(fontTarget));
    canvas_.font = font;  // keeps the first size that reaches a cell
    const int s = size - 1;
    consoleFontSize_ = s;
    const int b = 2 * s + 4;
    textSizeTable_ = {10,        s - 2,         s,         s + 6,         b,
                      b + 6,     b + s + 2,     b + s + 8, 2 * b,         2 * b + 2 * s,
                      2 * b + 3 * s, 2 * b + 4 * s, 2 * b + 5 * s};
    return s;
}

void Console::EnterTextMode() {
    graphics_.xorWriteMode = false;
    canvas_.penXor = canvas_.copyXor = false;
    graphics_.graphicsMode = false;
    canvas_.font = QFont(QStringLiteral("Courier New"));
    canvas_.font.setBold(true);
    Window(1, 1, 80, 25);
    FitConsoleFont();
    clearOnNextBackground_ = true;
    regions_.SetBase(0);
    canvas_.penWidth = 1;
    canvas_.penStyle = Qt::SolidLine;
    TextColor(15);
    trace_.Reset(25);
}

QPoint Console::CellOrigin() const {
    return graphics_.graphicsMode ? geometry_.virtualOrigin : QPoint(0, 0);
}

int Console::TraceColumn(int x) const {
    return static_cast<int>(std::floor((x - CellOrigin().x()) / static_cast<double>(cellWidth_) + 0.5));
}

int Console::TraceRow(int y) const {
    return static_cast<int>(std::floor((y - CellOrigin().y()) / static_cast<double>(cellHeight_) + 0.5));
}

void Console::Repaint() {
    if (!graphics_.directDrawReady) host_.RequestRepaint();
}

void Console::GotoXY(int column, int row) {
    if (column <= 0 || row <= 0) return;
    const HiddenTextCursor hidden(*this);
    cursorX_ = (column - 1) * cellWidth_ + windowLeft_;
    cursorY_ = (row - 1) * cellHeight_ + windowTop_;
}

void Console::Window(int x1, int y1, int x2, int y2) {
    const QSize client = host_.ClientSize();
    if (graphics_.graphicsMode) {
        cellWidth_ = std::max(1, Round(geometry_.virtualSize.width() / 80.0));
        cellHeight_ = std::max(1, Round(geometry_.virtualSize.height() / 30.0));
    } else {
        cellWidth_ = std::max(1, Round(client.width() / 80.0));
        cellHeight_ = std::max(1, Round(client.height() / 25.0));
    }
    windowLeft_ = (x1 - 1) * cellWidth_;
    windowTop_ = (y1 - 1) * cellHeight_;
    windowRight_ = (x2 - 1) * cellWidth_;
    windowBottom_ = (y2 - 1) * cellHeight_;
    if (graphics_.graphicsMode) {
        const QPoint o = geometry_.virtualOrigin;
        windowLeft_ += o.x();
        windowRight_ += o.x();
        windowTop_ += o.y();
        windowBottom_ += o.y();
    }
    {
        const HiddenTextCursor hidden(*this);
        cursorX_ = windowLeft_;
        cursorY_ = windowTop_;
    }
    if (clearOnNextBackground_) TextBackground(0);
}

void Console::TextColor(int index) {
    currentColour_ = index;
    const int i = index < 16 ? std::max(index, 0) : index % 16;
    canvas_.fontColour = palette_[static_cast<size_t>(i)];
    // colours from 16 up stood for blinking text; italic and underlined here
    canvas_.font.setItalic(index >= 16);
    canvas_.font.setUnderline(index >= 16);
}

void Console::TextBackground(int index) {
    canvas_.brushColour = palette_[static_cast<size_t>(index & 7)];
    if (clearOnNextBackground_) {
        ClrScr();
        clearOnNextBackground_ = false;
    }
}

void Console::FillRect(const QRect& r, const QColor& colour) {
    QPainter p(&host_.Framebuffer());
    p.fillRect(r, colour);
}

void Console::ClrScr() {
    {
        const HiddenTextCursor hidden(*this);
        canvas_.brushStyle = Qt::SolidPattern;
        FillRect(QRect(QPoint(windowLeft_, windowTop_),
                       QPoint(windowRight_ + cellWidth_ - 1, windowBottom_ + cellHeight_ - 1)),
                 canvas_.brushColour);
        trace_.Clear(TraceColumn(windowLeft_), TraceRow(windowTop_), TraceColumn(windowRight_),
                     TraceRow(windowBottom_));
    }
    Repaint();
}

void Console::DrawCursorLine(QPoint at) {
    QPainter p(&host_.Framebuffer());
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(canvas_.fontColour, 1));
    const int y = at.y() + cellHeight_ - 2;
    p.drawLine(at.x(), y, at.x() + cellWidth_, y);
}

void Console::ShowTextCursor() {
    if (textCursorVisible_) return;
    DrawCursorLine(QPoint(cursorX_, cursorY_));
    drawnCursor_ = QPoint(cursorX_, cursorY_);
    textCursorVisible_ = true;
    Repaint();
}

void Console::HideTextCursor() {
    if (!textCursorVisible_) return;
    DrawCursorLine(drawnCursor_);
    drawnCursor_ = QPoint(-1, -1);
    textCursorVisible_ = false;
    Repaint();
}

Bytes Console::ToText(double v) { return DecimalCommaText(v); }

void Console::WriteValues(const std::vector<Bytes>& values) {
    {
        const HiddenTextCursor hidden(*this);
        const QFont keptFont = canvas_.font;
        if (graphics_.graphicsMode) canvas_.font.setPointSize(std::max(1, consoleFontSize_));
        for (size_t i = 0; i < values.size(); ++i) {
            const Bytes& text = values[i];
            if (text == "\x07") {
                host_.Beep();
            } else if (text == "\x08") {
                cursorX_ -= cellWidth_;
            } else {
                if (cursorY_ > windowBottom_) ScrollWindowUp();
                if (!(graphics_.graphicsMode && !graphics_.opaqueText) &&
                    canvas_.brushStyle != Qt::NoBrush) {
                    FillRect(QRect(cursorX_, cursorY_, static_cast<int>(text.size()) * cellWidth_,
                                   cellHeight_),
                             canvas_.brushColour);
                }
                const QPoint next = DrawCells(text, i + 1 == values.size());
                cursorX_ = next.x();
                cursorY_ = next.y();
            }
        }
        canvas_.font = keptFont;
    }
    Repaint();
}

void Console::WritelnValues(const std::vector<Bytes>& values) {
    WriteValues(values);
    cursorX_ = windowLeft_;
    cursorY_ += cellHeight_;
    if (cursorY_ > windowBottom_) ScrollWindowUp();
}

int Console::GlyphIndex(unsigned char converted, unsigned char original) const {
    if (converted != original) return -1;
    const std::string byName = std::to_string(static_cast<int>(original));
    for (size_t i = 0; i < glyphs_.size(); ++i)
        if (glyphs_[i].name == byName) return static_cast<int>(i);
    const std::string single(1, static_cast<char>(original));
    for (size_t i = 0; i < glyphs_.size(); ++i)
        if (glyphs_[i].name == single) return static_cast<int>(i);
    return -1;
}

QImage Console::RenderGlyph(int index, QSize size) const {
    if (index < 0 || index >= GlyphCount() || !glyphs_[static_cast<size_t>(index)].render)
        return {};
    return glyphs_[static_cast<size_t>(index)].render(size);
}

void Console::BuildGlyphBitmaps() {
    const QSize size(cellWidth_ + 2, cellHeight_ + 2);
    for (Glyph& g : glyphs_) {
        QImage picture = g.render ? g.render(size) : QImage();
        g.size = size;
        g.inkSpans.clear();
        if (picture.isNull()) continue;
        picture = picture.convertToFormat(QImage::Format_ARGB32).scaled(size);
        // crisp cells: a pixel is ink or background, so neighbouring cells join exactly
        for (int y = 0; y < size.height(); ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            for (int x = 0; x < size.width();) {
                const auto ink = [&](int at) { return qAlpha(src[at]) >= 128 && qGray(src[at]) < 128; };
                if (!ink(x)) {
                    ++x;
                    continue;
                }
                const int first = x;
                while (x < size.width() && ink(x)) ++x;
                g.inkSpans.push_back(Glyph::Span{y, first, x - first});
            }
        }
    }
}

// The glyph's shape in the text colour over what the cell holds (the mask ANDed and the tinted
// picture ORed), or XORed onto it in XOR write mode.
void Console::BlendGlyph(QImage& target, const Glyph& glyph, QPoint at) {
    const QRgb colour = canvas_.fontColour.rgb() | kOpaque;
    const bool xorMode = graphics_.xorWriteMode;
    const QRect bounds = target.rect();
    uchar* const bits = target.bits();
    const qsizetype stride = target.bytesPerLine();
    for (const Glyph::Span& span : glyph.inkSpans) {
        const int y = at.y() + span.row;
        if (y < bounds.top() || y > bounds.bottom()) continue;
        const int left = std::max(at.x() + span.left, bounds.left());
        const int right = std::min(at.x() + span.left + span.length, bounds.right() + 1);
        if (left >= right) continue;
        QRgb* line = reinterpret_cast<QRgb*>(bits + y * stride);
        if (xorMode) {
            for (int x = left; x < right; ++x) line[x] = ((line[x] ^ colour) & 0x00FFFFFFu) | kOpaque;
        } else {
            std::fill(line + left, line + right, colour);
        }
    }
    ++stats_.blends;
}

Console::LetterFace& Console::FaceFor(const QFont& font, const QImage& device) {
    const int dpi = device.logicalDpiY();
    for (const auto& face : letterFaces_)
        if (face->dpi == dpi && face->font == font) return *face;
    if (letterFaces_.size() >= kLetterFacesKept) letterFaces_.erase(letterFaces_.begin());
    auto face = std::make_unique<LetterFace>();
    face->font = font;
    face->dpi = dpi;
    const QFont deviceFont(font, &device);
    face->raw = QRawFont::fromFont(deviceFont);
    face->ascent = QFontMetricsF(font, &device).ascent();
    face->courier = font.family().compare(QStringLiteral("Courier New"), Qt::CaseInsensitive) == 0;
    face->runs = face->raw.isValid() && !font.underline() && !font.overline() && !font.strikeOut() &&
                 QFontInfo(deviceFont).pixelSize() < kLargestRunPixelSize;
    letterFaces_.push_back(std::move(face));
    return *letterFaces_.back();
}

const Console::LetterFace::Letter& Console::LetterFor(LetterFace& face, unsigned char shown,
                                                     const QImage& device) {
    LetterFace::Letter& letter = face.letters[shown];
    if (letter.known) return letter;
    letter.known = true;
    const QString s(QChar(static_cast<char16_t>(Cp1252ToUnicode(shown))));
    letter.advance = QFontMetricsF(face.font, &device).horizontalAdvance(s);
    if (!face.runs) return letter;
    // the glyph the painter would draw for this letter alone
    QTextLayout layout(s, face.font, &device);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> laid = layout.glyphRuns();
    if (laid.size() == 1 && laid[0].glyphIndexes().size() == 1 && laid[0].rawFont() == face.raw &&
        laid[0].positions()[0].x() == 0) {
        letter.inRun = true;
        letter.glyph = laid[0].glyphIndexes()[0];
    }
    return letter;
}

QPoint Console::DrawCells(const Bytes& text, bool isLast) {
    const Bytes converted = ToAnsi(text);
    QImage& fb = host_.Framebuffer();
    LetterFace& face = FaceFor(canvas_.font, fb);

    // Letters of the face's own glyphs gather into one run, drawn before anything else touches
    // the picture; other letters are drawn on their own, as the painter draws any text.
    std::optional<QPainter> painter;
    const auto letterPainter = [&]() -> QPainter& {
        if (!painter) {
            painter.emplace(&fb);
            painter->setFont(canvas_.font);
            painter->setPen(canvas_.fontColour);
        }
        return *painter;
    };
    QList<quint32> runGlyphs;
    QList<QPointF> runPositions;
    const auto drawRun = [&] {
        if (runGlyphs.isEmpty()) return;
        QGlyphRun run;
        run.setRawFont(face.raw);
        run.setGlyphIndexes(runGlyphs);
        run.setPositions(runPositions);
        letterPainter().drawGlyphRun(QPointF(0, 0), run);
        runGlyphs.clear();
        runPositions.clear();
    };

    QRect cell(cursorX_, cursorY_, cellWidth_, cellHeight_);
    QPointF pen(cursorX_, cursorY_);
    int traceCol = TraceColumn(cursorX_);
    int traceRow = TraceRow(cursorY_);
    int previousGlyph = -1;
    unsigned char previousChar = 0;
    int g = -1;
    QRect previousCell;
    for (size_t p = 0; p < text.size(); ++p) {
        const auto o = static_cast<unsigned char>(text[p]);
        const auto c = static_cast<unsigned char>(converted[p]);
        if (p == 0 || c != previousChar) g = GlyphIndex(c, o);
        if (g < 0) {
            if (c == ' ') {
                pen.rx() += cellWidth_;
            } else {
                unsigned char shown = c;
                if (face.courier && shown == 0x96) shown = 0x97;
                const LetterFace::Letter& letter = LetterFor(face, shown, fb);
                const QPointF baseline(pen.x(), pen.y() + face.ascent);
                if (letter.inRun) {
                    runGlyphs.push_back(letter.glyph);
                    runPositions.push_back(baseline);
                } else {
                    drawRun();
                    letterPainter().drawText(
                        baseline, QString(QChar(static_cast<char16_t>(Cp1252ToUnicode(shown)))));
                }
                pen.rx() += letter.advance;
            }
            trace_.Put(traceCol, traceRow, c, false);
        } else {
            drawRun();
            if (g == previousGlyph && !previousCell.isNull()) {
                CopyPixels(fb, previousCell, cell.topLeft());
                ++stats_.copies;
            } else {
                BlendGlyph(fb, glyphs_[static_cast<size_t>(g)], cell.topLeft());
            }
            trace_.Put(traceCol, traceRow, o, true);
        }
        previousCell = cell;
        previousGlyph = g;
        previousChar = c;
        // advance the cursor cell; glyphs follow the wrap, letters stay on their line
        cursorX_ += cellWidth_;
        if (cursorX_ > windowRight_) {
            cursorX_ = windowLeft_;
            cursorY_ += cellHeight_;
            cell = QRect(windowLeft_, cursorY_, cellWidth_, cellHeight_);
        } else {
            cell.translate(cellWidth_, 0);
        }
        if (g >= 0) {
            pen = QPointF(cursorX_, cursorY_);
            traceCol = TraceColumn(cursorX_);
            traceRow = TraceRow(cursorY_);
        } else {
            ++traceCol;
        }
    }
    drawRun();
    if (isLast) return QPoint(cursorX_, cursorY_);
    return QPoint(static_cast<int>(std::lround(pen.x())), static_cast<int>(std::lround(pen.y())));
}

void Console::ScrollWindowUp() {
    QImage& fb = host_.Framebuffer();
    const int width = windowRight_ - windowLeft_;
    int height = windowBottom_ - windowTop_;
    height = std::min(height, fb.height() - (windowTop_ + cellHeight_));
    if (width > 0 && height > 0) {
        const QImage block = fb.copy(windowLeft_, windowTop_ + cellHeight_, width, height);
        QPainter p(&fb);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QPoint(windowLeft_, windowTop_), block);
    }
    const int h = std::max(height, 0);
    FillRect(QRect(QPoint(windowLeft_ - 1, windowTop_ + h),
                   QPoint(windowRight_ - 1, windowTop_ + h + cellHeight_ - 1)),
             canvas_.brushColour);
    trace_.ScrollUp(TraceColumn(windowLeft_), TraceRow(windowTop_), TraceColumn(windowRight_),
                    TraceRow(windowBottom_));
    cursorY_ = windowBottom_;
    Repaint();
}

bool Console::HasScreenPage(int page) const {
    return page >= 0 && page < 6 && pages_[static_cast<size_t>(page)].has_value();
}

QImage* Console::ScreenPage(int page) {
    if (!HasScreenPage(page)) return nullptr;
    return &*pages_[static_cast<size_t>(page)];
}

void Console::FreeScreenPage(int page) {
    if (page >= 0 && page < 6) pages_[static_cast<size_t>(page)].reset();
}

void Console::SaveScreenPage(int page) {
    if (page < 0 || page >= 6) return;
    auto& slot = pages_[static_cast<size_t>(page)];
    const QImage& fb = host_.Framebuffer();
    if (!slot) slot = QImage(host_.ClientSize(), QImage::Format_RGB32);
    QPainter p(&*slot);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPoint(0, 0), fb, QRect(QPoint(0, 0), slot->size()));
    pageTraces_[static_cast<size_t>(page)] = trace_.CellsOnly();  // restoring puts back cells only
}

void Console::RestoreScreenPage(int page, bool free) {
    if (!HasScreenPage(page)) return;
    {
        QPainter p(&host_.Framebuffer());
        p.setCompositionMode(QPainter::CompositionMode_Source);
        const QImage& img = *pages_[static_cast<size_t>(page)];
        p.drawImage(QPoint(0, 0), img, QRect(QPoint(0, 0), host_.ClientSize()));
    }
    const TextTrace& saved = pageTraces_[static_cast<size_t>(page)];
    if (saved.Rows() == trace_.Rows()) {
        // graphics texts drawn since the mode switch stay listed
        for (int r = 0; r < trace_.Rows(); ++r)
            for (int c = 0; c < TextTrace::kColumns; ++c)
                trace_.Put(c, r, saved.At(c, r).byte, saved.At(c, r).glyph);
    }
    if (free) FreeScreenPage(page);
    Repaint();
}

void Console::CopyScreenPage(int destination, int source) {
    if (!HasScreenPage(destination) || !HasScreenPage(source)) return;
    QImage& dst = *pages_[static_cast<size_t>(destination)];
    QPainter p(&dst);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPoint(0, 0), *pages_[static_cast<size_t>(source)], QRect(QPoint(0, 0), dst.size()));
    pageTraces_[static_cast<size_t>(destination)] = pageTraces_[static_cast<size_t>(source)];
}

void Console::ShadeCells(int x1, int y1, int x2, int y2, int style) {
    const QColor shade = style == 7 ? QColor(64, 64, 64) : QColor(119, 119, 119);
    QPainter p(&host_.Framebuffer());
    p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    for (int row = y1; row <= y2; ++row)
        for (int col = x1; col <= x2; ++col)
            p.fillRect(QRect((col - 1) * cellWidth_, (row - 1) * cellHeight_, cellWidth_,
                             cellHeight_),
                       shade);
    Repaint();
}

}  // namespace radevir
