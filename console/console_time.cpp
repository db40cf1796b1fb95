// Waiting, sound requests, today's date and the list chooser call of the console.
#include <QDate>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cmath>

#include "console/console.h"
#include "support/error_log.h"
#include "support/rounding.h"

namespace radevir {

void Console::WaitMs(double ms) {
    if (clock_.IsVirtual()) {
        clock_.SleepMs(ms);
        return;
    }
    // asleep in the event loop, so the window stays alive and the processor idle
    const double deadline = clock_.NowMs() + ms;
    for (double left = ms; left > 0; left = deadline - clock_.NowMs()) host_.WaitForEvents(left);
}

void Console::WaitUntil(double clockMs) {
    const double ms = clockMs - clock_.NowMs();
    if (ms > 0) WaitMs(ms);
}

void Console::Delay(double ms) {
    if (ms >= 100) ms *= 2;
    if (speedScalingOn_) {
        if (ms <= 25) {
            ms *= speedFactor_;
        } else if (ms <= 90) {
            ms *= std::min(speedFactor_, 10.0);
        }
    }
    if (ms < 0.02) ms = 0.02;

    const auto waitPieces = [&](int pieces, long long pieceMs) {
        for (int i = 0; i < pieces; ++i) {
            WaitMs(static_cast<double>(pieceMs));
            if (KeyPressed()) break;
        }
    };
    const long long rounded = RoundHalfEven(ms);
    if (ms >= 1000) {
        idlePollCount_ = 0;
        waitPieces(50, rounded / 100);
        Repaint();
    } else if (ms >= 100) {
        idlePollCount_ = 0;
        waitPieces(8, rounded / 16);
        Repaint();
    } else if (ms > 10) {
        idlePollCount_ = 0;
        waitPieces(4, rounded / 8);
        Repaint();
    } else if (ms >= 1) {
        idlePollCount_ = 0;
        for (long long i = 0; i < rounded; ++i) {
            PumpMessages(false);
            WaitMs(1);
        }
        Repaint();
    } else if (subMsCounter_ == 0) {
        WaitMs(1);
    }
    if (ms <= 1) {
        ++subMsCounter_;
        if (subMsCounter_ % 2 == 0) Repaint();
        if (subMsCounter_ >= Round(2.0 / ms)) subMsCounter_ = 0;
    }
    PumpMessages(false);
}

void Console::DelayUnlessKey(double normalMs, double keyMs) {
    Delay(KeyPressed() ? keyMs : normalMs);
}

void Console::Sound(int frequencyHz, int durationMs) {
    PumpMessages(false);
    const Bytes file = env_.ProgramFolder() + "wavs\\" + std::to_string(frequencyHz) + ".wav";
    const int f = std::max(frequencyHz, 10);
    const double periodMs = 1000.0 / f;
    const double wholePeriods = std::trunc(durationMs / periodMs);
    const int lengthMs = Round(wholePeriods * 1500.0 / f);
    const QString path = env_.NativePath(file);
    if (!QFileInfo::exists(path)) sound_->MakeToneFile(path, f, 2000, 8000);
    sound_->PlayFile(path, lengthMs);
}

bool Console::PlayWaveFile(const Bytes& name) {
    bool result = false;
    if (!name.empty()) {
        QString path = env_.NativePath(name);
        const QString inFolder = env_.NativePath(env_.ProgramFolder() + name);
        if (QFileInfo::exists(inFolder)) path = inFolder;
        if (QFileInfo::exists(path)) result = sound_->PlayFile(path, -1);
    }
    PumpMessages(false);
    return result;
}

void Console::StopSounds() {
    PumpMessages(false);
    sound_->StopAll();
    Delay(1);
    PumpMessages(false);
    sound_->SetSpeaking(false);
}

void Console::SpeakWordSounds(const Bytes& text, const Bytes& category) {
    StopSounds();
    if (text.empty()) return;
    // `category` is the list's own folder; the sound side searches it first and derives the
    // word folder from it, so a teacher's recordings for the list are found.
    if (sound_->SpeakWordSounds(text, category, env_.NativePath("sounds\\")))
        sound_->SetSpeaking(true);
}

Console::Today Console::TodayParts() const {
    const QDate date = clock_.CurrentDateTime().date();
    Today today;
    today.year = date.year();
    today.month = date.month();
    today.day = date.day();
    today.weekday = date.dayOfWeek() % 7;  // Sunday is the first day name
    today.text = date.toString(QStringLiteral("dd.MM.yyyy")).toStdString();
    return today;
}

bool Console::ChooseListFile(const Bytes& path, const Bytes& editorFolder,
                             const Bytes& recentFile, bool& markDigits, int& multiplicationHelp,
                             int& startIndex, std::vector<Bytes>& files) {
    ListChooserRequest request;
    request.showMultiplicationHelp = path.find("chriftlich") != Bytes::npos;
    request.markDigits = markDigits;
    request.showCarry = multiplicationHelp > 1;
    request.showMultiplicationValue = multiplicationHelp % 2 == 1;
    mouseHandlersAttached_ = false;

    bool result = false;
    files.clear();
    try {
        SaveScreenPage(5);
        chooserOpen_ = true;
        startIndex = 0;
        const Bytes trimmed = ExcludeTrailingBackslash(path);
        const NameParts parts = ExeNameParts(trimmed);
        request.folder = parts.folder;
        request.lastName = IncludeTrailingBackslash(parts.name + parts.extension);
        request.editorFolder = editorFolder.empty() ? Bytes() : IncludeTrailingBackslash(editorFolder);
        request.recentFile = recentFile;
        ListChooserResult chosen;
        if (chooser_ != nullptr) chosen = chooser_->Choose(request);
        std::vector<Bytes> lines = chosen.lines;
        if (chosen.accepted) {
            for (size_t i = lines.size(); i-- > 0;)
                if (lines[i].empty()) lines.erase(lines.begin() + static_cast<long>(i));
            startIndex = chosen.startIndex;
        }
        chooserOpen_ = false;
        RestoreScreenPage(5, true);
        files = lines;
        result = chosen.accepted && !files.empty();
        request.markDigits = chosen.markDigits;
        request.showCarry = chosen.showCarry;
        request.showMultiplicationValue = chosen.showMultiplicationValue;
        if (chooser_ != nullptr) {
            markDigits = request.markDigits;
            multiplicationHelp =
                (request.showCarry ? 2 : 0) + (request.showMultiplicationValue ? 1 : 0);
        }
    } catch (const AbortRequestedError&) {
        chooserOpen_ = false;
        mouseHandlersAttached_ = true;
        throw;
    } catch (...) {
        LogDroppedException("choosing a list");
        chooserOpen_ = false;
        result = false;
    }
    FlushMouseMessages();
    mouseHandlersAttached_ = true;
    return result;
}

}  // namespace radevir
