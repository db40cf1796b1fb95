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
    bool PlayQueued(NotifyWindow window, const std::string& file, bool wait,
                    bool deleteDroppedTemp, bool allowDuplicate, bool dropPending,
                    bool queueIfBusy);
    int CloseAndPlayNext(DeviceId deviceId);
    bool PlayTo(DeviceId deviceId, NotifyWindow window, int position);
    bool StopAll();
    bool CloseDevice(DeviceId& deviceId);

    // --- word-to-sound lookup and splitting (word_sounds.cpp, split_silence.cpp) ---
    void FindWordSounds(const Bytes& text, const std::string& baseFolder, const std::string& c0,
                        const std::string& c1, const std::string& c2, const std::string& c3,
                        const std::string& c4, const std::string& extension,
                        int trailingSilence, bool announceCapitals, const std::string& separators,
                        bool listOnly, std::string& fileName);
    void FindLineSounds(const Bytes& text, const std::string& baseFolder, const std::string& c0,
                        const std::string& c1, const std::string& c2, const std::string& c3,
                        const std::string& c4, const std::string& extension,
                        int trailingSilence, bool announceCapitals, const std::string& separators,
                        bool listOnly, bool keepText, std::string& fileName);
    std::vector<std::string> SplitBySilence(const std::string& file, int maxParts);

    // --- end-of-play reports ---
    // Handlers for the two windows; the defaults do what the host and the console's message
    // pump do: close the device and move the queues on.
    void SetNotifyHandler(NotifyWindow window, std::function<void(DeviceId, bool)> handler);
    // The default handling of a report (used by custom handlers that want it too).
    void HandleApplicationNotify(DeviceId id, bool success);
    // Where "Fehler beim Schließen von …" goes (default: the warning log).
    void SetMessageHandler(std::function<void(const Bytes&)> handler);

    // --- state (public like the component's fields) ---
    std::vector<std::string> SearchFolders;
    std::string TempFolder;
    bool UseTempFolder = true;
    bool NoTempFolder = false;
    std::vector<std::string> TempFiles;
    std::vector<std::string> RangeQueue;
    std::vector<std::string> DeviceList;
    DeviceId CurrentDevice = kNoDevice;
    bool Busy = false;
    bool SampleUnits = false;
    std::vector<std::int32_t> PieceEnds;
    std::vector<Bytes> PieceTexts;
    // What the last JoinWaves could not use (or used only in part), in line order.
    std::vector<JoinProblem> JoinProblems;
    // The speaking flag of the console's word sounds.
    bool Speaking = false;

    const ProgramEnvironment& Environment() const { return env_; }
    AudioOutput& Output() { return output_; }
    // Full native path of a data path (case-insensitive lookup).
    QString Native(const std::string& path) const;
    bool FileExists(const std::string& path) const;
    bool DeleteFile(const std::string& path) const;
    // Lets pending events run between the lookup's folder rounds.
    void ProcessEventsForLookup();

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
    template <class Lookup>
    void LookUpSounds(const Bytes& text, Lookup& lookup, std::string& fileName);

    const ProgramEnvironment& env_;
    AudioOutput& output_;
    Clock& clock_;
    std::vector<std::pair<DeviceId, NotifyWindow>> targets_;  // open notifying devices
    std::function<void(DeviceId, bool)> hostHandler_;
    std::function<void(DeviceId, bool)> appHandler_;
    std::function<void(const Bytes&)> messageHandler_;
};

}  // namespace radevir
