// The drills' speed: a 40-task mental arithmetic run of the real program on the virtual clock,
// driven by a script (wall time from start until the program has shown the closing screen and
// ended), and one step of the running figure between tasks on a 1920×1080 window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "bench/bench_host.h"
#include "console/console.h"
#include "graphics/graphics.h"
#include "support/clock.h"
#include "support/program_environment.h"

using namespace radevir;

namespace {

const QString kKit = QStringLiteral(RADEVIR_KIT_DIR);

void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

// A program folder of its own: the kit linked in, a 40-task list chosen last time, options that
// keep the run going without questions (no motivation screens, no wait for a key after a task).
QString PrepareFolder(const QTemporaryDir& dir) {
    const QString root = dir.path();
    for (const QFileInfo& entry : QDir(kKit).entryInfoList(QDir::NoDotAndDotDot | QDir::AllEntries)) {
        if (entry.fileName() == "bgi7" || entry.fileName() == "Aufgaben") continue;
        QFile::link(entry.absoluteFilePath(), root + "/" + entry.fileName());
    }
    QDir().mkpath(root + "/bgi7");
    for (const QFileInfo& entry : QDir(kKit + "/bgi7").entryInfoList(QDir::Files))
        QFile::link(entry.absoluteFilePath(), root + "/bgi7/" + entry.fileName());
    QByteArray tasks;
    QByteArray keys;
    for (int i = 1; i <= 40; ++i) {
        const int a = i % 9 + 1;
        tasks += QByteArray::number(a) + "+0=_" + QByteArray::number(a) + "\r\n";
        // the pause after a task reads away what was typed during it: the next key comes after
        keys += "type " + QByteArray::number(a) + "\nwait 5000\n";
    }
    WriteFile(root + "/Aufgaben/Kopfrechnen/Vierzig.txt", tasks);
    WriteFile(root + "/bgi7/letzte2.txt", "Kopfrechnen\\Vierzig.txt=1\r\n");
    // Merkzeit short, Animation off, Männchen laufen: the figure runs after every task
    const QList<QByteArray> options = {"0", "1500", "1", "2", "1", "1", "1", "0", "0", "1", "2", "4",
                                       "0", "AAR", "3", "0", "100", "280", "110", "0", "2", "1",
                                       "0", "0", "1", "0", "0", "10", "2", "1", "7", "1", "0", "0", "0"};
    WriteFile(root + "/aktuell.opt", options.join("\r\n") + "\r\n");
    // the run stops after task 40 with the closing screen, which waits for a key
    WriteFile(root + "/script.txt", "key k\nkey Enter\n" + keys + "key Space\nkey Esc\nkey j\n");
    return root;
}

void BM_MentalArithmeticRun40Tasks(benchmark::State& state) {
    QTemporaryDir dir;
    const QString root = PrepareFolder(dir);
    for (auto _ : state) {
        QProcess program;
        program.setProgram(kKit + "/radevir");
        program.setArguments({"--data", root, "--script", root + "/script.txt", "--settings",
                              root + "/settings.ini", "--size", "800x600", "--audio", "null"});
        QElapsedTimer timer;
        timer.start();
        program.start();
        program.waitForFinished(120000);
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        if (program.exitCode() != 0) state.SkipWithError("the scripted run did not end by itself");
    }
}
BENCHMARK(BM_MentalArithmeticRun40Tasks)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// One frame of the running figure put on the bottom row at 1920×1080.
void BM_FigureStep1920x1080(benchmark::State& state) {
    bench::MemoryHost host(QSize(1920, 1080));
    VirtualClock clock;
    ProgramEnvironment env(QDir(kKit).absolutePath().toStdString() + "/", "radevir");
    Console console(host, clock, env);
    console.InitConsole({});
    Graphics graphics(console);
    graphics.InitGraph(0);
    std::array<QImage, 22> frames;
    for (int i = 0; i < 22; ++i)
        graphics.LoadPictureBitmap(frames[static_cast<size_t>(i)], console.Palette()[0], i == 21 ? 100 : 0,
                                   55, "bitplane\\schwarz\\brot" + std::to_string(i) + ".png", false);
    int r = 0;
    for (auto _ : state) {
        graphics.PutImage(static_cast<int>(72.6 * (r / 22)) % 540, 421, frames[static_cast<size_t>(r % 22)]);
        ++r;
    }
}
BENCHMARK(BM_FigureStep1920x1080)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
