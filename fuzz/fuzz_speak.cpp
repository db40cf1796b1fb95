// Any text spoken with the data kit's sound table: split into records and numbers, references
// expanded, the recordings joined and played on the silent output. The kit folder is
// RADEVIR_FUZZ_KIT, else the default build's kit.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "fuzz/fuzz_app.h"
#include "sound/arithmetic_speaker.h"
#include "sound/audio_output.h"
#include "sound/wave_component.h"
#include "support/clock.h"
#include "support/program_environment.h"

using namespace radevir;

namespace {

// The kit's table and recordings, seen from a scratch program folder so that the joined
// temporary files never land in the kit.
struct World {
    QTemporaryDir scratch;
    VirtualClock clock;
    std::unique_ptr<AudioOutput> output = MakeNullAudioOutput(clock);
    ProgramEnvironment env{scratch.path().toStdString(), "radevir"};
    WaveComponent wave{env, *output, clock};
    SoundTable table;
    ArithmeticSpeaker speaker;
};
std::unique_ptr<World> world;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::EnsureGuiApplication();
    world = std::make_unique<World>();
    const QString kit = qEnvironmentVariableIsSet("RADEVIR_FUZZ_KIT")
                            ? qEnvironmentVariable("RADEVIR_FUZZ_KIT")
                            : QStringLiteral(RADEVIR_FUZZ_DEFAULT_KIT);
    const QDir kitDir(kit);
    for (const QString& entry : kitDir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        if (entry == "tempwav") continue;
        QFile::link(kitDir.filePath(entry), world->scratch.path() + "/" + entry);
    }
    if (!world->table.LoadFile(world->env.NativePath("mathsound.xml")) || world->table.Size() == 0) {
        qFatal("no sound table in %s (set RADEVIR_FUZZ_KIT to a built data kit)", qPrintable(kit));
    }
    world->speaker.soundTable = &world->table;
    world->speaker.wave = &world->wave;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    // a spoken task is a line of a task file; longer texts only join more of the same
    constexpr size_t kLongestText = 120;
    const Bytes text(reinterpret_cast<const char*>(data), std::min(size, kLongestText));
    std::vector<std::string> pieces;
    std::vector<Bytes> names;
    if (world->speaker.BuildPieces(text, pieces, &names) && names.size() != pieces.size()) std::abort();
    (void)world->speaker.Speak(text, false);
    world->wave.StopAll();
    return 0;
}
