// Keyboard side of the DOS-style input: the KeyQueue, the scan-code table for cursor and
// function keys, the code-page tables for typed letters and Alt + number-pad composition.
#pragma once

#include <cstddef>
#include <deque>
#include <string_view>

#include "support/codepage.h"

namespace radevir {

// Windows-style virtual key numbers, the keyboard's neutral names for keys.
namespace vk {
constexpr int kShift = 16, kControl = 17, kAlt = 18;
constexpr int kPageUp = 0x21, kPageDown = 0x22, kEnd = 0x23, kHome = 0x24, kLeft = 0x25,
              kUp = 0x26, kRight = 0x27, kDown = 0x28, kInsert = 0x2D, kDelete = 0x2E;
constexpr int kF1 = 0x70, kF10 = 0x79, kF11 = 0x7A, kF12 = 0x7B;
constexpr int kNumpad0 = 0x60, kNumpad9 = 0x69;
}  // namespace vk

// Scan code appended for a virtual key, or -1 when the key appends nothing itself.
int ScanCodeForVirtualKey(int virtualKey);
// Cursor-block keys (PageUp to Delete) only reach the queue when it is empty in full-screen mode.
bool IsCursorBlockKey(int virtualKey);

// Windows-1252 letters → code page 437 (unless conversion is off).
unsigned char ToOem(unsigned char c, bool conversionOff);
Bytes ToOemString(std::string_view s, bool conversionOff);
// Code page 437 letters → Windows-1252 (unless conversion is off); 0x80 shows as "Ç".
unsigned char ToAnsiChar(unsigned char c, bool conversionOff);
Bytes ToAnsi(std::string_view s, bool conversionOff);

// Pending key codes, first in first out. Each key keeps whether it was a scan code (cursor and
// function keys, mouse region codes) so a reader can tell it from a typed character.
class KeyQueue {
public:
    void Append(unsigned char code, bool extended) { keys_.push_back({code, extended}); }
    bool Empty() const { return keys_.empty(); }
    std::size_t Size() const { return keys_.size(); }
    // Removes the oldest key; 0 when empty. LastKeyExtended then describes it.
    unsigned char Take();
    bool LastKeyExtended() const { return lastExtended_; }
    void Clear() { keys_.clear(); }

private:
    struct Key {
        unsigned char code;
        bool extended;
    };
    std::deque<Key> keys_;
    bool lastExtended_ = false;
};

// Alt held with number-pad digits composes a character when Alt is released: a leading 0
// selects a Windows-1252 code, otherwise a code page 437 code.
class AltComposer {
public:
    void AltPressed() { digits_.clear(); }
    void Digit(int d) { digits_.push_back(static_cast<char>('0' + d)); }
    // The composed Windows-1252 character, or -1 when no digits were typed.
    int AltReleased();

private:
    std::string digits_;
};

}  // namespace radevir
