// WaveComponent's life: search folders, temporary folder and files, joining, tones.
#include "sound/wave_component.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "sound/wave_decode.h"
#include "support/clock.h"
#include "support/program_environment.h"
#include "support/rounding.h"
#include "support/text_helpers.h"

namespace radevir {
namespace {

bool LessNoCase(const std::string& a, const std::string& b) { return LowerAscii(a) < LowerAscii(b); }

// Adds to a sorted list, ignoring duplicates (compared without regard to case).
void AddSorted(std::vector<std::string>& list, const std::string& s) {
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

// The layout of a wave file read from its header alone (the chunks before the sample data),
// and the file's size.
WaveLayout HeaderLayout(const QString& nativePath, std::int64_t& fileSize) {
    fileSize = 0;
    QFile f(nativePath);
    if (!f.open(QIODevice::ReadOnly)) return WaveLayout{};
    fileSize = f.size();
    const QByteArray head = f.read(kMaxHeaderBytes + 8);
    MemoryWaveIo io(std::vector<std::uint8_t>(head.begin(), head.end()));
    return ParseWave(io);
}

}  // namespace

WaveComponent::WaveComponent(const ProgramEnvironment& env, AudioOutput& output, Clock& clock)
    : env_(env), output_(output), clock_(clock) {
    QFile f(Native("intern\\suchpfad.txt"));
    if (f.open(QIODevice::ReadOnly)) {
        while (!f.atEnd()) {
            QByteArray line = f.readLine();
            while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
            AddSorted(searchFolders_, line.toStdString());
        }
    }
    AddSorted(searchFolders_, env_.ProgramFolder());
    AddSorted(searchFolders_, env_.ProgramFolder() + "Sounds\\");
    connect(&output_, &AudioOutput::Completed, this, &WaveComponent::OnCompleted);
}

WaveComponent::~WaveComponent() {
    StopAll();
    output_.StopSound();
    DeleteTempFilesFrom(0);
}

void WaveComponent::DeleteTempFilesFrom(size_t keep) {
    // newest first; an entry whose file is gone stays only if it could not be deleted
    for (size_t i = tempFiles_.size(); i-- > keep;) {
        if (DeleteFile(tempFiles_[i]) || !FileExists(tempFiles_[i])) {
            tempFiles_.erase(tempFiles_.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

std::string WaveComponent::FindInSearchFolders(const std::string& name) const {
    for (const std::string& folder : searchFolders_) {
        const std::string candidate = folder + name;
        if (FileExists(candidate)) return candidate;
    }
    return {};
}

void WaveComponent::ProcessEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

bool WaveComponent::JoinWaves(const std::string& outFile, const std::vector<std::string>& lines,
                     bool sampleUnits, int trailingSilence) {
    if (FileExists(outFile) && !DeleteFile(outFile)) return false;
    if (QFileInfo(Native(outFile)).isDir()) return false;
    if (sampleUnits) pieceEnds_.clear();
    joinProblems_.clear();
    const std::string workFolder = FolderOf(outFile);
    const size_t keep = tempFiles_.size();
    // The numbers come from sound tables and list files anyone can edit: negative silences
    // mean nothing, and a silence of hours would fill the disk.
    trailingSilence = std::min(trailingSilence, kMaxJoinSilence_ms);
    for (size_t index = 0; index < lines.size(); ++index) {
        // Names are matched without regard to case anyway, so the line keeps its spelling
        // (a lower-cased absolute path would cost a folder scan per component).
        const std::string line = QuoteWaveName(lines[index]);
        const JoinLine j = ParseJoinLine(line);
        std::string file = j.file;
        if (!FileExists(file)) file = FindInSearchFolders(j.file);
        if (!FileExists(file)) {
            joinProblems_.push_back({j.file, PieceProblem::Missing, 0});
            continue;
        }
        if (!CheckJoinPiece(j.file, file)) continue;
        const int cutStart = std::max(j.start, 0);
        int cutEnd = j.end;
        const int volumePerMille = std::clamp(j.volume_percent, 0, kMaxJoinVolume_percent) * 10;
        int gapBefore = std::min(j.gapBefore, kMaxJoinSilence_ms);
        if (trailingSilence == 0) trailingSilence = std::clamp(j.silenceAfter, 0, kMaxJoinSilence_ms);
        if (index == 0 && gapBefore < 0) gapBefore = 0;
        if (cutEnd < cutStart) cutEnd = -1;
        if (cutStart > 0 || cutEnd > 0 || (volumePerMille > 0 && volumePerMille != 1000)) {
            const std::string copy = workFolder + "_laut_" + FileNameOf(file);
            if (CutAndScaleWave(file, copy, !sampleUnits, volumePerMille, cutEnd == 0 ? -1 : cutEnd,
                                cutStart)) {
                file = copy;
                tempFiles_.push_back(copy);
            }
        }
        // Silence first gives a new joined file the plain 22050 Hz header; the piece is then
        // brought into whatever format the joined file has.
        if (gapBefore > 0) AppendSilence(outFile, gapBefore, sampleUnits, -1);
        file = InJoinFormat(outFile, j.file, file);
        if (file.empty()) continue;
        if (gapBefore < 0) {
            OverlapWave(outFile, file, sampleUnits, gapBefore);
        } else {
            AppendWave(outFile, file, -1);
        }
        if (trailingSilence > 0) AppendSilence(outFile, trailingSilence, sampleUnits, -1);
        if (sampleUnits) pieceEnds_.push_back(FrameCount(outFile));
    }
    DeleteTempFilesFrom(keep);
    return true;
}

bool WaveComponent::CheckJoinPiece(const std::string& lineFile, const std::string& file) {
    std::int64_t size = 0;
    const WaveLayout w = HeaderLayout(Native(file), size);
    auto note = [&](PieceProblem problem, std::int64_t value) {
        joinProblems_.push_back({lineFile, problem, value});
    };
    if (!w.valid) {
        note(PieceProblem::NotAWave, 0);
        return false;
    }
    if (!w.SaneRate()) {
        note(PieceProblem::BadRate, w.samplesPerSecond);
        return false;
    }
    if (!w.SaneChannels()) {
        note(PieceProblem::BadChannels, w.channels);
        return false;
    }
    const std::int64_t available = w.AvailableData(size);
    if (available == 0) {
        note(PieceProblem::Empty, 0);
    } else if (available < static_cast<std::int64_t>(w.dataSize)) {
        note(PieceProblem::Truncated, available);
    }
    return true;
}

std::string WaveComponent::InJoinFormat(const std::string& outFile, const std::string& lineFile,
                               const std::string& file) {
    auto layoutOf = [this](const std::string& path) {
        std::int64_t size = 0;
        return HeaderLayout(Native(path), size);
    };
    auto fail = [&](PieceProblem problem, std::int64_t value) {
        joinProblems_.push_back({lineFile, problem, value});
        return std::string();
    };
    const WaveLayout piece = layoutOf(file);
    WaveLayout out = layoutOf(outFile);
    // The first piece gives the joined file its header, as it always did, when its bytes can
    // be joined as they are: plain PCM or Microsoft ADPCM, mono or stereo.
    const bool headerForJoin = (piece.PlainPcm() || piece.formatTag == kFormatMsAdpcm) &&
                               piece.channels <= 2;
    if (!out.valid && headerForJoin) return file;
    if (out.valid && out.SameFormat(piece)) return file;
    DecodedWave decoded;
    if (!DecodeWaveFile(Native(file), decoded)) {
        return fail(PieceProblem::UnsupportedFormat, piece.formatTag);
    }
    if (!out.valid) {
        // Any other first piece starts a plain 16-bit file of its rate that it is converted to.
        if (!CreateEmptyWave(outFile, decoded.rate, decoded.channels >= 2)) {
            return fail(PieceProblem::NotConvertible, 0);
        }
        out = layoutOf(outFile);
    }
    DecodedWave converted;
    if (!out.PlainPcm() || out.channels > 2 ||
        !ConvertWave(decoded, static_cast<int>(out.samplesPerSecond), out.channels, converted)) {
        return fail(PieceProblem::NotConvertible, 0);
    }
    const size_t bytesPerSample = out.bitsPerSample / 8;
    // WriteWaveData keeps whole 4-byte steps: the last frame is padded with silence
    const size_t length = (converted.samples.size() * bytesPerSample + 3) / 4 * 4;
    std::vector<std::uint8_t> bytes(length, bytesPerSample == 2 ? 0 : 128);
    for (size_t i = 0; i < converted.samples.size(); ++i) {
        const std::int16_t s = converted.samples[i];
        if (bytesPerSample == 2) {
            PutLe16(bytes.data() + 2 * i, static_cast<std::uint16_t>(s));
        } else {
            bytes[i] = static_cast<std::uint8_t>((s >> 8) + 128);
        }
    }
    const std::string copy = FolderOf(outFile) + "_format_" + FileNameOf(file);
    if (!CopyWaveHeader(copy, outFile)) return fail(PieceProblem::NotConvertible, 0);
    tempFiles_.push_back(copy);
    if (!WriteWaveData(copy, bytes.data(), static_cast<std::int64_t>(length), 0)) {
        return fail(PieceProblem::NotConvertible, 0);
    }
    return copy;
}

Bytes DescribeJoinProblem(const JoinProblem& p) {
    const Bytes name = "\"" + p.file + "\"";
    const Bytes value = std::to_string(p.value);
    switch (p.problem) {
    case PieceProblem::Missing: return "Aufnahme " + name + " fehlt"_b;
    case PieceProblem::NotAWave: return "Aufnahme " + name + " ist keine lesbare Wave-Datei"_b;
    case PieceProblem::BadRate:
        return "Aufnahme " + name + " hat die Abtastrate " + value + " Hz"_b;
    case PieceProblem::BadChannels: return "Aufnahme " + name + " hat " + value + " Kanäle"_b;
    case PieceProblem::UnsupportedFormat:
        return "Aufnahme " + name + " hat ein Format, das nicht gelesen werden kann (" + value +
               ")"_b;
    case PieceProblem::NotConvertible:
        return "Aufnahme " + name + " lässt sich nicht in das Format des Satzes umwandeln"_b;
    case PieceProblem::Truncated:
        return "Aufnahme " + name + " ist abgeschnitten (nur " + value + " Bytes Ton)"_b;
    case PieceProblem::Empty: return "Aufnahme " + name + " enthält keinen Ton"_b;
    }
    return "Aufnahme " + name;
}

void WaveComponent::SetupTempFolder() {
    if (!useTempFolder_) return;
    const QString inProgram = Native("tempwav");
    if (QFileInfo(inProgram).isDir() || QDir().mkpath(inProgram)) {
        tempFolder_ = env_.ProgramFolder() + "tempwav\\";
        noTempFolder_ = false;
        return;
    }
    // A read-only program folder: a folder of the user's own instead.
    const QString fallback =
        QStandardPaths::writableLocation(QStandardPaths::TempLocation) + "/radevir-tempwav";
    if (QFileInfo(fallback).isDir() || QDir().mkpath(fallback)) {
        tempFolder_ = ToCp1252(fallback) + "/";
        noTempFolder_ = false;
        return;
    }
    noTempFolder_ = true;
}

void WaveComponent::JoinToTemp(const std::vector<std::string>& lines, int trailingSilence,
                      std::string& fileName) {
    fileName.clear();
    if (useTempFolder_ && (tempFolder_.empty() || !QFileInfo(Native(tempFolder_)).isDir())) {
        SetupTempFolder();
    }
    if (noTempFolder_) return;
    for (int n = 0; n <= 999; ++n) {
        const std::string name = tempFolder_ + "_new_" + std::to_string(n) + ".wav";
        const QFileInfo info(Native(name));
        if (info.exists() && !(info.isFile() && QFile::remove(info.filePath()))) continue;
        if (JoinWaves(name, lines, sampleUnits_, trailingSilence) && FileExists(name)) {
            fileName = name;
            if (std::find(tempFiles_.begin(), tempFiles_.end(), name) == tempFiles_.end()) {
                tempFiles_.push_back(name);
            }
        }
        return;
    }
}

bool WaveComponent::MakeToneFile(const std::string& file, int lengthMs, int amplitude, int frequency) {
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
    tempFiles_.push_back(file);
    return ok;
}

void WaveComponent::ToneSynth(std::int16_t* buffer, std::int64_t firstIndex, int amplitude, int frequency,
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
