// Speaking a ten-token task (from the call to the start of playing) and joining 20 pieces
// (plain, cut and overlapped, or half of them converted from another format): the delay a
// child waits for a dictated task, and the cost of building a joined sentence.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cmath>

#include "sound/audio_output.h"
#include "sound/arithmetic_speaker.h"
#include "sound/wave_component.h"
#include "support/clock.h"
#include "support/program_environment.h"

using namespace radevir;

namespace {

// A program folder with 0.6 s recordings for the task's words, as the kit has them.
struct Fixture {
    QTemporaryDir dir;
    ProgramEnvironment env{ToCp1252(dir.path() + "/")};
    VirtualClock clock;
    std::unique_ptr<AudioOutput> output = MakeNullAudioOutput(clock);
    WaveComponent wav{env, *output, clock};
    SoundTable table;
    ArithmeticSpeaker speak;

    Fixture() {
        QDir().mkpath(dir.path() + "/mathsound");
        const std::vector<std::string> names = {"12", "+", "35", "-", "7", "*", "3", ":", "2", "="};
        for (size_t k = 0; k < names.size(); ++k) {
            const std::string file = "piece" + std::to_string(k) + ".wav";
            MakePiece(env.ProgramFolder() + "mathsound/" + file, 200.0 + 40.0 * static_cast<double>(k));
            SoundRecord r;
            r.name = names[k];
            r.folder = "mathsound\\";
            r.waveFile = file;
            table.Add(r);
        }
        speak.soundTable = &table;
        speak.wave = &wav;
    }

    // 0.6 s of a tone; a teacher's own recording is 44.1 kHz stereo.
    void MakePiece(const std::string& path, double hz, int rate = 22050, bool stereo = false) {
        const size_t frames = static_cast<size_t>(rate) * 6 / 10;
        const size_t channels = stereo ? 2 : 1;
        std::vector<std::uint8_t> bytes(frames * channels * 2);
        for (size_t i = 0; i < frames * channels; ++i) {
            const auto v = static_cast<std::int16_t>(
                8000 * std::sin(2 * M_PI * hz * static_cast<double>(i / channels) / rate));
            bytes[2 * i] = static_cast<std::uint8_t>(v & 0xFF);
            bytes[2 * i + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
        }
        wav.CreateEmptyWave(path, rate, stereo);
        wav.WriteWaveData(path, bytes.data(), static_cast<std::int64_t>(bytes.size()), 0);
    }
};

void BM_SpeakTenTokenTask(benchmark::State& state) {
    Fixture f;
    for (auto _ : state) {
        const bool started = f.speak.Speak("12 + 35 - 7 * 3 : 2 =", false);
        if (!started) state.SkipWithError("nothing played");
        state.PauseTiming();
        f.wav.StopAll();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SpeakTenTokenTask)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_JoinTwentyPieces(benchmark::State& state) {
    Fixture f;
    std::vector<std::string> lines;
    // 2: every other piece a teacher's own recording, converted to the joined file's format
    f.MakePiece(f.env.ProgramFolder() + "mathsound/own.wav", 330, 44100, true);
    for (int k = 0; k < 20; ++k) {
        std::string line = f.env.ProgramFolder() + "mathsound/piece" + std::to_string(k % 10) + ".wav";
        if (state.range(0) == 2 && k % 2 == 1) line = f.env.ProgramFolder() + "mathsound/own.wav";
        // every fourth piece at a changed volume (a cut copy), every fifth overlapping
        if (state.range(0) == 1 && k % 4 == 3) line += ",0,0,80";
        if (state.range(0) == 1 && k % 5 == 4) line += ",0,0,100,-40";
        lines.push_back(line);
    }
    const std::string out = f.env.ProgramFolder() + "joined.wav";
    for (auto _ : state) {
        if (!f.wav.JoinWaves(out, lines, false, 0)) state.SkipWithError("join failed");
    }
}
BENCHMARK(BM_JoinTwentyPieces)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
