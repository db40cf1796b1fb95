// WaveComponent, the program's one sound engine: reads and writes wave files itself, joins lists of
// sound pieces into temporary files, plays files through an AudioOutput with small queues, and
// makes the tone files that stand in for the speaker beeps. The word-to-sound lookup
// (word_sounds.cpp) and the cutting of recordings at pauses (split_silence.cpp) belong to it too.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sound/audio_output.h"
#include "sound/join_line.h"
#include "sound/wave_format.h"
#include "support/codepage.h"

namespace radevir {

class Clock;
class ProgramEnvironment;

// One parsed wave file's data block and the bytes read from it.
struct WaveInfo {
    int bitsPerSample = 16;
    int samplesPerSecond = 22050;
    bool stereo = false;
    std::int32_t frameCount = 0;  // (data size − data offset) × 2 ÷ nibbles per frame
    int nibblesPerFrame = 4;
    bool valid = false;
    int formatTag = 0;
    bool hasData = false;        // false when the read failed
    std::vector<std::uint8_t> data;  // the bytes read (length + 1 allocated, the last one 0)
    std::int64_t length = 0;     // bytes read
};

// Why a line of a join was left out, or not used whole.
enum class PieceProblem {
    Missing,            // no such file, not even in the search folders
    NotAWave,           // not a RIFF/WAVE file, or its header is cut off
    BadRate,            // a sample rate no recording has (`value` holds it)
    BadChannels,        // more channels than the converter takes (`value` holds them)
    UnsupportedFormat,  // a compressed format that cannot be decoded (`value`: format tag)
    NotConvertible,     // cannot be brought into the joined file's format
    Truncated,          // the data ends before its size field says; what is there is used
    Empty,              // no sample data at all
};

struct JoinProblem {
    std::string file;  // as the join line names it
    PieceProblem problem = PieceProblem::Missing;
    std::int64_t value = 0;
    // True when the piece was left out entirely (Truncated and Empty pieces are joined).
    bool LeftOut() const {
        return problem != PieceProblem::Truncated && problem != PieceProblem::Empty;
    }
};

// One line of German text for messages: the recording and what is wrong with it.
Bytes DescribeJoinProblem(const JoinProblem& problem);

// Bounds of the numbers a join line (or a caller) may ask for; larger values are clamped.
constexpr int kMaxJoinVolume_percent = 1000;
constexpr int kMaxJoinSilence_ms = 10000;

// Who receives a device's end-of-play report.
enum class NotifyWindow { None, Application, Host };

// How PlayQueued treats a file while a queued play is running (all off by default).
struct QueuedPlayOptions {
    bool wait = false;               // the play blocks until its end ("Z=" while it waits)
    bool deleteDroppedTemp = false;  // dropped temporary files are deleted (else they stay queued)
    bool allowDuplicate = false;     // a file already in the queue may be queued again
    bool dropPending = false;        // waiting "W=" entries are dropped first
    bool queueIfBusy = false;        // queued behind running plays instead of played at once
};
// A spoken text: it replaces texts still waiting, queues behind the running play and is
// played to its end before the call returns.
inline constexpr QueuedPlayOptions kSpokenTextPlay{.wait = true,
                                                  .deleteDroppedTemp = true,
                                                  .allowDuplicate = true,
                                                  .dropPending = true,
                                                  .queueIfBusy = true};

// What the word and line lookups search for a text: five sound folders below baseFolder,
// tried in this order for every piece.
struct WordSoundQuery {
    std::string baseFolder;
    std::string listFolder;       // the task list's own recordings; "…@.wav" speaks the whole rest
    std::string wordFolder;       // words, also in sub-folders named after the text's beginning
    std::string pairFolder;       // two-word recordings, in sub-folders named after the first word
    std::string syllableFolder;
    std::string characterFolder;  // single characters by name or as "#code", and "groß"
    std::string extension = "wav";
    int trailingSilence_frames = 0;  // after every piece of the joined file
    bool announceCapitals = false;   // "groß" before a capital letter spoken on its own
    std::string separators;          // characters skipped without a sound
    bool listOnly = false;           // the files found, one a line, instead of a joined file
    bool keepText = false;           // line lookup: blanks, '#' and trailing dots are not trimmed
};


class WaveComponent : public QObject {
    Q_OBJECT
public:
    WaveComponent(const ProgramEnvironment& env, AudioOutput& output, Clock& clock);
    ~WaveComponent() override;
    WaveComponent(const WaveComponent&) = delete;
    WaveComponent& operator=(const WaveComponent&) = delete;

    // --- wave files (paths are data paths: absolute, or relative to the ProgramFolder) ---
    int GetWaveInfo(const std::string& file, int& rate, int& bits, bool& stereo);
    int FrameCount(const std::string& file);
    std::optional<WaveInfo> ReadWaveData(const std::string& file, std::int64_t startByte,
                                         std::int64_t& length);
    std::optional<WaveInfo> ReadWaveData(const std::string& file);
    bool WriteWaveData(const std::string& file, const std::uint8_t* buffer, std::int64_t length,
                       std::int64_t offset);
    bool CreateEmptyWave(const std::string& file, int rate, bool stereo);
    bool CopyWaveHeader(const std::string& destFile, const std::string& templateFile);
    bool AppendWave(const std::string& outFile, const std::string& sourceFile, std::int64_t offset);
    // At most kMaxJoinSilence_ms of silence at a time.
    bool AppendSilence(const std::string& outFile, std::int64_t length, bool sampleUnits,
                       std::int64_t offset);
    bool OverlapWave(const std::string& outFile, const std::string& sourceFile, bool sampleUnits,
                     std::int64_t overlap);
    bool CutAndScaleWave(const std::string& source, const std::string& dest, bool msUnits,
                         int volumePerMille, std::int64_t end, std::int64_t start);

    // --- joining ---
    // Pieces that are missing, damaged or of an unusable format are left out and noted in
    // JoinProblems; pieces of another format than the joined file are converted to it.
    bool JoinWaves(const std::string& outFile, const std::vector<std::string>& lines,
                   bool sampleUnits, int trailingSilence);
    void JoinToTemp(const std::vector<std::string>& lines, int trailingSilence,
                    std::string& fileName);
    void SetupTempFolder();

    // --- tones ---
    bool MakeToneFile(const std::string& file, int lengthMs, int amplitude, int frequency);
    static void ToneSynth(std::int16_t* buffer, std::int64_t firstIndex, int amplitude,
                          int frequency, std::int64_t count);

    // --- playing ---
    bool Play(NotifyWindow window, const std::string& file, bool notify);
    bool PlayRange(NotifyWindow window, const std::string& file, int from, int to, bool notify);
    bool PlayNextRange();
    bool PlayQueued(NotifyWindow window, const std::string& file, QueuedPlayOptions options);
    int CloseAndPlayNext(DeviceId deviceId);
    bool PlayTo(DeviceId deviceId, NotifyWindow window, int position);
    // Opens `file` as the current device and plays it from the start to `toMs`, reporting the
    // end to `window`; busy from then on (the host's piece-by-piece play).
    bool PlayFromStartTo(NotifyWindow window, const std::string& file, int toMs);
    bool StopAll();
    bool CloseDevice(DeviceId& deviceId);
    // CloseDevice on the device opened last: its sound stops (an animation's frames dropped).
    bool CloseCurrentDevice() { return CloseDevice(currentDevice_); }

    // --- word-to-sound lookup and splitting (word_sounds.cpp, split_silence.cpp) ---
    // `fileName` receives the joined temporary file (or the list of files with listOnly);
    // empty when the text could not be covered. PieceEnds/PieceTexts describe the pieces.
    void FindWordSounds(const Bytes& text, const WordSoundQuery& query, std::string& fileName);
    // The same for a line of a task list: its cleaning keeps more of the text, and two-word
    // recordings are used only at word boundaries.
    void FindLineSounds(const Bytes& text, const WordSoundQuery& query, std::string& fileName);
    std::vector<std::string> SplitBySilence(const std::string& file, int maxParts);

    // --- end-of-play reports ---
    // Handlers for the two windows; the defaults do what the host and the console's message
    // pump do: close the device and move the queues on.
    void SetNotifyHandler(NotifyWindow window, std::function<void(DeviceId, bool)> handler);
    // The default handling of a report (used by custom handlers that want it too).
    void HandleApplicationNotify(DeviceId id, bool success);
    // Where "Fehler beim Schließen von …" goes (default: the warning log).
    void SetMessageHandler(std::function<void(const Bytes&)> handler);

    // --- state ---
    const std::vector<std::string>& TempFiles() const { return tempFiles_; }
    // Deleted with the other temporary files (on StopAll, or when its queued play ends).
    void AddTempFile(const std::string& file) { tempFiles_.push_back(file); }
    // The one range request waiting while a notifying play runs ("file,from,to").
    const std::vector<std::string>& RangeQueue() const { return rangeQueue_; }
    // The queued plays: "id=file" for open devices, "W=file" / "Z=file" for waiting ones.
    const std::vector<std::string>& DeviceList() const { return deviceList_; }
    bool InDeviceList(DeviceId id) const;
    DeviceId CurrentDevice() const { return currentDevice_; }
    // A notifying play is running: range requests wait in the range queue.
    bool Busy() const { return busy_; }
    void MarkBusy() { busy_ = true; }
    // Joins count in sample frames and record PieceEnds (only during a word lookup).
    bool SampleUnits() const { return sampleUnits_; }
    // The joined file's piece ends (frames) and the text from each piece on.
    const std::vector<std::int32_t>& PieceEnds() const { return pieceEnds_; }
    const std::vector<Bytes>& PieceTexts() const { return pieceTexts_; }
    // What the last JoinWaves could not use (or used only in part), in line order.
    const std::vector<JoinProblem>& JoinProblems() const { return joinProblems_; }
    // The speaking flag of the console's word sounds.
    bool Speaking() const { return speaking_; }
    void SetSpeaking(bool speaking) { speaking_ = speaking; }

    const ProgramEnvironment& Environment() const { return env_; }
    AudioOutput& Output() { return output_; }
    // Full native path of a data path (case-insensitive lookup).
    QString Native(const std::string& path) const;
    bool FileExists(const std::string& path) const;
    bool DeleteFile(const std::string& path) const;

private:
    void OnCompleted(quint32 id, bool success);
    void Dispatch(NotifyWindow window, DeviceId id, bool success);
    bool PlayDevice(DeviceId id, NotifyWindow window, int fromMs, int toMs, bool notify,
                    bool wait);
    void ForgetDevice(DeviceId id);
    void DeleteTempFilesFrom(size_t keep);
    std::string FindInSearchFolders(const std::string& name) const;
    // Checks a piece before it is joined; false (with a problem noted) when it cannot be used.
    bool CheckJoinPiece(const std::string& lineFile, const std::string& file);
    // The piece in the joined file's format: `file` itself, or a converted copy beside
    // `outFile` (listed in TempFiles); empty (with a problem noted) when that cannot be made.
    std::string InJoinFormat(const std::string& outFile, const std::string& lineFile,
                             const std::string& file);
    void ProcessEvents();
    // The word-to-sound lookup fills the piece lists and joins in sample frames.
    friend class WordSoundLookup;

    const ProgramEnvironment& env_;
    AudioOutput& output_;
    Clock& clock_;
    std::vector<std::pair<DeviceId, NotifyWindow>> targets_;  // open notifying devices
    std::function<void(DeviceId, bool)> hostHandler_;
    std::function<void(DeviceId, bool)> appHandler_;
    std::function<void(const Bytes&)> messageHandler_;

    std::vector<std::string> searchFolders_;  // sorted, without regard to case
    std::string tempFolder_;
    bool useTempFolder_ = true;
    bool noTempFolder_ = false;  // none could be made: nothing is joined to a temporary file
    std::vector<std::string> tempFiles_;
    std::vector<std::string> rangeQueue_;
    std::vector<std::string> deviceList_;
    DeviceId currentDevice_ = kNoDevice;
    bool busy_ = false;
    bool sampleUnits_ = false;
    std::vector<std::int32_t> pieceEnds_;
    std::vector<Bytes> pieceTexts_;
    std::vector<JoinProblem> joinProblems_;
    bool speaking_ = false;
};

}  // namespace radevir
