// Any bytes as a printer text file: the lines hold no line ends and no 0 bytes, the conversion
// keeps every length, and the escape parser only ever takes bytes away and keeps its fonts sane.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "printing/printer_text.h"

using namespace radevir;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const Bytes bytes(reinterpret_cast<const char*>(data), size);
    for (const bool convert : {false, true}) {
        const std::vector<Bytes> lines = SplitPrinterText(bytes, convert);
        size_t lineBytes = 0;
        for (const Bytes& line : lines) {
            if (line.find_first_of(std::string("\r\n\0", 3)) != Bytes::npos) std::abort();
            lineBytes += line.size();
        }
        if (lineBytes > size) std::abort();
        if (convert && lines != [&] {
                std::vector<Bytes> plain = SplitPrinterText(bytes, false);
                for (Bytes& l : plain) ConvertCp437ForPrinting(l);
                return plain;
            }())
            std::abort();

        size_t styledBytes = 0;
        for (const StyledLine& styled : ParseEscapes(lines)) {
            styledBytes += styled.text.size();
            if (styled.font.size_pt < 0 || styled.font.size_pt > 255) std::abort();
            if (styled.continues && styled.text.empty() && !styled.continuation) std::abort();
            (void)IsFormFeedLine(styled);
        }
        if (styledBytes > lineBytes) std::abort();
    }
    return 0;
}
