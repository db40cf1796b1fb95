// One full 80×25 text screen of mixed letters and frame glyphs written at a 1920×1080 client
// size: the time a menu or list screen takes to come up.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>

#include "bench/bench_host.h"
#include "console/console.h"
#include "support/clock.h"
#include "support/program_environment.h"

using namespace radevir;

namespace {

// A glyph picture with a line through the middle and one down the centre (like ┼).
GlyphSource Cross(const std::string& name) {
    return {name, [](QSize s) {
                QImage img(s, QImage::Format_ARGB32);
                img.fill(Qt::transparent);
                QPainter p(&img);
                p.fillRect(QRect(0, s.height() / 2 - 1, s.width(), 3), Qt::black);
                p.fillRect(QRect(s.width() / 2 - 1, 0, 3, s.height()), Qt::black);
                return img;
            }};
}

void BM_FullTextScreen(benchmark::State& state) {
    bench::MemoryHost host(QSize(1920, 1080));
    VirtualClock clock;
    ProgramEnvironment env("/x/", "radevir");
    Console console(host, clock, env);
    std::vector<GlyphSource> glyphs;
    for (int code : {179, 180, 191, 192, 193, 194, 195, 196, 197, 217, 218, 176, 177, 178})
        glyphs.push_back(Cross(std::to_string(code)));
    console.InitConsole(glyphs);
    console.EnterTextMode();
    console.TextBackground(1);
    // rows alternate between a frame line and a framed text line
    const Bytes frame = "\xDA" + Bytes(78, '\xC4') + "\xBF";
    const Bytes text = "\xB3 Kopfrechnen  Aufgabe 12 + 35 = 47   richtig: 12  falsch: 3   \xB2\xB1\xB0 Zeit 01:25 \xB3";
    for (auto _ : state) {
        console.ClrScr();
        for (int row = 1; row <= 25; ++row) {
            console.GotoXY(1, row);
            console.TextColor(row % 15 + 1);
            console.Write(row % 2 == 1 ? frame : text.substr(0, 80));
        }
        benchmark::DoNotOptimize(host.fb.constBits());
    }
}
BENCHMARK(BM_FullTextScreen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
