// Byte strings of the screen and the data files, and their one conversion to and from Unicode.
// Letters are Windows-1252 bytes, frame characters code-page-437 bytes; Qt sees only QString.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace radevir {

// A screen text, task line or file line: raw 8-bit bytes.
using Bytes = std::string;

QString FromCp1252(std::string_view bytes);
// Characters without a Windows-1252 byte become `fallback`.
Bytes ToCp1252(QStringView text, char fallback = '?');
QString FromCp437(std::string_view bytes);
char32_t Cp437ToUnicode(unsigned char byte);
char32_t Cp1252ToUnicode(unsigned char byte);  // undefined bytes give U+FFFD
// 0 when the character has no byte in that code page (except U+0000 itself).
int UnicodeToCp1252(char32_t c);
int UnicodeToCp437(char32_t c);

// Screen-text encoding of readable UTF-8: letters as Windows-1252, frame and arrow characters
// as code page 437 (the way the program's screen texts mix them).
Bytes ScreenBytes(std::string_view utf8);

// Decode one screen byte for a person: a glyph-picture byte as code page 437, a letter as
// Windows-1252.
char32_t DecodeScreenByte(unsigned char byte, bool drawnAsGlyph);

std::string Utf8(std::u32string_view text);
std::u32string FromUtf8(std::string_view utf8);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF. With
// `allowCutEnd` the bytes may end inside a character (a prefix of a longer file).
bool IsValidUtf8(std::string_view bytes, bool allowCutEnd = false);

// The bytes of a text file as the program works with them (Windows-1252). Files written by
// today's editors are UTF-8: a file that starts with the UTF-8 byte-order mark, or that is
// valid UTF-8 and holds non-ASCII characters, is converted (characters without a Windows-1252
// byte become "?"; after a byte-order mark, bytes that are no UTF-8 stay as they are).
// Everything else is already Windows-1252 and comes back unchanged. `cutEnd`: the bytes are
// the start of a longer file and may end inside a character, which is then dropped.
Bytes DecodeTextFileBytes(std::string_view bytes, bool cutEnd = false);

inline namespace literals {
// "Übertrag │"_b — the screen bytes of a readable literal.
inline Bytes operator""_b(const char* s, std::size_t n) { return ScreenBytes({s, n}); }
}  // namespace literals

}  // namespace radevir
