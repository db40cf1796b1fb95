#include "chooser/list_entries.h"

#include <algorithm>

#include "support/text_file.h"
#include "support/text_helpers.h"

namespace radevir {

bool LooksLikeText(std::string_view head) { return head.find('\0') == std::string_view::npos; }

void BoundListLines(std::vector<Bytes>& lines) {
    if (lines.size() > kMaxListedLines) lines.resize(kMaxListedLines);
}

std::vector<Bytes> ListLinesOfHead(std::string_view head) {
    const size_t lastEnd = head.find_last_of("\r\n");
    std::vector<Bytes> lines =
        lastEnd == std::string_view::npos ? std::vector<Bytes>{} : SplitTextLines(head.substr(0, lastEnd + 1));
    BoundListLines(lines);
    return lines;
}

int ListColumnCount(size_t lineCount) {
    if (lineCount > 100) return 4;
    if (lineCount > 80) return 3;
    return 2;
}

Bytes ListEntryText(size_t lineNumber, size_t lineCount, std::string_view line) {
    const Bytes count = IntToText(static_cast<long long>(std::max(lineCount, lineNumber)));
    Bytes number = IntToText(static_cast<long long>(lineNumber));
    if (number.size() < count.size()) number.insert(0, count.size() - number.size(), '0');
    const bool hollow = std::all_of(line.begin(), line.end(), [](char c) {
        return c == ' ' || c == ',';
    });
    Bytes entry = number + "   ";
    if (!hollow) entry += line;
    return entry;
}

std::vector<Bytes> ListEntries(const std::vector<Bytes>& lines) {
    std::vector<Bytes> entries;
    entries.reserve(lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        entries.push_back(ListEntryText(i + 1, lines.size(), lines[i]));
    return entries;
}

ListEntryLook LookOfEntry(std::string_view entry) {
    ListEntryLook look;
    while (static_cast<size_t>(look.numberLength) < entry.size() &&
           entry[static_cast<size_t>(look.numberLength)] >= '0' &&
           entry[static_cast<size_t>(look.numberLength)] <= '9')
        ++look.numberLength;
    const size_t hash = entry.find('#');
    if (hash != std::string_view::npos) {
        look.kind = entry.find('~', hash + 1) == std::string_view::npos
                        ? ListEntryLook::Kind::Setting
                        : ListEntryLook::Kind::Comment;
        return look;
    }
    look.shownText.assign(entry);
    if (entry.find('!') != std::string_view::npos) {
        look.silverBackground = true;
        return look;
    }
    // a gap's character stays hidden from the teacher's overview as well
    for (size_t i = 1; i < entry.size(); ++i)
        if (entry[i - 1] == '_') look.shownText[i] = '?';
    return look;
}

QString LookWord(ListEntryLook::Kind kind) {
    switch (kind) {
        case ListEntryLook::Kind::Setting: return QStringLiteral("Einstellung");
        case ListEntryLook::Kind::Comment: return QStringLiteral("Kommentar");
        case ListEntryLook::Kind::Task: break;
    }
    return {};
}

int AcceptedLineIndex(const std::vector<Bytes>& entries, int selected) {
    if (entries.empty()) return -1;
    const int last = static_cast<int>(entries.size()) - 1;
    int index = std::clamp(selected, 0, last);
    while (index < last && entries[static_cast<size_t>(index)].find(" #") != Bytes::npos) ++index;
    return index;
}

bool ExtensionAccepted(std::string_view extensions, std::string_view extension) {
    if (extensions.find(".*") != std::string_view::npos) return true;
    if (extension.empty()) return false;
    return UpperText(extensions).find(UpperText(extension)) != Bytes::npos;
}

}  // namespace radevir
