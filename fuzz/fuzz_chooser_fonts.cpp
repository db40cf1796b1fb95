// Any bytes as the chooser's font file ("bgi7\auswahlfonts.txt"): the three lines load over the
// current fonts, and a font read from a line, written as a line, reads back the same.
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "chooser/chooser_fonts.h"
#include "fuzz/fuzz_app.h"
#include "support/program_environment.h"

using namespace radevir;

namespace {
std::unique_ptr<QTemporaryDir> scratch;
std::unique_ptr<ProgramEnvironment> env;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::EnsureGuiApplication();
    scratch = std::make_unique<QTemporaryDir>();
    QDir(scratch->path()).mkpath("bgi7");
    env = std::make_unique<ProgramEnvironment>(scratch->path().toStdString(), "radevir");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    {
        std::ofstream out(scratch->path().toStdString() + "/bgi7/auswahlfonts.txt",
                          std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    ChooserFonts fonts;
    LoadChooserFonts(*env, fonts);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string_view firstLine = text.substr(0, text.find_first_of("\r\n"));
    if (const auto font = ReadFontLabelLine(firstLine, StoredFont{})) {
        const auto again = ReadFontLabelLine(FontLabelLine(*font), StoredFont{});
        if (!again || FontLabelLines(*again) != FontLabelLines(*font)) std::abort();
    }
    return 0;
}
