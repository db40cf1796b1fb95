// Graphics mode switching, conversions, colours, fill/line/text styles, palettes, panels, the
// start-up values and printing of the printer text file.
#include <QPainter>
#include <algorithm>

#include "graphics/graphics.h"
#include "support/rounding.h"

namespace radevir {

Graphics::Graphics(Console& console) : console_(console) {
    const ProgramEnvironment& env = console_.Environment();
    printerTextFile_ = env.ProgramFolder() + "LPTB.TXT";
    console_.SetCurrentColour(0);
    console_.Graphics().fillColourIndex = 0;
    console_.Graphics().bkColourIndex = 0;
    // the program's own clickable areas answer from the start
    console_.Regions().Reset();
    console_.PushMouseRegions("", ExeNameParts(env.ProgramFileName()).name + ".mtb");
    // the host window leaves full-screen mode through us when it is resized or deactivated
    console_.SetFullScreenExit([this] { LeaveFullScreen(); });
}

Graphics::~Graphics() {
    console_.SetFullScreenExit(nullptr);
    for (const auto& [id, rect] : panels_)
        if (panelHost_) panelHost_->RemovePanel(id);
}

QImage& Graphics::Window() { return console_.Host().Framebuffer(); }

QImage& Graphics::DrawTarget() {
    const int page = console_.Graphics().drawTargetPage;
    if (page >= 0) {
        if (QImage* image = console_.ScreenPage(page)) return *image;
    }
    return Window();
}

void Graphics::RefreshGeometry() {
    VgaGeometry& g = console_.Geometry();
    const QSize client = console_.Host().ClientSize();
    if (g.clientSize != client) g.clientSize = client;
    if (g.keepAspect) g.Fit(client);
}

void Graphics::Repaint() {
    if (!console_.Graphics().directDrawReady) console_.Host().RequestRepaint();
}

QPoint Graphics::VgaToPixel(QPoint vga) {
    RefreshGeometry();
    return console_.Geometry().VgaToPixel(vga);
}

QPoint Graphics::PixelToVga(QPoint pixel) {
    RefreshGeometry();
    return console_.Geometry().PixelToVga(pixel);
}

QSize Graphics::VgaSizeToPixel(QSize vga) {
    RefreshGeometry();
    return console_.Geometry().VgaSizeToPixel(vga);
}

QSize Graphics::PixelSizeToVga(QSize pixel) {
    RefreshGeometry();
    return console_.Geometry().PixelSizeToVga(pixel);
}

QPoint Graphics::VirtualOrigin() {
    RefreshGeometry();
    return console_.Geometry().keepAspect ? console_.Geometry().virtualOrigin : QPoint(0, 0);
}

QSize Graphics::VirtualSize() {
    RefreshGeometry();
    return console_.Geometry().keepAspect ? console_.Geometry().virtualSize
                                          : console_.Host().ClientSize();
}

// --- mode -------------------------------------------------------------------------------------

void Graphics::InitGraph(int mode) {
    GraphicsSettings& g = console_.Graphics();
    CanvasState& c = console_.Canvas();
    RefreshGeometry();
    g.graphicsMode = true;
    c.font = QFont(QStringLiteral("Arial"));
    c.font.setPointSize(6);
    SetBkColor(0);
    // The text window first: a text screen may have armed the clearing of the next background,
    // which takes the brush to colour 0; the fill colour of `mode` must survive it.
    console_.Window(1, 1, 80, 30);
    SetFillStyle(1, mode);
    SetColor(15);
    g.transparentText = true;
    g.opaqueText = mode == 1;
    if (c.brushStyle != Qt::NoBrush) {
        QPainter p(&Window());
        p.fillRect(QRect(QPoint(0, 0), console_.Host().ClientSize()), CurrentBrush());
    }
    g.graphicsDrawn = true;
    // the regions of the text screens stop answering
    console_.Regions().SetBase(console_.Regions().Count());
    SetTextJustify(0, 2);
    console_.Trace().Reset(30);
    Repaint();
}

void Graphics::CloseGraph() {
    if (stopAnimation && stopAnimation()) console_.Delay(100);
    SetWriteMode(0);
    console_.Graphics().drawTargetPage = -1;
    console_.EnterTextMode();  // text grid, Courier New, region base 0, pen, colour 15
    std::vector<int> ids;
    for (const auto& [id, rect] : panels_) ids.push_back(id);
    for (int id : ids) RemovePanel(id);
    SetLineStyle(0, 0, 1);
    console_.TextColor(15);
}

// --- colours and styles -----------------------------------------------------------------------

QColor Graphics::ColourOf(int index) const {
    if (index < 0) index = 0;
    if (index <= 16) return console_.Palette()[static_cast<size_t>(index)];
    if (index <= 64) return console_.ExtendedColours()[static_cast<size_t>(index)];
    return QColor(Qt::black);  // no such colour: black, as the unused table entries
}

void Graphics::SelectDrawTarget(int page) {
    GraphicsSettings& g = console_.Graphics();
    if (page < 0 || page > 5) {
        g.drawTargetPage = -1;
        return;
    }
    if (!console_.HasScreenPage(page)) console_.SaveScreenPage(page);
    // pen, brush and font are shared, so the page draws with the window's
    g.drawTargetPage = page;
}

void Graphics::SetColor(int index) {
    CanvasState& c = console_.Canvas();
    const QColor colour = ColourOf(index);
    c.penColour = colour;
    c.fontColour = colour;
    console_.SetCurrentColour(index);
    if (!console_.Graphics().graphicsMode) console_.TextColor(index);
    c.penXor = console_.Graphics().xorWriteMode;
}

void Graphics::SetBkColor(int index) {
    QColor colour;
    if (index >= 0 && index <= 16) {
        colour = console_.DefaultPalette()[static_cast<size_t>(index)];
    } else {
        colour = ColourOf(index);
    }
    console_.SetPaletteColour(16, colour);
    console_.Graphics().bkColourIndex = index;
    if (index == 0) {
        QPainter p(&Window());
        p.fillRect(QRect(QPoint(0, 0), console_.Host().ClientSize()), colour);
        Repaint();
    }
}

void Graphics::SetFillStyle(int pattern, int colour) {
    CanvasState& c = console_.Canvas();
    const auto& ext = console_.ExtendedColours();
    auto extended = [&](int i) { return i >= 0 && i <= 64 ? ext[static_cast<size_t>(i)] : QColor(Qt::black); };
    switch (pattern) {
        case 0:
            c.brushStyle = Qt::SolidPattern;
            c.brushColour = console_.Palette()[16];
            break;
        case 1:
            c.brushStyle = Qt::SolidPattern;
            c.brushColour = ColourOf(colour);
            break;
        case 3:
            c.brushStyle = Qt::SolidPattern;
            c.brushColour = extended(colour);
            break;
        case 5:
        case 6:
            c.brushStyle = Qt::FDiagPattern;  // "\\\\" as the forward diagonal hatch
            c.brushColour = extended(colour);
            break;
        case 7:
        case 8:
            c.brushStyle = Qt::CrossPattern;
            c.brushColour = extended(colour);
            break;
        case 9:
        case 10:
            c.brushStyle = Qt::BDiagPattern;  // "////"
            c.brushColour = extended(colour);
            break;
        case 100:
            c.brushStyle = Qt::NoBrush;
            break;
        default:
            if (pattern >= 11 && pattern <= 20) {
                c.brushStyle = Qt::DiagCrossPattern;
                c.brushColour = extended(colour);
            } else {
                c.brushStyle = Qt::SolidPattern;
                c.brushColour = ColourOf(colour);
            }
            break;
    }
    console_.Graphics().fillColourIndex = colour;
}

std::array<unsigned char, 8> Graphics::GetFillPattern() const {
    std::array<unsigned char, 8> pattern{};
    pattern.fill(255);
    return pattern;
}

void Graphics::SetLineStyle(int style, int /*pattern*/, int thickness) {
    CanvasState& c = console_.Canvas();
    if (style >= 0 && style <= 2) {
        c.penStyle = Qt::SolidLine;
    } else if (style == 3) {
        c.penStyle = Qt::DashLine;
        thickness = 1;
    }
    int width = thickness;
    if (thickness >= 2) width = Round(thickness * static_cast<double>(VirtualSize().width()) / 600.0);
    c.penWidth = std::max(1, width);
}

void Graphics::SetWriteMode(int mode) {
    if (mode != 0 && mode != 1) return;
    GraphicsSettings& g = console_.Graphics();
    g.xorWriteMode = mode == 1;
    console_.Canvas().penXor = g.xorWriteMode;
    console_.Canvas().copyXor = g.xorWriteMode;
}

void Graphics::SetTextStyle(int font, int /*direction*/, int charSize) {
    GraphicsSettings& g = console_.Graphics();
    CanvasState& c = console_.Canvas();
    const auto& fonts = console_.FontTable();
    if (font >= 0 && font < static_cast<int>(fonts.size())) {
        c.font.setFamily(fonts[static_cast<size_t>(font)]);
        g.fontIndex = font;
    }
    const auto& sizes = console_.TextSizeTable();
    int size = 0;
    if (charSize <= 12) {
        size = sizes[static_cast<size_t>(std::max(charSize, 0))];
        if (font == 3) size -= 1;
    } else {
        size = 2 * sizes[10] + 4 * charSize;
    }
    size = std::clamp(size, 1, 2000);
    c.font.setPointSize(size);
    c.font.setBold(size < 10);
    g.charSize = charSize;
}

void Graphics::SetTextJustify(int horizontal, int vertical) {
    console_.Graphics().justifyHorizontal = horizontal;
    console_.Graphics().justifyVertical = vertical;
}

Graphics::TextSettings Graphics::GetTextSettings() const {
    const GraphicsSettings& g = console_.Graphics();
    TextSettings t;
    t.font = 3;
    t.charSize = static_cast<std::int16_t>(g.charSize);
    t.horizontal = static_cast<std::int16_t>(g.justifyHorizontal);
    t.vertical = static_cast<std::int16_t>(g.justifyVertical);
    return t;
}

void Graphics::SetPalette(int index, int colour) {
    if (index < 0 || index > 16 || colour < 0 || colour > 16) return;
    console_.SetPaletteColour(static_cast<size_t>(index), console_.DefaultPalette()[static_cast<size_t>(colour)]);
}

void Graphics::SetAllPalette(const std::array<QColor, 17>& colours) { console_.SetPalette(colours); }

// --- panels -----------------------------------------------------------------------------------

int Graphics::PlacePanel(QRect vgaRect, const Bytes& caption) {
    const int id = nextPanelId_++;
    const QRect pixels(VgaToPixel(vgaRect.topLeft()), VgaToPixel(vgaRect.bottomRight()));
    panels_[id] = pixels;
    if (panelHost_) panelHost_->CreatePanel(id, pixels, caption);
    return id;
}

void Graphics::RemovePanel(int id) {
    if (panels_.erase(id) == 0) return;
    if (panelHost_) panelHost_->RemovePanel(id);
}

// --- printing ---------------------------------------------------------------------------------

void Graphics::PrintPrinterTextFile(const PrintJob& job) {
    if (!printer_) return;
    // the texts are converted exactly when the program still writes code page 437
    printer_->PrintTextFile(printerTextFile_, !console_.OemConversionOff(), job.printerIndex,
                            job.documentName);
}

}  // namespace radevir
