#include "support/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <charconv>

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

bool ReadTextFileLines(const QString& nativePath, std::vector<Bytes>& lines) {
    lines.clear();
    try {
        QFile file(nativePath);
        if (QFileInfo(nativePath).isDir() || !file.open(QIODevice::ReadOnly)) return false;
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) return false;
        lines = SplitTextLines(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        return true;
    } catch (...) {
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
