// The settings every training program reads, and their option files (35 CR LF lines: the
// current set "aktuell.opt" and named sets NAME.RTT). Reading is forgiving: a damaged file gives
// a partial read and every value is checked afterwards; writing replaces the file atomically.
#pragma once

#include <vector>

#include "support/codepage.h"

namespace radevir {

class ProgramEnvironment;
struct Session;

// The values of the option fields, by name (option::Help::kOnEnter). The fields stay plain ints:
// a file may hold values outside these (a colour 3, a Merkzeit of 4500), and they are kept as read.
namespace option {
struct TaskOrder {
    enum : int { kInOrder = 0, kRandom = 1 };
};
struct MemoriseTime {
    // any value from kUntilKeyMs on means "until a key"
    enum : int { kShortMs = 1500, kLongMs = 4000, kUntilKeyMs = 5000 };
};
struct SoundLevel {
    enum : int { kAllSounds = 0, kKeyClickAndError = 1, kErrorOnly = 2, kSilent = 3 };
};
struct InputControl {
    // refuse a wrong key at once; compare the whole input on Enter; count every wrong key
    enum : int { kRefuseWrongKeys = 0, kCheckOnEnter = 1, kCountEveryKey = 2 };
};
struct HighlightOperators {
    enum : int { kYes = 1, kNo = 2 };
};
struct BackgroundColour {
    // console colour indexes; white switches the drill screens to dark text colours
    enum : int { kBlack = 0, kNavy = 1, kMaroon = 2, kGrey = 8, kWhite = 15, kLastColour = 15 };
};
struct Switch {  // Animation, ColourDifference, GrabCountAlong
    enum : int { kOff = 0, kOn = 1 };
};
struct DictationMode {
    enum : int { kUpToEquals = 0, kWithEquals = 1, kWhole = 2, kPartner = 3 };
};
struct Frame {
    enum : int { kNone = 0, kAroundTask = 1, kAroundEveryNumber = 2 };
};
struct FixationPoint {
    enum : int { kNone = 0, kStart = 1, kStartAndEnd = 2, kFrame = 3, kFrameAndStart = 4, kEye = 5 };
};
struct Repeat {
    // passes over the wrong tasks; also every task typed twice; also a wrong task again right
    // after the next one; all of these (only from a file)
    enum : int { kNone = 0, kWrongTasks = 1, kTypeTwice = 2, kWrongTaskAgain = 3, kAll = 4 };
};
struct Help {
    // the levels add up: help on Enter, then help keys, then help at the second error; the last
    // is help at the second error without help keys
    enum : int { kNone = 0, kOnEnter = 1, kHelpKeys = 2, kAtSecondError = 3, kAtSecondErrorOnly = 4 };
};
struct GrabTarget {
    enum : int { kAll = 0, kResult = 1, kMissingNumbers = 2, kOperators = 3, kMarkedNumbers = 4,
                 kOverwriteAll = 5 };
};
struct GrabJokers {
    enum : int { kMost = 3 };
};
struct GrabInsertOrder {
    enum : int { kAny = 0, kInOrder = 1 };
};
struct Protocol {
    enum : int { kNone = 0, kTeacher = 1, kUnderName = 2 };
};
struct TimeLimited {
    enum : int { kUnlimited = 0, kLimited = 1 };
};
struct TimeLimitMinutes {
    enum : int { kFewest = 1, kMost = 20, kDefault = 10 };
};
struct Figure {
    enum : int { kNone = 0, kStanding = 1, kRunning = 2, kTaskCounter = 3 };
};
struct AutoComma {
    enum : int { kTyped = 0, kAutomatic = 1 };
};
struct HundredBoard {
    enum : int { kFirst = 0, kLast = 7 };  // bit 1 upwards, bit 2 "+", bit 4 "1"
};
struct DivisionMethod {
    enum : int { kBringDown = 0, kSubtract = 1 };
};
struct DictationInput {
    enum : int { kResult = 0, kEverything = 1 };
};
}  // namespace option

struct ProgramOptions {
    int taskOrder = 0;               // 1 line 1: 0 Reihenfolge, 1 Zufall
    int memoriseTime = 5000;         // 2 ms; 1500 kurz, 4000 lang, >= 5000 bis Taste
    int soundLevel = 1;              // 3 0 ein, 1 Tippton, 2 aus, 3 nix
    int inputControl = 2;            // 4 0 Total, 1 bei ENTER, 2 jede Eingabe
    int reserved1 = 1;               // 5
    int highlightOperators = 1;      // 6 1 ja, 2 nein
    int backgroundColour = 1;        // 7 colour index 0, 1, 8, 2, 15
    int animation = 1;               // 8 0/1
    int dictationMode = 0;           // 9 0 bis=, 1 mit=, 2 ganz, 3 Partner
    int colourDifference = 1;        // 10 0/1
    int frame = 2;                   // 11 0 nix, 1 Rand, 2 jede Zahl
    int fixationPoint = 4;           // 12 0 .. 5
    int repeat = 0;                  // 13 0, 1, 2 (2x), 3 (Fehler), 4 (2x and Fehler)
    Bytes reservedCode = "AAR";      // 14
    int help = 3;                    // 15 0 nix .. 3 2.Fehler, 4 2.Fehler without help keys
    int reserved2 = 0;               // 16
    int tachistoscopeTime = 100;     // 17 ms
    int buildUpTime = 280;           // 18 ms per character
    int holdTime = 110;              // 19 ms
    int reserved3 = 0;               // 20
    int grabJokers = 2;              // 21 0 .. 3
    int grabTarget = 1;              // 22 0 .. 5
    int grabInsertOrder = 0;         // 23 0 egal, 1 Reihenfolge
    int reserved4 = 0;               // 24
    int grabCountAlong = 1;          // 25 0 aus, 1 ein
    int protocol = 0;                // 26 0 nix, 1 Lehrer, 2 unter Namen
    int timeLimited = 0;             // 27 0/1
    int timeLimitMinutes = 10;       // 28 1 .. 20
    int figure = 2;                  // 29 0 ohne, 1 stehend, 2 laufen, 3 80 Aufgaben anzeigen
    int autoComma = 1;               // 30 0 eingeben, 1 automatisch
    int hundredBoard = 7;            // 31 0 .. 7
    int divisionMethod = 1;          // 32 0 runterholen, 1 abziehen
    int dictationInput = 0;          // 33 0 Ergebnis, 1 Alles (no default: keeps its value)
    int writtenHelpFlags = 0;        // 34 bit 2 Übertrag, bit 1 Multiplikationswert (keeps)
    bool highlightCurrentDigits = false;  // 35 (keeps)

    // Every field that has a default set to it; the last three keep their values.
    void SetDefaults();
    // The checks applied after loading, in line order.
    void ApplyChecks();
};

// Reads an option file (a data path) into `options`. A missing file gives the defaults; a file
// that exists but cannot be read keeps the values, except the three switches of lines 1, 8 and
// 10, which become 0; a damaged file is read up to its first bad line. The checks always run.
// Returns true when the file was read (fully or partly).
bool LoadOptions(const ProgramEnvironment& env, const Bytes& path, ProgramOptions& options);
// Rewrites the option file whole (temporary file + rename); false when that failed, the old
// file is then untouched.
bool SaveOptions(const ProgramEnvironment& env, const Bytes& path, const ProgramOptions& options);
// The 35 file lines of the options.
std::vector<Bytes> OptionFileLines(const ProgramOptions& options);

// The session-level calls: loading clears `optionsDirty`; saving clears it on success and on
// failure writes "Die >Optionen< konnten nicht gespeichert werden!" at the top left of the
// current text window.
void LoadSessionOptions(Session& session, const Bytes& path);
bool SaveSessionOptions(Session& session, const Bytes& path);

}  // namespace radevir
