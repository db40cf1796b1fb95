#include "start/host_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QDir>
#include <QPaintEvent>
#include <QPushButton>
#include <functional>
#include <gtest/gtest.h>

#include "printing/text_printer.h"
#include "support/clock.h"
#include "support/program_environment.h"
#include "support/settings_store.h"
#include "support/text_file.h"
#include "tests/test_support.h"

using namespace radevir;

namespace {

struct HostFixture {
    test::ScratchDir dir;
    ProgramEnvironment env{dir.Folder(), "radevir"};
    SettingsStore settings{dir.Path() + "/settings.ini", "radevir"};
    VirtualClock clock;
    std::unique_ptr<HostWindow> host;

    HostFixture() {
        host = std::make_unique<HostWindow>(HostWindow::Services{env, settings, clock}, QSize(802, 502));
    }
    Console& Con() { return host->GetConsole(); }
    void Key(int qtKey, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
        QApplication::sendEvent(host.get(), &press);
        QKeyEvent release(QEvent::KeyRelease, qtKey, mods, text);
        QApplication::sendEvent(host.get(), &release);
    }
    std::vector<std::pair<int, bool>> Drain() {
        std::vector<std::pair<int, bool>> keys;
        while (!Con().Keys().Empty()) {
            const int code = Con().Keys().Take();
            keys.emplace_back(code, Con().Keys().LastKeyExtended());
        }
        return keys;
    }
};

}  // namespace

TEST(HostKeys, ArrowsAreScanCodesAndTypedLettersAreNot) {
    HostFixture f;
    f.Key(Qt::Key_Up);
    f.Key(Qt::Key_H, "H", Qt::ShiftModifier);
    f.Key(Qt::Key_A, "a");
    f.Key(Qt::Key_B, "b");
    f.Key(Qt::Key_Return, "\r");
    f.Key(Qt::Key_Delete, "\x7f");  // no character from the delete key itself
    f.Key(Qt::Key_F1);
    const std::vector<std::pair<int, bool>> expected = {
        {'H', true}, {'H', false}, {'a', false}, {'b', false}, {13, false}, {'S', true}, {';', true}};
    EXPECT_EQ(f.Drain(), expected);
}

TEST(HostKeys, TypedUmlautsFollowTheConversionSwitch) {
    HostFixture f;
    f.Key(Qt::Key_Adiaeresis, QString::fromUtf8("ä"));
    f.Con().SetOemConversionOff(true);
    f.Key(Qt::Key_Adiaeresis, QString::fromUtf8("ä"));
    const std::vector<std::pair<int, bool>> expected = {{0x84, false}, {0xE4, false}};
    EXPECT_EQ(f.Drain(), expected);
}

TEST(HostKeys, AltSuppressesScanCodesAndComposesNumberPadCodes) {
    HostFixture f;
    f.Con().SetOemConversionOff(true);
    QKeyEvent alt(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    QApplication::sendEvent(f.host.get(), &alt);
    f.Key(Qt::Key_Up, {}, Qt::AltModifier);
    for (int d : {0, 2, 2, 8}) f.Key(Qt::Key_0 + d, QString::number(d), Qt::AltModifier | Qt::KeypadModifier);
    EXPECT_TRUE(f.Con().Keys().Empty());
    QKeyEvent altUp(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    QApplication::sendEvent(f.host.get(), &altUp);
    const std::vector<std::pair<int, bool>> expected = {{0xE4, false}};
    EXPECT_EQ(f.Drain(), expected);
}

TEST(HostKeys, F10OpensTheSpeedDialogAndStoresTheValue) {
    HostFixture f;
    double shown = -1;
    f.host->speedDialog = [&](double& value) {
        shown = value;
        value = 20;
        return true;
    };
    f.Con().SetSpeedFactor(2.5);
    f.Key(Qt::Key_F10);
    EXPECT_DOUBLE_EQ(shown, 2.5);
    EXPECT_TRUE(f.Con().Keys().Empty());
    EXPECT_DOUBLE_EQ(f.Con().SpeedFactor(), 20);
    EXPECT_TRUE(f.Con().SpeedScalingOn());
    const std::string stored = f.settings.ReadSetting("", "Allgemein", "Delay", "");
    EXPECT_TRUE(stored == "20.00" || stored == "20,00") << stored;

    // cancelled: nothing changes, nothing is written
    f.host->speedDialog = [](double& value) {
        value = 99;
        return false;
    };
    f.Key(Qt::Key_F10);
    EXPECT_DOUBLE_EQ(f.Con().SpeedFactor(), 20);

    // in full-screen mode F10 is an ordinary key
    f.Con().Graphics().fullScreenActive = true;
    f.Key(Qt::Key_F10);
    const std::vector<std::pair<int, bool>> expected = {{']', true}};
    EXPECT_EQ(f.Drain(), expected);
}

TEST(HostWindow, CloseWhileTheProgramRunsBecomesEscape) {
    HostFixture f;
    f.host->FormShow();
    EXPECT_TRUE(f.Con().IsActive());
    EXPECT_FALSE(f.host->close());  // refused
    const std::vector<std::pair<int, bool>> expected = {{27, false}};
    EXPECT_EQ(f.Drain(), expected);
    f.Con().Deactivate();
    EXPECT_TRUE(f.host->close());
    EXPECT_TRUE(f.Con().CloseRequested());
}

TEST(HostWindow, RecentFilesAreKeptToTwenty) {
    test::ScratchDir dir;
    std::vector<Bytes> lines;
    for (int i = 0; i < 25; ++i) lines.push_back("datei" + std::to_string(i) + ".txt");
    ASSERT_TRUE(WriteTextFileLines(dir.Path() + "/bgi7/filelist.txt", lines) ||
                (QDir().mkpath(dir.Path() + "/bgi7") &&
                 WriteTextFileLines(dir.Path() + "/bgi7/filelist.txt", lines)));
    {
        ProgramEnvironment env(dir.Folder(), "radevir");
        SettingsStore settings(dir.Path() + "/s.ini", "radevir");
        VirtualClock clock;
        HostWindow host({env, settings, clock}, QSize(640, 480));
        EXPECT_EQ(host.RecentFiles().size(), 25u);  // the folder is found as "Bgi7" too
    }
    std::vector<Bytes> saved;
    ASSERT_TRUE(ReadTextFileLines(dir.Path() + "/bgi7/filelist.txt", saved));
    ASSERT_EQ(saved.size(), 20u);
    EXPECT_EQ(saved.front(), "datei0.txt");
    EXPECT_EQ(saved.back(), "datei19.txt");
}

TEST(HostWindow, ResizeWhileTheProgramRunsAbortsAndRestarts) {
    HostFixture f;
    int runs = 0;
    QSize seen;
    f.host->runProgramMenu = [&](Console& c) {
        ++runs;
        seen = f.host->ClientSize();
        if (runs == 1) {
            f.host->resize(900, 600);
            c.ReadKey();  // raises: the menu unwinds
        }
    };
    f.host->FormShow();
    for (int i = 0; i < 200 && !f.host->ProgramEnded(); ++i) QApplication::processEvents();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(seen, QSize(900, 600));
    EXPECT_TRUE(f.host->ProgramEnded());
    EXPECT_EQ(f.Con().CellWidth(), 11);  // cells follow the new size
}

// The window's own switch into full-screen (and back) resizes it: that is no resize by the
// user and must neither leave full-screen mode nor restart the program.
TEST(HostWindow, TheFullScreenSwitchIsNoResizeThatRestarts) {
    test::ScratchDir dir;
    ProgramEnvironment env{dir.Folder(), "radevir"};
    SettingsStore settings{dir.Path() + "/settings.ini", "radevir"};
    VirtualClock clock;
    HostWindow host(HostWindow::Services{env, settings, clock});
    int runs = 0;
    QSize smaller, full, back;
    bool abortedByEnter = true, abortedByLeave = true;
    host.runProgramMenu = [&](Console& c) {
        ++runs;
        host.resize(640, 480);
        for (int i = 0; i < 20; ++i) QApplication::processEvents();
        smaller = host.size();
        c.ClearAbortRequest();
        host.EnterFullScreenWindow();
        for (int i = 0; i < 20; ++i) QApplication::processEvents();
        full = host.size();
        abortedByEnter = c.AbortRequested();
        host.LeaveFullScreenWindow();
        for (int i = 0; i < 20; ++i) QApplication::processEvents();
        back = host.size();
        abortedByLeave = c.AbortRequested();
    };
    host.FormShow();
    for (int i = 0; i < 200 && !host.ProgramEnded(); ++i) QApplication::processEvents();
    EXPECT_EQ(runs, 1);
    ASSERT_EQ(smaller, QSize(640, 480));
    EXPECT_NE(full, smaller) << "the switch resized the window";
    EXPECT_FALSE(abortedByEnter);
    EXPECT_EQ(back, smaller);
    EXPECT_FALSE(abortedByLeave);
    EXPECT_EQ(host.ClientSize(), back) << "the framebuffer follows";
}

TEST(HostWindow, LosingTheUserShowsTheInactiveBandAndComingBackRemovesIt) {
    HostFixture f;
    f.host->FormShow();
    f.Con().TextBackground(1);
    f.Con().ClrScr();
    QPaintEvent paint(QRect(0, 0, 802, 502));
    QApplication::sendEvent(f.host.get(), &paint);  // painted
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(f.host.get(), &activate);
    f.host->ApplicationDeactivated();
    const QImage& fb = f.host->Framebuffer();
    EXPECT_EQ(fb.pixelColor(2, 2), QColor(128, 128, 128));  // the band
    EXPECT_EQ(fb.pixelColor(2, 502 / 24 + 2), f.Con().Palette()[1]);
    ASSERT_TRUE(f.Con().HasScreenPage(4));
    ASSERT_TRUE(f.Con().HasScreenPage(5));
    EXPECT_EQ(f.Con().ScreenPage(4)->pixelColor(2, 2), QColor(128, 128, 128));
    EXPECT_EQ(f.Con().ScreenPage(5)->pixelColor(2, 2), f.Con().Palette()[1]);
    // the band's text is written in white somewhere in the band
    bool white = false;
    for (int x = 802 / 3; x < 802 / 3 + 200 && !white; ++x)
        for (int y = 0; y < 502 / 24; ++y) white = white || fb.pixelColor(x, y) == QColor(Qt::white);
    EXPECT_TRUE(white);
    f.host->ApplicationActivated();
    EXPECT_EQ(fb.pixelColor(2, 2), f.Con().Palette()[1]);
    EXPECT_FALSE(f.Con().HasScreenPage(5));
}

TEST(HostWindow, PanelsLightUpWhilePressedAndPassClicksOn) {
    HostFixture f;
    f.host->FormShow();
    f.host->CreatePanel(1, QRect(100, 100, 200, 40), "Weiter");
    QWidget* panel = f.host->Panel(1);
    ASSERT_NE(panel, nullptr);
    const QColor normal = panel->palette().color(QPalette::WindowText);
    f.Con().Regions().Push("1 80 1 25 119;\n");  // every cell answers "w"
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(50, 20), QPointF(150, 120), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(panel, &press);  // the panel passes it to the window
    EXPECT_EQ(panel->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(50, 20), QPointF(150, 120),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(panel, &release);
    EXPECT_EQ(panel->palette().color(QPalette::WindowText), normal);
    const std::vector<std::pair<int, bool>> expected = {{'w', true}};
    EXPECT_EQ(f.Drain(), expected);
    f.host->RemovePanel(1);
    EXPECT_EQ(f.host->Panel(1), nullptr);
}

TEST(HostKeys, AltIsLetGoWhenTheWindowLosesTheKeyboard) {
    // Alt+Tab: the window sees the Alt press, the release goes to another window
    const struct {
        const char* loss;
        std::function<void(HostWindow&)> lose;
    } table[] = {
        {"focus out",
         [](HostWindow& host) {
             QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
             QApplication::sendEvent(&host, &out);
         }},
        {"window deactivated",
         [](HostWindow& host) {
             QEvent deactivate(QEvent::WindowDeactivate);
             QApplication::sendEvent(&host, &deactivate);
         }},
        {"application deactivated", [](HostWindow& host) { host.ApplicationDeactivated(); }},
    };
    for (const auto& row : table) {
        HostFixture f;
        QKeyEvent alt(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
        QApplication::sendEvent(f.host.get(), &alt);
        f.Key(Qt::Key_0, "0", Qt::AltModifier | Qt::KeypadModifier);  // a half-typed Alt code
        row.lose(*f.host);
        f.Key(Qt::Key_Up);
        f.Key(Qt::Key_5, "5");
        f.Key(Qt::Key_Return, "\r");
        f.Key(Qt::Key_Escape, "\x1b");
        QKeyEvent altUp(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);  // a late release
        QApplication::sendEvent(f.host.get(), &altUp);
        const std::vector<std::pair<int, bool>> expected = {
            {'H', true}, {'5', false}, {13, false}, {27, false}};
        EXPECT_EQ(f.Drain(), expected) << row.loss;
    }
}

TEST(HostKeys, WhileAltIsHeldOnlyScanCodesAreHeldBack) {
    HostFixture f;
    QKeyEvent alt(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    QApplication::sendEvent(f.host.get(), &alt);
    f.Key(Qt::Key_Down, {}, Qt::AltModifier);
    f.Key(Qt::Key_F1, {}, Qt::AltModifier);
    f.Key(Qt::Key_A, "a", Qt::AltModifier);
    f.Key(Qt::Key_Return, "\r", Qt::AltModifier);
    const std::vector<std::pair<int, bool>> expected = {{'a', false}, {13, false}};
    EXPECT_EQ(f.Drain(), expected);
}

// A damaged glyph picture must not turn frames into letters ("ÄÄÄ" for "───"): the frame
// character is drawn from the font, and the file is named once on stderr.
TEST(HostGlyphs, AnUnusablePictureIsDrawnFromTheFont) {
    test::ScratchDir dir;
    dir.Write("emfs/196.emf", "not a picture");
    ProgramEnvironment env{dir.Folder(), "radevir"};
    SettingsStore settings{dir.Path() + "/settings.ini", "radevir"};
    VirtualClock clock;
    testing::internal::CaptureStderr();
    HostWindow host(HostWindow::Services{env, settings, clock}, QSize(802, 502));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("196.emf"), std::string::npos) << log;

    host.FormShow();
    Console& console = host.GetConsole();
    int index = -1;
    for (int i = 0; i < console.GlyphCount(); ++i)
        if (console.GlyphName(i) == "196") index = i;
    ASSERT_GE(index, 0);
    const QImage picture = console.RenderGlyph(index, QSize(12, 24));
    ASSERT_FALSE(picture.isNull());
    // a horizontal line: some row is inked from edge to edge
    bool fullRow = false;
    for (int y = 0; y < picture.height() && !fullRow; ++y) {
        int inked = 0;
        for (int x = 0; x < picture.width(); ++x) inked += qAlpha(picture.pixel(x, y)) >= 128;
        fullRow = inked == picture.width();
    }
    EXPECT_TRUE(fullRow);
}

// "Druck Abbruch": hidden until a print job runs, then at the top right; a click there cancels
// the running job and no PDF of it stays behind.
TEST(HostPrintAbort, TheButtonShowsWhileAJobRunsAndAClickCancelsIt) {
    HostFixture f;
    f.host->show();
    QPushButton* button = f.host->PrintAbortButton();
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("Druck Abbruch"));
    EXPECT_FALSE(button->isVisible());

    f.host->PrintJobStarted();
    EXPECT_TRUE(button->isVisible());
    EXPECT_EQ(button->geometry().right(), f.host->width() - 1 - 4);
    EXPECT_EQ(button->geometry().top(), 4);
    EXPECT_FALSE(f.host->PrintCancelRequested());
    f.host->PrintJobEnded();
    EXPECT_FALSE(button->isVisible());

    // a click that arrives while the job runs: the job stops and its PDF goes
    QByteArray text;
    for (int i = 0; i < 200; ++i) text += "Zeile\r\n";
    f.dir.Write("LPTB.TXT", text);
    TextPrinter printer(f.env, f.dir.Path() + "/out", nullptr);
    printer.SetJobMonitor(f.host.get());
    const QPointF centre = QRectF(QPointF(0, 0), QSizeF(button->sizeHint())).center();
    QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, centre, button->mapToGlobal(centre),
                                                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, centre, button->mapToGlobal(centre),
                                                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    printer.PrintTextFile("LPTB.TXT", false, -1, {});
    EXPECT_TRUE(printer.LastJobCancelled());
    EXPECT_TRUE(QDir(f.dir.Path() + "/out").entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(button->isVisible());
    EXPECT_FALSE(f.host->PrintCancelRequested());  // the next job starts afresh
}

// On a wide window the button stays in the top right corner over the text screen.
TEST(HostPrintAbort, TheButtonSitsInTheTopRightCornerAtEverySize) {
    for (const QSize size : {QSize(1280, 1024), QSize(1920, 1080)}) {
        test::ScratchDir dir;
        ProgramEnvironment env{dir.Folder(), "radevir"};
        SettingsStore settings{dir.Path() + "/settings.ini", "radevir"};
        VirtualClock clock;
        HostWindow host(HostWindow::Services{env, settings, clock}, size);
        host.FormShow();
        Console& console = host.GetConsole();
        console.TextColor(14);
        console.GotoXY(1, 1);
        console.Write("Protokoll wird gedruckt ...");
        host.PrintJobStarted();
        const QRect button = host.PrintAbortButton()->geometry();
        EXPECT_TRUE(host.rect().contains(button)) << size.width();
        EXPECT_EQ(button.right(), host.width() - 1 - 4) << size.width();
        host.grab().save(QStringLiteral("%1/print_abort_button_%2x%3.png")
                             .arg(test::OutputDir())
                             .arg(size.width())
                             .arg(size.height()));
        host.PrintJobEnded();
    }
}
