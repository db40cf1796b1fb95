// The settings every training program reads, and their option files (35 CR LF lines: the
// current set "aktuell.opt" and named sets NAME.RTT). Reading is forgiving: a damaged file gives
// a partial read and every value is checked afterwards; writing replaces the file atomically.
#pragma once

#include <vector>

#include "support/codepage.h"

namespace radevir {

class ProgramEnvironment;
struct Session;

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
