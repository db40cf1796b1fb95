// The graphics layer: the drawing operations of a classic 640×480, 16-colour graphics library
// mapped onto the console's framebuffer (or onto a screen page), plus picture loading and the
// full-screen mode with a back buffer that flips. Training code calls this object with 640×480
// units only; QPainter stays inside this folder.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <array>
#include <functional>
#include <map>
#include <string>
#include <tuple>

#include "console/console.h"
#include "graphics/graphics_ports.h"
#include "support/codepage.h"

class QPainter;
class QFont;

namespace radevir {

// A text drawn with its own style (DrawFeatureText). A zero size or an empty font name keeps the
// current one.
struct textfeature {
    std::int32_t X = 0, Y = 0;  // 640×480 units
    std::int32_t Size = 0;      // font size
    std::int32_t Colour = 0;    // colour index
    Bytes Text;
    Bytes FontName;
};

class Graphics {
public:
    // Sets the start-up values (printer file name, colours 0, the program's own region file).
    explicit Graphics(Console& console);
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    // --- ports to the outside -------------------------------------------------------------
    void SetTextPrinter(TextPrinterPort* printer) { printer_ = printer; }
    void SetFullScreenWindow(FullScreenWindowPort* window) { fullScreenWindow_ = window; }
    void SetPanelHost(PanelHostPort* panels) { panelHost_ = panels; }
    // Asked by CloseGraph: stop a running frame animation; true when one was playing.
    std::function<bool()> stopAnimation;

    // --- mode ---------------------------------------------------------------------------------
    void InitGraph(int mode);
    void CloseGraph();
    void ClearGraphicsMode() { console_.Graphics().graphicsMode = false; }
    int GraphResult() const { return 0; }
    int GetMaxX() const { return 639; }
    int GetMaxY() const { return 479; }

    // --- conversions (640×480 units ↔ client pixels) --------------------------------------------
    QPoint VgaToPixel(QPoint vga);
    QPoint PixelToVga(QPoint pixel);
    QSize VgaSizeToPixel(QSize vga);
    QSize PixelSizeToVga(QSize pixel);
    bool KeepAspect() const { return console_.Geometry().keepAspect; }
    void SetKeepAspect(bool on) { console_.Geometry().keepAspect = on; }
    QPoint VirtualOrigin();
    QSize VirtualSize();

    // --- targets, colours and styles ------------------------------------------------------------
    void SelectDrawTarget(int page);
    void SetColor(int index);
    int GetColor() const { return console_.CurrentColour(); }
    void SetBkColor(int index);
    int GetBkColor() const { return console_.Graphics().bkColourIndex; }
    void SetFillStyle(int pattern, int colour);
    int GetFillColor() const { return console_.Graphics().fillColourIndex; }
    struct FillSettings {
        int pattern = 0, colour = 0;
    };
    FillSettings GetFillSettings() const { return {0, console_.Graphics().bkColourIndex}; }
    std::array<unsigned char, 8> GetFillPattern() const;
    void SetLineStyle(int style, int pattern, int thickness);
    void SetWriteMode(int mode);
    void SetTextStyle(int font, int direction, int charSize);
    void SetTextJustify(int horizontal, int vertical);
    struct TextSettings {
        std::int16_t font = 3, direction = 0, charSize = 0, horizontal = 0, vertical = 0;
    };
    TextSettings GetTextSettings() const;
    void SetPalette(int index, int colour);
    void SetAllPalette(const std::array<QColor, 17>& colours);
    bool AscentAlign() const { return console_.Graphics().ascentAlign; }
    void SetAscentAlign(bool on) { console_.Graphics().ascentAlign = on; }

    // --- primitives ----------------------------------------------------------------------------
    void Line(int x1, int y1, int x2, int y2);
    void ThickLine(int x1, int y1, int x2, int y2, bool thick);
    void HorizontalLine(int y, bool thick);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Bar(int x1, int y1, int x2, int y2);
    void Bar3D(int x1, int y1, int x2, int y2, int depth, bool top);
    void FillEllipse(int x, int y, int xRadius, int yRadius);
    void EllipseArc(int x, int y, int startAngle, int endAngle, int xRadius, int yRadius);
    void Arc(int x, int y, int startAngle, int endAngle, int radius);
    // Copies the whole bitmap to the point (on the window); with KeepAspect cut at the right and
    // bottom edge of the 640×480 area.
    void PutImage(int x, int y, const QImage& bitmap, int operation = 0);
    // Copies the area, right and bottom inclusive, from the window into `bitmap`.
    void GetImage(int x1, int y1, int x2, int y2, QImage& bitmap);
    // A sprite on the draw target: `mask` (black where the picture shows, white elsewhere)
    // combined with AND, then `image` with OR.
    void PutMaskedImage(int x, int y, const QImage& image, const QImage& mask);

    // --- text ------------------------------------------------------------------------------------
    // Draws the justified text; `covered` (when given) receives the rectangle it covers.
    void OutTextXY(int x, int y, const Bytes& text, QRect* covered = nullptr);
    void OutTextStyled(int x, int y, const Bytes& text, int style);
    void DrawFeatureText(const textfeature& feature);
    int TextWidthVga(const Bytes& text);
    int TextAscentVga(const Bytes& text);
    struct GlyphBox {
        int top = 0, bottom = 0;
    };
    GlyphBox GlyphBoxVga(const Bytes& text);
    void FitFontHeight(int height);

    // --- pictures --------------------------------------------------------------------------------
    // A bitmap of width × height (640×480 units; width 0: from the picture's aspect) filled with
    // `background`, the picture file stretched into it. A missing or broken file leaves the
    // filled bitmap.
    void LoadPictureBitmap(QImage& bitmap, QColor background, int width, int height,
                           const Bytes& file, bool stretch);
    // Fills `bitmap` (at its size) with the picture on black and `mask` (when given) with the
    // matching mask: black where the picture has pixels, white elsewhere.
    void LoadMaskedPicture(QImage& bitmap, QImage* mask, const Bytes& file);

    // --- full-screen mode -----------------------------------------------------------------------
    void EnterFullScreen();
    void AttachFullScreenCanvas();
    void LeaveFullScreen();
    void LeaveFullScreenMode();
    // Shows the back buffer: it becomes the picture on the screen.
    void Flip();
    void RestoreScreenPageToTarget(int page, bool free);
    // `rect` in 640×480 units.
    void RestoreScreenPageRect(int page, bool free, QRect rect);
    void SaveBackground() { console_.SaveScreenPage(0); }
    void RestoreBackground(bool free) { console_.RestoreScreenPage(0, free); }
    const QImage* BackBuffer() const { return backBuffer_.isNull() ? nullptr : &backBuffer_; }

    // --- panels on the host window ---------------------------------------------------------------
    // Places a panel (rectangle in 640×480 units); removed at the latest by CloseGraph.
    int PlacePanel(QRect vgaRect, const Bytes& caption);
    void RemovePanel(int id);
    int PanelCount() const { return static_cast<int>(panels_.size()); }

    // --- printing --------------------------------------------------------------------------------
    const Bytes& PrinterTextFile() const { return printerTextFile_; }
    void PrintPrinterTextFile(const PrintJob& job);

    Console& GetConsole() { return console_; }

private:
    QImage& Window();       // the framebuffer
    QImage& DrawTarget();   // the selected page or the framebuffer
    void RefreshGeometry();
    void Repaint();
    QColor ColourOf(int index) const;  // Palette up to 16, ExtendedColours above
    void ApplyPenMode(QPainter& painter) const;
    QPen CurrentPen() const;
    QBrush CurrentBrush() const;
    QRect BarPixelRect(int x1, int y1, int x2, int y2);
    void DrawPolyline(QImage& target, const std::vector<QPointF>& points);

    // text helpers (graphics_text.cpp)
    QFont DeviceFont() const;
    bool IsSchoolFont() const;
    Bytes ShapedForMeasure(const Bytes& text) const;
    int DrawnWidthPx(const Bytes& text);
    int CharAdvancePx(const Bytes& text, size_t i, const Bytes& converted, int boxWidth);
    int CharWidthPx(unsigned char c);
    QPoint JustifiedPoint(int x, int y, const Bytes& shaped);
    void DrawGraphText(QImage& canvas, QPoint at, const Bytes& text);
    int TextGlyphIndex(unsigned char converted, unsigned char original) const;
    const QImage& GlyphCellPicture(int glyph, QSize box);

    Console& console_;
    TextPrinterPort* printer_ = nullptr;
    FullScreenWindowPort* fullScreenWindow_ = nullptr;
    PanelHostPort* panelHost_ = nullptr;
    Bytes printerTextFile_;
    QImage backBuffer_;
    std::map<int, QRect> panels_;
    int nextPanelId_ = 1;
    // glyph pictures rendered at the text cell box, by (glyph name, width, height)
    std::map<std::tuple<std::string, int, int>, QImage> glyphCells_;
};

}  // namespace radevir
