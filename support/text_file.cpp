#include "support/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>

#include "support/error_log.h"
#include "support/native_files.h"

namespace radevir {

std::vector<Bytes> SplitTextLines(std::string_view bytes) {
    std::vector<Bytes> lines;
    size_t p = 0;
    while (p < bytes.size()) {
        const size_t start = p;
        while (p < bytes.size() && bytes[p] != '\r' && bytes[p] != '\n') ++p;
        lines.emplace_back(bytes.substr(start, p - start));
        if (p < bytes.size() && bytes[p] == '\r') ++p;
        if (p < bytes.size() && bytes[p] == '\n') ++p;
    }
    return lines;
}

namespace {

constexpr size_t kReadChunkBytes = 64 * 1024;

// Counts the lines a growing buffer has completed, so that reading can stop once a reader has
// all the lines it uses.
class LineCounter {
public:
    explicit LineCounter(bool skipEmptyLines) : skipEmpty_(skipEmptyLines) {}
    void Feed(std::string_view bytes) {
        for (const char b : bytes) {
            if (b == '\n' && afterCr_) {
                afterCr_ = false;  // the LF of a CR LF
            } else if (b == '\r' || b == '\n') {
                if (hasContent_ || !skipEmpty_) ++complete_;
                hasContent_ = false;
                afterCr_ = b == '\r';
            } else {
                hasContent_ = true;
                afterCr_ = false;
            }
        }
    }
    size_t Complete() const { return complete_; }

private:
    bool skipEmpty_;
    bool hasContent_ = false;
    bool afterCr_ = false;
    size_t complete_ = 0;
};

struct FdCloser {
    int fd;
    ~FdCloser() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

bool ReadTextFileLines(const QString& nativePath, std::vector<Bytes>& lines,
                       const TextReadLimit& limit) {
    lines.clear();
    try {
        // Non-blocking open: a FIFO given as a task file must not hang the program.
        const FdCloser file{::open(NativePathBytes(nativePath).constData(),
                                   O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
        struct stat info {};
        if (file.fd < 0 || ::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) return false;

        const size_t maxBytes = limit.maxBytes < 0 ? 0 : static_cast<size_t>(limit.maxBytes);
        std::string bytes;
        LineCounter counter(limit.skipEmptyLines);
        bool cut = false;
        while (true) {
            if (bytes.size() >= maxBytes) {
                char probe = 0;
                cut = ::read(file.fd, &probe, 1) > 0;
                break;
            }
            const size_t want = std::min(kReadChunkBytes, maxBytes - bytes.size());
            const size_t old = bytes.size();
            bytes.resize(old + want);
            const ssize_t got = ::read(file.fd, bytes.data() + old, want);
            if (got < 0 && errno == EINTR) {
                bytes.resize(old);
                continue;
            }
            if (got < 0) return false;
            bytes.resize(old + static_cast<size_t>(got));
            if (got == 0) break;
            counter.Feed(std::string_view(bytes).substr(old));
            // one line more than needed shows that the last needed line is complete
            if (limit.maxLines != SIZE_MAX && counter.Complete() > limit.maxLines) {
                cut = true;
                break;
            }
        }
        if (bytes.find('\0') != std::string::npos) return false;
        std::string_view text(bytes);
        if (cut) {
            const size_t lastEnd = text.find_last_of("\r\n");
            if (lastEnd != std::string_view::npos) text = text.substr(0, lastEnd + 1);
        }
        lines = SplitTextLines(DecodeTextFileBytes(text, cut));
        if (limit.skipEmptyLines)
            std::erase_if(lines, [](const Bytes& line) { return line.empty(); });
        if (lines.size() > limit.maxLines) lines.resize(limit.maxLines);
        return true;
    } catch (...) {
        LogDroppedException("reading a text file");
        lines.clear();
        return false;
    }
}

bool WriteTextFileLines(const QString& nativePath, const std::vector<Bytes>& lines) {
    TextFile file;
    if (!file.OpenWrite(nativePath)) return false;
    for (const Bytes& line : lines) file.WriteLine(line);
    return file.Close();
}

TextFile::TextFile() = default;

TextFile::~TextFile() {
    if (writer_) writer_->cancelWriting();
}

bool TextFile::OpenRead(const QString& nativePath) {
    Close();
    if (!ReadTextFileLines(nativePath, lines_)) return false;
    reading_ = true;
    next_ = 0;
    return true;
}

bool TextFile::OpenWrite(const QString& nativePath) {
    Close();
    try {
        if (nativePath.isEmpty() || QFileInfo(nativePath).isDir()) return false;
        QDir().mkpath(QFileInfo(nativePath).absolutePath());
        auto writer = std::make_unique<QSaveFile>(nativePath);
        if (!writer->open(QIODevice::WriteOnly)) return false;
        writer_ = std::move(writer);
        writeOk_ = true;
        return true;
    } catch (...) {
        LogDroppedException("opening a file for writing");
        writer_.reset();
        return false;
    }
}

bool TextFile::Close() {
    if (reading_) {
        reading_ = false;
        lines_.clear();
        next_ = 0;
        return true;
    }
    if (!writer_) return false;
    bool ok = false;
    try {
        if (writeOk_) {
            ok = writer_->commit();
        } else {
            writer_->cancelWriting();
            writer_->commit();  // discards the temporary file
        }
    } catch (...) {
        LogDroppedException("saving a file");
        ok = false;
    }
    writer_.reset();
    return ok;
}

bool TextFile::IsOpen() const { return reading_ || writer_ != nullptr; }

bool TextFile::AtEnd() const { return !reading_ || next_ >= lines_.size(); }

void TextFile::WriteRaw(std::string_view bytes) {
    if (!writer_) {
        writeOk_ = false;
        return;
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (writer_->write(bytes.data(), size) != size || !writer_->flush()) writeOk_ = false;
}

void TextFile::Write(std::string_view a) { WriteRaw(a); }

void TextFile::Write(std::string_view a, std::string_view b) {
    WriteRaw(a);
    WriteRaw(b);
}

void TextFile::Write(std::string_view a, std::string_view b, std::string_view c) {
    WriteRaw(a);
    WriteRaw(b);
    WriteRaw(c);
}

void TextFile::WriteLineEnd() { WriteRaw("\r\n"); }

void TextFile::WriteLine(std::string_view text) {
    WriteRaw(text);
    WriteLineEnd();
}

void TextFile::WriteLine(long long value) {
    WriteRaw(IntToText(value));
    WriteLineEnd();
}

void TextFile::WriteLine(std::string_view a, std::string_view b) {
    WriteRaw(a);
    WriteRaw(b);
    WriteLineEnd();
}

bool TextFile::ReadLine(Bytes& text) {
    if (AtEnd()) return false;
    text = lines_[next_++];
    return true;
}

bool TextFile::StrictInt(std::string_view text, int& value) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return false;
    }
    if (text.empty()) return false;
    int parsed = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec != std::errc() || ptr != text.data() + text.size()) return false;
    value = parsed;
    return true;
}

bool TextFile::ReadInt(int& value) {
    Bytes line;
    if (!ReadLine(line)) return false;
    return StrictInt(line, value);
}

bool TextFile::ReadBool(bool& value) {
    int number = 0;
    if (!ReadInt(number)) return false;
    value = number != 0;
    return true;
}

}  // namespace radevir
