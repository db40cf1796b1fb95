// A week of sheets: `radevir --worksheet` over ten of the kit's lists in one run (one start of
// the worksheet process and its web engine), with the self-check list: wall time from the
// program's start until all ten HTML pages and PDFs are written. Target: under 3 s for ten.
// For comparison, one list per run, the way a shell loop made a week of sheets before.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace {

const QString kKit = QStringLiteral(RADEVIR_KIT_DIR);

QStringList TenLists() {
    QStringList files;
    const QDir folder(kKit + "/Aufgaben/Kopfrechnen");
    for (const QString& name :
         folder.entryList({"Einmaleins*.txt", "Plus*.txt"}, QDir::Files, QDir::Name))
        files << folder.filePath(name);
    return files.mid(0, 10);
}

bool MakeSheets(const QStringList& files, const QString& out) {
    QProcess program;
    program.setProgram(kKit + "/radevir");
    QStringList args{"--worksheet"};
    args << files << "--self-check"
         << "--print-to" << out << "--seed"
         << "1";
    program.setArguments(args);
    program.start();
    return program.waitForFinished(180000) && program.exitStatus() == QProcess::NormalExit &&
           program.exitCode() == 0;
}

void BM_TenSheetsInOneRun(benchmark::State& state) {
    const QStringList files = TenLists();
    if (files.size() < 10) state.SkipWithError("the kit holds fewer than ten lists");
    for (auto _ : state) {
        QTemporaryDir out;
        QElapsedTimer timer;
        timer.start();
        const bool made = MakeSheets(files, out.path());
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        const int pdfs =
            static_cast<int>(QDir(out.path()).entryList({"*.pdf"}, QDir::Files).size());
        if (!made || pdfs != 10) state.SkipWithError("not every sheet was made");
    }
    state.counters["sheets"] = 10;
}
BENCHMARK(BM_TenSheetsInOneRun)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OneSheetPerRun(benchmark::State& state) {
    const QStringList files = TenLists();
    for (auto _ : state) {
        QTemporaryDir out;
        QElapsedTimer timer;
        timer.start();
        const bool made = MakeSheets(files.mid(0, 1), out.path());
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        if (!made) state.SkipWithError("the sheet was not made");
    }
}
BENCHMARK(BM_OneSheetPerRun)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
