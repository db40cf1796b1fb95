#include "start/host_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QElapsedTimer>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <memory>

#include "console/dos_keys.h"
#include "console/glyph_fallback.h"
#include "film/frame_animation.h"
#include "start/speed_setting.h"
#include "support/clock.h"
#include "support/error_log.h"
#include "support/file_helpers.h"
#include "support/font_install.h"
#include "support/metafile.h"
#include "support/program_environment.h"
#include "support/settings_store.h"
#include "support/text_file.h"
#include "support/text_helpers.h"

namespace radevir {
namespace {

constexpr int kRecentFilesKept = 20;

// The program's own fonts, in the order their face names fill the font table.
constexpr const char* kFontFiles[] = {"bgi7\\vududed.ttf", "bgi7\\vareruvir.TTF",
                                      "bgi7\\darizodev.TTF", "bgi7\\lueckentext.TTF"};

// Sorted names of the files in `folder` matching `pattern`, letter case ignored.
QStringList MatchingFiles(const QString& folder, const QString& pattern) {
    QDir dir(folder);
    dir.setNameFilters({pattern});
    dir.setFilter(QDir::Files | QDir::Hidden | QDir::System);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    return dir.entryList();
}

int KeypadDigit(int qtKey) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return qtKey - Qt::Key_0;
    switch (qtKey) {  // the number pad with Num Lock off
        case Qt::Key_Insert: return 0;
        case Qt::Key_End: return 1;
        case Qt::Key_Down: return 2;
        case Qt::Key_PageDown: return 3;
        case Qt::Key_Left: return 4;
        case Qt::Key_Clear: return 5;
        case Qt::Key_Right: return 6;
        case Qt::Key_Home: return 7;
        case Qt::Key_Up: return 8;
        case Qt::Key_PageUp: return 9;
        default: return -1;
    }
}

}  // namespace

int VirtualKeyFromQt(int qtKey, bool keypad) {
    if (keypad && qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return vk::kNumpad0 + (qtKey - Qt::Key_0);
    switch (qtKey) {
        case Qt::Key_PageUp: return vk::kPageUp;
        case Qt::Key_PageDown: return vk::kPageDown;
        case Qt::Key_End: return vk::kEnd;
        case Qt::Key_Home: return vk::kHome;
        case Qt::Key_Left: return vk::kLeft;
        case Qt::Key_Up: return vk::kUp;
        case Qt::Key_Right: return vk::kRight;
        case Qt::Key_Down: return vk::kDown;
        case Qt::Key_Insert: return vk::kInsert;
        case Qt::Key_Delete: return vk::kDelete;
        case Qt::Key_Alt: return vk::kAlt;
        case Qt::Key_Shift: return vk::kShift;
        case Qt::Key_Control: return vk::kControl;
        // these virtual keys share their numbers with the DOS codes they type
        case Qt::Key_Return:
        case Qt::Key_Enter: return doskey::kEnter;
        case Qt::Key_Escape: return doskey::kEscape;
        case Qt::Key_Backspace: return doskey::kBackspace;
        case Qt::Key_Tab: return doskey::kTab;
        case Qt::Key_Space: return 32;
        default: break;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return vk::kF1 + (qtKey - Qt::Key_F1);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return '0' + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 'A' + (qtKey - Qt::Key_A);
    return 0;
}

HostWindow::HostWindow(Services services, QSize fixedClientSize)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      services_(services),
      console_(*this, services.clock, services.env),
      framebuffer_(MakeFramebuffer(fixedClientSize.isEmpty() ? QSize(640, 480) : fixedClientSize)),
      fixedClientSize_(fixedClientSize) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        if (s == Qt::ApplicationActive) {
            ApplicationActivated();
        } else if (s == Qt::ApplicationInactive) {
            ApplicationDeactivated();
        }
    });
    FormCreate();
}

HostWindow::~HostWindow() {
    SaveRecentFiles();
    film_->ClearFrames();
    if (fonts_) fonts_->UninstallFonts(installedFonts_);
}

void HostWindow::FormCreate() {
    const ProgramEnvironment& env = services_.env;
    film_ = std::make_unique<FrameAnimation>(env);
    film_->SetBorder(0);
    printAbortButton_ = new QPushButton(QStringLiteral("Druck Abbruch"), this);
    printAbortButton_->setObjectName(QStringLiteral("Btn_abbruch"));
    printAbortButton_->setFocusPolicy(Qt::NoFocus);  // the keys stay with the program
    printAbortButton_->hide();
    connect(printAbortButton_, &QPushButton::clicked, this, [this] { printCancelRequested_ = true; });
    setWindowTitle(QStringLiteral("Radevir"));

    // glyph pictures, one per file of the "emfs" folder
    const QString emfs = env.NativePath("emfs");
    // a picture that cannot be used is said once and drawn from the font instead
    for (const QString& file : MatchingFiles(emfs, QStringLiteral("*.emf"))) {
        const std::string name = ToCp1252(MetafileGlyphName(file));
        auto fallback = FontGlyphRenderer(name);
        auto picture = Metafile::Load(emfs + "/" + file);
        if (!picture) {
            ReportUnusableGlyphPicture(file);
            if (fallback) glyphs_.push_back(GlyphSource{name, fallback});
            continue;
        }
        metafiles_.push_back(picture);
        auto reported = std::make_shared<bool>(false);
        glyphs_.push_back(GlyphSource{name, [picture, fallback, reported, file](QSize size) {
            QImage image = picture->Render(size, false);
            if (!image.isNull() || !fallback) return image;
            if (!*reported) ReportUnusableGlyphPicture(file);
            *reported = true;
            return fallback(size);
        }});
    }

    for (const QString& file : MatchingFiles(env.NativePath("wavs"), QStringLiteral("_*.wav")))
        toneFiles_.push_back("wavs\\" + ToCp1252(file));
    std::sort(toneFiles_.begin(), toneFiles_.end());

    fonts_ = std::make_unique<FontInstaller>(env);
    for (const char* file : kFontFiles) {
        try {
            fonts_->InstallFont(env.ProgramFolder(), file, &installedFonts_);
        } catch (...) {
            LogDroppedException("installing the program's fonts");
        }
    }
    std::vector<QString> faces;
    for (const Bytes& line : installedFonts_) faces.push_back(FromCp1252(NameOfPair(line)));
    console_.SetInstalledFontNames(faces);

    ReadTextFileLines(env.NativePath("bgi7\\filter.txt"), filterLines_);

    runMenuPending_ = true;
    painted_ = false;

    ReadTextFileLines(env.NativePath(IncludeTrailingBackslash(env.ResolvePath("Bgi7")) + "filelist.txt"),
                      recentFiles_);
}

void HostWindow::FormShow() {
    if (!runMenuPending_ || shown_) return;
    shown_ = true;
    painted_ = false;
    LetGoOfAlt();
    if (!fixedClientSize_.isEmpty()) {
        resize(fixedClientSize_);
    } else {
        QScreen* primary = QGuiApplication::primaryScreen();
        const QRect screen = primary ? primary->geometry() : QRect(0, 0, 1024, 768);
        QScreen* second = nullptr;
        if (QCursor::pos().x() > screen.right()) second = QGuiApplication::screenAt(QCursor::pos());
        if (second != nullptr && second != primary) {
            setGeometry(second->availableGeometry());
        } else {
            setGeometry(screen);
        }
    }
    QDir().mkpath(services_.env.NativePath(services_.env.ProgramFolder() + "Wavs\\"));
    if (framebuffer_.size() != size()) framebuffer_ = MakeFramebuffer(size());
    console_.InitConsole(glyphs_);
    setWindowTitle(QStringLiteral("Radevir"));
    show();
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) raise();
    activateWindow();
}

void HostWindow::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QImage* source = &framebuffer_;
    // while the list chooser is open the window shows the picture from before it opened
    if (console_.ChooserOpen() && console_.HasScreenPage(5)) source = console_.ScreenPage(5);
    p.drawImage(event->rect(), *source, event->rect());
    painted_ = true;
    if (runMenuPending_) ScheduleIdle();
}

void HostWindow::ScheduleIdle() {
    if (idleScheduled_) return;
    idleScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        idleScheduled_ = false;
        IdleStep();
    });
}

void HostWindow::IdleStep() {
    if (!painted_ || !runMenuPending_ || inIdle_) return;
    inIdle_ = true;
    services_.clock.SleepMs(0);
    runMenuPending_ = false;
    console_.ClearAbortRequest();
    console_.SetSpeedScaling(true);
    try {
        console_.SetSpeedFactor(
            ParseSpeedFactor(services_.settings.ReadSetting("", "Allgemein", "Delay", "1")));
        if (runProgramMenu) runProgramMenu(console_);
        console_.Deactivate();
    } catch (...) {
        // an abort unwinds to here; anything else is dropped like every stray exception
        if (!console_.AbortRequested()) LogDroppedException("running the program menu");
    }
    if (console_.AbortRequested()) {
        console_.InitConsole(glyphs_);
        if (!console_.CloseRequested()) {
            runMenuPending_ = true;  // restart with the new geometry after the next paint
            update();
            inIdle_ = false;
            return;
        }
        console_.Deactivate();
    }
    inIdle_ = false;
    programEnded_ = true;
    if (onProgramEnded) onProgramEnded();
    close();
}

void HostWindow::PlacePrintAbortButton() {
    constexpr int kMargin_px = 4;
    printAbortButton_->adjustSize();
    printAbortButton_->move(width() - printAbortButton_->width() - kMargin_px, kMargin_px);
}

void HostWindow::PrintJobStarted() {
    printCancelRequested_ = false;
    PlacePrintAbortButton();
    printAbortButton_->show();
    printAbortButton_->raise();
    ProcessEvents();
}

bool HostWindow::PrintCancelRequested() {
    ProcessEvents();
    return printCancelRequested_;
}

void HostWindow::PrintJobEnded() {
    printAbortButton_->hide();
    printCancelRequested_ = false;
}

void HostWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlacePrintAbortButton();
    if (size() != framebuffer_.size() && !size().isEmpty()) {
        QImage next = MakeFramebuffer(size());
        QPainter p(&next);
        p.drawImage(QPoint(0, 0), framebuffer_);
        framebuffer_ = next;
    }
    if (runMenuPending_) return;
    if (!ownResizeTo_.isEmpty() && size() == ownResizeTo_) {
        ownResizeTo_ = QSize();
        return;
    }
    if (console_.Graphics().fullScreenActive) {
        console_.Graphics().fullScreenActive = false;
        console_.LeaveFullScreen();
    }
    console_.RequestRestart();
}

void HostWindow::closeEvent(QCloseEvent* event) {
    if (console_.IsActive()) {
        // the running program sees Escape and leaves the way the user would
        event->ignore();
        console_.AppendKey(doskey::kEscape, false);
        return;
    }
    console_.RequestClose();
    if (fonts_) {
        fonts_->UninstallFonts(installedFonts_);
        installedFonts_.clear();
    }
    ProcessEvents();
    event->accept();
}

void HostWindow::SaveRecentFiles() {
    try {
        if (recentFiles_.size() > kRecentFilesKept) recentFiles_.resize(kRecentFilesKept);
        const Bytes folder = IncludeTrailingBackslash(services_.env.ResolvePath("Bgi7"));
        if (QDir(services_.env.NativePath(folder)).exists())
            WriteTextFileLines(services_.env.NativePath(folder + "filelist.txt"), recentFiles_);
    } catch (...) {
        LogDroppedException("saving the recent files");
    }
}

void HostWindow::FormKeyDown(int virtualKey) {
    if (virtualKey == vk::kAlt) {
        if (!altDown_) altComposer_.AltPressed();
        altDown_ = true;
    }
    if (virtualKey == vk::kF10 && !console_.Graphics().fullScreenActive) {
        console_.SaveScreenPage(4);
        double value = console_.SpeedFactor();
        console_.FlushKeyMessages();
        const bool ok = speedDialog && speedDialog(value);
        console_.FlushKeyMessages();
        if (ok) {
            console_.SetSpeedFactor(value);
            console_.SetSpeedScaling(true);
            WriteSpeedSetting(services_.settings, value);
        }
        console_.RestoreScreenPage(4, false);
        return;
    }
    if (altDown_) return;
    const int code = ScanCodeForVirtualKey(virtualKey);
    if (code < 0) return;
    // in full-screen mode cursor keys only count when nothing is waiting
    if (console_.Graphics().fullScreenActive && IsCursorBlockKey(virtualKey) &&
        !console_.Keys().Empty())
        return;
    console_.AppendKey(static_cast<unsigned char>(code), true);
}

void HostWindow::FormKeyPress(unsigned char character) {
    console_.AppendKey(console_.ToOem(character), false);
}

void HostWindow::FormKeyUp(int virtualKey) {
    if (virtualKey != vk::kAlt) return;
    const int composed = altComposer_.AltReleased();
    altDown_ = false;
    if (composed > 0) FormKeyPress(static_cast<unsigned char>(composed));
}

void HostWindow::keyPressEvent(QKeyEvent* event) {
    if (discardKeys_) return;
    const bool keypad = event->modifiers().testFlag(Qt::KeypadModifier);
    if (altDown_ && keypad) {
        const int digit = KeypadDigit(event->key());
        if (digit >= 0) {
            altComposer_.Digit(digit);
            return;
        }
    }
    const int virtualKey = VirtualKeyFromQt(event->key(), keypad);
    if (virtualKey != 0) FormKeyDown(virtualKey);
    // Alt holds back scan codes only (FormKeyDown); typed characters, Enter and Escape go on
    if (virtualKey == vk::kF10 || ScanCodeForVirtualKey(virtualKey) >= 0) return;
    const QString text = event->text();
    if (text.isEmpty()) return;
    for (char c : ToCp1252(text)) FormKeyPress(static_cast<unsigned char>(c));
}

void HostWindow::keyReleaseEvent(QKeyEvent* event) {
    if (discardKeys_ || event->isAutoRepeat()) return;
    FormKeyUp(VirtualKeyFromQt(event->key(), false));
}

void HostWindow::CreatePanel(int id, QRect clientRect, const Bytes& caption) {
    RemovePanel(id);
    auto* panel = new QLabel(FromCp1252(caption), this);
    panel->setGeometry(clientRect);
    panel->setAlignment(Qt::AlignCenter);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setAutoFillBackground(true);
    panel->setFont(console_.Canvas().font);
    panel->show();
    panels_[id] = panel;
}

void HostWindow::RemovePanel(int id) {
    const auto it = panels_.find(id);
    if (it == panels_.end()) return;
    delete it->second;
    panels_.erase(it);
}

QWidget* HostWindow::Panel(int id) const {
    const auto it = panels_.find(id);
    return it == panels_.end() ? nullptr : it->second;
}

void HostWindow::mousePressEvent(QMouseEvent* event) {
    if (discardMouse_ || !console_.MouseHandlersAttached()) return;
    // a press on a panel: its caption lights up until the button is released
    for (const auto& [id, panel] : panels_) {
        if (!panel->geometry().contains(event->position().toPoint())) continue;
        pressedPanel_ = panel;
        pressedPanelColour_ = panel->palette().color(QPalette::WindowText);
        QPalette lit = panel->palette();
        lit.setColor(QPalette::WindowText, QColor(255, 255, 0));
        panel->setPalette(lit);
        break;
    }
    console_.MousePressed(event->position().toPoint(), event->button() == Qt::LeftButton,
                          event->button() == Qt::RightButton);
}

void HostWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (pressedPanel_) {
        QPalette restored = pressedPanel_->palette();
        restored.setColor(QPalette::WindowText, pressedPanelColour_);
        pressedPanel_->setPalette(restored);
        pressedPanel_ = nullptr;
    }
    if (discardMouse_ || !console_.MouseHandlersAttached()) return;
    console_.MouseReleased(event->position().toPoint(), event->button() == Qt::LeftButton,
                           event->button() == Qt::RightButton);
}

void HostWindow::mouseMoveEvent(QMouseEvent* event) {
    if (discardMouse_) return;
    console_.MouseMoved(event->position().toPoint());
}

void HostWindow::LetGoOfAlt() {
    altDown_ = false;
    altComposer_ = AltComposer();
}

bool HostWindow::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::WindowActivate: hostWasActive_ = true; break;
        // Alt+Tab: the Alt release goes to the window that takes over, so the press we saw
        // would otherwise hold back every scan code until Alt is pressed again
        case QEvent::FocusOut: LetGoOfAlt(); break;
        case QEvent::WindowDeactivate:
            LetGoOfAlt();
            // another window of this program took over (a dialog): not an inactive program
            if (QApplication::activeWindow() != nullptr) hostWasActive_ = false;
            break;
        default: break;
    }
    return QWidget::event(event);
}

void HostWindow::ApplicationDeactivated() {
    LetGoOfAlt();
    if (!painted_) return;
    painted_ = false;
    GraphicsSettings& g = console_.Graphics();
    if (g.fullScreenActive) {
        g.fullScreenActive = false;
        console_.LeaveFullScreen();
        console_.RequestAbort();
        return;
    }
    if (!hostWasActive_) return;
    console_.SaveScreenPage(5);
    console_.SaveScreenPage(4);
    const QRect band(0, 0, framebuffer_.width(), framebuffer_.height() / 24);
    const QString text = QStringLiteral("Radevir nicht aktiv");
    QFont font = console_.Canvas().font;
    font.setPointSize(16);
    auto paintBand = [&](QImage& target) {
        QPainter p(&target);
        p.fillRect(band, QColor(128, 128, 128));
        p.setFont(font);
        p.setPen(Qt::white);
        const QFontMetrics fm(font, &target);
        p.drawText(QPoint(framebuffer_.width() / 3, framebuffer_.height() / 200 + fm.ascent()), text);
    };
    paintBand(framebuffer_);
    if (QImage* page4 = console_.ScreenPage(4)) paintBand(*page4);
    update();
}

void HostWindow::ApplicationActivated() {
    ProcessEvents();
    if (QApplication::activeWindow() == this || hostWasActive_) console_.RestoreScreenPage(5, true);
}

bool HostWindow::EnterFullScreenWindow() {
    if (!fixedClientSize_.isEmpty() || isFullScreen()) return true;
    fullScreenWindow_ = true;
    QScreen* s = screen();
    if (s != nullptr && s->geometry().size() != size()) ownResizeTo_ = s->geometry().size();
    sizeBeforeFullScreen_ = size();
    setWindowState(windowState() | Qt::WindowFullScreen);
    // the window system resizes the window in its own time: wait for it (a little), so that the
    // back buffer is made at the final size
    QElapsedTimer waited;
    waited.start();
    constexpr int kLongestWaitMs = 500;
    while (!ownResizeTo_.isEmpty() && waited.elapsed() < kLongestWaitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (framebuffer_.size() != size() && !size().isEmpty()) framebuffer_ = MakeFramebuffer(size());
    return true;
}

void HostWindow::LeaveFullScreenWindow() {
    if (!fullScreenWindow_) return;
    fullScreenWindow_ = false;
    if (sizeBeforeFullScreen_ != size()) ownResizeTo_ = sizeBeforeFullScreen_;
    setWindowState(windowState() & ~Qt::WindowFullScreen);
}

void HostWindow::ProcessEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void HostWindow::WaitForEvents(double maxMs) {
    // the thread sleeps until an event comes; a single-shot timer is the deadline
    QTimer deadline;
    if (maxMs >= 0) {
        deadline.setSingleShot(true);
        deadline.setTimerType(Qt::PreciseTimer);
        deadline.start(static_cast<int>(std::ceil(maxMs)));
    }
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void HostWindow::FlushInput(bool keyboard, bool mouse) {
    discardKeys_ = keyboard;
    discardMouse_ = mouse;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    discardKeys_ = discardMouse_ = false;
}

bool HostWindow::HasActiveWindow() const {
    return QApplication::activeWindow() != nullptr || QApplication::activeModalWidget() != nullptr ||
           QGuiApplication::platformName() == QLatin1String("offscreen");
}

void HostWindow::Beep() { QApplication::beep(); }

void HostWindow::SetPointerVisible(bool visible) {
    if (visible) {
        unsetCursor();
    } else {
        setCursor(Qt::BlankCursor);
    }
}

QPoint HostWindow::PointerPosition() const { return mapFromGlobal(QCursor::pos()); }

void HostWindow::SetPointerPosition(QPoint clientPixel) { QCursor::setPos(mapToGlobal(clientPixel)); }

}  // namespace radevir
