// The host window: a borderless window covering the screen that owns the console's
// framebuffer, turns Qt key and mouse events into DOS key codes, and runs the program menu from
// its idle step once after the first paint (restarting it after a resize).
#pragma once

#include <QImage>
#include <QPointer>
#include <map>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "console/console.h"
#include "console/key_input.h"
#include "graphics/graphics_ports.h"
#include "printing/text_printer.h"
#include "support/codepage.h"

class QPushButton;

namespace radevir {

class Clock;
class FontInstaller;
class FrameAnimation;
class Metafile;
class ProgramEnvironment;
class SettingsStore;

class HostWindow : public QWidget,
                   public ConsoleHost,
                   public FullScreenWindowPort,
                   public PanelHostPort,
                   public PrintJobMonitor {
    Q_OBJECT

public:
    struct Services {
        ProgramEnvironment& env;
        SettingsStore& settings;
        Clock& clock;
    };
    // fixedClientSize: the window's client size instead of the whole screen (empty: screen).
    HostWindow(Services services, QSize fixedClientSize = {});
    ~HostWindow() override;

    Console& GetConsole() { return console_; }
    // The window's frame animation (no border around its frames); stopped and cleared when
    // the graphics layer goes back to text mode.
    FrameAnimation& Film() { return *film_; }

    // PrintJobMonitor: the "Druck Abbruch" button at the top right shows while a job runs; a
    // click cancels it.
    void PrintJobStarted() override;
    bool PrintCancelRequested() override;
    void PrintJobEnded() override;
    QPushButton* PrintAbortButton() const { return printAbortButton_; }

    // The training programs' main loop, called once after the first paint (and after every
    // restart). Returns when the user leaves the menu.
    std::function<void(Console&)> runProgramMenu;
    // Opens the speed dialog with `value`; true on OK with the new value in `value`.
    std::function<bool(double& value)> speedDialog;
    // Called when the program loop has ended and the window is about to close.
    std::function<void()> onProgramEnded;

    // ConsoleHost
    QImage& Framebuffer() override { return framebuffer_; }
    QSize ClientSize() const override { return framebuffer_.size(); }
    void RequestRepaint() override { update(); }
    void ProcessEvents() override;
    void WaitForEvents(double maxMs) override;
    void FlushInput(bool keyboard, bool mouse) override;
    bool HasActiveWindow() const override;
    void Beep() override;
    void SetPointerVisible(bool visible) override;
    QPoint PointerPosition() const override;
    void SetPointerPosition(QPoint clientPixel) override;

    // FullScreenWindowPort: full-screen mode shows the window full-screen without a frame
    // (a window of a fixed client size stays as it is; the back buffer does the rest).
    bool EnterFullScreenWindow() override;
    void LeaveFullScreenWindow() override;
    // PanelHostPort: panels the training programs place on the window; a click on a panel
    // reaches the window's own mouse handling, and the pressed panel's caption turns yellow
    void CreatePanel(int id, QRect clientRect, const Bytes& caption) override;
    void RemovePanel(int id) override;
    QWidget* Panel(int id) const;

    // Lists filled at creation.
    const std::vector<GlyphSource>& GlyphMetafiles() const { return glyphs_; }
    const std::vector<Bytes>& ToneFiles() const { return toneFiles_; }
    const std::vector<Bytes>& FilterLines() const { return filterLines_; }
    const std::vector<Bytes>& InstalledFonts() const { return installedFonts_; }
    std::vector<Bytes>& RecentFiles() { return recentFiles_; }
    bool RunMenuPending() const { return runMenuPending_; }
    bool Painted() const { return painted_; }
    bool ProgramEnded() const { return programEnded_; }

    // Key handlers in DOS terms (virtual key numbers, Windows-1252 characters).
    void FormKeyDown(int virtualKey);
    void FormKeyPress(unsigned char character);
    void FormKeyUp(int virtualKey);
    // The application lost or regained the user (another program took the focus).
    void ApplicationDeactivated();
    void ApplicationActivated();

    // Shows the window as the program's first showing does (placement, console set-up).
    void FormShow();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void FormCreate();
    void IdleStep();
    void ScheduleIdle();
    void SaveRecentFiles();
    // The window lost the keyboard: a held Alt and a half-typed Alt code are forgotten.
    void LetGoOfAlt();
    void PlacePrintAbortButton();

    Services services_;
    Console console_;
    QImage framebuffer_;
    QSize fixedClientSize_;
    std::unique_ptr<FontInstaller> fonts_;
    std::unique_ptr<FrameAnimation> film_;
    QPushButton* printAbortButton_ = nullptr;  // a child of the window
    bool printCancelRequested_ = false;
    std::vector<std::shared_ptr<const Metafile>> metafiles_;
    std::vector<GlyphSource> glyphs_;
    std::vector<Bytes> toneFiles_;
    std::vector<Bytes> filterLines_;
    std::vector<Bytes> installedFonts_;
    std::vector<Bytes> recentFiles_;
    bool runMenuPending_ = true;
    bool idleScheduled_ = false;
    bool painted_ = false;
    bool altDown_ = false;
    AltComposer altComposer_;
    bool discardKeys_ = false;
    bool discardMouse_ = false;
    bool hostWasActive_ = false;
    bool inIdle_ = false;
    bool programEnded_ = false;
    bool shown_ = false;
    std::map<int, QWidget*> panels_;
    QPointer<QWidget> pressedPanel_;
    QColor pressedPanelColour_;
    bool fullScreenWindow_ = false;  // we put the window into the full-screen state
    // The size our own switch into or out of the full-screen state brings: that resize is no
    // reason to leave full-screen mode and restart the program.
    QSize ownResizeTo_;
    QSize sizeBeforeFullScreen_;
};

// Qt key → virtual key number (0 when the key has none the program cares about).
int VirtualKeyFromQt(int qtKey, bool keypad);

}  // namespace radevir
