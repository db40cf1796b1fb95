// Graphics text: justified and outlined text at points, texts with their own style, glyph
// pictures inside texts, and the text measures in 640×480 units.
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "console/school_shaping.h"
#include "graphics/graphics.h"
#include "support/rounding.h"

namespace radevir {
namespace {

const QString kSchoolFont = QStringLiteral("ZOZE DOS VA");

QString CharText(unsigned char c) { return QString(QChar(static_cast<char16_t>(Cp1252ToUnicode(c)))); }

// Glyph pictures inside graphics texts come from the first 33 pictures of the list only.
constexpr int kTextGlyphCount = 33;

}  // namespace

QFont Graphics::DeviceFont() const {
    QFont font = console_.Canvas().font;
    // Font sizes are points on a 96 dpi screen: whole pixels, as the classic desktop made them.
    const int points = font.pointSize();
    if (points > 0) font.setPixelSize(std::max(1, (points * 96 + 36) / 72));
    return font;
}

bool Graphics::IsSchoolFont() const {
    return console_.Canvas().font.family().compare(kSchoolFont, Qt::CaseInsensitive) == 0;
}

Bytes Graphics::ShapedForMeasure(const Bytes& text) const {
    return IsSchoolFont() ? ShapeSchoolText(" VA", text) : text;
}

int Graphics::TextGlyphIndex(unsigned char converted, unsigned char original) const {
    if (IsSchoolFont()) return -1;
    const int g = console_.GlyphIndex(converted, original);
    return g < kTextGlyphCount ? g : -1;
}

int Graphics::CharWidthPx(unsigned char c) {
    const QFontMetrics fm(DeviceFont());
    return fm.horizontalAdvance(CharText(c));
}

int Graphics::TextWidthVga(const Bytes& text) {
    const Bytes converted = console_.ToAnsi(text);
    const QFontMetrics fm(DeviceFont());
    if (converted.size() == 1 && converted == text &&
        console_.GlyphIndex(static_cast<unsigned char>(converted[0]),
                            static_cast<unsigned char>(text[0])) >= 0)
        return fm.horizontalAdvance(QLatin1Char('A'));
    const double reference = VirtualSize().width();
    if (reference <= 0) return 0;
    int sum = 0;
    for (char c : converted)
        sum += Round(fm.horizontalAdvance(CharText(static_cast<unsigned char>(c))) * 640.0 / reference);
    return sum;
}

int Graphics::TextAscentVga(const Bytes& /*text*/) { return QFontMetrics(DeviceFont()).ascent(); }

Graphics::GlyphBox Graphics::GlyphBoxVga(const Bytes& text) {
    const QFont font = DeviceFont();
    const QFontMetrics fm(font);
    int top = 0, bottom = 0;
    if (text.size() == 1) {
        const auto original = static_cast<unsigned char>(text[0]);
        const auto c = static_cast<unsigned char>(console_.ToAnsi(text)[0]);
        const QRect ink = fm.boundingRect(QChar(static_cast<char16_t>(Cp1252ToUnicode(c))));
        top = fm.ascent() + ink.top();  // ascent − the glyph's height above the baseline
        bottom = top + ink.height() + 2;
        if (c == original && console_.GlyphIndex(c, original) >= 0) bottom = fm.height();
        if (bottom > 10) bottom = (bottom / 9) * 10;
        if (top > 10) top = (top / 10) * 10;
    } else {
        top = std::max(0, fm.height() - font.pixelSize());  // internal leading
        bottom = fm.height();
    }
    const double reference = VirtualSize().height();
    if (reference <= 0) return {};
    return {Round(top * 480.0 / reference), Round(bottom * 480.0 / reference)};
}

void Graphics::FitFontHeight(int height) {
    QFont& font = console_.Canvas().font;
    const int limit = VgaSizeToPixel(QSize(0, height * 12 / 10)).height();
    while (font.pointSize() > 1 && QFontMetrics(DeviceFont()).height() > limit)
        font.setPointSize(font.pointSize() - 1);
}

int Graphics::CharAdvancePx(const Bytes& text, size_t i, const Bytes& converted, int boxWidth) {
    if (TextGlyphIndex(static_cast<unsigned char>(converted[i]), static_cast<unsigned char>(text[i])) >= 0)
        return boxWidth;
    // a letter advances by its width in 640×480 units, so texts step as they do at 640×480
    return VgaSizeToPixel(QSize(TextWidthVga(Bytes(1, text[i])), 0)).width();
}

int Graphics::DrawnWidthPx(const Bytes& text) {
    const Bytes converted = console_.ToAnsi(text);
    const int boxWidth = QFontMetrics(DeviceFont()).horizontalAdvance(QLatin1Char('A'));
    int width = 0;
    for (size_t i = 0; i < text.size(); ++i) width += CharAdvancePx(text, i, converted, boxWidth);
    return width;
}

const QImage& Graphics::GlyphCellPicture(int glyph, QSize box) {
    // keyed by name: the console may be set up again with another glyph list
    const auto key = std::make_tuple(console_.GlyphName(glyph), box.width(), box.height());
    auto it = glyphCells_.find(key);
    if (it != glyphCells_.end()) return it->second;
    if (glyphCells_.size() > 256) glyphCells_.clear();
    // white ink on black: the AND mask is its inverse, the tinted picture its AND with the colour
    QImage ink(box, QImage::Format_RGB32);
    ink.fill(Qt::black);
    const QImage picture = console_.RenderGlyph(glyph, box);
    if (!picture.isNull()) {
        const QImage argb = picture.convertToFormat(QImage::Format_ARGB32).scaled(box);
        for (int y = 0; y < box.height(); ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            auto* dst = reinterpret_cast<QRgb*>(ink.scanLine(y));
            for (int x = 0; x < box.width(); ++x)
                if (qAlpha(src[x]) >= 128 && qGray(src[x]) < 128) dst[x] = qRgb(255, 255, 255);
        }
    }
    return glyphCells_.emplace(key, std::move(ink)).first->second;
}

void Graphics::DrawGraphText(QImage& canvas, QPoint at, const Bytes& text) {
    const CanvasState& state = console_.Canvas();
    const GraphicsSettings& g = console_.Graphics();
    const QFont font = DeviceFont();
    const QFontMetrics fm(font);
    const QSize box(std::max(1, fm.horizontalAdvance(QLatin1Char('A'))), std::max(1, fm.height()));
    QPoint pen = VgaToPixel(PixelToVga(at));
    const Bytes converted = console_.ToAnsi(text);
    const QRgb tint = state.fontColour.rgb() | 0xFF000000u;

    QPainter p(&canvas);
    p.setFont(font);
    p.setPen(state.fontColour);
    for (size_t i = 0; i < text.size(); ++i) {
        const auto o = static_cast<unsigned char>(text[i]);
        const auto c = static_cast<unsigned char>(converted[i]);
        const int glyph = TextGlyphIndex(c, o);
        if (glyph < 0) {
            const int advance = CharAdvancePx(text, i, converted, box.width());
            if (!g.transparentText && state.brushStyle != Qt::NoBrush)
                p.fillRect(QRect(pen, QSize(advance, box.height())), state.brushColour);
            p.drawText(QPoint(pen.x(), pen.y() + fm.ascent()), CharText(o));
            pen.rx() += advance;
            continue;
        }
        const QImage& ink = GlyphCellPicture(glyph, box);
        QImage tinted(box, QImage::Format_RGB32);
        QImage mask(box, QImage::Format_RGB32);
        for (int y = 0; y < box.height(); ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(ink.constScanLine(y));
            auto* t = reinterpret_cast<QRgb*>(tinted.scanLine(y));
            auto* m = reinterpret_cast<QRgb*>(mask.scanLine(y));
            for (int x = 0; x < box.width(); ++x) {
                const bool on = (src[x] & 0x00FFFFFFu) != 0;
                t[x] = on ? tint : qRgb(0, 0, 0);
                m[x] = on ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
            }
        }
        if (g.xorWriteMode) {
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            p.drawImage(pen, tinted);
        } else {
            p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
            p.drawImage(pen, mask);
            p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
            p.drawImage(pen, tinted);
        }
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        pen.rx() += box.width();
    }
    p.end();
    if (&canvas == &Window()) Repaint();
}

QPoint Graphics::JustifiedPoint(int x, int y, const Bytes& shaped) {
    const GraphicsSettings& g = console_.Graphics();
    const QFont font = DeviceFont();
    const QFontMetrics fm(font);
    if (g.justifyVertical == 2 && y == 3) {
        y = 0;
    } else if (g.ascentAlign && console_.Canvas().font.family().startsWith(QStringLiteral("ZOZE"), Qt::CaseInsensitive)) {
        const int internalLeading = std::max(0, fm.height() - font.pixelSize());
        y += 2 * internalLeading + std::max(0, fm.leading());
    }
    QPoint at = VgaToPixel(QPoint(std::max(x, 0), std::max(y, 0)));
    const int width = DrawnWidthPx(shaped);
    if (g.justifyHorizontal == 1) at.rx() -= width / 2;
    if (g.justifyHorizontal == 2) at.rx() -= width;
    const int height = fm.height();
    if (g.justifyVertical == 1) at.ry() -= g.ascentAlign ? height / 4 : height / 2;
    if (g.justifyVertical == 0) at.ry() -= g.ascentAlign ? fm.ascent() : height;
    return at;
}

void Graphics::OutTextXY(int x, int y, const Bytes& text, QRect* covered) {
    if (text.empty()) return;
    const QPoint at = JustifiedPoint(x, y, ShapedForMeasure(text));
    DrawGraphText(DrawTarget(), at, text);
    const QPoint vga = PixelToVga(at);
    if (covered) {
        const QSize size(DrawnWidthPx(text), QFontMetrics(DeviceFont()).height());
        *covered = QRect(vga, PixelToVga(at + QPoint(size.width(), size.height())) - QPoint(1, 1));
    }
    console_.Trace().AddGraphicsText(vga.x(), vga.y(), text);
}

void Graphics::OutTextStyled(int x, int y, const Bytes& text, int style) {
    if (style == 0 || !console_.Graphics().graphicsDrawn) {
        OutTextXY(x, y, text);
        return;
    }
    if (text.empty() || text == " ") return;
    const Bytes shaped = ShapedForMeasure(text);
    const QPoint at = JustifiedPoint(x, y, shaped);
    const QFont font = DeviceFont();
    const QFontMetrics fm(font);
    // the text's outline thickened by two pixels all round, as 25 shifted copies of its shape;
    // the letters stand where DrawGraphText puts them, so an outline and its text match
    QPainterPath shape;
    const Bytes converted = console_.ToAnsi(shaped);
    const int boxWidth = std::max(1, fm.horizontalAdvance(QLatin1Char('A')));
    QPoint pen = VgaToPixel(PixelToVga(at));
    for (size_t i = 0; i < shaped.size(); ++i) {
        shape.addText(QPointF(pen.x(), pen.y() + fm.ascent()), font,
                      CharText(static_cast<unsigned char>(shaped[i])));
        pen.rx() += CharAdvancePx(shaped, i, converted, boxWidth);
    }
    {
        QPainter p(&DrawTarget());
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::NoPen);
        p.setBrush(console_.Canvas().fontColour);
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) p.drawPath(shape.translated(dx, dy));
    }
    if (&DrawTarget() == &Window()) Repaint();
    const QPoint vga = PixelToVga(at);
    console_.Trace().AddGraphicsText(vga.x(), vga.y(), text);
}

void Graphics::DrawFeatureText(const textfeature& feature) {
    CanvasState& c = console_.Canvas();
    const QString keptFamily = c.font.family();
    const int keptSize = c.font.pointSize();
    const int keptIndex = console_.CurrentColour();
    const QColor keptPen = c.penColour, keptFont = c.fontColour;
    if (!feature.FontName.empty()) c.font.setFamily(FromCp1252(feature.FontName));
    if (feature.Size != 0) c.font.setPointSize(std::clamp(static_cast<int>(feature.Size), 1, 2000));
    SetColor(feature.Colour);
    OutTextStyled(feature.X, feature.Y, feature.Text, 1);
    c.font.setFamily(keptFamily);
    if (keptSize > 0) c.font.setPointSize(keptSize);
    console_.SetCurrentColour(keptIndex);
    c.penColour = keptPen;
    c.fontColour = keptFont;
}

}  // namespace radevir
