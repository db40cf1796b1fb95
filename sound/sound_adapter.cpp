#include "sound/sound_adapter.h"

#include <algorithm>

#include "support/program_environment.h"

namespace radevir {
namespace {

std::string FolderPath(const QString& native) {
    std::string f = ToCp1252(native);
    if (!f.empty() && f.back() != '/' && f.back() != '\\') f.push_back('/');
    return f;
}

// The folders of a lookup: the list's own folder is searched first, and a word exercise
// ("Wortübungen") keeps its two-word recordings there too; other lists use "2".
WordSoundQuery QueryFor(const Bytes& text, const Bytes& listFolder, const QString& soundsFolder,
                        const std::string& syllableFolder) {
    WordSoundQuery query;
    query.baseFolder = FolderPath(soundsFolder);
    query.listFolder = listFolder;
    query.wordFolder = "1";
    query.pairFolder = listFolder.find("Wortübungen"_b) != Bytes::npos ? listFolder : Bytes("2");
    query.syllableFolder = syllableFolder;
    query.characterFolder = "Zeichen";
    query.extension = "wav";
    query.announceCapitals = true;
    query.separators = SoundAdapter::LookupSeparators(text, " ");
    return query;
}

}  // namespace

bool PlayChain::Start(const std::string& file) {
    index_ = 0;
    endsMs_.clear();
    texts_ = wav_.PieceTexts();
    int rate = 0;
    int bits = 0;
    bool stereo = false;
    if (wav_.GetWaveInfo(file, rate, bits, stereo) < 0 || rate <= 0) return false;
    for (std::int32_t frames : wav_.PieceEnds()) {
        // rounded up, so that a piece's last frames are not cut off
        endsMs_.push_back(static_cast<int>((std::int64_t{frames} * 1000 + rate - 1) / rate));
    }
    if (endsMs_.empty()) return false;
    if (!wav_.PlayFromStartTo(NotifyWindow::Host, file, endsMs_[0])) return false;
    if (onPiece) onPiece(0, texts_.empty() ? Bytes() : texts_[0]);
    return true;
}

void PlayChain::OnNotify(DeviceId id, bool success) {
    // devices of the W=/Z= queue belong to that queue
    if (wav_.InDeviceList(id)) {
        wav_.HandleApplicationNotify(id, success);
        return;
    }
    const int count = static_cast<int>(endsMs_.size());
    if (count < index_ || count == 0) {
        wav_.Output().Close(id);
        return;
    }
    if (success && index_ < count - 1) {
        ++index_;
        if (wav_.PlayTo(id, NotifyWindow::Host, endsMs_[static_cast<size_t>(index_)])) {
            if (onPiece) {
                onPiece(index_, static_cast<size_t>(index_) < texts_.size() ? texts_[static_cast<size_t>(index_)] : Bytes());
            }
            return;
        }
    }
    index_ = count + 1;
    endsMs_.clear();
    wav_.StopAll();
    wav_.SetSpeaking(false);
}

SoundAdapter::SoundAdapter(WaveComponent& wav) : wav_(wav), chain_(wav) {
    wav_.SetNotifyHandler(NotifyWindow::Host, [this](DeviceId id, bool ok) { chain_.OnNotify(id, ok); });
}

SoundAdapter::~SoundAdapter() { wav_.SetNotifyHandler(NotifyWindow::Host, nullptr); }

bool SoundAdapter::MakeToneFile(const QString& nativePath, int frequencyHz, int arg1, int arg2) {
    return wav_.MakeToneFile(ToCp1252(nativePath), arg1, arg2, frequencyHz);
}

bool SoundAdapter::PlayFile(const QString& nativePath, int lengthMs) {
    const std::string file = ToCp1252(nativePath);
    if (lengthMs < 0) return wav_.Play(NotifyWindow::Application, file, false);
    return wav_.PlayRange(NotifyWindow::Application, file, 0, lengthMs, true);
}

void SoundAdapter::StopAll() {
    wav_.StopAll();
}

std::string SoundAdapter::LookupSeparators(const Bytes& text, std::string separators) {
    for (char c : text) {
        const size_t at = separators.find(c);
        if (at == std::string::npos) break;
        separators.erase(at, 1);
    }
    return separators;
}

bool SoundAdapter::SpeakWordSounds(const Bytes& text, const Bytes& listFolder,
                                   const QString& soundsFolder) {
    StopAll();
    chain_.Reset();
    if (text.empty()) return false;
    WordSoundQuery query = QueryFor(text, listFolder, soundsFolder, "Silben");
    query.keepText = true;
    std::string file;
    wav_.FindLineSounds(text, query, file);
    if (file.empty() || wav_.PieceEnds().empty()) return false;
    const bool started = chain_.Start(file);
    if (started) wav_.SetSpeaking(true);
    return started;
}

bool SoundAdapter::SpeakWordSoundsAndWait(const Bytes& text, const Bytes& listFolder,
                                          const QString& soundsFolder) {
    StopAll();
    chain_.Reset();
    if (text.empty()) return false;
    std::string file;
    wav_.FindWordSounds(text, QueryFor(text, listFolder, soundsFolder, "3"), file);
    if (file.empty() || wav_.PieceEnds().empty()) return false;
    const bool started = wav_.PlayQueued(NotifyWindow::Host, file, kSpokenTextPlay);
    wav_.MarkBusy();
    if (started) wav_.SetSpeaking(true);
    return started;
}

}  // namespace radevir
