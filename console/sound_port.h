// The wave component as the console sees it: tones, effect files, stopping, and the word sounds
// of the task editor. The sound library implements it; the console never includes sound code.
#pragma once

#include <QString>

#include "support/codepage.h"

namespace radevir {

class SoundPort {
public:
    virtual ~SoundPort() = default;
    // Generates a tone file for `frequencyHz` (the console passes the generator arguments
    // 2000 and 8000).
    virtual bool MakeToneFile(const QString& nativePath, int frequencyHz, int arg1, int arg2) = 0;
    // Plays a wave file; lengthMs < 0 plays all of it. Never throws.
    virtual bool PlayFile(const QString& nativePath, int lengthMs) = 0;
    // Stops every playback and removes generated temporary files.
    virtual void StopAll() = 0;
    virtual void SetSpeaking(bool speaking) = 0;
    virtual bool Speaking() const = 0;
    // Builds the word-sound chain for `text` from `soundsFolder` and starts its first piece;
    // false when nothing could be played. `listFolder` is the task list's path relative to the
    // ProgramFolder without its extension (empty when there is none).
    virtual bool SpeakWordSounds(const Bytes& text, const Bytes& listFolder,
                                 const QString& soundsFolder) = 0;
};

// Used when no wave component is attached: every call fails quietly.
class NoSound final : public SoundPort {
public:
    bool MakeToneFile(const QString&, int, int, int) override { return false; }
    bool PlayFile(const QString&, int) override { return false; }
    void StopAll() override {}
    void SetSpeaking(bool s) override { speaking_ = s; }
    bool Speaking() const override { return speaking_; }
    bool SpeakWordSounds(const Bytes&, const Bytes&, const QString&) override { return false; }

private:
    bool speaking_ = false;
};

}  // namespace radevir
