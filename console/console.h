// The emulated DOS text console: an 80×25 grid of cells drawn straight onto the host's
// framebuffer, with colours, text windows, a cursor, glyph pictures for frame characters,
// screen pages, delays scaled by the SpeedFactor, and the DOS-style keyboard and mouse input.
// All training code talks to the screen through this object (and the graphics layer on top).
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRawFont>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/console_host.h"
#include "console/key_input.h"
#include "console/card_box_port.h"
#include "console/list_chooser_port.h"
#include "console/mouse_regions.h"
#include "console/sound_port.h"
#include "console/text_trace.h"
#include "console/vga_geometry.h"
#include "support/clock.h"
#include "support/codepage.h"
#include "support/program_environment.h"

namespace radevir {

// Raised by ReadKey while an abort is requested (resize, close, full-screen loss); it unwinds
// the running training program back to the host's program loop.
struct AbortRequestedError {};

// A glyph picture: a named vector picture that renders itself at a requested size.
struct GlyphSource {
    std::string name;
    std::function<QImage(QSize)> render;  // ink opaque, background transparent
};

// Pen, brush and font shared by the console and the graphics layer, like one canvas.
struct CanvasState {
    QFont font;
    QColor fontColour{Qt::white};
    QColor brushColour{Qt::black};
    Qt::BrushStyle brushStyle = Qt::SolidPattern;
    QColor penColour{Qt::white};
    int penWidth = 1;
    Qt::PenStyle penStyle = Qt::SolidLine;
    bool penXor = false;
    bool copyXor = false;
};

// Graphics-layer settings that the console resets or reads.
struct GraphicsSettings {
    bool graphicsMode = true;  // on from start-up until the first switch to text mode
    bool opaqueText = false;
    bool transparentText = true;
    bool graphicsDrawn = false;
    bool xorWriteMode = false;
    bool ascentAlign = false;
    int justifyHorizontal = 0;
    int justifyVertical = 0;
    int drawTargetPage = -1;  // ScreenPage drawn on, -1 for the window
    int fontIndex = 0;
    int charSize = 0;
    int bkColourIndex = 0;
    int fillColourIndex = 0;
    bool fullScreenActive = false;
    bool directDrawReady = false;
    QPoint fullScreenOffset{0, 0};
};

class Console {
public:
    Console(ConsoleHost& host, Clock& clock, const ProgramEnvironment& env);

    // --- set-up -------------------------------------------------------------------------
    void InitConsole(const std::vector<GlyphSource>& glyphs);
    int FitConsoleFont();
    void SetSoundPort(SoundPort* sound) { sound_ = sound ? sound : &noSound_; }
    void SetListChooser(ListChooserPort* chooser) { chooser_ = chooser; }
    // The card box's save dialog; nullptr (no dialog, nothing saved) until the window sets it.
    void SetCardBoxDialog(CardBoxDialogPort* dialog) { cardBoxDialog_ = dialog; }
    CardBoxDialogPort* CardBoxDialog() const { return cardBoxDialog_; }
    // Face names of the fonts installed at start-up, in file order.
    void SetInstalledFontNames(std::vector<QString> names) { installedFonts_ = std::move(names); }
    // Switches the console to the 80×25 text grid (the console half of leaving graphics mode).
    void EnterTextMode();

    // --- text output ----------------------------------------------------------------------
    void GotoXY(int column, int row);
    void Window(int x1, int y1, int x2, int y2);
    void TextColor(int index);
    void TextBackground(int index);
    void ClrScr();
    // Writes the values as one call; numbers are converted to decimal text.
    template <typename... Values>
    void Write(const Values&... values) {
        WriteValues({ToText(values)...});
    }
    template <typename... Values>
    void Writeln(const Values&... values) {
        WritelnValues({ToText(values)...});
    }
    void WriteValues(const std::vector<Bytes>& values);
    void WritelnValues(const std::vector<Bytes>& values);
    void ShowTextCursor();
    void HideTextCursor();
    void ScrollWindowUp();

    // --- screen pages -----------------------------------------------------------------------
    void SaveScreenPage(int page);
    void RestoreScreenPage(int page, bool free);
    void CopyScreenPage(int destination, int source);
    bool HasScreenPage(int page) const;
    QImage* ScreenPage(int page);
    void FreeScreenPage(int page);
    void ShadeCells(int x1, int y1, int x2, int y2, int style);

    // --- time and sound ------------------------------------------------------------------
    void Delay(double ms);
    void DelayUnlessKey(double normalMs, double keyMs);
    // Lets the program's clock reach `clockMs` (asleep in the event loop on the real clock),
    // without the scaling and shortening of Delay: for animations that keep a steady pace.
    void WaitUntil(double clockMs);
    void Sound(int frequencyHz, int durationMs);
    bool PlayWaveFile(const Bytes& name);
    void StopSounds();
    void SpeakWordSounds(const Bytes& text, const Bytes& category);
    struct Today {
        int year = 0, month = 0, day = 0, weekday = 0;  // weekday 0 = Sunday
        Bytes text;                                     // "dd.mm.yyyy"
    };
    Today TodayParts() const;
    bool ChooseListFile(const Bytes& path, const Bytes& editorFolder, const Bytes& recentFile,
                        bool& markDigits, int& multiplicationHelp, int& startIndex,
                        std::vector<Bytes>& files);

    // --- keyboard and mouse -------------------------------------------------------------------
    bool KeyPressed();
    unsigned char ReadKey();
    bool LastKeyExtended() const { return keys_.LastKeyExtended(); }
    void PumpMessages(bool all);
    void FlushKeyMessages();
    void FlushMouseMessages();
    unsigned char MouseClickToKey(QPoint clientPixel, bool* extended = nullptr);
    void PushMouseRegions(const Bytes& folder, const Bytes& fileName);
    void PopMouseRegions();
    bool TakeListRow(int& value, int first, int last) { return regions_.TakeListRow(value, first, last); }
    bool TakeItem(int& value, int first, int last) { return regions_.TakeItem(value, first, last); }
    bool TakeReverseItem(int& value, int first, int last) {
        return regions_.TakeReverseItem(value, first, last);
    }
    int GetMouseState(int& x, int& y);
    // Button presses so far: a press and release between two looks still count.
    long MousePressCount() const { return mousePressCount_; }
    void MoveMousePointer(int x, int y);
    void ShowMousePointer();
    void HideMousePointer();
    Bytes ToAnsi(std::string_view s) const { return radevir::ToAnsi(s, oemConversionOff_); }
    unsigned char ToOem(unsigned char c) const { return radevir::ToOem(c, oemConversionOff_); }
    Bytes ToOemString(std::string_view s) const {
        return radevir::ToOemString(s, oemConversionOff_);
    }

    // Producers of keys and clicks (the host window's event handlers).
    void AppendKey(unsigned char code, bool extended) { keys_.Append(code, extended); }
    void MousePressed(QPoint clientPixel, bool left, bool right);
    void MouseReleased(QPoint clientPixel, bool left, bool right);
    void MouseMoved(QPoint clientPixel);

    // --- state shared with the host and the graphics layer ------------------------------
    KeyQueue& Keys() { return keys_; }
    const KeyQueue& Keys() const { return keys_; }
    MouseRegionTable& Regions() { return regions_; }
    const MouseRegionTable& Regions() const { return regions_; }
    TextTrace& Trace() { return trace_; }
    const TextTrace& Trace() const { return trace_; }
    VgaGeometry& Geometry() { return geometry_; }
    const VgaGeometry& Geometry() const { return geometry_; }
    GraphicsSettings& Graphics() { return graphics_; }
    const GraphicsSettings& Graphics() const { return graphics_; }
    CanvasState& Canvas() { return canvas_; }
    const CanvasState& Canvas() const { return canvas_; }
    ConsoleHost& Host() { return host_; }
    Clock& GetClock() { return clock_; }
    const ProgramEnvironment& Environment() const { return env_; }

    // --- run state shared with the host window -------------------------------------------
    // An abort makes the next ReadKey throw AbortRequestedError, which unwinds the running
    // program to the host's program loop. The host then restarts the program, unless the
    // abort came with a close request.
    void RequestAbort() { abortRequested_ = true; }
    // An abort after which the host restarts the program (the window changed its size).
    void RequestRestart() {
        abortRequested_ = true;
        closeRequested_ = false;
    }
    // An abort that ends the program (the window is closing).
    void RequestClose() {
        abortRequested_ = true;
        closeRequested_ = true;
    }
    void ClearAbortRequest() { abortRequested_ = false; }
    bool AbortRequested() const { return abortRequested_; }
    bool CloseRequested() const { return closeRequested_; }
    // Active from InitConsole until the host sees the program end.
    bool IsActive() const { return active_; }
    void Deactivate() { active_ = false; }
    // The list chooser is shown (the host repaints from page 5 meanwhile).
    bool ChooserOpen() const { return chooserOpen_; }
    // Off while the list chooser is shown: the host then keeps mouse events from the console.
    bool MouseHandlersAttached() const { return mouseHandlersAttached_; }
    // Delays of up to 90 ms are stretched by the speed factor once scaling is on.
    double SpeedFactor() const { return speedFactor_; }
    void SetSpeedFactor(double factor) { speedFactor_ = factor; }
    bool SpeedScalingOn() const { return speedScalingOn_; }
    void SetSpeedScaling(bool on) { speedScalingOn_ = on; }
    // Set by the program menu at its start: texts then pass ToOem/ToAnsi unchanged.
    bool OemConversionOff() const { return oemConversionOff_; }
    void SetOemConversionOff(bool off) { oemConversionOff_ = off; }
    // The graphics layer's way out of full-screen mode, which the host takes on resize and
    // deactivation while full-screen. An empty function removes it.
    void SetFullScreenExit(std::function<void()> leave) { leaveFullScreen_ = std::move(leave); }
    bool HasFullScreenExit() const { return static_cast<bool>(leaveFullScreen_); }
    void LeaveFullScreen() {
        if (leaveFullScreen_) leaveFullScreen_();
    }

    int CellWidth() const { return cellWidth_; }
    int CellHeight() const { return cellHeight_; }
    int ConsoleFontSize() const { return consoleFontSize_; }
    const std::array<int, 13>& TextSizeTable() const { return textSizeTable_; }
    const std::vector<QString>& FontTable() const { return fontTable_; }
    // Replaces the face of font number `index`; an index outside the table is ignored.
    void SetFontFace(size_t index, const QString& face) {
        if (index < fontTable_.size()) fontTable_[index] = face;
    }
    QPoint Cursor() const { return {cursorX_, cursorY_}; }
    QRect TextWindow() const { return QRect(QPoint(windowLeft_, windowTop_), QPoint(windowRight_, windowBottom_)); }
    int CurrentColour() const { return currentColour_; }
    void SetCurrentColour(int index) { currentColour_ = index; }
    const std::array<QColor, 17>& Palette() const { return palette_; }
    // Index 16 is the graphics layer's extra fill colour.
    void SetPaletteColour(size_t index, const QColor& colour) {
        if (index < palette_.size()) palette_[index] = colour;
    }
    void SetPalette(const std::array<QColor, 17>& colours) { palette_ = colours; }
    const std::array<QColor, 17>& DefaultPalette() const { return defaultPalette_; }
    const std::array<QColor, 65>& ExtendedColours() const { return extendedColours_; }
    bool ClearOnNextBackground() const { return clearOnNextBackground_; }
    bool WaitingForKey() const { return waitingForKey_; }
    // The program has looked for a key (waits for one, or polls between steps) since it took
    // the last one: input given now reaches it the way a person's would.
    bool LookingForInput() const { return waitingForKey_ || polledSinceTake_; }
    int GlyphCount() const { return static_cast<int>(glyphs_.size()); }
    int GlyphIndex(unsigned char converted, unsigned char original) const;
    const std::string& GlyphName(int index) const { return glyphs_[static_cast<size_t>(index)].name; }
    QImage RenderGlyph(int index, QSize size) const;

    // Counters that show how glyph cells were drawn.
    struct DrawStats {
        long blends = 0;  // glyph pictures tinted and blended
        long copies = 0;  // cells copied from the previous identical glyph
    };
    const DrawStats& Stats() const { return stats_; }

private:
    static Bytes ToText(std::string_view s) { return Bytes(s); }
    static Bytes ToText(const char* s) { return Bytes(s); }
    static Bytes ToText(const Bytes& s) { return s; }
    static Bytes ToText(char c) { return Bytes(1, c); }
    static Bytes ToText(unsigned char c) { return Bytes(1, static_cast<char>(c)); }
    static Bytes ToText(int v) { return std::to_string(v); }
    static Bytes ToText(long v) { return std::to_string(v); }
    static Bytes ToText(long long v) { return std::to_string(v); }
    static Bytes ToText(unsigned v) { return std::to_string(v); }
    static Bytes ToText(double v);

    struct Glyph {
        std::string name;
        std::function<QImage(QSize)> render;
        QSize size;  // CellWidth + 2 × CellHeight + 2
        // The ink of the picture at that size, as runs of pixels in the text colour.
        struct Span {
            int row = 0, left = 0, length = 0;
        };
        std::vector<Span> inkSpans;
    };

    // What the console font draws for each byte, worked out once per font: the advance, and
    // the glyph when a single glyph of the font's own face draws the letter (those letters are
    // drawn in runs); other letters (fallback faces, decorated fonts) go one by one.
    struct LetterFace {
        QFont font;
        int dpi = 0;
        QRawFont raw;
        double ascent = 0;
        bool courier = false;
        bool runs = false;  // letters of this face may be drawn in runs
        struct Letter {
            bool known = false;
            bool inRun = false;
            quint32 glyph = 0;
            double advance = 0;
        };
        std::array<Letter, 256> letters{};
    };

    // Lets `ms` pass on the program's clock; on the real clock asleep in the host's event loop.
    void WaitMs(double ms);
    QPoint DrawCells(const Bytes& text, bool isLast);
    LetterFace& FaceFor(const QFont& font, const QImage& device);
    const LetterFace::Letter& LetterFor(LetterFace& face, unsigned char shown, const QImage& device);
    void BuildGlyphBitmaps();
    void BlendGlyph(QImage& target, const Glyph& glyph, QPoint at);
    void DrawCursorLine(QPoint at);
    void FillRect(const QRect& r, const QColor& colour);
    QPoint CellOrigin() const;
    int TraceColumn(int x) const;
    int TraceRow(int y) const;
    void Repaint();

    // Takes the text cursor off the screen while text is drawn and puts it back at the
    // then current cursor position, so drawing never inverts it.
    class HiddenTextCursor {
    public:
        explicit HiddenTextCursor(Console& console)
            : console_(console), wasShown_(console.textCursorVisible_) {
            if (wasShown_) console_.HideTextCursor();
        }
        ~HiddenTextCursor() {
            if (wasShown_) console_.ShowTextCursor();
        }
        HiddenTextCursor(const HiddenTextCursor&) = delete;
        HiddenTextCursor& operator=(const HiddenTextCursor&) = delete;

    private:
        Console& console_;
        bool wasShown_ = false;
    };

    ConsoleHost& host_;
    Clock& clock_;
    const ProgramEnvironment& env_;
    NoSound noSound_;
    SoundPort* sound_ = &noSound_;
    ListChooserPort* chooser_ = nullptr;
    CardBoxDialogPort* cardBoxDialog_ = nullptr;

    KeyQueue keys_;
    MouseRegionTable regions_;
    TextTrace trace_;
    VgaGeometry geometry_;
    GraphicsSettings graphics_;
    CanvasState canvas_;

    int cellWidth_ = 8, cellHeight_ = 16;
    int windowLeft_ = 0, windowTop_ = 0, windowRight_ = 0, windowBottom_ = 0;
    int cursorX_ = 0, cursorY_ = 0;
    bool textCursorVisible_ = false;
    QPoint drawnCursor_{-1, -1};
    std::array<QColor, 17> palette_{};
    std::array<QColor, 17> defaultPalette_{};
    std::array<QColor, 65> extendedColours_{};
    int currentColour_ = 15;
    bool clearOnNextBackground_ = false;
    int consoleFontSize_ = 10;
    std::array<int, 13> textSizeTable_{};
    std::vector<QString> fontTable_;
    std::vector<QString> installedFonts_;
    std::vector<Glyph> glyphs_;
    std::vector<std::unique_ptr<LetterFace>> letterFaces_;
    std::array<std::optional<QImage>, 6> pages_;
    std::array<TextTrace, 6> pageTraces_;
    int subMsCounter_ = 0;
    int idlePollCount_ = 0;
    bool waitingForKey_ = false;
    bool polledSinceTake_ = false;

    bool mouseButtonDown_ = false;
    QPoint mouse_{0, 0};
    bool leftButtonDown_ = false;
    bool rightButtonDown_ = false;
    int pointerDisplayCount_ = 0;
    long mousePressCount_ = 0;

    bool abortRequested_ = false;
    bool closeRequested_ = false;
    bool active_ = false;
    bool chooserOpen_ = false;
    bool mouseHandlersAttached_ = true;
    double speedFactor_ = 1.0;
    bool speedScalingOn_ = false;
    bool oemConversionOff_ = false;
    std::function<void()> leaveFullScreen_;

    DrawStats stats_;
};

}  // namespace radevir
