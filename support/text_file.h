// Text files of the program: Windows-1252 bytes, lines ended by CR LF. Reading splits at CR LF,
// LF or CR, takes UTF-8 files of today's editors in as Windows-1252, and reads no more than the
// caller can use; a whole file is always written through a temporary file and a rename, so a
// failed write never leaves a truncated file behind. TextFile is the line reader/writer the
// option and protocol files use.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <string_view>
#include <type_traits>
#include <vector>

#include "support/codepage.h"
#include "support/text_helpers.h"

class QFile;
class QSaveFile;

namespace radevir {

// Splits file bytes into lines (CR LF, LF or CR end a line; a last line without an end counts).
std::vector<Bytes> SplitTextLines(std::string_view bytes);
// How much of a text file a reader can use. Larger files are read only that far (a list of a
// few thousand lines is far below the byte bound); the line bound stops reading as soon as that
// many lines are in.
struct TextReadLimit {
    static constexpr qint64 kDefaultMaxBytes = 4 * 1024 * 1024;
    qint64 maxBytes = kDefaultMaxBytes;
    size_t maxLines = SIZE_MAX;
    bool skipEmptyLines = false;  // empty lines are dropped and do not count
};

// Reads a text file into lines (decoded as DecodeTextFileBytes does), up to the limit; a line
// cut by the byte bound is left out. False (lines cleared) when it cannot be read, or when it
// holds NUL bytes — that is no text file.
bool ReadTextFileLines(const QString& nativePath, std::vector<Bytes>& lines,
                       const TextReadLimit& limit = {});
// Rewrites a whole text file, every line ended by CR LF; the folder is created when missing.
// False when anything failed; the previous file is then untouched.
bool WriteTextFileLines(const QString& nativePath, const std::vector<Bytes>& lines);

class TextFile {
public:
    TextFile();
    ~TextFile();  // an open writer that was not closed is discarded, the old file stays
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Opening for writing starts a new file that replaces the old one only at Close().
    bool OpenRead(const QString& nativePath);
    bool OpenWrite(const QString& nativePath);
    // Writing: true when the new file is in place. Reading: always true.
    bool Close();
    bool IsOpen() const;
    bool AtEnd() const;
    // False once any write failed; Close() then keeps the old file.
    bool WriteOk() const { return writeOk_; }

    // Writers, each flushed.
    void Write(std::string_view a);
    void Write(std::string_view a, std::string_view b);
    void Write(std::string_view a, std::string_view b, std::string_view c);
    // Values as the console writes them: integers in decimal, floats in the general format.
    template <typename... Values>
    void WriteValues(const Values&... values) {
        (WriteRaw(ValueText(values)), ...);
    }
    template <typename... Values>
    void WriteValuesLine(const Values&... values) {
        (WriteRaw(ValueText(values)), ...);
        WriteLineEnd();
    }
    void WriteLineEnd();
    void WriteLine(std::string_view text);
    void WriteLine(long long value);
    void WriteLine(std::string_view a, std::string_view b);

    // Readers: false at the end of the file (the target keeps its value).
    bool ReadLine(Bytes& text);
    // A strict integer ("-12", blanks around allowed); false, target untouched, when the line is
    // not one — the line is consumed either way.
    bool ReadInt(int& value);
    // A line holding an integer: non-zero is true.
    bool ReadBool(bool& value);

    // Strict integer conversion used by ReadInt.
    static bool StrictInt(std::string_view text, int& value);

private:
    static Bytes ValueText(std::string_view s) { return Bytes(s); }
    static Bytes ValueText(const char* s) { return Bytes(s ? s : ""); }
    static Bytes ValueText(const Bytes& s) { return s; }
    static Bytes ValueText(char c) { return Bytes(1, c); }
    static Bytes ValueText(bool b) { return b ? "TRUE" : "FALSE"; }
    template <typename T>
        requires std::is_integral_v<T>
    static Bytes ValueText(T v) {
        return IntToText(static_cast<long long>(v));
    }
    template <typename T>
        requires std::is_floating_point_v<T>
    static Bytes ValueText(T v) {
        return FloatToText(static_cast<double>(v));
    }
    void WriteRaw(std::string_view bytes);

    std::unique_ptr<QSaveFile> writer_;
    std::vector<Bytes> lines_;  // a reader holds the file's lines
    size_t next_ = 0;
    bool reading_ = false;
    bool writeOk_ = true;
};

}  // namespace radevir
