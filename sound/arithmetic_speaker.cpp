#include "sound/arithmetic_speaker.h"

#include <QFile>
#include <QString>
#include <algorithm>
#include <pugixml.hpp>

#include "sound/join_line.h"
#include "sound/wave_component.h"
#include "support/error_log.h"
#include "support/text_helpers.h"
#include "support/program_environment.h"

namespace radevir {
namespace {

bool IsNumberText(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= '0' && c <= '9') || c == ',' || c == '.' || c == '^';
    });
}

std::string StripLeadingZeros(std::string_view s) {
    while (!s.empty() && s.front() == '0') s.remove_prefix(1);
    return std::string(s);
}

bool ValidUtf8(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())).toUtf8() ==
           QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

// Attribute text as the program's bytes: UTF-8 (our data packets) or, when the bytes are not
// UTF-8, Windows-1252 as older packets store them.
Bytes AttributeBytes(const pugi::xml_node& row, const char* name) {
    const std::string v = row.attribute(name).value();
    if (ValidUtf8(v)) return ToCp1252(QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size())));
    return v;
}

}  // namespace

std::string SoundRecord::ToJoinLine() const {
    return JoinCommaText({folder + waveFile, start, end, volume, gapBefore, silenceAfter});
}

bool SoundTable::LoadFile(const QString& nativePath) {
    Clear();
    QFile f(nativePath);
    if (!f.open(QIODevice::ReadOnly)) return false;
    return LoadXml(f.readAll().toStdString());
}

bool SoundTable::LoadXml(const std::string& xml) {
    Clear();
    pugi::xml_document doc;
    if (!doc.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_auto)) {
        return false;
    }
    const pugi::xml_node rows = doc.child("DATAPACKET").child("ROWDATA");
    for (const pugi::xml_node& row : rows.children("ROW")) {
        SoundRecord r;
        r.name = AttributeBytes(row, "Name");
        r.folder = AttributeBytes(row, "Pfad");
        r.waveFile = AttributeBytes(row, "Wavedatei");
        r.start = AttributeBytes(row, "von");
        r.end = AttributeBytes(row, "bis");
        r.volume = AttributeBytes(row, "Volumen");
        r.gapBefore = AttributeBytes(row, "Anfang");
        r.silenceAfter = AttributeBytes(row, "Stilledanach");
        Add(std::move(r));
    }
    return true;
}

void SoundTable::Add(SoundRecord record) {
    byName_.emplace(record.name, records_.size());
    records_.push_back(std::move(record));
}

const SoundRecord* SoundTable::Find(const Bytes& name) const {
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : &records_[it->second];
}

void SoundTable::Clear() {
    records_.clear();
    byName_.clear();
}

bool ArithmeticSpeaker::AddRecord(const Bytes& name, std::vector<std::string>& pieces,
                           std::vector<Bytes>* names) {
    const SoundRecord* r = soundTable ? soundTable->Find(name) : nullptr;
    if (!r) return false;
    pieces.push_back(r->ToJoinLine());
    if (names) names->push_back(name);
    return true;
}

bool ArithmeticSpeaker::SpeakNumber(const Bytes& number, std::vector<std::string>& pieces,
                             std::vector<Bytes>* names) {
    Bytes text = number;
    char sign = 0;
    if (text.find('^') != Bytes::npos) {
        text[text.find('^')] = ',';
        sign = '^';
    } else if (text.find(',') != Bytes::npos) {
        sign = ',';
    } else if (text.find('.') != Bytes::npos) {
        text[text.find('.')] = ',';
        sign = ',';
    }
    if (!sign) return SpeakInteger(text, pieces, names);
    // parts at commas; parts after the second are ignored
    std::vector<Bytes> parts;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == Bytes::npos ? Bytes::npos : comma - start));
        if (comma == Bytes::npos) break;
        start = comma + 1;
    }
    SpeakNumber(parts[0], pieces, names);
    AddRecord(Bytes(1, sign), pieces, names);
    return SpeakNumber(parts.size() > 1 ? parts[1] : Bytes(), pieces, names);
}

bool ArithmeticSpeaker::SpeakInteger(const Bytes& number, std::vector<std::string>& pieces,
                              std::vector<Bytes>* names) {
    if (number == "0") return AddRecord("0", pieces, names);
    Bytes digits = StripLeadingZeros(number);
    if (!number.empty() && number[0] == '0' && !digits.empty() &&
        (digits[0] == ',' || digits[0] == '.' || digits[0] == '^')) {
        digits.insert(digits.begin(), '0');
    }
    // groups of three from the right; group 0 holds the units
    std::vector<Bytes> groups;
    for (size_t end = digits.size(); end > 0;) {
        const size_t begin = end >= 3 ? end - 3 : 0;
        groups.push_back(digits.substr(begin, end - begin));
        end = begin;
    }
    for (size_t g = groups.size(); g-- > 0;) {
        const Bytes& group = groups[g];
        bool one = false;
        bool single = false;
        const bool powerGroup = g >= 1 && g <= 3;
        auto lastTwo = [&](const Bytes& two) {
            const Bytes v = StripLeadingZeros(two);
            if (v == "1") one = true;
            else if (!v.empty()) AddRecord(v, pieces, names);
        };
        if (group.size() == 3) {
            bool hundredsSpoken = false;
            if (group[0] != '0') hundredsSpoken = AddRecord(Bytes(1, group[0]) + "00", pieces, names);
            if (hundredsSpoken) {
                lastTwo(group.substr(1));
            } else if (group[0] == '0' && group[1] == '0') {
                const char last = group[2];
                if (last == '1') one = true;
                else if (last != '0') {
                    if (powerGroup) single = true;
                    else AddRecord(Bytes(1, last), pieces, names);
                }
            } else if (group[0] == '0') {
                lastTwo(group.substr(1));
            }
        } else {
            const Bytes v = StripLeadingZeros(group);
            if (v == "1") one = true;
            else if (v.size() == 1 && powerGroup) single = true;
            else if (!v.empty()) AddRecord(v, pieces, names);
        }
        if (powerGroup) {
            const Bytes n = std::to_string(3 * g);
            if (one) AddRecord("1hoch" + n, pieces, names);
            else if (single) AddRecord(Bytes(1, group.back()) + "hoch" + n, pieces, names);
            else {
                const Bytes v = StripLeadingZeros(group);
                if (!v.empty() && v != "0") AddRecord("hoch" + n, pieces, names);
            }
        } else if (one) {
            AddRecord("1", pieces, names);
        }
    }
    return true;
}

bool ArithmeticSpeaker::BuildPieces(const Bytes& text, std::vector<std::string>& pieces,
                             std::vector<Bytes>* names) {
    Bytes rest = text;
    while (!rest.empty()) {
        const auto fields = SplitCommaFields(rest);
        size_t count = fields.size();
        Bytes candidate;
        const SoundRecord* found = nullptr;
        size_t consumed = 0;
        for (; count > 0; --count) {
            candidate.clear();
            for (size_t i = 0; i < count; ++i) {
                if (i) candidate.push_back(' ');
                candidate += fields[i].text;
            }
            consumed = fields[count - 1].end;
            if (candidate.empty()) break;
            found = soundTable ? soundTable->Find(candidate) : nullptr;
            if (found || IsNumberText(candidate)) break;
        }
        if (count == 0 || candidate.empty()) return false;
        if (found) {
            pieces.push_back(found->ToJoinLine());
            if (names) names->push_back(candidate);
        } else if (!SpeakNumber(candidate, pieces, names)) {
            return false;
        }
        // The matched tokens are cut from the rest as the reader consumed them, so quoted
        // tokens ("1,5") and runs of blanks leave nothing behind.
        rest = TrimWhitespace(std::string_view(rest).substr(consumed));
    }
    return true;
}

std::vector<std::string> ArithmeticSpeaker::ExpandReferences(const std::vector<std::string>& pieces,
                                                      const ProgramEnvironment& env) const {
    std::vector<std::string> out = pieces;
    for (size_t i = out.size(); i-- > 0;) {
        const auto fields = SplitCommaText(out[i]);
        if (fields.empty() || EndsWithNoCase(fields[0], ".wav")) continue;
        QFile f(env.NativePath(fields[0]));
        if (fields[0].empty() || !f.open(QIODevice::ReadOnly)) continue;
        std::vector<std::string> lines;
        while (!f.atEnd()) {
            QByteArray line = f.readLine();
            while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
            lines.push_back(line.toStdString());
        }
        out.erase(out.begin() + static_cast<std::ptrdiff_t>(i));
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(i), lines.begin(), lines.end());
    }
    return out;
}

bool ArithmeticSpeaker::Speak(const Bytes& text, bool queued) {
    lastFile_.clear();
    if (!wave) return false;
    try {
        std::vector<std::string> pieces;
        if (!BuildPieces(text, pieces)) return false;
        pieces = ExpandReferences(pieces, wave->Environment());
        std::string file;
        wave->JoinToTemp(pieces, trailingSilence_ms, file);
        if (file.empty()) return false;
        lastFile_ = file;
        if (queued) {
            return wave->PlayQueued(NotifyWindow::Application, file, kSpokenTextPlay);
        }
        return wave->Play(NotifyWindow::Application, file, true);
    } catch (...) {
        LogDroppedException("speaking a task");
        return false;
    }
}

}  // namespace radevir
