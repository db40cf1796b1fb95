// The grab game's own frame at a 1920×1080 client in full-screen mode: the game's logic, the
// background page restored, 30 tiles, the hand, the flip — the frame the game shows 60 times a
// second. And the frame rate the game's pace holds on the real clock.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <thread>

#include "bench/bench_host.h"
#include "console/console.h"
#include "exercises/session.h"
#include "graphics/graphics.h"
#include "support/clock.h"
#include "support/program_environment.h"
#include "training/grab_game.h"

using namespace radevir;

namespace {

// A memory host that sleeps while the program waits, as the window's event loop does.
class SleepingHost : public bench::MemoryHost {
  public:
    using MemoryHost::MemoryHost;
    void WaitForEvents(double maxMs) override {
        std::this_thread::sleep_for(
            std::chrono::microseconds(static_cast<long>(std::clamp(maxMs, 0.0, 1.0) * 1000)));
    }
};

// A game world on a memory host: the kit's pictures and fonts are not needed for the cost.
struct World {
    SleepingHost host{QSize(1920, 1080)};
    ProgramEnvironment env{RADEVIR_KIT_DIR "/", "radevir"};
    Random random{3};
    Console console;
    Graphics graphics{console};
    Session session{console, env, random};
    GrabGame game;
    GrabTask task;

    explicit World(Clock& clock) : console(host, clock, env) {
        console.InitConsole({});
        session.graphics = &graphics;
        session.options.grabTarget = option::GrabTarget::kAll;
        session.options.soundLevel = option::SoundLevel::kSilent;
        graphics.InitGraph(0);
        graphics.EnterFullScreen();
        LoadGrabPictures(session, game);
        // 29 characters and the joker: 30 drifting tiles
        SetUpGrabTask(session, game, task, PrepareGrabText("12+34+56+78=180 98-76-54=123x", true));
    }
};

void BM_GrabGameFrame(benchmark::State& state) {
    VirtualClock clock;
    World w(clock);
    int frame = 0;
    for (auto _ : state) {
        // the hand moves round without catching anything
        w.console.MouseMoved(w.graphics.VgaToPixel(QPoint(20 + frame % 600, 150 + frame % 300)));
        const auto end = RunGrabFrame(w.session, w.game, w.task);
        benchmark::DoNotOptimize(end);
        ++frame;
    }
    state.counters["tiles"] = w.task.board.n + 1;
}
BENCHMARK(BM_GrabGameFrame)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(300)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Frames per second shown by the game's loop on the real clock over two seconds.
void BM_GrabGameFrameRate(benchmark::State& state) {
    RealClock clock;
    World w(clock);
    double fps = 0;
    for (auto _ : state) {
        w.game.nextFrameMs = clock.NowMs();
        const long before = w.game.frames;
        const double start = clock.NowMs();
        while (clock.NowMs() - start < 2000) {
            RunGrabFrame(w.session, w.game, w.task);
            WaitForNextFrame(w.session, w.game);
        }
        fps = (w.game.frames - before) * 1000.0 / (clock.NowMs() - start);
    }
    state.counters["frames_per_s"] = fps;
    state.counters["target"] = GrabGame::kFramesPerSecond;
}
BENCHMARK(BM_GrabGameFrameRate)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
