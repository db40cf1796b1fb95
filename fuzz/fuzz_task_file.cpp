// Any bytes as a task file, loaded through the task loader of a session; every line it holds is
// then prepared, classified and range-checked as a run would do it.
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "exercises/session.h"
#include "fuzz/fuzz_app.h"
#include "exercises/task_model.h"
#include "support/clock.h"
#include "support/program_environment.h"
#include "support/random.h"
#include "tests/console/fake_host.h"

using namespace radevir;

namespace {
struct World {
    QTemporaryDir scratch;
    test::FakeHost host{QSize(802, 502)};
    VirtualClock clock;
    ProgramEnvironment env{scratch.path().toStdString(), "radevir"};
    Console console{host, clock, env};
    Random random{7};
    Session session{console, env, random};
};
std::unique_ptr<World> world;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::EnsureGuiApplication();
    world = std::make_unique<World>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string file = world->scratch.path().toStdString() + "/Aufgaben.txt";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    }
    Session& session = world->session;
    session.tasks.Clear();
    // the first byte is the remembered start line, which may lie past the list's end
    const int startIndex = static_cast<int>(data[0]) - 2;
    if (!LoadTaskFile(session, "Aufgaben.txt", startIndex)) {
        if (session.tasks.Count() != 0) std::abort();  // a failed load keeps the (empty) list
        return 0;
    }
    const TaskList& list = session.tasks;
    if (list.Count() < 1 || list.Count() > TaskList::kMaxLines) std::abort();
    if (list.position < 1 || list.position > list.Count()) std::abort();
    for (int n = 1; n <= list.Count(); ++n) {
        const Bytes& line = list.Line(n);
        if (line.empty()) std::abort();
        if (IsSeparatorLine(line) || IsHintLine(line)) continue;
        const Task task = PrepareTaskLine(line, true);
        ColumnTask column = ClassifyColumnTask(task.displayText);
        CheckColumnRange(column);
    }
    return 0;
}
