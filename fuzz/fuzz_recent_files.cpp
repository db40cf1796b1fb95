// Any bytes as the chooser's memory of recent files ("bgi7\letzteN.txt"): read as the list file
// it is, each entry's name and start line looked up and its name split into folder and file;
// a name written back as an entry reads back as the same name.
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "chooser/recent_files.h"
#include "support/file_helpers.h"
#include "support/program_environment.h"

using namespace radevir;

namespace {
std::unique_ptr<QTemporaryDir> scratch;
std::unique_ptr<ProgramEnvironment> env;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    scratch = std::make_unique<QTemporaryDir>();
    env = std::make_unique<ProgramEnvironment>(scratch->path().toStdString(), "radevir");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    {
        std::ofstream out(scratch->path().toStdString() + "/letzte2.txt", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const std::vector<Bytes> list = LoadListFile(*env, "letzte2.txt");
    for (const Bytes& entry : list) {
        const Bytes name = RecentNameOfEntry(entry);
        if (RememberedStartIndex(list, name) < 0) std::abort();
        const RecentNameParts parts = SplitRecentName(name);
        if (parts.folder.size() + parts.file.size() != name.size()) std::abort();
        // quotes inside a name are not kept apart from the quotes around it; file names on
        // this system may hold them, but then only the round trip is not promised
        if (name.find('"') == Bytes::npos && RecentNameOfEntry(RecentEntry(name, 7)) != name) std::abort();
    }
    return 0;
}
