// The word-to-sound lookup: covers a text from left to right with the longest pieces that have
// recordings in the sound folders, falls back to syllables and single characters, and joins the
// pieces. PieceEnds/PieceTexts let the host follow the playback piece by piece.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <map>

#include "sound/wave_component.h"
#include "support/error_log.h"
#include "support/program_environment.h"

namespace radevir {
namespace {

// The sound folders in the order they are searched (indexes into the lookup's folders).
constexpr int kListFolder = 0;
constexpr int kWordFolder = 1;
constexpr int kPairFolder = 2;
constexpr int kCharacterFolder = 4;
// The piece text of a "groß" recording, taken out again when the pieces are reconciled.
constexpr std::string_view kCapitalMark = "#gross#";

constexpr unsigned char kMiddleDot = 0xB7;
constexpr unsigned char kPilcrow = 0xB6;

QString Q(const std::string& bytes) {
    return FromCp1252(bytes);
}

bool SameNoCase(const std::string& a, const std::string& b) {
    return Q(a).compare(Q(b), Qt::CaseInsensitive) == 0;
}

// A file or folder name list of one folder, read once per lookup.
struct FolderListing {
    bool exists = false;
    std::map<QString, QString> files;  // lower-case name → real name
    std::map<QString, QString> folders;
};

struct Exceptions {
    std::vector<std::pair<std::string, std::string>> entries;
    const std::string* Find(const std::string& text) const {
        for (const auto& [from, to] : entries) {
            if (SameNoCase(from, text)) return &to;
        }
        return nullptr;
    }
};

}  // namespace

class WordSoundLookup {
  public:
    struct Params {
        std::string base;
        std::string folders[5];
        std::string extension;
        int trailingSilence = 0;
        bool announceCapitals = false;
        std::string separators;
        bool listOnly = false;
        bool line = false;      // FindLineSounds
        bool keepText = false;  // FindLineSounds only
    };

    WordSoundLookup(WaveComponent& wav, Params p) : wav_(wav), p_(std::move(p)) {
        if (!p_.base.empty() && p_.base.back() != '\\' && p_.base.back() != '/') p_.base += '\\';
    }

    void Run(const Bytes& input, std::string& fileName);

  private:
    const FolderListing& Listing(const std::string& relFolder) {
        auto it = listings_.find(relFolder);
        if (it != listings_.end()) return it->second;
        FolderListing l;
        const QString native = wav_.Native(p_.base + relFolder);
        QDir dir(native);
        l.exists = QFileInfo(native).isDir();
        if (l.exists) {
            for (const QString& f : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
                l.files.emplace(f.toLower(), f);
            }
            for (const QString& f : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
                l.folders.emplace(f.toLower(), f);
            }
        }
        return listings_.emplace(relFolder, std::move(l)).first->second;
    }

    bool FolderExists(int index) {
        const std::string& f = p_.folders[index];
        if (f.empty() && index != kCharacterFolder) return false;  // no list folder given
        return Listing(f).exists;
    }

    bool SubFolderExists(const std::string& parent, const std::string& name) {
        const FolderListing& l = Listing(parent);
        return l.folders.count(Q(name).toLower()) > 0;
    }

    // The data path of `name` in folder `rel` when that file exists (any case), else empty.
    std::string FileIn(const std::string& rel, const std::string& name) {
        const FolderListing& l = Listing(rel);
        auto it = l.files.find(Q(name).toLower());
        if (it == l.files.end()) return {};
        return p_.base + rel + "\\" + ToCp1252(it->second);
    }

    // Files of `rel` whose names start with `prefix` (any case) and satisfy `accept`.
    template <class Accept>
    std::string FirstFileLike(const std::string& rel, const std::string& prefix, Accept accept) {
        const FolderListing& l = Listing(rel);
        const QString qp = Q(prefix).toLower();
        for (auto it = l.files.lower_bound(qp); it != l.files.end() && it->first.startsWith(qp);
             ++it) {
            if (accept(it->first)) return p_.base + rel + "\\" + ToCp1252(it->second);
        }
        return {};
    }

    std::string Ext() const { return "." + p_.extension; }

    int NextSoundFolder() {
        while (counter_ < kCharacterFolder && !FolderExists(counter_)) ++counter_;
        const int f = counter_;
        if (counter_ < kCharacterFolder) ++counter_;
        return f;
    }
    int FirstSoundFolder() {
        counter_ = 0;
        return NextSoundFolder();
    }

    void LoadExceptions() {
        for (const std::string& rel :
             {std::string(), p_.folders[kListFolder], p_.folders[kWordFolder]}) {
            if (!Listing(rel).exists) continue;
            for (const auto& [lower, real] : Listing(rel).files) {
                if (!lower.startsWith("ausnahme") || !lower.endsWith(".txt")) continue;
                QFile f(wav_.Native(p_.base + (rel.empty() ? std::string() : rel + "\\") +
                                    ToCp1252(real)));
                if (!f.open(QIODevice::ReadOnly)) continue;
                while (!f.atEnd()) {
                    QByteArray line = f.readLine();
                    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
                    const qsizetype eq = line.indexOf('=');
                    if (eq > 0) {
                        exceptions_.entries.emplace_back(line.left(eq).toStdString(),
                                                         line.mid(eq + 1).toStdString());
                    }
                }
                return;
            }
        }
    }

    bool IsSeparator(char c) const { return p_.separators.find(c) != std::string::npos; }
    static bool IsBoundary(char c) {
        return c == ' ' || c == '!' || c == '#' || c == '(' || c == ')' || c == ',' || c == '.' ||
               (c >= '0' && c <= '9');
    }
    static bool IsWideBoundary(char c) {
        const auto u = static_cast<unsigned char>(c);
        return c == ' ' || (c >= '0' && c <= '9') ||
               std::string_view("!#()*,./:;<>?\"").find(c) != std::string_view::npos ||
               u == kMiddleDot || u == kPilcrow;
    }
    static bool IsUpperLetter(char c) {
        const QChar q = FromCp1252(std::string(1, c)).at(0);
        return q.toUpper() == q && q.toLower() != q;
    }

    void Clean(const Bytes& text);
    void Cut(size_t n) {
        clean_.erase(0, std::min(n, clean_.size()));
        raw_.erase(0, std::min(n, raw_.size()));
    }
    // The piece being tried in one folder and where its recordings would be.
    struct Candidate {
        std::string text;           // for file names
        std::string typed;          // the same as typed
        std::string folder;         // relative to the base folder
        std::string swappedText;    // pair folder: two words the other way round
        bool swapped = false;       // they differ, and the pair folder is not the list's
        std::string swappedFolder;  // where the swapped pair would be
    };
    Candidate StartCandidate(int folder);
    std::string PairSubFolder(const std::string& text, bool keepShortest);
    void LookAtWordPair(Candidate& piece);
    bool SkipSeparator(char separator);
    bool TakeWholeTextRecording(int folder, const Candidate& piece);
    bool TakeRecording(int folder, const Candidate& piece, bool mayUsePairs,
                       bool hashStandsForChar);
    void TakeCharacterCode(const Candidate& piece, bool hashStandsForChar);
    bool TakeTwoWords(const Candidate& piece);
    bool Shorten(int folder, Candidate& piece);
    bool FindPiece(int folder);
    void TrimBlanks();
    enum class Step { Covered, Taken, NotFound };
    Step StepIn(int folder);
    bool CoverText();
    void HandOver(size_t words, std::string& fileName);
    void ReconcilePieces(std::string& fileName);

    WaveComponent& wav_;
    Params p_;
    std::map<std::string, FolderListing> listings_;
    Exceptions exceptions_;
    int counter_ = 0;
    std::string clean_;  // remainder used for file names
    std::string raw_;    // the same remainder as typed (piece texts, character codes)
    std::vector<std::string> found_;
    bool boundary_ = true;
};

void WordSoundLookup::Clean(const Bytes& text) {
    clean_.clear();
    raw_.clear();
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (p_.line && (u == kMiddleDot || u == kPilcrow)) continue;
        static constexpr std::string_view kWord = "\"*/:;<>?\\";
        static constexpr std::string_view kLine = "\"*/:;<>?\\|";
        const bool replace =
            p_.line ? kLine.find(c) != std::string_view::npos
                    : (kWord.find(c) != std::string_view::npos || u == kMiddleDot || u == kPilcrow);
        clean_.push_back(replace ? '#' : c);
        raw_.push_back(c);
    }
    auto trimBoth = [&](auto pred) {
        size_t a = 0;
        while (a < clean_.size() && pred(clean_[a])) ++a;
        size_t b = clean_.size();
        while (b > a && pred(clean_[b - 1])) --b;
        clean_ = clean_.substr(a, b - a);
        raw_ = raw_.substr(a, b - a);
    };
    if (!p_.line) {
        trimBoth([](char c) { return c == '#'; });
    } else if (!p_.keepText) {
        trimBoth([](char c) { return c == '#' || static_cast<unsigned char>(c) <= ' '; });
        size_t b = clean_.size();
        while (b > 0 && clean_[b - 1] == '.') --b;
        clean_.resize(b);
        raw_.resize(b);
        trimBoth([](char c) { return static_cast<unsigned char>(c) <= ' '; });
    }
}

WordSoundLookup::Candidate WordSoundLookup::StartCandidate(int folder) {
    Candidate piece;
    piece.text = clean_;
    piece.typed = raw_;
    piece.folder = p_.folders[folder];
    if (folder == kWordFolder) {
        // a sub-folder named after the longest beginning of the text holds its words
        const std::string& words = p_.folders[kWordFolder];
        for (size_t length = piece.text.size(); length > 0; --length) {
            const std::string beginning = piece.text.substr(0, length);
            if (SubFolderExists(words, beginning)) {
                piece.folder =
                    words + "\\" + ToCp1252(Listing(words).folders.at(Q(beginning).toLower()));
                break;
            }
        }
    }
    if (folder == kPairFolder) LookAtWordPair(piece);
    return piece;
}

// The pair folder's sub-folder named after the longest beginning of `text`; with
// keepShortest the one named after its first character even when there is none.
std::string WordSoundLookup::PairSubFolder(const std::string& text, bool keepShortest) {
    const std::string& pairs = p_.folders[kPairFolder];
    std::string beginning;
    for (size_t length = text.size(); length > 0; --length) {
        beginning = text.substr(0, length);
        if (SubFolderExists(pairs, beginning)) return pairs + "\\" + beginning;
    }
    return keepShortest ? pairs + "\\" + beginning : std::string();
}

void WordSoundLookup::LookAtWordPair(Candidate& piece) {
    // exactly two words: also tried the other way round
    const std::string& text = piece.text;
    const size_t blank = text.find(' ');
    const bool twoWords = blank != std::string::npos && blank > 0 && blank + 1 < text.size() &&
                          text.find(' ', blank + 1) == std::string::npos;
    piece.swappedText = twoWords ? text.substr(blank + 1) + " " + text.substr(0, blank) : text;
    if (SameNoCase(p_.folders[kPairFolder], p_.folders[kListFolder])) return;
    piece.folder = PairSubFolder(text, true);
    piece.swapped = piece.swappedText != text;
    if (piece.swapped) {
        piece.swappedFolder = PairSubFolder(piece.swappedText, false);
        if (piece.swappedFolder.empty()) {
            piece.swappedFolder = p_.folders[kPairFolder] + "\\" + piece.swappedText.substr(0, 1);
        }
    }
}

bool WordSoundLookup::SkipSeparator(char separator) {
    Cut(1);
    if (p_.line) boundary_ = IsBoundary(separator);
    return true;
}

// A recording of the whole remaining text: its name is the text's beginning and '@'.
bool WordSoundLookup::TakeWholeTextRecording(int folder, const Candidate& piece) {
    const bool searched = p_.line ? folder <= kPairFolder : folder == kListFolder;
    if (!searched) return false;
    const QString suffix = QString("@") + Q(Ext()).toLower();
    const std::string file = FirstFileLike(piece.folder, piece.text, [&](const QString& name) {
        if (!name.endsWith(suffix)) return false;
        if (!p_.line) return true;
        const qsizetype atPosition = name.size() - suffix.size();
        return atPosition <= Q(piece.text).size() + 1;
    });
    if (file.empty()) return false;
    found_.push_back(file);
    clean_.clear();
    raw_.clear();
    wav_.pieceTexts_.emplace_back();
    return true;
}

// The recording named exactly like the piece.
bool WordSoundLookup::TakeRecording(int folder, const Candidate& piece, bool mayUsePairs,
                                    bool hashStandsForChar) {
    if (folder == kCharacterFolder && hashStandsForChar) return false;
    if (folder == kPairFolder && (piece.swapped || !mayUsePairs)) return false;
    const std::string& text = piece.text;
    const std::string file = FileIn(piece.folder, text + Ext());
    if (file.empty()) return false;
    if (folder == kCharacterFolder && text.size() == 1 && p_.announceCapitals &&
        IsUpperLetter(text[0])) {
        const std::string capital = FileIn(piece.folder, ToCp1252(QStringLiteral("groß")) + Ext());
        if (!capital.empty()) {
            found_.push_back(capital);
            wav_.pieceTexts_.emplace_back(kCapitalMark);
        }
    }
    // (a single separator never gets here: it is skipped first)
    found_.push_back(file);
    if (p_.line && text.size() == 1) boundary_ = IsBoundary(text[0]);
    Cut(text.size());
    wav_.pieceTexts_.push_back(raw_);
    return true;
}

// A single character by its code ("#63" for '?'); left out silently when there is none.
void WordSoundLookup::TakeCharacterCode(const Candidate& piece, bool hashStandsForChar) {
    const char shown = piece.text[0];
    const char c = hashStandsForChar ? piece.typed[0] : shown;
    const std::string file =
        FileIn(piece.folder, "#" + std::to_string(static_cast<unsigned char>(c)) + Ext());
    const bool add = !file.empty() && !IsSeparator(piece.typed.empty() ? c : piece.typed[0]);
    if (add) found_.push_back(file);
    if (p_.line) boundary_ = IsBoundary(shown);
    Cut(1);
    if (add) wav_.pieceTexts_.push_back(raw_);
}

// A one-word piece from a two-word recording starting with it (cut at its pause), or a pair
// of words recorded the other way round.
bool WordSoundLookup::TakeTwoWords(const Candidate& piece) {
    if (piece.text.find(' ') == std::string::npos) {
        const std::string recording =
            FirstFileLike(piece.folder, piece.text + " ",
                          [&](const QString& name) { return name.endsWith(Q(Ext()).toLower()); });
        if (!recording.empty()) {
            const auto parts = wav_.SplitBySilence(recording, 2);
            if (parts.size() == 2) {
                found_.push_back(piece.swapped ? parts[0] : parts[1]);
                Cut(piece.text.size());
                wav_.pieceTexts_.push_back(raw_);
                return true;
            }
        }
    }
    if (!piece.swapped) return false;
    const std::string file = FileIn(piece.swappedFolder, piece.swappedText + Ext());
    if (file.empty()) return false;
    found_.push_back(file);
    Cut(piece.swappedText.size());
    wav_.pieceTexts_.push_back(raw_);
    return true;
}

// One character less; false when a line's last character is left (the next folder tries it).
bool WordSoundLookup::Shorten(int folder, Candidate& piece) {
    std::string& text = piece.text;
    if (p_.line && text.size() == 1) {
        if (folder >= kPairFolder) boundary_ = IsBoundary(text[0]);
        return false;
    }
    const char dropped = text.back();
    text.pop_back();
    if (!piece.typed.empty()) piece.typed.pop_back();
    if (p_.line && folder == kPairFolder) {
        // the piece now ends inside a word unless the text after it starts at a boundary
        boundary_ = IsBoundary(dropped);
        if (wav_.pieceTexts_.size() > 1) {
            const std::string& rest = wav_.pieceTexts_.back();
            const std::ptrdiff_t after =
                static_cast<std::ptrdiff_t>(rest.size()) - static_cast<std::ptrdiff_t>(text.size());
            if (after >= 0 && after < static_cast<std::ptrdiff_t>(rest.size()) &&
                !IsWideBoundary(rest[static_cast<size_t>(after)])) {
                boundary_ = false;
            }
        }
    }
    if (folder == kPairFolder && !text.empty()) LookAtWordPair(piece);
    return true;
}

// The longest piece at the start of the remainder that `folder` has a recording of; true when
// a piece was taken off the remainders.
bool WordSoundLookup::FindPiece(int folder) {
    Candidate piece = StartCandidate(folder);
    const bool mayUsePairs = !p_.line || boundary_;
    for (;;) {
        const std::string& text = piece.text;
        if (text.empty()) return false;
        if (text.size() == 1 && IsSeparator(text[0])) return SkipSeparator(text[0]);
        if (TakeWholeTextRecording(folder, piece)) return true;
        const bool hashStandsForChar =
            text.size() == 1 && text[0] == '#' && !piece.typed.empty() && piece.typed[0] != '#';
        if (TakeRecording(folder, piece, mayUsePairs, hashStandsForChar)) return true;
        if (folder == kCharacterFolder && text.size() == 1) {
            TakeCharacterCode(piece, hashStandsForChar);
            return true;
        }
        if (folder == kPairFolder && mayUsePairs && TakeTwoWords(piece)) return true;
        if (!Shorten(folder, piece)) return false;
    }
}

void WordSoundLookup::TrimBlanks() {
    const size_t first = clean_.find_first_not_of(' ');
    if (first == std::string::npos) {
        clean_.clear();
        raw_.clear();
        return;
    }
    const size_t last = clean_.find_last_not_of(' ');
    clean_ = clean_.substr(first, last - first + 1);
    raw_ = raw_.substr(std::min(first, raw_.size()), last - first + 1);
}

WordSoundLookup::Step WordSoundLookup::StepIn(int folder) {
    if (IsSeparator(' ')) TrimBlanks();
    if (clean_.empty()) return Step::Covered;
    if (const std::string* replacement = exceptions_.Find(clean_)) {
        clean_ = *replacement;
        raw_ = *replacement;
    }
    if (!FindPiece(folder)) return Step::NotFound;
    return clean_.empty() ? Step::Covered : Step::Taken;
}

// Takes pieces off the text, every piece searched from the first folder on; true when the
// whole text was covered.
bool WordSoundLookup::CoverText() {
    constexpr int kMaxRounds = 1000000;
    int folder = FirstSoundFolder();
    for (int round = 0; round < kMaxRounds; ++round) {
        if (FolderExists(folder)) {
            const Step step = StepIn(folder);
            if (step == Step::Covered) return true;
            if (step == Step::Taken) {
                folder = FirstSoundFolder();
                continue;
            }
        }
        if (folder == kCharacterFolder) return false;  // nothing more to try
        wav_.ProcessEvents();
        folder = NextSoundFolder();
    }
    return false;
}

void WordSoundLookup::HandOver(size_t words, std::string& fileName) {
    const bool tooMany = (!p_.line || !p_.keepText) && found_.size() > words + 1;
    if (tooMany) return;  // every character on its own: not worth speaking
    if (p_.listOnly) {
        for (const std::string& f : found_) fileName += f + "\r\n";
    } else {
        wav_.JoinToTemp(found_, p_.trailingSilence, fileName);
    }
}

// One text per piece end, and a "groß" announcement forms one piece with its letter; a joined
// file whose pieces cannot be told apart is not handed out.
void WordSoundLookup::ReconcilePieces(std::string& fileName) {
    std::vector<Bytes>& texts = wav_.pieceTexts_;
    std::vector<std::int32_t>& ends = wav_.pieceEnds_;
    if (!texts.empty()) texts.pop_back();
    const bool reconcile = !p_.line || (!texts.empty() && !ends.empty());
    if (!reconcile) return;
    if (texts.size() == ends.size()) {
        for (size_t i = texts.size(); i-- > 1;) {
            if (texts[i] == kCapitalMark) {
                texts.erase(texts.begin() + static_cast<std::ptrdiff_t>(i));
                ends.erase(ends.begin() + static_cast<std::ptrdiff_t>(i - 1));
            }
        }
    } else if (!p_.listOnly) {
        if (!fileName.empty()) wav_.DeleteFile(fileName);
        fileName.clear();
    }
}

void WordSoundLookup::Run(const Bytes& input, std::string& fileName) {
    fileName.clear();
    Bytes text = input;
    LoadExceptions();
    if (const std::string* replacement = exceptions_.Find(text)) text = *replacement;
    const bool savedUnits = wav_.sampleUnits_;
    wav_.sampleUnits_ = true;
    wav_.pieceEnds_.clear();
    wav_.pieceTexts_.clear();
    try {
        Clean(text);
        const size_t words = 1 + static_cast<size_t>(std::count(clean_.begin(), clean_.end(), ' '));
        bool complete = false;
        if (!clean_.empty()) {
            wav_.pieceTexts_.push_back(raw_);
            complete = CoverText();
        }
        if (complete) HandOver(words, fileName);
        ReconcilePieces(fileName);
    } catch (...) {
        // ends with whatever was made
        LogDroppedException("finding word sounds");
    }
    wav_.sampleUnits_ = savedUnits;
}

namespace {

// The settings both lookups share.
WordSoundLookup::Params LookupParams(const WordSoundQuery& query) {
    WordSoundLookup::Params p;
    p.base = query.baseFolder;
    p.folders[0] = query.listFolder;
    p.folders[1] = query.wordFolder;
    p.folders[2] = query.pairFolder;
    p.folders[3] = query.syllableFolder;
    p.folders[4] = query.characterFolder;
    p.extension = query.extension;
    p.trailingSilence = query.trailingSilence_frames;
    p.announceCapitals = query.announceCapitals;
    p.separators = query.separators;
    p.listOnly = query.listOnly;
    return p;
}

}  // namespace

void WaveComponent::FindWordSounds(const Bytes& text, const WordSoundQuery& query,
                                   std::string& fileName) {
    WordSoundLookup(*this, LookupParams(query)).Run(text, fileName);
}

void WaveComponent::FindLineSounds(const Bytes& text, const WordSoundQuery& query,
                                   std::string& fileName) {
    WordSoundLookup::Params p = LookupParams(query);
    p.line = true;
    p.keepText = query.keepText;
    WordSoundLookup(*this, std::move(p)).Run(text, fileName);
}

}  // namespace radevir
