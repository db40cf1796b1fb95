#include "editor/rtf_codec.h"

#include <QColor>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "support/codepage.h"

namespace radevir {

namespace {

// Document units are screen pixels at 96 per inch; RTF counts twips (1440 per inch).
constexpr double kTwipsPerPixel = 15.0;
constexpr int kDefaultHalfPoints = 24;
// Parameters beyond this are clamped (the format's own numbers are 16 or 32 bits).
constexpr long long kParameterBound = 1LL << 40;

// ------------------------------------------------------------------------------------------
// Writing

class RtfWriter {
  public:
    explicit RtfWriter(const QTextDocument& doc) : doc_(doc) {}

    QByteArray Write() {
        QByteArray body;
        bool first = true;
        for (QTextBlock block = doc_.begin(); block.isValid(); block = block.next()) {
            if (!first) body += "\\par\r\n";
            first = false;
            body += ParagraphFormat(block.blockFormat());
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                if (!fragment.isValid()) continue;
                body += CharacterFormat(fragment.charFormat());
                body += Escaped(fragment.text());
            }
        }
        QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
        for (size_t i = 0; i < fonts_.size(); ++i) {
            out += "{\\f" + QByteArray::number(static_cast<int>(i)) + "\\fnil\\fcharset0 " +
                   FontNameEscaped(fonts_[i]) + ";}";
        }
        out += "}\r\n{\\colortbl ;";
        for (const QColor& c : colours_) {
            out += "\\red" + QByteArray::number(c.red()) + "\\green" +
                   QByteArray::number(c.green()) + "\\blue" + QByteArray::number(c.blue()) + ";";
        }
        out += "}\r\n\\uc1\r\n" + body + "\r\n}\r\n";
        return out;
    }

  private:
    int FontIndex(const QString& family) {
        const auto at = std::find(fonts_.begin(), fonts_.end(), family);
        if (at != fonts_.end()) return static_cast<int>(at - fonts_.begin());
        fonts_.push_back(family);
        return static_cast<int>(fonts_.size()) - 1;
    }
    int ColourIndex(const QColor& colour) {
        const QRgb rgb = colour.rgb();
        for (size_t i = 0; i < colours_.size(); ++i)
            if (colours_[i].rgb() == rgb) return static_cast<int>(i) + 1;
        colours_.push_back(colour);
        return static_cast<int>(colours_.size());
    }

    QByteArray ParagraphFormat(const QTextBlockFormat& f) {
        QByteArray out = "\\pard";
        const auto twips = [](double px) {
            return QByteArray::number(qRound(px * kTwipsPerPixel));
        };
        if (f.leftMargin() != 0) out += "\\li" + twips(f.leftMargin());
        if (f.rightMargin() != 0) out += "\\ri" + twips(f.rightMargin());
        if (f.textIndent() != 0) out += "\\fi" + twips(f.textIndent());
        const Qt::Alignment a = f.alignment() & Qt::AlignHorizontal_Mask;
        if (a & Qt::AlignHCenter)
            out += "\\qc";
        else if (a & Qt::AlignRight)
            out += "\\qr";
        else if (a & Qt::AlignJustify)
            out += "\\qj";
        return out + ' ';
    }

    QByteArray CharacterFormat(const QTextCharFormat& f) {
        QString family = doc_.defaultFont().family();
        const QStringList families = f.fontFamilies().toStringList();
        if (!families.isEmpty() && !families.front().isEmpty()) family = families.front();
        double points = f.fontPointSize();
        if (points <= 0) points = doc_.defaultFont().pointSizeF();
        if (points <= 0) points = kDefaultHalfPoints / 2.0;
        // a font name ends at ";" and holds no line breaks in the font table
        family.remove(';');
        family.removeIf([](QChar c) { return c.unicode() < 0x20; });
        if (family.trimmed().isEmpty())
            family = doc_.defaultFont().family();  // a name is read back trimmed
        family = family.trimmed();
        QByteArray out = "\\plain\\f" + QByteArray::number(FontIndex(family)) + "\\fs" +
                         QByteArray::number(qRound(points * 2));
        if (f.fontWeight() >= QFont::DemiBold) out += "\\b";
        if (f.fontItalic()) out += "\\i";
        if (f.fontUnderline()) out += "\\ul";
        if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
            out += "\\cf" + QByteArray::number(ColourIndex(f.foreground().color()));
        return out + ' ';
    }

    // Font names in the table take only code page bytes (other characters become "?").
    static QByteArray FontNameEscaped(const QString& name) {
        QByteArray out;
        for (QChar c : name) {
            const char16_t u = c.unicode();
            if (u == '\\' || u == '{' || u == '}') {
                out += '\\';
                out += static_cast<char>(u);
            } else if (u >= 0x20 && u < 0x7F) {
                out += static_cast<char>(u);
            } else if (const int b = UnicodeToCp1252(u); b >= 0x80) {
                out += "\\'" + QByteArray::number(b, 16).rightJustified(2, '0');
            } else {
                out += '?';
            }
        }
        return out;
    }

    static QByteArray Escaped(const QString& text) {
        QByteArray out;
        for (QChar c : text) {
            const char16_t u = c.unicode();
            if (u == '\\' || u == '{' || u == '}') {
                out += '\\';
                out += static_cast<char>(u);
            } else if (u == '\t') {
                out += "\\tab ";
            } else if (u == 0x2028 || u == '\n') {
                out += "\\line ";
            } else if (u == 0xA0) {
                out += "\\~";
            } else if (u == 0xFFFC) {
                // an object the editor cannot write: left out
            } else if (u >= 0x20 && u < 0x7F) {
                out += static_cast<char>(u);
            } else if (const int b = UnicodeToCp1252(u); b >= 0x80) {
                out += "\\'" + QByteArray::number(b, 16).rightJustified(2, '0');
            } else {
                out += "\\u" + QByteArray::number(static_cast<int16_t>(u)) + '?';
            }
        }
        return out;
    }

    const QTextDocument& doc_;
    std::vector<QString> fonts_;
    std::vector<QColor> colours_;
};

// ------------------------------------------------------------------------------------------
// Reading

enum class Destination { Text, FontTable, ColourTable, Skip };

struct FontEntry {
    QString name;
    int codePage = 0;  // 0: the document's
};

struct GroupState {
    Destination destination = Destination::Text;
    // character properties
    int font = -1;
    int halfPoints = kDefaultHalfPoints;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int colour = 0;
    // paragraph properties
    int leftTwips = 0;
    int rightTwips = 0;
    int firstTwips = 0;
    Qt::Alignment alignment = Qt::AlignLeft;
    int unicodeSkip = 1;
};

int CodePageOfCharset(int charset) {
    switch (charset) {
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 163:
            return 1258;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 128:
            return 932;
        case 134:
            return 936;
        case 129:
            return 949;
        case 136:
            return 950;
        default:
            return 0;
    }
}

// Destinations that hold a part of the document the editor cannot show: leaving them out loses it.
bool IsDroppedDestination(std::string_view word) {
    static const char* const kDropped[] = {
        "pict",   "object",  "shppict", "nonshppict", "shp",      "shpinst",
        "shpgrp", "do",      "header",  "headerl",    "headerr",  "headerf",
        "footer", "footerl", "footerr", "footerf",    "footnote", "annotation"};
    return std::any_of(std::begin(kDropped), std::end(kDropped),
                       [&](const char* s) { return word == s; });
}

// Destinations whose contents are no text of the document.
bool IsSkippedDestination(std::string_view word) {
    static const char* const kSkipped[] = {"stylesheet", "info",
                                           "pict",       "object",
                                           "header",     "headerl",
                                           "headerr",    "headerf",
                                           "footer",     "footerl",
                                           "footerr",    "footerf",
                                           "footnote",   "annotation",
                                           "listtable",  "listoverridetable",
                                           "revtbl",     "rsidtbl",
                                           "filetbl",    "fldinst",
                                           "themedata",  "colorschememapping",
                                           "datastore",  "latentstyles",
                                           "xmlnstbl",   "generator",
                                           "pgdsctbl",   "nonshppict",
                                           "shppict",    "bkmkstart",
                                           "bkmkend",    "xe",
                                           "tc",         "txe",
                                           "private"};
    return std::any_of(std::begin(kSkipped), std::end(kSkipped),
                       [&](const char* s) { return word == s; });
}

class RtfReader {
  public:
    RtfReader(const QByteArray& rtf, QTextDocument& doc) : in_(rtf), doc_(doc), cursor_(&doc) {}
    bool Dropped() const { return dropped_; }

    void Read() {
        doc_.clear();
        cursor_ = QTextCursor(&doc_);
        stack_.push_back(GroupState{});
        freshBlock_ = true;
        size_t i = 0;
        const size_t n = static_cast<size_t>(in_.size());
        while (i < n) {
            const char c = in_[static_cast<qsizetype>(i)];
            if (c == '{') {
                FlushBytes();
                stack_.push_back(stack_.back());
                groupStart_ = true;
                ++i;
                continue;
            }
            if (c == '}') {
                FlushBytes();
                ++i;
                if (stack_.size() == 1) break;  // the document's group is closed
                EndGroup();
                continue;
            }
            if (c == '\\') {
                i = ControlAt(i + 1);
                continue;
            }
            if (c == '\r' || c == '\n') {
                ++i;
                continue;
            }
            groupStart_ = false;
            if (SkipFallback()) {
                ++i;
                continue;
            }
            pendingBytes_ += c;
            ++i;
        }
        FlushBytes();
        FlushText();
    }

  private:
    GroupState& State() { return stack_.back(); }

    void EndGroup() {
        if (stack_.back().destination == Destination::FontTable && !pendingFontName_.isEmpty()) {
            // a font entry without its closing ";"
            fonts_[currentFontEntry_].name = FromCp1252(pendingFontName_.toStdString()).trimmed();
            pendingFontName_.clear();
        }
        FlushText();
        stack_.pop_back();
        fallbackLeft_ = 0;
        groupStart_ = false;
    }

    // Skips one fallback character after a \uN; true when the character was skipped.
    bool SkipFallback() {
        if (fallbackLeft_ <= 0) return false;
        --fallbackLeft_;
        return true;
    }

    size_t ControlAt(size_t i) {
        const size_t n = static_cast<size_t>(in_.size());
        if (i >= n) return i;
        const char c = in_[static_cast<qsizetype>(i)];
        const bool atGroupStart = groupStart_;
        groupStart_ = false;
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            return ControlSymbol(c, i + 1, atGroupStart);
        }
        size_t end = i;
        while (end < n && end - i < 32 &&
               std::isalpha(static_cast<unsigned char>(in_[static_cast<qsizetype>(end)])))
            ++end;
        const std::string word(in_.constData() + i, end - i);
        std::optional<int> param;
        size_t p = end;
        bool negative = false;
        if (p < n && in_[static_cast<qsizetype>(p)] == '-') {
            negative = true;
            ++p;
        }
        size_t digits = p;
        long long value = 0;
        while (digits < n &&
               std::isdigit(static_cast<unsigned char>(in_[static_cast<qsizetype>(digits)]))) {
            if (value < kParameterBound)
                value = value * 10 + (in_[static_cast<qsizetype>(digits)] - '0');
            ++digits;
        }
        if (digits > p) {
            param = static_cast<int>(
                std::clamp<long long>(negative ? -value : value, INT32_MIN, INT32_MAX));
            end = digits;
        }
        if (end < n && in_[static_cast<qsizetype>(end)] == ' ') ++end;
        if (word == "bin") {
            FlushBytes();
            const long long skip = std::max(0, param.value_or(0));
            return static_cast<size_t>(
                std::min<long long>(static_cast<long long>(n), static_cast<long long>(end) + skip));
        }
        if (word != "u" && SkipFallback()) return end;
        Word(word, param, atGroupStart);
        return end;
    }

    size_t ControlSymbol(char c, size_t next, bool atGroupStart) {
        switch (c) {
            case '\'': {
                const size_t n = static_cast<size_t>(in_.size());
                if (next + 2 > n) return n;
                bool ok = false;
                const int byte = QByteArray(in_.constData() + next, 2).toInt(&ok, 16);
                if (ok && !SkipFallback()) pendingBytes_ += static_cast<char>(byte);
                return next + 2;
            }
            case '*':
                if (atGroupStart) starredGroup_ = true;
                groupStart_ = atGroupStart;  // the destination's word follows
                return next;
            case '\\':
            case '{':
            case '}':
                if (!SkipFallback()) pendingBytes_ += c;
                return next;
            case '~':
                AddText(QString(QChar(0xA0)));
                return next;
            case '_':
                AddText(QString(QChar(0x2011)));
                return next;
            case '-':
                return next;  // an optional hyphen
            case '\r':
            case '\n':
                Paragraph();
                return next;
            case '\t':
                AddText(QStringLiteral("\t"));
                return next;
            default:
                return next;
        }
    }

    void Word(const std::string& word, std::optional<int> param, bool atGroupStart) {
        if (word != "u") FlushBytes();
        GroupState& s = State();
        const bool starred = starredGroup_;
        starredGroup_ = false;
        if (atGroupStart && s.destination != Destination::Skip) {
            if (word == "fonttbl") {
                FlushText();
                s.destination = Destination::FontTable;
                return;
            }
            if (word == "colortbl") {
                FlushText();
                s.destination = Destination::ColourTable;
                return;
            }
            if (IsDroppedDestination(word)) {
                FlushText();
                s.destination = Destination::Skip;
                dropped_ = true;
                return;
            }
            if (starred || IsSkippedDestination(word)) {
                FlushText();
                s.destination = Destination::Skip;
                return;
            }
        }
        if (s.destination == Destination::Skip) return;
        if (s.destination == Destination::FontTable) {
            if (word == "f") {
                currentFontEntry_ = param.value_or(0);
                fonts_.try_emplace(currentFontEntry_);
            } else if (word == "fcharset") {
                fonts_[currentFontEntry_].codePage = CodePageOfCharset(param.value_or(0));
            } else if (word == "cpg") {
                fonts_[currentFontEntry_].codePage = param.value_or(0);
            }
            return;
        }
        if (s.destination == Destination::ColourTable) {
            const int v = std::clamp(param.value_or(0), 0, 255);
            pendingColourSet_ =
                pendingColourSet_ || word == "red" || word == "green" || word == "blue";
            if (word == "red")
                pendingColour_.setRed(v);
            else if (word == "green")
                pendingColour_.setGreen(v);
            else if (word == "blue")
                pendingColour_.setBlue(v);
            return;
        }
        // the document's text
        const int v = param.value_or(1);
        if (word == "ansicpg") {
            codePage_ = param.value_or(1252);
            return;
        }
        if (word == "deff") {
            defaultFont_ = param.value_or(0);
            return;
        }
        if (word == "uc") {
            s.unicodeSkip = std::clamp(param.value_or(1), 0, 16);
            return;
        }
        if (word == "u") {
            int code = param.value_or(0);
            if (code < 0) code += 65536;
            FlushBytes();
            // an object's place holder has no object behind it here
            if ((code & 0xFFFF) != 0xFFFC)
                AddText(QString(QChar(static_cast<char16_t>(code & 0xFFFF))));
            fallbackLeft_ = s.unicodeSkip;
            return;
        }
        if (word == "par") {
            Paragraph();
            return;
        }
        // a table row is a line with its cells separated by tabs
        if (word == "cell" || word == "nestcell") {
            FlushBytes();
            FlushText();
            ++pendingCells_;
            dropped_ = true;
            return;
        }
        if (word == "row" || word == "nestrow") {
            pendingCells_ = 0;  // the last cell ends the line, not a tab
            Paragraph();
            return;
        }
        if (word == "trowd" || word == "intbl") dropped_ = true;
        if (word == "line") {
            AddText(QString(QChar(0x2028)));
            return;
        }
        if (word == "tab") {
            AddText(QStringLiteral("\t"));
            return;
        }
        if (word == "emdash") {
            AddText(QString(QChar(0x2014)));
            return;
        }
        if (word == "endash") {
            AddText(QString(QChar(0x2013)));
            return;
        }
        if (word == "bullet") {
            AddText(QString(QChar(0x2022)));
            return;
        }
        if (word == "lquote") {
            AddText(QString(QChar(0x2018)));
            return;
        }
        if (word == "rquote") {
            AddText(QString(QChar(0x2019)));
            return;
        }
        if (word == "ldblquote") {
            AddText(QString(QChar(0x201C)));
            return;
        }
        if (word == "rdblquote") {
            AddText(QString(QChar(0x201D)));
            return;
        }
        if (word == "pard") {
            FlushText();
            s.leftTwips = s.rightTwips = s.firstTwips = 0;
            s.alignment = Qt::AlignLeft;
            // a paragraph without text yet (the last one has no mark) takes them at once
            if (freshBlock_) cursor_.setBlockFormat(CurrentBlockFormat());
            return;
        }
        if (word == "plain") {
            FlushText();
            s.font = -1;
            s.halfPoints = kDefaultHalfPoints;
            s.bold = s.italic = s.underline = false;
            s.colour = 0;
            return;
        }
        FlushText();
        if (word == "f")
            s.font = param.value_or(0);
        else if (word == "fs")
            s.halfPoints = std::clamp(param.value_or(kDefaultHalfPoints), 2, 3276);
        else if (word == "b")
            s.bold = v != 0;
        else if (word == "i")
            s.italic = v != 0;
        else if (word == "ul")
            s.underline = v != 0;
        else if (word == "ulnone")
            s.underline = false;
        else if (word == "cf")
            s.colour = std::max(0, param.value_or(0));
        else if (word == "li")
            s.leftTwips = param.value_or(0);
        else if (word == "ri")
            s.rightTwips = param.value_or(0);
        else if (word == "fi")
            s.firstTwips = param.value_or(0);
        else if (word == "ql")
            s.alignment = Qt::AlignLeft;
        else if (word == "qc")
            s.alignment = Qt::AlignHCenter;
        else if (word == "qr")
            s.alignment = Qt::AlignRight;
        else if (word == "qj")
            s.alignment = Qt::AlignJustify;
        else
            return;
        if (freshBlock_) cursor_.setBlockFormat(CurrentBlockFormat());
    }

    // Bytes of the text (plain or \'xx) are decoded together, so that double-byte code pages
    // come out whole.
    void FlushBytes() {
        if (pendingBytes_.isEmpty()) return;
        const QByteArray bytes = pendingBytes_;
        pendingBytes_.clear();
        const Destination d = State().destination;
        if (d == Destination::Skip) return;
        if (d == Destination::ColourTable) {
            for (char c : bytes) {
                if (c != ';') continue;
                colours_.push_back({pendingColour_, pendingColourSet_});
                pendingColour_ = QColor(0, 0, 0);
                pendingColourSet_ = false;
            }
            return;
        }
        if (d == Destination::FontTable) {
            for (char c : bytes) {
                if (c == ';') {
                    fonts_[currentFontEntry_].name =
                        FromCp1252(pendingFontName_.toStdString()).trimmed();
                    pendingFontName_.clear();
                } else {
                    pendingFontName_ += c;
                }
            }
            return;
        }
        AddText(Decode(bytes));
    }

    QString Decode(const QByteArray& bytes) {
        int cp = codePage_;
        const auto font = fonts_.find(State().font >= 0 ? State().font : defaultFont_);
        if (font != fonts_.end() && font->second.codePage != 0) cp = font->second.codePage;
        if (cp != 1252 && cp != 0) {
            QStringDecoder decoder(QByteArray("windows-" + QByteArray::number(cp)).constData());
            if (cp >= 932 && cp <= 950)
                decoder = QStringDecoder(QByteArray("cp" + QByteArray::number(cp)).constData());
            if (decoder.isValid()) {
                const QString text = decoder.decode(bytes);
                if (!decoder.hasError()) return text;
            }
        }
        return FromCp1252(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    }

    void AddText(const QString& text) {
        FlushBytes();  // bytes read before this text come first
        if (State().destination != Destination::Text) return;
        if (pendingCells_ > 0) {
            const int cells = pendingCells_;
            pendingCells_ = 0;
            AddText(QString(cells, QChar('\t')));
        }
        const QTextCharFormat f = CurrentCharFormat();
        if (!pendingText_.isEmpty() && f != pendingFormat_) FlushText();
        pendingFormat_ = f;
        pendingText_ += text;
        if (freshBlock_) {
            cursor_.setBlockFormat(CurrentBlockFormat());
            freshBlock_ = false;
        }
    }

    void FlushText() {
        if (pendingText_.isEmpty()) return;
        cursor_.insertText(pendingText_, pendingFormat_);
        pendingText_.clear();
    }

    void Paragraph() {
        if (State().destination != Destination::Text) return;
        pendingCells_ = 0;
        FlushBytes();
        FlushText();
        // the paragraph just ended takes the properties in force at its mark
        cursor_.setBlockFormat(CurrentBlockFormat());
        cursor_.insertBlock(CurrentBlockFormat(), CurrentCharFormat());
        freshBlock_ = true;
    }

    QTextCharFormat CurrentCharFormat() const {
        const GroupState& s = stack_.back();
        QTextCharFormat f;
        const int fontIndex = s.font >= 0 ? s.font : defaultFont_;
        const auto font = fonts_.find(fontIndex);
        if (font != fonts_.end() && !font->second.name.isEmpty())
            f.setFontFamilies(QStringList{font->second.name});
        f.setFontPointSize(s.halfPoints / 2.0);
        if (s.bold) f.setFontWeight(QFont::Bold);
        if (s.italic) f.setFontItalic(true);
        if (s.underline) f.setFontUnderline(true);
        if (s.colour > 0 && s.colour < static_cast<int>(colours_.size()) &&
            colours_[static_cast<size_t>(s.colour)].set)
            f.setForeground(colours_[static_cast<size_t>(s.colour)].colour);
        return f;
    }
    QTextBlockFormat CurrentBlockFormat() const {
        const GroupState& s = stack_.back();
        QTextBlockFormat f;
        f.setLeftMargin(std::max(0, s.leftTwips) / kTwipsPerPixel);
        f.setRightMargin(std::max(0, s.rightTwips) / kTwipsPerPixel);
        f.setTextIndent(s.firstTwips / kTwipsPerPixel);
        f.setAlignment(s.alignment);
        return f;
    }

    const QByteArray& in_;
    QTextDocument& doc_;
    QTextCursor cursor_;
    std::vector<GroupState> stack_;
    std::map<int, FontEntry> fonts_;
    int currentFontEntry_ = 0;
    QByteArray pendingFontName_;
    struct ColourEntry {
        QColor colour;
        bool set = false;  // false: the automatic colour (the table's usual first entry)
    };
    std::vector<ColourEntry> colours_;
    QColor pendingColour_{0, 0, 0};
    bool pendingColourSet_ = false;
    QByteArray pendingBytes_;
    QString pendingText_;
    QTextCharFormat pendingFormat_;
    int codePage_ = 1252;
    int defaultFont_ = 0;
    int fallbackLeft_ = 0;
    bool groupStart_ = false;
    bool starredGroup_ = false;
    bool freshBlock_ = true;
    int pendingCells_ = 0;  // cells ended whose tab comes before the next text of the row
    bool dropped_ = false;  // something the document cannot keep was left out
};

}  // namespace

bool LooksLikeRtf(const QByteArray& bytes) {
    return bytes.startsWith("{\\rtf");
}

QByteArray WriteRtf(const QTextDocument& document) {
    return RtfWriter(document).Write();
}

bool ReadRtf(const QByteArray& rtf, QTextDocument& document, bool* dropped) {
    if (!LooksLikeRtf(rtf)) return false;
    RtfReader reader(rtf, document);
    reader.Read();
    if (dropped) *dropped = reader.Dropped();
    return true;
}

}  // namespace radevir
