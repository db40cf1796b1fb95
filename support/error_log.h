// One line on stderr for an error the program drops and carries on after, so that a failing
// print, save or load can still be diagnosed.
#pragma once

#include <string_view>

namespace radevir {

// Call inside a catch block: writes "radevir: <where>: <what> (dropped)" to stderr, the text
// of a standard exception or "unknown exception". Never throws.
void LogDroppedException(std::string_view where) noexcept;

}  // namespace radevir
