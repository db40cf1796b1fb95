// Program entry: reads the command line, sets up the program environment and the seams (clock,
// random, audio, printing, automation), creates the windows and runs the message loop. The
// command line is read before any display is opened, so that --help, a bad option and --speak
// work over ssh or in a terminal without one.
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QTextStream>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>

#include "start/application.h"
#include "start/automation.h"
#include "start/command_line.h"
#include "chooser/card_box_save_dialog.h"
#include "chooser/help.h"
#include "chooser/list_chooser_dialog.h"
#include "editor/worksheet/worksheet_command.h"
#include "editor/worksheet/worksheet_launch.h"
#include "editor/task_editor_window.h"
#include "exercises/speech_port.h"
#include "film/frame_animation.h"
#include "graphics/graphics.h"
#include "printing/picture_print.h"
#include "printing/text_printer.h"
#include "sound/audio_output.h"
#include "sound/sound_adapter.h"
#include "sound/speak_command.h"
#include "sound/arithmetic_speaker.h"
#include "sound/sound_recorder.h"
#include "sound/wave_component.h"
#include "start/host_window.h"
#include "support/speed_dialog.h"
#include "support/clock.h"
#include "support/program_environment.h"
#include "support/random.h"
#include "support/settings_store.h"
#include "training/program_menu.h"

using namespace radevir;

namespace {

// a bad command line or script, an unusable --data folder, no display for the window
constexpr int kExitCannotStart = 2;

// The spoken-arithmetic component as the training programs' speech port.
class SpeakerPort final : public SpeechPort {
public:
    explicit SpeakerPort(ArithmeticSpeaker& speaker) : speaker_(speaker) {}
    bool Speak(const Bytes& text, bool queued) override { return speaker_.Speak(text, queued); }

private:
    ArithmeticSpeaker& speaker_;
};

// The task editor, made the first time it is opened (from the chooser or by --edit); it gets the
// host's first filter line and the console's editor font size each time.
class TaskEditorOnDemand {
public:
    TaskEditorOnDemand(const ProgramEnvironment& env, SoundAdapter& sound, HostWindow& host, QString printToFolder,
                       TaskEditorHandlers handlers)
        : env_(env), sound_(sound), host_(host), printToFolder_(std::move(printToFolder)),
          handlers_(std::move(handlers)) {}

    void Open(const QString& nativeFile) {
        if (editor_ == nullptr)
            editor_ = new TaskEditorWindow(env_, &sound_, printToFolder_, handlers_, &host_);  // owned by the host
        if (!host_.FilterLines().empty()) editor_->SetOpenFilter(FromCp1252(host_.FilterLines().front()));
        const Console& console = host_.GetConsole();
        // the mathematics font at the console's editor size
        editor_->SetEditorFont(QStringLiteral("DARIZODEV"), console.TextSizeTable()[2]);
        editor_->ExecOn(nativeFile);
    }

private:
    const ProgramEnvironment& env_;
    SoundAdapter& sound_;
    HostWindow& host_;
    QString printToFolder_;
    TaskEditorHandlers handlers_;
    TaskEditorWindow* editor_ = nullptr;
};

// The list chooser is a large window that most starts never open: it is made on first use.
class ListChooserOnDemand : public ListChooserPort {
public:
    ListChooserOnDemand(const ProgramEnvironment& env, const SettingsStore& settings, QWidget& owner,
                        QString printToFolder, TaskEditorOnDemand* editor = nullptr)
        : env_(env), settings_(settings), owner_(owner), printToFolder_(std::move(printToFolder)), editor_(editor) {}

    ListChooserResult Choose(const ListChooserRequest& request) override {
        if (chooser_ == nullptr) {
            chooser_ = new ListChooserDialog(env_, &settings_, &owner_);  // owned by the host window
            if (!printToFolder_.isEmpty()) chooser_->SetPrintToFolder(printToFolder_);
            if (editor_ != nullptr)
                chooser_->SetEditorCallback([this](const Bytes& file) {
                    editor_->Open(file.empty() ? QString() : env_.NativePath(file));
                });
        }
        return chooser_->Choose(request);
    }

private:
    const ProgramEnvironment& env_;
    const SettingsStore& settings_;
    QWidget& owner_;
    QString printToFolder_;
    TaskEditorOnDemand* editor_ = nullptr;
    ListChooserDialog* chooser_ = nullptr;
};

void NameTheApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("radevir"));
    QCoreApplication::setOrganizationName(QStringLiteral("Zoze"));
}

// What the command line and the display decide before anything is opened: an exit code when the
// program ends here, nothing when it goes on.
std::optional<int> EndBeforeStart(const CommandLine& cl, StartMode mode, QTextStream& err) {
    switch (mode) {
        case StartMode::ShowUsage: QTextStream(stdout) << UsageText(); return 0;
        case StartMode::BadCommandLine:
            err << "radevir: " << cl.error << "\n" << UsageText();
            return kExitCannotStart;
        case StartMode::NoDisplay:
            err << "radevir: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY "
                   "is set)\n";
            return kExitCannotStart;
        case StartMode::OffscreenWindow: qputenv("QT_QPA_PLATFORM", "offscreen"); break;
        case StartMode::PrintPicture:
            // a picture file prints without a display; the clipboard needs one
            if (!CurrentDisplayEnvironment().display && !CurrentDisplayEnvironment().platformChosen)
                qputenv("QT_QPA_PLATFORM", "offscreen");
            break;
        case StartMode::Speak:
        case StartMode::Worksheet:
        case StartMode::Window: break;
    }
    // A folder without the kit marker is refused before anything is written into it.
    if (!cl.dataDir.isEmpty() && !ProgramEnvironment::HoldsDataKit(cl.dataDir)) {
        err << "radevir: --data " << cl.dataDir
            << ": not a data folder of this program (it holds no radevir.kit)\n";
        return kExitCannotStart;
    }
    return std::nullopt;
}

bool ReadScriptFile(const QString& path, std::vector<ScriptCommand>& script, QTextStream& err) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        err << "radevir: cannot read the script " << path << "\n";
        return false;
    }
    QString error;
    if (!ParseScript(QString::fromUtf8(file.readAll()), script, error)) {
        err << "radevir: " << error << "\n";
        return false;
    }
    return true;
}

// Scripts run on the virtual clock unless they ask for the real one.
struct ProgramClock {
    std::unique_ptr<Clock> clock;
    VirtualClock* virtualClock = nullptr;
};

ProgramClock MakeClock(bool scripted, bool realTime) {
    ProgramClock out;
    if (scripted && !realTime) {
        auto v = std::make_unique<VirtualClock>();
        out.virtualClock = v.get();
        out.clock = std::move(v);
    } else {
        out.clock = std::make_unique<RealClock>();
    }
    return out;
}

// --print-picture: one job with the picture, then the program ends (0 printed, 1 not).
int RunPrintPicture(const CommandLine& cl, const ProgramEnvironment& env, QTextStream& err) {
    TextPrinter printer(env, cl.printTo, nullptr);
    printer.SetPictureCopies(PictureCopies(cl.copies));
    // on the command line the PDF that stands in for a missing printer is named there, not in a box
    printer.SetNoPrinterNotice([](const QString& pdfFile) {
        QTextStream(stdout) << "radevir: no printer is set up; the picture went into "
                            << QDir::toNativeSeparators(pdfFile) << "\n";
    });
    const QString target = IsClipboardPrintName(cl.printPicture) ? cl.printPicture
                                                                 : QFileInfo(cl.printPicture).absoluteFilePath();
    if (printer.PrintPicture(target)) return 0;
    err << "radevir: nothing printed: " << cl.printPicture << " is missing or holds no picture the program can read\n";
    return 1;
}

// The window, its console, the sound and graphics behind it, and the message loop.
int RunWindow(const CommandLine& cl, ProgramEnvironment& env, ProgramClock& programClock,
              AudioOutput& audio, std::vector<ScriptCommand> script) {
    Clock& clock = *programClock.clock;
    const bool scripted = !cl.scriptFile.isEmpty();
    const auto seed = cl.seed.value_or(
        scripted ? 1u
                 : static_cast<std::uint64_t>(
                       std::chrono::steady_clock::now().time_since_epoch().count()));
    Random random(seed);
    SettingsStore settings(cl.settingsFile, env.ProgramFileName());

    // the wave component and the spoken arithmetic live as long as the window
    WaveComponent wave(env, audio, clock);
    SoundTable soundTable;
    const QString soundTableFile = env.NativePath("mathsound.xml");
    if (QFile::exists(soundTableFile)) soundTable.LoadFile(soundTableFile);
    ArithmeticSpeaker speak;
    speak.soundTable = &soundTable;
    speak.wave = &wave;
    SpeakerPort speechPort(speak);
    SoundAdapter sound(wave);

    HostWindow host({env, settings, clock}, cl.size);
    host.GetConsole().SetSoundPort(&sound);
    host.Film().SetWave(&wave);
    Graphics graphics(host.GetConsole());
    graphics.stopAnimation = [&host] { return host.Film().StopIfPlaying(); };
    graphics.SetFullScreenWindow(&host);
    graphics.SetPanelHost(&host);
    // printer text jobs go to the printer, or into PDFs in the --print-to folder
    TextPrinter textPrinter(env, cl.printTo, &host);
    textPrinter.SetJobMonitor(&host);
    textPrinter.SetPictureCopies(PictureCopies(cl.copies));
    graphics.SetTextPrinter(&textPrinter);
    // the editor's worksheet runs in the worksheet process; recordings play through our output
    TaskEditorHandlers editorHandlers;
    editorHandlers.worksheet = [&env, &cl](QWidget* parent, const WorksheetRequest& request) {
        return ShowWorksheet(parent, env, request, {cl.printTo, cl.seed, false, {}, nullptr});
    };
    editorHandlers.recorder = [&wave](QWidget* parent, const QString& file, const QPoint& where) {
        return RunSoundRecorder(parent, file, where, {&wave.Output(), {}});
    };
    editorHandlers.help = [&env](const Bytes& topic) { ShowHelpTopic(env, topic); };
    TaskEditorOnDemand editor(env, sound, host, cl.printTo, std::move(editorHandlers));
    ListChooserOnDemand chooser(env, settings, host, cl.printTo, &editor);
    host.GetConsole().SetListChooser(&chooser);
    CardBoxSaveDialog cardBoxDialog(&host);
    host.GetConsole().SetCardBoxDialog(&cardBoxDialog);
    std::unique_ptr<SpeedDialog> speedDialog;  // made on the first F10
    host.runProgramMenu = [&](Console& console) {
        MenuServices services{console, graphics, env, random, &speechPort};
        RunProgramMenu(services);
    };
    host.speedDialog = [&speedDialog, &host](double& value) {
        if (!speedDialog) speedDialog = std::make_unique<SpeedDialog>(&host);
        speedDialog->SetValue(value);
        if (speedDialog->exec() != QDialog::Accepted) return false;
        value = speedDialog->Value();
        return true;
    };

    std::unique_ptr<AutomationDriver> driver;
    if (scripted) {
        driver = std::make_unique<AutomationDriver>(host, clock, programClock.virtualClock,
                                                    std::move(script));
        host.onProgramEnded = [&driver] { driver->ProgramEnded(); };
    }

    host.FormShow();
    if (!cl.editFile.isEmpty()) {
        const QString file = QFileInfo(cl.editFile).absoluteFilePath();
        QTimer::singleShot(0, &host, [&editor, file] { editor.Open(file); });
    }
    if (driver) driver->Start();
    const int result = QApplication::exec();
    return driver ? driver->ExitCode(result) : result;
}

}  // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    const CommandLine cl = ParseCommandLine(args);
    QTextStream err(stderr);
    const StartMode mode = ChooseStartMode(cl, CurrentDisplayEnvironment());
    if (const std::optional<int> end = EndBeforeStart(cl, mode, err)) return *end;

    std::vector<ScriptCommand> script;
    if (!cl.scriptFile.isEmpty() && !ReadScriptFile(cl.scriptFile, script, err)) return kExitCannotStart;

    // --speak and --worksheet need the event loop but no window
    std::unique_ptr<QCoreApplication> app;
    if (mode == StartMode::Speak || mode == StartMode::Worksheet) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        app = OpenApplicationOnDisplay(argc, argv);
        QApplication::setApplicationDisplayName(QStringLiteral("Radevir 3.3"));
    }
    NameTheApplication();

    const QString dataFolder = cl.dataDir.isEmpty()
                                   ? ProgramEnvironment::FindDataFolder(QCoreApplication::applicationDirPath())
                                   : QDir(cl.dataDir).absolutePath();
    ProgramEnvironment env = ProgramEnvironment::FromNativeFolder(dataFolder, "radevir");
    if (mode == StartMode::PrintPicture) return RunPrintPicture(cl, env, err);
    if (mode == StartMode::Worksheet) {
        // the worksheet process makes the sheet; the program itself never loads the web engine
        return RunWorksheetCommand(env, cl.worksheet, {{cl.printTo, cl.seed, cl.selfCheck, {}}, cl.asIs},
                                   err);
    }
    ProgramClock programClock = MakeClock(!cl.scriptFile.isEmpty(), cl.realTime);

    QString audioError;
    std::unique_ptr<AudioOutput> audio = MakeAudioOutput(cl.audio, *programClock.clock, &audioError);
    if (!audio) {
        err << "radevir: " << (audioError.isEmpty() ? QStringLiteral("no audio output") : audioError) << "\n";
        return kExitCannotStart;
    }
    if (mode == StartMode::Speak) return RunSpeakCommand(env, *audio, *programClock.clock, *cl.speak, err);
    return RunWindow(cl, env, programClock, *audio, std::move(script));
}
