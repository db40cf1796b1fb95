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

constexpr unsigned char kMiddleDot = 0xB7;
constexpr unsigned char kPilcrow = 0xB6;

QString Q(const std::string& bytes) { return FromCp1252(bytes); }

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
        if (f.empty() && index != 4) return false;  // no list folder given
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
        for (auto it = l.files.lower_bound(qp); it != l.files.end() && it->first.startsWith(qp); ++it) {
            if (accept(it->first)) return p_.base + rel + "\\" + ToCp1252(it->second);
        }
        return {};
    }

    std::string Ext() const { return "." + p_.extension; }

    int NextSoundFolder() {
        while (counter_ < 4 && !FolderExists(counter_)) ++counter_;
        const int f = counter_;
        if (counter_ < 4) ++counter_;
        return f;
    }
    int FirstSoundFolder() {
        counter_ = 0;
        return NextSoundFolder();
    }

    void LoadExceptions() {
        for (const std::string& rel : {std::string(), p_.folders[0], p_.folders[1]}) {
            if (!Listing(rel).exists) continue;
            for (const auto& [lower, real] : Listing(rel).files) {
                if (!lower.startsWith("ausnahme") || !lower.endsWith(".txt")) continue;
                QFile f(wav_.Native(p_.base + (rel.empty() ? std::string() : rel + "\\") + ToCp1252(real)));
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
    bool FindPiece(int folder);

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
        const bool replace = p_.line ? kLine.find(c) != std::string_view::npos
                                     : (kWord.find(c) != std::string_view::npos ||
                                        u == kMiddleDot || u == kPilcrow);
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

// One shrink loop in one folder; true when a piece was taken off the remainders.
bool WordSoundLookup::FindPiece(int folder) {
    std::string p = clean_;
    std::string pRaw = raw_;
    std::string s = p_.folders[folder];
    if (folder == 1) {
        for (size_t len = p.size(); len > 0; --len) {
            if (SubFolderExists(p_.folders[1], p.substr(0, len))) {
                s = p_.folders[1] + "\\" + ToCp1252(Listing(p_.folders[1]).folders.at(Q(p.substr(0, len)).toLower()));
                break;
            }
        }
    }
    const bool inC2 = folder == 2;
    const bool c2IsC0 = SameNoCase(p_.folders[2], p_.folders[0]);
    std::string w;
    bool swapped = false;
    std::string sSwapped;
    auto leadingFolder = [&](const std::string& text, bool keepShortest) {
        std::string last;
        for (size_t len = text.size(); len > 0; --len) {
            last = text.substr(0, len);
            if (SubFolderExists(p_.folders[2], last)) return p_.folders[2] + "\\" + last;
        }
        return keepShortest ? p_.folders[2] + "\\" + last : std::string();
    };
    auto computeSwap = [&]() {
        const size_t blank = p.find(' ');
        if (blank != std::string::npos && blank > 0 && blank + 1 < p.size() &&
            p.find(' ', blank + 1) == std::string::npos) {
            w = p.substr(blank + 1) + " " + p.substr(0, blank);
        } else {
            w = p;
        }
        if (inC2 && !c2IsC0) {
            s = leadingFolder(p, true);
            swapped = w != p;
            if (swapped) {
                sSwapped = leadingFolder(w, false);
                if (sSwapped.empty()) sSwapped = p_.folders[2] + "\\" + w.substr(0, 1);
            }
        }
    };
    if (inC2) computeSwap();
    const bool mayUseC2 = !p_.line || boundary_;

    for (;;) {
        if (p.empty()) return false;
        const char first = p[0];
        // a single separator: skipped without a sound
        if (p.size() == 1 && IsSeparator(first)) {
            Cut(1);
            if (p_.line) boundary_ = IsBoundary(first);
            return true;
        }
        // a recording of the whole remaining text, marked with '@'
        const bool atFolder = p_.line ? folder <= 2 : (folder == 0 && s == p_.folders[0]);
        if (atFolder) {
            const QString suffix = QString("@") + Q(Ext()).toLower();
            const std::string at = FirstFileLike(s, p, [&](const QString& name) {
                if (!name.endsWith(suffix)) return false;
                if (!p_.line) return true;
                const qsizetype atPos = name.size() - suffix.size();
                return atPos <= Q(p).size() + 1;
            });
            if (!at.empty()) {
                found_.push_back(at);
                clean_.clear();
                raw_.clear();
                wav_.pieceTexts_.emplace_back();
                return true;
            }
        }
        const bool replacedHash = p.size() == 1 && p[0] == '#' && pRaw.size() >= 1 && pRaw[0] != '#';
        // the exact recording
        if (!(folder == 4 && replacedHash) && !(inC2 && swapped) && (!inC2 || mayUseC2)) {
            const std::string file = FileIn(s, p + Ext());
            if (!file.empty()) {
                if (folder == 4 && p.size() == 1 && p_.announceCapitals && IsUpperLetter(p[0])) {
                    const std::string gross = FileIn(s, ToCp1252(QStringLiteral("groß")) + Ext());
                    if (!gross.empty()) {
                        found_.push_back(gross);
                        wav_.pieceTexts_.push_back("#gross#");
                    }
                }
                const bool add = !(p.size() == 1 && IsSeparator(p[0]));
                if (add) found_.push_back(file);
                if (p_.line && p.size() == 1) boundary_ = IsBoundary(p[0]);
                Cut(p.size());
                if (add) wav_.pieceTexts_.push_back(raw_);
                return true;
            }
        }
        // a single character by its code
        if (folder == 4 && p.size() == 1) {
            const char c = replacedHash ? pRaw[0] : p[0];
            const std::string file =
                FileIn(s, "#" + std::to_string(static_cast<unsigned char>(c)) + Ext());
            const bool add = !file.empty() && !IsSeparator(pRaw.empty() ? c : pRaw[0]);
            if (add) found_.push_back(file);
            if (p_.line) boundary_ = IsBoundary(p[0]);
            Cut(1);
            if (add) wav_.pieceTexts_.push_back(raw_);
            return true;
        }
        // two-word recordings
        if (inC2 && mayUseC2) {
            if (p.find(' ') == std::string::npos) {
                const std::string two = FirstFileLike(s, p + " ", [&](const QString& name) {
                    return name.endsWith(Q(Ext()).toLower());
                });
                if (!two.empty()) {
                    const auto parts = wav_.SplitBySilence(two, 2);
                    if (parts.size() == 2) {
                        found_.push_back(swapped ? parts[0] : parts[1]);
                        Cut(p.size());
                        wav_.pieceTexts_.push_back(raw_);
                        return true;
                    }
                }
            }
            if (swapped) {
                const std::string file = FileIn(sSwapped, w + Ext());
                if (!file.empty()) {
                    found_.push_back(file);
                    Cut(w.size());
                    wav_.pieceTexts_.push_back(raw_);
                    return true;
                }
            }
        }
        // shorten the piece
        if (p_.line && p.size() == 1) {
            if (folder >= 2) boundary_ = IsBoundary(p[0]);
            return false;
        }
        const char dropped = p.back();
        p.pop_back();
        if (!pRaw.empty()) pRaw.pop_back();
        if (p_.line && inC2) {
            boundary_ = IsBoundary(dropped);
            if (wav_.pieceTexts_.size() > 1) {
                const std::string& last = wav_.pieceTexts_.back();
                const std::ptrdiff_t idx = static_cast<std::ptrdiff_t>(last.size()) -
                                           static_cast<std::ptrdiff_t>(p.size());
                if (idx >= 0 && idx < static_cast<std::ptrdiff_t>(last.size()) &&
                    !IsWideBoundary(last[static_cast<size_t>(idx)])) {
                    boundary_ = false;
                }
            }
        }
        if (inC2 && !p.empty()) computeSwap();
    }
}

void WordSoundLookup::Run(const Bytes& input, std::string& fileName) {
    fileName.clear();
    Bytes text = input;
    LoadExceptions();
    if (const std::string* r = exceptions_.Find(text)) text = *r;
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
            int folder = FirstSoundFolder();
            for (int rounds = 0; rounds < 1000000; ++rounds) {
                bool restart = false;
                if (FolderExists(folder)) {
                    for (;;) {
                        if (IsSeparator(' ')) {
                            const size_t a = clean_.find_first_not_of(' ');
                            if (a == std::string::npos) {
                                clean_.clear();
                                raw_.clear();
                            } else {
                                const size_t b = clean_.find_last_not_of(' ');
                                clean_ = clean_.substr(a, b - a + 1);
                                raw_ = raw_.substr(std::min(a, raw_.size()), b - a + 1);
                            }
                        }
                        if (clean_.empty()) {
                            complete = true;
                            break;
                        }
                        if (const std::string* r = exceptions_.Find(clean_)) {
                            clean_ = *r;
                            raw_ = *r;
                        }
                        if (!FindPiece(folder)) break;
                        if (clean_.empty()) {
                            complete = true;
                            break;
                        }
                        restart = true;
                        break;
                    }
                    if (complete) break;
                } else if (folder == 4) {
                    break;
                }
                if (restart) {
                    folder = FirstSoundFolder();
                    continue;
                }
                if (folder == 4) break;  // nothing more to try
                wav_.ProcessEvents();
                folder = NextSoundFolder();
            }
        }
        if (complete) {
            const bool tooMany = (!p_.line || !p_.keepText) && found_.size() > words + 1;
            if (tooMany) {
                // every character on its own: not worth speaking
            } else if (p_.listOnly) {
                for (const std::string& f : found_) fileName += f + "\r\n";
            } else {
                wav_.JoinToTemp(found_, p_.trailingSilence, fileName);
            }
        }
        if (!wav_.pieceTexts_.empty()) wav_.pieceTexts_.pop_back();
        const bool reconcile = !p_.line || (!wav_.pieceTexts_.empty() && !wav_.pieceEnds_.empty());
        if (reconcile) {
            if (wav_.pieceTexts_.size() == wav_.pieceEnds_.size()) {
                for (size_t i = wav_.pieceTexts_.size(); i-- > 1;) {
                    if (wav_.pieceTexts_[i] == "#gross#") {
                        wav_.pieceTexts_.erase(wav_.pieceTexts_.begin() + static_cast<std::ptrdiff_t>(i));
                        wav_.pieceEnds_.erase(wav_.pieceEnds_.begin() + static_cast<std::ptrdiff_t>(i - 1));
                    }
                }
            } else if (!p_.listOnly) {
                if (!fileName.empty()) wav_.DeleteFile(fileName);
                fileName.clear();
            }
        }
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
