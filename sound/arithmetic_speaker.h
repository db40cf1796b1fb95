// ArithmeticSpeaker speaks arithmetic: a text such as "12 + 35 =" becomes a list of recorded pieces
// from the sound table "mathsound.xml" (numbers without a recording of their own are composed
// from digit groups and powers of ten), joined by the wave component and played.
#pragma once

#include <QString>
#include <string>
#include <unordered_map>
#include <vector>

#include "support/codepage.h"

namespace radevir {

class WaveComponent;
class ProgramEnvironment;

// One row of the sound table; the comments name the row's attributes in the table file.
// The fields stay texts as the table holds them: ToJoinLine hands them on unread.
struct SoundRecord {
    Bytes name;          // Name: what a task's token must equal
    Bytes folder;        // Pfad
    Bytes waveFile;      // Wavedatei (or a text file of join lines)
    Bytes start;         // von
    Bytes end;           // bis
    Bytes volume;        // Volumen, percent
    Bytes gapBefore;     // Anfang: silence before, or overlap when negative
    Bytes silenceAfter;  // Stilledanach
    // The record as a join line: file, start, end, volume, gap before, silence after.
    std::string ToJoinLine() const;
};

// The sound table: an exact, case-sensitive lookup by Name; the first record of a name wins.
class SoundTable {
public:
    // Reads the data packet (field list and ROW elements); false when the file cannot be read
    // or parsed, leaving the table empty.
    bool LoadFile(const QString& nativePath);
    bool LoadXml(const std::string& xml);
    void Add(SoundRecord record);
    const SoundRecord* Find(const Bytes& name) const;
    size_t Size() const { return records_.size(); }
    const std::vector<SoundRecord>& Records() const { return records_; }
    void Clear();

private:
    std::vector<SoundRecord> records_;
    std::unordered_map<Bytes, size_t> byName_;
};

class ArithmeticSpeaker {
public:
    ArithmeticSpeaker() = default;

    int trailingSilence_ms = 0;  // after every piece (0: what the records ask for)
    WaveComponent* wave = nullptr;
    const SoundTable* soundTable = nullptr;

    // Speaks `text`; true when playing started.
    bool Speak(const Bytes& text, bool queued);
    // The join lines Speak would join (before reference expansion); false when a part of the
    // text has no sound. `names` receives the record names in order.
    bool BuildPieces(const Bytes& text, std::vector<std::string>& pieces,
                     std::vector<Bytes>* names = nullptr);
    // Expands records whose file names a text file of join lines.
    std::vector<std::string> ExpandReferences(const std::vector<std::string>& pieces,
                                              const ProgramEnvironment& env) const;
    // The number speakers; they append the records asked for (those that exist).
    bool SpeakNumber(const Bytes& number, std::vector<std::string>& pieces,
                     std::vector<Bytes>* names = nullptr);
    bool SpeakInteger(const Bytes& number, std::vector<std::string>& pieces,
                      std::vector<Bytes>* names = nullptr);
    // The file the last Speak played (empty when nothing was made).
    const std::string& LastFile() const { return lastFile_; }

private:
    bool AddRecord(const Bytes& name, std::vector<std::string>& pieces, std::vector<Bytes>* names);
    std::string lastFile_;
};

}  // namespace radevir
