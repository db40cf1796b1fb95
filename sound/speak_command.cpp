#include "sound/speak_command.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

#include "sound/arithmetic_speaker.h"
#include "sound/wave_component.h"
#include "support/clock.h"
#include "support/program_environment.h"

namespace radevir {

int RunSpeakCommand(const ProgramEnvironment& env, AudioOutput& output, Clock& clock,
                    const QString& text, QTextStream& err) {
    const QString tablePath = env.NativePath("mathsound.xml");
    SoundTable table;
    if (!QFileInfo::exists(tablePath)) {
        err << "radevir --speak: keine Tontabelle " << tablePath << "\n";
        return 1;
    }
    if (!table.LoadFile(tablePath) || table.Size() == 0) {
        err << "radevir --speak: Tontabelle " << tablePath << " ist leer oder nicht lesbar\n";
        return 1;
    }
    WaveComponent wav(env, output, clock);
    ArithmeticSpeaker speak;
    speak.soundTable = &table;
    speak.wave = &wav;
    const Bytes bytes = ToCp1252(text);
    if (text.trimmed().isEmpty()) {
        err << "radevir --speak: kein Text zum Sprechen\n";
        return 1;
    }
    std::vector<std::string> pieces;
    if (!speak.BuildPieces(bytes, pieces)) {
        err << "radevir --speak: kein Ton für \"" << text << "\" in der Tontabelle\n";
        return 1;
    }
    // Teachers use this to check their recordings: a recording that could not be used (or
    // only in part) is named and fails the command, even when the rest was played.
    auto reportProblems = [&] {
        for (const JoinProblem& p : wav.JoinProblems()) {
            err << "radevir --speak: " << FromCp1252(DescribeJoinProblem(p)) << "\n";
        }
        return wav.JoinProblems().empty() ? 0 : 1;
    };
    if (!speak.Speak(bytes, false)) {
        wav.StopAll();
        if (reportProblems() != 0) return 1;
        // the output is named as a word of its own: "(null)" read like a program fault
        err << "radevir --speak: \"" << text << "\" konnte nicht abgespielt werden (Tonausgabe "
            << output.Describe() << ")\n";
        return 1;
    }
    // Wait for the end of the play on the program's clock (a virtual clock jumps there).
    const DeviceId device = wav.CurrentDevice();
    const double limit = clock.NowMs() + output.LengthMs(device) + 10000.0;
    while (wav.Busy() && clock.NowMs() < limit) {
        if (clock.IsVirtual()) {
            const int left = output.LengthMs(device) - output.PositionMs(device);
            clock.SleepMs(left > 0 ? left : 10);
            QCoreApplication::processEvents();
            continue;
        }
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        QObject::connect(&output, &AudioOutput::Completed, &loop, &QEventLoop::quit,
                         Qt::QueuedConnection);
        loop.exec();
    }
    wav.StopAll();
    return reportProblems();
}

}  // namespace radevir
