// Program entry: reads the command line, sets up the program environment and the seams (clock,
// random, audio, printing, automation), creates the windows and runs the message loop.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <chrono>
#include <cstdio>
#include <memory>

#include "start/automation.h"
#include "start/command_line.h"
#include "chooser/list_chooser_dialog.h"
#include "graphics/graphics.h"
#include "sound/audio_output.h"
#include "sound/sound_adapter.h"
#include "sound/speak_command.h"
#include "sound/speakmath.h"
#include "sound/wav.h"
#include "start/host_window.h"
#include "support/U_startsetup.h"
#include "support/clock.h"
#include "support/program_environment.h"
#include "support/random.h"
#include "support/settings_store.h"
#include "training/program_menu.h"

using namespace radevir;

int main(int argc, char** argv) {
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("radevir"));
    QApplication::setOrganizationName(QStringLiteral("Zoze"));
    QApplication::setApplicationDisplayName(QStringLiteral("Radevir 3.3"));

    QStringList args = QApplication::arguments();
    args.removeFirst();
    const CommandLine cl = ParseCommandLine(args);
    QTextStream err(stderr);
    if (cl.help) {
        QTextStream(stdout) << UsageText();
        return 0;
    }
    if (!cl.error.isEmpty()) {
        err << "radevir: " << cl.error << "\n" << UsageText();
        return 2;
    }

    const QString dataFolder = cl.dataDir.isEmpty()
                                   ? ProgramEnvironment::FindDataFolder(QApplication::applicationDirPath())
                                   : QDir(cl.dataDir).absolutePath();
    ProgramEnvironment env(ToCp1252(dataFolder), "radevir");
    SettingsStore settings(cl.settingsFile, env.ProgramFileName());

    std::vector<ScriptCommand> script;
    if (!cl.scriptFile.isEmpty()) {
        QFile file(cl.scriptFile);
        if (!file.open(QIODevice::ReadOnly)) {
            err << "radevir: cannot read the script " << cl.scriptFile << "\n";
            return 2;
        }
        QString error;
        if (!ParseScript(QString::fromUtf8(file.readAll()), script, error)) {
            err << "radevir: " << error << "\n";
            return 2;
        }
    }
    const bool scripted = !cl.scriptFile.isEmpty();

    std::unique_ptr<Clock> clock;
    VirtualClock* virtualClock = nullptr;
    if (scripted && !cl.realTime) {
        auto v = std::make_unique<VirtualClock>();
        virtualClock = v.get();
        clock = std::move(v);
    } else {
        clock = std::make_unique<RealClock>();
    }
    const auto seed = cl.seed.value_or(
        scripted ? 1u
                 : static_cast<std::uint64_t>(
                       std::chrono::steady_clock::now().time_since_epoch().count()));
    Random random(seed);

    QString audioError;
    std::unique_ptr<AudioOutput> audio = MakeAudioOutput(cl.audio, *clock, &audioError);
    if (!audio) {
        err << "radevir: " << (audioError.isEmpty() ? QStringLiteral("no audio output") : audioError) << "\n";
        return 2;
    }
    if (cl.speak) return RunSpeakCommand(env, *audio, *clock, *cl.speak, err);

    // the wave component and the spoken arithmetic live as long as the window
    TWAV wave(env, *audio, *clock);
    SoundTable soundTable;
    const QString soundTableFile = env.NativePath("mathsound.xml");
    if (QFile::exists(soundTableFile)) soundTable.LoadFile(soundTableFile);
    Tspeakmath speak;
    speak.dataset = &soundTable;
    speak.waver = &wave;
    SoundAdapter sound(wave);

    TForm_dos host({env, settings, *clock}, cl.size);
    host.GetConsole().SetSoundPort(&sound);
    Graphics graphics(host.GetConsole());
    graphics.SetFullScreenWindow(&host);
    graphics.SetPanelHost(&host);
    TF_startsetup speedDialog(&host);
    auto* chooser = new ListChooserDialog(env, &settings, &host);  // owned by the host window
    if (!cl.printTo.isEmpty()) chooser->SetPrintToFolder(cl.printTo);
    host.GetConsole().SetListChooser(chooser);
    host.runProgramMenu = [&](Console& console) {
        MenuServices services{console, graphics, env, random};
        RunProgramMenu(services);
    };
    host.speedDialog = [&speedDialog](double& value) {
        speedDialog.SetValue(value);
        if (speedDialog.exec() != QDialog::Accepted) return false;
        value = speedDialog.Value();
        return true;
    };

    std::unique_ptr<AutomationDriver> driver;
    if (scripted) {
        driver = std::make_unique<AutomationDriver>(host, *clock, virtualClock, std::move(script));
        host.onProgramEnded = [&driver] { driver->ProgramEnded(); };
    }

    host.FormShow();
    if (driver) driver->Start();
    const int result = QApplication::exec();
    return driver ? driver->ExitCode(result) : result;
}
