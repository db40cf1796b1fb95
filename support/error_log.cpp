#include "support/error_log.h"

#include <cstdio>
#include <exception>

namespace radevir {
namespace {

void WriteLine(std::string_view where, const char* what) noexcept {
    std::fprintf(stderr, "radevir: %.*s: %s (dropped)\n", static_cast<int>(where.size()),
                 where.data(), what);
    std::fflush(stderr);
}

}  // namespace

void LogDroppedException(std::string_view where) noexcept {
    try {
        if (const std::exception_ptr current = std::current_exception())
            std::rethrow_exception(current);
        WriteLine(where, "unknown exception");
    } catch (const std::exception& e) {
        WriteLine(where, e.what());
    } catch (...) {
        // not a standard exception: there is no text to give
        WriteLine(where, "unknown exception");
    }
}

}  // namespace radevir
