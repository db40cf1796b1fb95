// One frame of the grab game's loop in full-screen mode at a 1920×1080 client size: restore the
// full background page onto the back buffer, blit 30 masked 60×60 sprites (AND mask, OR image)
// onto the working page, flip.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>

#include "bench/bench_host.h"
#include "console/console.h"
#include "graphics/graphics.h"
#include "support/clock.h"
#include "support/program_environment.h"

using namespace radevir;

namespace {

void BM_GrabGameFrame(benchmark::State& state) {
    bench::MemoryHost host(QSize(1920, 1080));
    VirtualClock clock;
    ProgramEnvironment env("/x/", "radevir");
    Console console(host, clock, env);
    console.InitConsole({});
    Graphics graphics(console);
    graphics.InitGraph(0);
    graphics.EnterFullScreen();

    // background: bands of colour, saved as page 0
    for (int i = 0; i < 16; ++i) {
        graphics.SetFillStyle(1, i);
        graphics.Bar(0, i * 30, 639, i * 30 + 29);
    }
    console.SaveScreenPage(0);
    console.SaveScreenPage(1);

    // a 60×60 sprite (640×480 units): a disc with its mask
    const QSize size = graphics.VgaSizeToPixel(QSize(60, 60));
    QImage image(size, QImage::Format_RGB32), mask(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    mask.fill(Qt::white);
    {
        QPainter pi(&image), pm(&mask);
        pi.setBrush(QColor(255, 200, 0));
        pi.setPen(Qt::NoPen);
        pm.setBrush(Qt::black);
        pm.setPen(Qt::NoPen);
        pi.drawEllipse(QRect(QPoint(0, 0), size));
        pm.drawEllipse(QRect(QPoint(0, 0), size));
    }

    int frame = 0;
    for (auto _ : state) {
        console.CopyScreenPage(1, 0);
        graphics.SelectDrawTarget(1);
        for (int s = 0; s < 30; ++s) {
            const int x = (s * 97 + frame * 3) % 580;
            const int y = (s * 53 + frame * 2) % 420;
            graphics.PutMaskedImage(x, y, image, mask);
        }
        graphics.SelectDrawTarget(-1);
        graphics.RestoreScreenPageToTarget(1, false);
        graphics.Flip();
        benchmark::DoNotOptimize(host.fb.constBits());
        ++frame;
    }
    graphics.LeaveFullScreenMode();
}
BENCHMARK(BM_GrabGameFrame)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
