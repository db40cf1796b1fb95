// Any bytes as a text file: the decoder never grows the text, leaves what is not UTF-8 as it
// stands, and the strict UTF-8 check agrees with a decode-and-encode round trip.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "support/codepage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const bool marked = bytes.substr(0, 3) == "\xEF\xBB\xBF";
    const bool valid = radevir::IsValidUtf8(bytes);

    const radevir::Bytes decoded = radevir::DecodeTextFileBytes(bytes);
    if (decoded.size() > bytes.size()) std::abort();
    if (!marked && !valid && decoded != bytes) std::abort();
    if (valid && radevir::Utf8(radevir::FromUtf8(bytes)) != bytes) std::abort();

    // the start of a longer file: whatever the cut, no more bytes than went in
    const std::string_view start = bytes.substr(0, size / 2);
    if (radevir::DecodeTextFileBytes(start, true).size() > start.size()) std::abort();
    if (valid && !radevir::IsValidUtf8(start, true)) std::abort();
    return 0;
}
