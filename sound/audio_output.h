// The wave-audio devices behind the wave component: open a device on a file, play all of it or
// a range, report the end to the Qt event loop, close one or all; plus the one fire-and-forget
// sound. Three outputs: SDL2 (real sound), null (ends on the program's clock), disk (records).
#pragma once

#include <QObject>
#include <QString>
#include <QTextStream>
#include <cstdint>
#include <memory>

namespace radevir {

class Clock;

using DeviceId = std::uint32_t;
constexpr DeviceId kNoDevice = 0;
constexpr DeviceId kFailedDevice = 0xFFFFFFFFu;  // the id a failed open reports

class AudioOutput : public QObject {
    Q_OBJECT
public:
    ~AudioOutput() override = default;

    // Opens a device on a wave file; kNoDevice when the file cannot be opened or decoded.
    virtual DeviceId Open(const QString& nativePath) = 0;
    // Readies the device for output (a no-op for devices that are always ready).
    virtual bool Cue(DeviceId id) { return IsOpen(id); }
    // Plays from fromMs (< 0: the current position) to toMs (< 0: the end). With notify, the end
    // is reported through Completed (always queued, never from inside this call). With wait the
    // call returns only when the range has been played.
    virtual bool Play(DeviceId id, int fromMs, int toMs, bool notify, bool wait) = 0;
    virtual bool Close(DeviceId id) = 0;
    // Closes every device; true when all closed.
    virtual bool CloseAll() = 0;
    virtual bool IsOpen(DeviceId id) const = 0;
    // Current position of a device in milliseconds (-1 when it is not open).
    virtual int PositionMs(DeviceId id) const = 0;
    virtual int LengthMs(DeviceId id) const = 0;

    // The fire-and-forget sound: replaces the one playing; never reports its end.
    virtual bool PlaySound(const QString& nativePath) = 0;
    virtual void StopSound() = 0;

    // Name for messages: "sdl:<driver>", "null", "disk:<file>".
    virtual QString Describe() const = 0;

    // Posts a completion to the event loop (queued), as a device would.
    void PostCompleted(DeviceId id, bool success);

Q_SIGNALS:
    void Completed(quint32 deviceId, bool success);
};

// choice: "auto" (SDL2 real device, falling back to null when none can be opened), "null",
// "disk:FILE". An unknown choice, or a disk file that cannot be written, gives nullptr and a
// reason in `error` when given.
std::unique_ptr<AudioOutput> MakeAudioOutput(const QString& choice, Clock& clock,
                                             QString* error = nullptr);
std::unique_ptr<AudioOutput> MakeNullAudioOutput(Clock& clock);
// Writes every played sample to `file` as signed 16-bit little-endian mono at 22050 Hz: a wave
// file when the name ends in ".wav" (any letter case), raw samples without a header otherwise.
std::unique_ptr<AudioOutput> MakeDiskAudioOutput(Clock& clock, const QString& file);
// nullptr when SDL cannot open any audio device (also not the dummy driver).
std::unique_ptr<AudioOutput> MakeSdlAudioOutput(QString* error = nullptr);

}  // namespace radevir
