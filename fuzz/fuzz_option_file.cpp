// Any bytes as an option file: it loads without fault, and the options it gave, written and
// loaded again, come back as the same lines (line 14 is a free text that is only carried).
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "exercises/program_options.h"
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
    const std::string file = scratch->path().toStdString() + "/aktuell.opt";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    ProgramOptions options;
    (void)LoadOptions(*env, "aktuell.opt", options);
    std::vector<Bytes> lines = OptionFileLines(options);
    if (!SaveOptions(*env, "aktuell.opt", options)) std::abort();
    ProgramOptions again;
    if (!LoadOptions(*env, "aktuell.opt", again)) std::abort();
    std::vector<Bytes> linesAgain = OptionFileLines(again);
    constexpr size_t kFreeTextLine = 13;
    lines[kFreeTextLine].clear();
    linesAgain[kFreeTextLine].clear();
    if (lines != linesAgain) std::abort();
    return 0;
}
