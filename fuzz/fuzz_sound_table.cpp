// Any bytes as the sound table "mathsound.xml": read through the XML parser into records, and
// the first records' join lines (start, end, volume, gap and silence as the table holds them)
// joined with two small recordings, the way speaking joins them.
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "fuzz/fuzz_app.h"
#include "sound/arithmetic_speaker.h"
#include "sound/audio_output.h"
#include "sound/join_line.h"
#include "sound/wave_component.h"
#include "support/clock.h"
#include "support/program_environment.h"

using namespace radevir;

namespace {

void Le(QByteArray& b, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A PCM wave of `frames` frames of a rising ramp.
QByteArray Wave(int rate, int channels, int bits, int frames) {
    const int block = channels * bits / 8;
    QByteArray b("RIFF");
    Le(b, static_cast<std::uint32_t>(36 + frames * block), 4);
    b.append("WAVEfmt ");
    Le(b, 16, 4);
    Le(b, 1, 2);
    Le(b, static_cast<std::uint32_t>(channels), 2);
    Le(b, static_cast<std::uint32_t>(rate), 4);
    Le(b, static_cast<std::uint32_t>(rate * block), 4);
    Le(b, static_cast<std::uint32_t>(block), 2);
    Le(b, static_cast<std::uint32_t>(bits), 2);
    b.append("data");
    Le(b, static_cast<std::uint32_t>(frames * block), 4);
    for (int i = 0; i < frames * block; ++i) b.append(static_cast<char>(i * 7));
    return b;
}

struct World {
    QTemporaryDir scratch;
    VirtualClock clock;
    std::unique_ptr<AudioOutput> output = MakeNullAudioOutput(clock);
    ProgramEnvironment env{scratch.path().toStdString(), "radevir"};
    WaveComponent wave{env, *output, clock};
};
std::unique_ptr<World> world;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::EnsureGuiApplication();
    world = std::make_unique<World>();
    const QString folder = world->scratch.path();
    QDir(folder).mkpath("mathsound");
    for (const auto& [name, bytes] : {std::pair{"/mathsound/a.wav", Wave(22050, 1, 16, 400)},
                                      std::pair{"/mathsound/b.wav", Wave(11025, 2, 8, 300)}}) {
        QFile f(folder + name);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    SoundTable table;
    if (!table.LoadXml(std::string(reinterpret_cast<const char*>(data), size))) return 0;
    std::vector<std::string> lines;
    constexpr size_t kJoined = 6;
    for (const SoundRecord& record : table.Records()) {
        if (table.Find(record.name) == nullptr) std::abort();
        lines.push_back(record.ToJoinLine());
        (void)ParseJoinLine(lines.back());
        if (lines.size() == kJoined) break;
    }
    if (lines.empty()) return 0;
    const std::string out = world->env.ProgramFolder() + "joined.wav";
    (void)world->wave.JoinWaves(out, lines, false, 0);
    return 0;
}
