// The wave component as the console and the host see it: the console's SoundPort (tones,
// effect files, stopping, word sounds), and the play chain that the host's end-of-play handling
// moves on piece by piece through a word-sound recording.
#pragma once

#include <QString>
#include <functional>

#include "console/sound_port.h"
#include "sound/wave_component.h"

namespace radevir {

// Plays a joined word-sound file piece by piece: each report of the host device plays up to
// the next entry of PieceEnds; after the last piece everything is stopped (which deletes the
// joined file).
class PlayChain {
public:
    explicit PlayChain(WaveComponent& wav) : wav_(wav) {}
    // Plays the first piece of `file` (pieces from the last lookup's PieceEnds).
    bool Start(const std::string& file);
    void Reset() { index_ = 0; }
    // The host's handler of an end-of-play report.
    void OnNotify(DeviceId id, bool success);
    int Index() const { return index_; }
    int Pieces() const { return static_cast<int>(endsMs_.size()); }
    // Called when a piece starts (index, text from that piece on), for highlighting.
    std::function<void(int, const Bytes&)> onPiece;

private:
    WaveComponent& wav_;
    std::vector<int> endsMs_;
    std::vector<Bytes> texts_;
    int index_ = 0;
};

class SoundAdapter final : public SoundPort {
public:
    explicit SoundAdapter(WaveComponent& wav);
    ~SoundAdapter() override;

    bool MakeToneFile(const QString& nativePath, int frequencyHz, int arg1, int arg2) override;
    // lengthMs < 0: the effect file fire-and-forget; else a tone part of lengthMs, queued
    // behind a running one.
    bool PlayFile(const QString& nativePath, int lengthMs) override;
    void StopAll() override;
    void SetSpeaking(bool speaking) override { wav_.SetSpeaking(speaking); }
    bool Speaking() const override { return wav_.Speaking(); }
    // "Sound dieser Zeile abspielen": the line lookup, played piece by piece. `listFolder` (the
    // task list's path relative to the ProgramFolder, without extension) is searched first; it
    // is the word folder too when it contains "Wortübungen", else "2" is.
    bool SpeakWordSounds(const Bytes& text, const Bytes& listFolder,
                         const QString& soundsFolder) override;
    // "Sounds testen": the word lookup, played to the end before returning.
    bool SpeakWordSoundsAndWait(const Bytes& text, const Bytes& listFolder,
                                const QString& soundsFolder);

    PlayChain& Chain() { return chain_; }
    WaveComponent& Wave() { return wav_; }

    // The separators handed to the lookup: `separators` without the leading characters of
    // `text` that occur in it (one occurrence per character).
    static std::string LookupSeparators(const Bytes& text, std::string separators);

private:
    WaveComponent& wav_;
    PlayChain chain_;
};

}  // namespace radevir
