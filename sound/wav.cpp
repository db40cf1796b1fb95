// TWAV's life: search folders, temporary folder and files, joining, tones.
#include "sound/wav.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "support/clock.h"
#include "support/program_environment.h"
#include "support/rounding.h"

namespace radevir {
namespace {

bool LessNoCase(const std::string& a, const std::string& b) { return LowerAscii(a) < LowerAscii(b); }

// Adds to a sorted list, ignoring duplicates (compared without regard to case).
void AddSorted(twavhistory& list, const std::string& s) {
    auto it = std::lower_bound(list.begin(), list.end(), s, LessNoCase);
    if (it != list.end() && LowerAscii(*it) == LowerAscii(s)) return;
    list.insert(it, s);
}

std::string FileNameOf(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string FolderOf(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

}  // namespace

TWAV::TWAV(const ProgramEnvironment& env, AudioOutput& output, Clock& clock)
    : env_(env), output_(output), clock_(clock) {
    QFile f(Native("intern\\suchpfad.txt"));
    if (f.open(QIODevice::ReadOnly)) {
        while (!f.atEnd()) {
            QByteArray line = f.readLine();
            while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
            AddSorted(SearchFolders, line.toStdString());
        }
    }
    AddSorted(SearchFolders, env_.ProgramFolder());
    AddSorted(SearchFolders, env_.ProgramFolder() + "Sounds\\");
    connect(&output_, &AudioOutput::Completed, this, &TWAV::OnCompleted);
}

TWAV::~TWAV() {
    StopAll();
    output_.StopSound();
    DeleteTempFilesFrom(0);
}

void TWAV::DeleteTempFilesFrom(size_t keep) {
    // newest first; an entry whose file is gone stays only if it could not be deleted
    for (size_t i = TempFiles.size(); i-- > keep;) {
        if (DeleteFile(TempFiles[i]) || !FileExists(TempFiles[i])) {
            TempFiles.erase(TempFiles.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

std::string TWAV::FindInSearchFolders(const std::string& name) const {
    for (const std::string& folder : SearchFolders) {
        const std::string candidate = folder + name;
        if (FileExists(candidate)) return candidate;
    }
    return {};
}

void TWAV::ProcessEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

bool TWAV::JoinWaves(const std::string& outFile, const std::vector<std::string>& lines,
                     bool sampleUnits, int trailingSilence) {
    if (FileExists(outFile) && !DeleteFile(outFile)) return false;
    if (QFileInfo(Native(outFile)).isDir()) return false;
    if (sampleUnits) PieceEnds.clear();
    const std::string workFolder = FolderOf(outFile);
    const size_t keep = TempFiles.size();
    for (size_t index = 0; index < lines.size(); ++index) {
        // Names are matched without regard to case anyway, so the line keeps its spelling
        // (a lower-cased absolute path would cost a folder scan per component).
        const std::string line = QuoteWaveName(lines[index]);
        const JoinLine j = ParseJoinLine(line);
        std::string file = j.file;
        if (!FileExists(file)) file = FindInSearchFolders(j.file);
        if (!FileExists(file)) continue;
        int von = j.von;
        int bis = j.bis;
        const int volume = j.volumen * 10;
        int anfang = j.anfang;
        if (trailingSilence == 0) trailingSilence = j.stilledanach;
        if (index == 0 && anfang < 0) anfang = 0;
        if (bis < von) bis = -1;
        if (von > 0 || bis > 0 || (volume > 0 && volume != 1000)) {
            const std::string copy = workFolder + "_laut_" + FileNameOf(file);
            if (CutAndScaleWave(file, copy, !sampleUnits, volume, bis == 0 ? -1 : bis, von)) {
                file = copy;
                TempFiles.push_back(copy);
            }
        }
        if (anfang == 0) {
            AppendWave(outFile, file, -1);
        } else if (anfang < 0) {
            OverlapWave(outFile, file, sampleUnits, anfang);
        } else {
            AppendSilence(outFile, anfang, sampleUnits, -1);
            AppendWave(outFile, file, -1);
        }
        if (trailingSilence > 0) AppendSilence(outFile, trailingSilence, sampleUnits, -1);
        if (sampleUnits) PieceEnds.push_back(FrameCount(outFile));
    }
    DeleteTempFilesFrom(keep);
    return true;
}

void TWAV::SetupTempFolder() {
    if (!UseTempFolder) return;
    const QString inProgram = Native("tempwav");
    if (QFileInfo(inProgram).isDir() || QDir().mkpath(inProgram)) {
        TempFolder = env_.ProgramFolder() + "tempwav\\";
        NoTempFolder = false;
        return;
    }
    // A read-only program folder: a folder of the user's own instead.
    const QString fallback =
        QStandardPaths::writableLocation(QStandardPaths::TempLocation) + "/radevir-tempwav";
    if (QFileInfo(fallback).isDir() || QDir().mkpath(fallback)) {
        TempFolder = ToCp1252(fallback) + "/";
        NoTempFolder = false;
        return;
    }
    NoTempFolder = true;
}

void TWAV::JoinToTemp(const std::vector<std::string>& lines, int trailingSilence,
                      std::string& fileName) {
    fileName.clear();
    if (UseTempFolder && (TempFolder.empty() || !QFileInfo(Native(TempFolder)).isDir())) {
        SetupTempFolder();
    }
    if (NoTempFolder) return;
    for (int n = 0; n <= 999; ++n) {
        const std::string name = TempFolder + "_new_" + std::to_string(n) + ".wav";
        const QFileInfo info(Native(name));
        if (info.exists() && !(info.isFile() && QFile::remove(info.filePath()))) continue;
        if (JoinWaves(name, lines, SampleUnits, trailingSilence) && FileExists(name)) {
            fileName = name;
            if (std::find(TempFiles.begin(), TempFiles.end(), name) == TempFiles.end()) {
                TempFiles.push_back(name);
            }
        }
        return;
    }
}

bool TWAV::MakeToneFile(const std::string& file, int lengthMs, int amplitude, int frequency) {
    if (frequency <= 0 || lengthMs < 0) return false;
    const std::int64_t frames = std::int64_t{lengthMs} * 22050 / 1000;
    std::vector<std::int16_t> samples(static_cast<size_t>(frames));
    ToneSynth(samples.data(), 0, amplitude, frequency, frames);
    std::vector<std::uint8_t> bytes(static_cast<size_t>(frames) * 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        PutLe16(bytes.data() + 2 * i, static_cast<std::uint16_t>(samples[i]));
    }
    if (!CreateEmptyWave(file, 22050, false)) return false;
    const bool ok = WriteWaveData(file, bytes.data(), frames * 2, 0);
    TempFiles.push_back(file);
    return ok;
}

void TWAV::ToneSynth(std::int16_t* buffer, std::int64_t firstIndex, int amplitude, int frequency,
                     std::int64_t count) {
    if (frequency <= 0 || count <= 0) {
        for (std::int64_t i = 0; i < count; ++i) buffer[i] = 0;
        return;
    }
    double amps[6];
    double divisor = 2;
    for (double& a : amps) {
        a = amplitude / divisor;
        divisor *= 1.5;
    }
    const int base = 2 * 22050 / frequency;
    int periods[6] = {};
    int used = 0;
    for (int k = 0; k < 6; ++k) {
        periods[k] = base / (k + 1);
        used = k + 1;
        if (periods[k] < 1) {
            periods[k] = 1;
            break;
        }
    }
    for (std::int64_t n = 0; n < count; ++n) {
        const std::int64_t i = firstIndex + n;
        std::int16_t sum = 0;
        for (int k = 0; k < used; ++k) {
            if (k == 3 || k == 4) continue;
            const double phase = static_cast<double>(i % periods[k]) / periods[k];
            const auto v = RoundHalfEven(std::sin(2 * std::numbers::pi * phase) * amps[k]);
            sum = static_cast<std::int16_t>(sum + v);
        }
        buffer[n] = sum;
    }
}

}  // namespace radevir
