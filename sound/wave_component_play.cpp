// WaveComponent's playing side: notifying and fire-and-forget plays, the one-entry range queue, the
// W=/Z= device queue, and the handling of end-of-play reports.
#include <QCoreApplication>
#include <QThread>
#include <algorithm>

#include "sound/wave_component.h"
#include "support/program_environment.h"

namespace radevir {
namespace {

// "id=file" entries of the device list, and the pending "W=file" / "Z=file" ones.
std::string EntryName(const std::string& e) {
    const size_t eq = e.find('=');
    return eq == std::string::npos ? e : e.substr(0, eq);
}
std::string EntryValue(const std::string& e) {
    const size_t eq = e.find('=');
    return eq == std::string::npos ? std::string() : e.substr(eq + 1);
}

}  // namespace

void WaveComponent::SetNotifyHandler(NotifyWindow window, std::function<void(DeviceId, bool)> handler) {
    if (window == NotifyWindow::Host) hostHandler_ = std::move(handler);
    if (window == NotifyWindow::Application) appHandler_ = std::move(handler);
}

void WaveComponent::SetMessageHandler(std::function<void(const Bytes&)> handler) {
    messageHandler_ = std::move(handler);
}

void WaveComponent::ForgetDevice(DeviceId id) {
    targets_.erase(std::remove_if(targets_.begin(), targets_.end(),
                                  [id](const auto& t) { return t.first == id; }),
                   targets_.end());
}

void WaveComponent::OnCompleted(quint32 id, bool success) {
    // Reports of devices closed in the meantime (StopAll) are stale and dropped.
    auto it = std::find_if(targets_.begin(), targets_.end(),
                           [id](const auto& t) { return t.first == id; });
    if (it == targets_.end()) return;
    const NotifyWindow window = it->second;
    ForgetDevice(id);
    Dispatch(window, id, success);
}

void WaveComponent::Dispatch(NotifyWindow window, DeviceId id, bool success) {
    if (window == NotifyWindow::Host && hostHandler_) {
        hostHandler_(id, success);
    } else if (window == NotifyWindow::Application && appHandler_) {
        appHandler_(id, success);
    } else if (window != NotifyWindow::None) {
        HandleApplicationNotify(id, success);
    }
}

void WaveComponent::HandleApplicationNotify(DeviceId id, bool success) {
    // A device of the W=/Z= queue moves that queue on; any other is closed and the range queue
    // drains one entry.
    if (InDeviceList(id)) {
        CloseAndPlayNext(id);
        return;
    }
    if (id != kFailedDevice) output_.Close(id);
    if (id == currentDevice_) currentDevice_ = kNoDevice;
    PlayNextRange();
}

bool WaveComponent::InDeviceList(DeviceId id) const {
    const std::string name = std::to_string(id);
    return std::any_of(deviceList_.begin(), deviceList_.end(),
                       [&](const std::string& e) { return EntryName(e) == name; });
}

bool WaveComponent::PlayDevice(DeviceId id, NotifyWindow window, int fromMs, int toMs, bool notify,
                      bool wait) {
    ForgetDevice(id);
    if (notify && window != NotifyWindow::None) targets_.emplace_back(id, window);
    output_.Cue(id);
    const bool ok = output_.Play(id, fromMs, toMs, notify && window != NotifyWindow::None, wait);
    if (!ok) ForgetDevice(id);
    return ok;
}

bool WaveComponent::Play(NotifyWindow window, const std::string& file, bool notify) {
    if (!notify) return output_.PlaySound(Native(file));
    if (!FileExists(file)) return false;
    const DeviceId id = output_.Open(Native(file));
    if (id == kNoDevice) return false;
    busy_ = true;
    currentDevice_ = id;
    if (!PlayDevice(id, window, 0, -1, true, false)) {
        output_.Close(id);
        currentDevice_ = kNoDevice;
        return false;
    }
    return true;
}

bool WaveComponent::PlayRange(NotifyWindow window, const std::string& file, int from, int to, bool notify) {
    if (busy_) {
        if (rangeQueue_.empty()) {
            rangeQueue_.push_back(QuoteIfNeeded(file) + "," + std::to_string(from) + "," +
                                 std::to_string(to));
        }
        return false;
    }
    if (!FileExists(file)) return false;
    const DeviceId id = output_.Open(Native(file));
    if (id == kNoDevice) return false;
    currentDevice_ = id;
    busy_ = notify;
    if (!PlayDevice(id, window, from, to, notify, false)) {
        output_.Close(id);
        if (currentDevice_ == id) currentDevice_ = kNoDevice;
        busy_ = false;
        return false;
    }
    return true;
}

bool WaveComponent::PlayNextRange() {
    busy_ = false;
    if (rangeQueue_.empty()) return false;
    const std::string entry = rangeQueue_.back();
    rangeQueue_.pop_back();
    const auto fields = SplitCommaText(entry);
    if (fields.empty()) return false;
    return PlayRange(NotifyWindow::Application, fields[0], IntOr(fields, 1, 0), IntOr(fields, 2, -1),
                     true);
}

bool WaveComponent::PlayQueued(NotifyWindow window, const std::string& file,
                               QueuedPlayOptions options) {
    if (options.queueIfBusy && !deviceList_.empty()) {
        if (!FileExists(file)) return false;
        if (options.dropPending) {
            for (size_t i = deviceList_.size(); i-- > 0;) {
                if (EntryName(deviceList_[i]) != "W") continue;
                const std::string value = EntryValue(deviceList_[i]);
                auto temp = std::find(tempFiles_.begin(), tempFiles_.end(), value);
                if (temp != tempFiles_.end()) {
                    if (!options.deleteDroppedTemp) continue;
                    DeleteFile(value);
                    tempFiles_.erase(temp);
                }
                deviceList_.erase(deviceList_.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
        if (!options.allowDuplicate &&
            std::any_of(deviceList_.begin(), deviceList_.end(),
                        [&](const std::string& e) { return EntryValue(e) == file; })) {
            return false;
        }
        deviceList_.push_back((options.wait ? "Z=" : "W=") + file);
        return false;
    }
    if (!FileExists(file)) return false;
    const DeviceId id = output_.Open(Native(file));
    if (id == kNoDevice) {
        Dispatch(window, kFailedDevice, false);
        return false;
    }
    deviceList_.push_back(std::to_string(id) + "=" + file);
    if (!PlayDevice(id, window, 0, -1, true, options.wait)) {
        CloseAndPlayNext(id);
        return false;
    }
    return true;
}

int WaveComponent::CloseAndPlayNext(DeviceId deviceId) {
    const bool closed = output_.Close(deviceId);
    ForgetDevice(deviceId);
    const std::string name = std::to_string(deviceId);
    auto it = std::find_if(deviceList_.begin(), deviceList_.end(),
                           [&](const std::string& e) { return EntryName(e) == name; });
    if (it == deviceList_.end()) return 0;
    const std::string file = EntryValue(*it);
    if (!closed) {
        const Bytes message = "Fehler beim Schließen von "_b + file;
        if (messageHandler_) messageHandler_(message);
        else qWarning("%s", FromCp1252(message).toUtf8().constData());
    }
    auto temp = std::find(tempFiles_.begin(), tempFiles_.end(), file);
    if (temp != tempFiles_.end()) {
        DeleteFile(file);
        tempFiles_.erase(temp);
    }
    deviceList_.erase(it);
    const int remaining = static_cast<int>(deviceList_.size());
    for (const char* kind : {"W", "Z"}) {
        auto next = std::find_if(deviceList_.begin(), deviceList_.end(),
                                 [&](const std::string& e) { return EntryName(e) == kind; });
        if (next == deviceList_.end()) continue;
        const std::string nextFile = EntryValue(*next);
        deviceList_.erase(next);
        PlayQueued(NotifyWindow::Application, nextFile, {.wait = kind[0] == 'Z'});
        break;
    }
    return remaining;
}

bool WaveComponent::PlayTo(DeviceId deviceId, NotifyWindow window, int position) {
    if (deviceId == kNoDevice || !output_.IsOpen(deviceId)) return false;
    return PlayDevice(deviceId, window, -1, position, true, false);
}

bool WaveComponent::PlayFromStartTo(NotifyWindow window, const std::string& file, int toMs) {
    const DeviceId id = output_.Open(Native(file));
    if (id == kNoDevice) return false;
    currentDevice_ = id;
    busy_ = true;
    output_.Cue(id);
    if (!PlayTo(id, window, toMs)) {
        output_.Close(id);
        currentDevice_ = kNoDevice;
        return false;
    }
    return true;
}

bool WaveComponent::StopAll() {
    deviceList_.clear();
    targets_.clear();
    const bool ok = output_.CloseAll();
    currentDevice_ = kNoDevice;
    DeleteTempFilesFrom(0);
    tempFiles_.clear();
    busy_ = false;
    return ok;
}

bool WaveComponent::CloseDevice(DeviceId& deviceId) {
    if (deviceId == kNoDevice) return true;
    ForgetDevice(deviceId);
    if (!output_.Close(deviceId)) {
        ProcessEvents();
        const bool second = output_.Close(deviceId);
        deviceId = kNoDevice;
        return second;
    }
    deviceId = kNoDevice;
    QThread::yieldCurrentThread();
    ProcessEvents();
    return true;
}

}  // namespace radevir
