#include "sound/sound_recorder.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>

#include "sound/wave_format.h"

namespace radevir {
namespace {

constexpr int kPollInterval_ms = 50;
constexpr std::size_t kMaxSamples = std::size_t{kRecordingRate_hz} * kMaxRecording_s;
// An empty wave file is its 44-byte header; anything longer holds something to listen to.
constexpr qint64 kEmptyWaveBytes = 44;

QByteArray WaveBytes(const std::vector<std::int16_t>& samples) {
    const auto header = EmptyWaveHeader(kRecordingRate_hz, false);
    QByteArray bytes(reinterpret_cast<const char*>(header.data()),
                     static_cast<qsizetype>(header.size()));
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    bytes.resize(bytes.size() + static_cast<qsizetype>(dataBytes));
    auto* p = reinterpret_cast<std::uint8_t*>(bytes.data());
    PutLe32(p + 4, 36 + dataBytes);
    PutLe32(p + 40, dataBytes);
    for (std::size_t i = 0; i < samples.size(); ++i)
        PutLe16(p + header.size() + 2 * i, static_cast<std::uint16_t>(samples[i]));
    return bytes;
}

QString SecondsText(std::size_t samples) {
    const std::size_t tenths = samples * 10 / kRecordingRate_hz;
    return QStringLiteral("%1:%2,%3")
        .arg(tenths / 600)
        .arg((tenths / 10) % 60, 2, 10, QLatin1Char('0'))
        .arg(tenths % 10);
}

}  // namespace

bool SaveRecording(const QString& wavePath, const std::vector<std::int16_t>& samples,
                   QString* error) {
    const QString folder = QFileInfo(wavePath).absolutePath();
    QSaveFile file(wavePath);
    // The line's sound folder may not exist yet; QSaveFile writes beside the file and renames.
    if (!QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    const QByteArray bytes = WaveBytes(samples);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

SoundRecorderWindow::SoundRecorderWindow(QWidget* parent, const QString& wavePath,
                                         const SoundRecorderSetup& setup)
    : QDialog(parent), wavePath_(wavePath), playback_(setup.playback) {
    setObjectName("SoundRecorder");
    setWindowTitle(QStringLiteral("Sound aufnehmen"));

    auto* name = new QLabel(
        QStringLiteral("Datei: <b>%1</b>").arg(QFileInfo(wavePath).fileName().toHtmlEscaped()));
    name->setToolTip(wavePath);
    status_ = new QLabel;
    status_->setWordWrap(true);
    status_->setMinimumHeight(status_->fontMetrics().lineSpacing() * 2);
    level_ = new QProgressBar;
    level_->setRange(0, 100);
    level_->setTextVisible(false);
    level_->setToolTip(QStringLiteral("Lautstärke"));
    elapsed_ = new QLabel(SecondsText(0));
    elapsed_->setMinimumWidth(elapsed_->fontMetrics().horizontalAdvance("00:00,0 "));
    elapsed_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    record_ = new QPushButton(QStringLiteral("Aufnehmen"));
    stop_ = new QPushButton(QStringLiteral("Stopp"));
    play_ = new QPushButton(QStringLiteral("Abspielen"));
    save_ = new QPushButton(QStringLiteral("Speichern"));
    close_ = new QPushButton(QStringLiteral("Schließen"));
    for (QPushButton* b : {record_, stop_, play_, save_, close_}) b->setAutoDefault(false);
    record_->setDefault(true);
    connect(record_, &QPushButton::clicked, this, &SoundRecorderWindow::StartRecording);
    connect(stop_, &QPushButton::clicked, this, [this] {
        if (recording_) StopRecording();
        StopPlaying();
        UpdateControls();
    });
    connect(play_, &QPushButton::clicked, this, &SoundRecorderWindow::PlayBack);
    connect(save_, &QPushButton::clicked, this, &SoundRecorderWindow::SaveAndClose);
    connect(close_, &QPushButton::clicked, this, &SoundRecorderWindow::reject);

    auto* meter = new QHBoxLayout;
    meter->addWidget(level_, 1);
    meter->addWidget(elapsed_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(record_);
    buttons->addWidget(stop_);
    buttons->addWidget(play_);
    buttons->addStretch(1);
    buttons->addWidget(save_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addWidget(status_);
    layout->addLayout(meter);
    layout->addLayout(buttons);

    // Wide enough that the longer messages take two lines at most.
    setMinimumWidth(fontMetrics().averageCharWidth() * 64);

    poll_ = new QTimer(this);
    poll_->setInterval(kPollInterval_ms);
    connect(poll_, &QTimer::timeout, this, &SoundRecorderWindow::Poll);
    if (playback_)
        connect(playback_, &AudioOutput::Completed, this, &SoundRecorderWindow::OnPlayed);

    capture_ = setup.makeCapture ? setup.makeCapture() : MakeSdlCaptureSource();
    QString reason;
    if (!capture_ || !capture_->Open(&reason)) {
        capture_.reset();
        ShowStatus(QStringLiteral("Kein Aufnahmegerät gefunden%1. Es wird nichts aufgenommen.")
                       .arg(reason.isEmpty() ? QString() : " (" + reason + ")"),
                   true);
    } else {
        ShowStatus(
            QStringLiteral("Bereit. „Aufnehmen“ startet die Aufnahme, „Stopp“ beendet sie."));
    }
    UpdateControls();
}

SoundRecorderWindow::~SoundRecorderWindow() {
    if (capture_ && recording_) capture_->Pause();
    StopPlaying();
}

QString SoundRecorderWindow::StatusText() const {
    return status_->text();
}
QString SoundRecorderWindow::ElapsedText() const {
    return elapsed_->text();
}

void SoundRecorderWindow::ShowStatus(const QString& text, bool problem) {
    status_->setText(text);
    status_->setStyleSheet(problem ? QStringLiteral("color: #b00000;") : QString());
}

void SoundRecorderWindow::UpdateControls() {
    const bool playing = playingDevice_ != kNoDevice;
    const bool oldFile = QFileInfo(wavePath_).size() > kEmptyWaveBytes;
    record_->setEnabled(capture_ && !recording_);
    level_->setEnabled(capture_ != nullptr);
    stop_->setEnabled(recording_ || playing);
    play_->setEnabled(playback_ && !recording_ && !playing && (!take_.empty() || oldFile));
    save_->setEnabled(!recording_ && !take_.empty() && !saved_);
    play_->setToolTip(playback_ ? QString() : QStringLiteral("Keine Tonausgabe"));
}

void SoundRecorderWindow::StartRecording() {
    if (!capture_ || recording_) return;
    StopPlaying();
    take_.clear();
    saved_ = false;
    capture_->Take();  // whatever came in before the button was pressed
    capture_->Start();
    recording_ = true;
    elapsed_->setText(SecondsText(0));
    ShowStatus(QStringLiteral("Aufnahme läuft … „Stopp“ beendet sie."));
    poll_->start();
    UpdateControls();
}

bool SoundRecorderWindow::TakeCaptured() {
    const std::vector<std::int16_t> fresh = capture_->Take();
    const std::size_t n = std::min(kMaxSamples - take_.size(), fresh.size());
    int peak = 0;
    for (std::size_t i = 0; i < n; ++i) peak = std::max(peak, std::abs(int{fresh[i]}));
    take_.insert(take_.end(), fresh.begin(), fresh.begin() + static_cast<std::ptrdiff_t>(n));
    level_->setValue(peak * 100 / 32768);
    elapsed_->setText(SecondsText(take_.size()));
    return take_.size() >= kMaxSamples;
}

void SoundRecorderWindow::Poll() {
    if (!capture_) return;
    if (!recording_) {
        capture_->Take();  // nothing is kept between takes
        return;
    }
    if (TakeCaptured()) StopRecording();
}

void SoundRecorderWindow::StopRecording() {
    if (!recording_) return;
    capture_->Pause();
    const bool full = TakeCaptured();  // the samples that arrived before the pause
    recording_ = false;
    poll_->stop();
    level_->setValue(0);
    if (take_.empty()) {
        ShowStatus(QStringLiteral("Es wurde nichts aufgenommen."), true);
    } else {
        const QString seconds =
            QString::number(static_cast<double>(take_.size()) / kRecordingRate_hz, 'f', 1)
                .replace('.', ',');
        ShowStatus((full ? QStringLiteral("Die Aufnahme wurde nach %1 Minuten beendet. ")
                               .arg(kMaxRecording_s / 60)
                         : QStringLiteral("Aufnahme von %1 s. ").arg(seconds)) +
                   QStringLiteral("Anhören mit „Abspielen“, behalten mit „Speichern“."));
    }
    UpdateControls();
}

void SoundRecorderWindow::PlayBack() {
    if (!playback_ || recording_) return;
    StopPlaying();
    QString path = wavePath_;
    if (!take_.empty()) {
        // The output plays files; the take goes to one of its own until the window closes.
        playFile_ = std::make_unique<QTemporaryFile>(QDir::temp().filePath("radevir-XXXXXX.wav"));
        const QByteArray bytes = WaveBytes(take_);
        if (!playFile_->open() || playFile_->write(bytes) != bytes.size() || !playFile_->flush()) {
            ShowStatus(QStringLiteral("Die Aufnahme kann nicht abgespielt werden."), true);
            return;
        }
        path = playFile_->fileName();
    }
    const DeviceId id = playback_->Open(path);
    if (id == kNoDevice || !playback_->Play(id, 0, -1, true, false)) {
        if (id != kNoDevice) playback_->Close(id);
        ShowStatus(QStringLiteral("Die Aufnahme kann nicht abgespielt werden."), true);
        return;
    }
    playingDevice_ = id;
    UpdateControls();
}

void SoundRecorderWindow::OnPlayed(quint32 device, bool success) {
    static_cast<void>(success);
    if (device != playingDevice_) return;
    StopPlaying();
    UpdateControls();
}

void SoundRecorderWindow::StopPlaying() {
    if (playingDevice_ == kNoDevice) return;
    if (playback_) playback_->Close(playingDevice_);
    playingDevice_ = kNoDevice;
}

bool SoundRecorderWindow::SaveAndClose() {
    if (recording_) StopRecording();
    if (take_.empty()) return false;
    StopPlaying();
    QString error;
    if (!SaveRecording(wavePath_, take_, &error)) {
        ShowStatus(QStringLiteral("Die Aufnahme konnte nicht gespeichert werden (%1). Die alte "
                                  "Datei bleibt, wie sie war.")
                       .arg(error),
                   true);
        UpdateControls();
        return false;
    }
    saved_ = true;
    accept();
    return true;
}

void SoundRecorderWindow::reject() {
    if (recording_) StopRecording();
    if (!take_.empty() && !saved_) {
        const auto answer = QMessageBox::question(
            this, windowTitle(),
            QStringLiteral("Die Aufnahme ist nicht gespeichert. Fenster trotzdem schließen?"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes) return;
    }
    StopPlaying();
    QDialog::reject();
}

bool RunSoundRecorder(QWidget* parent, const QString& wavePath, const QPoint& where,
                      const SoundRecorderSetup& setup) {
    SoundRecorderWindow window(parent, wavePath, setup);
    window.adjustSize();
    const QScreen* screen = QGuiApplication::screenAt(where);
    if (!screen) screen = QGuiApplication::primaryScreen();
    QPoint at = where;
    if (screen) {
        const QRect area = screen->availableGeometry();
        const QSize size = window.frameGeometry().size();
        at.setX(
            std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - size.width())));
        at.setY(
            std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - size.height())));
    }
    window.move(at);
    return window.exec() == QDialog::Accepted;
}

}  // namespace radevir
