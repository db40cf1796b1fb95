#include "support/speed_dialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <cmath>

#include "support/rounding.h"
#include "support/text_helpers.h"

namespace radevir {
namespace {

constexpr int kDialogWidth = 520;
constexpr int kDialogHeight = 190;
constexpr int kTrackLeft = 16;
constexpr int kTrackTop = 70;
constexpr int kTrackWidth = kDialogWidth - 2 * kTrackLeft;
constexpr int kTrackHeight = 32;
constexpr int kNormalPosition = 10;

}  // namespace

QString SpeedValueText(double value) {
    QString text = QString::fromLatin1(FixedToText(value, 2));
    text.replace('.', ',');
    return text;
}

double SpeedValueForPosition(int position) {
    if (position <= 20) return position / 10.0;
    if (position <= 28) return position - 18;
    return (position - 28) * 20.0;
}

int SpeedPositionForValue(double value) {
    // the slider keeps its position within its range; an unreadable factor shows as normal
    if (std::isnan(value)) return kNormalPosition;
    if (value <= 2) return value <= 0 ? 0 : Round(value * 10);
    if (value <= 10) return Round(value) + 18;
    return value >= 440 ? 50 : Round(value / 20 + 28);
}

SpeedDialog::SpeedDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("F_startsetup"));
    setWindowTitle(QStringLiteral("Allgemeine Programmeinstellungen"));
    setFixedSize(kDialogWidth, kDialogHeight);

    infoLabel = new QLabel(
        QStringLiteral("Hier können Sie die Geschwindigkeit des Programms auf Ihren Rechner "
                       "einstellen."),
        this);
    QFont infoFont(QStringLiteral("Arial"));
    infoFont.setPixelSize(13);
    infoLabel->setFont(infoFont);
    infoLabel->setWordWrap(true);
    infoLabel->setGeometry(kTrackLeft, 10, kTrackWidth, 34);

    speedSlider = new QSlider(Qt::Horizontal, this);
    speedSlider->setObjectName(QStringLiteral("Track_delay"));
    speedSlider->setRange(0, 50);
    speedSlider->setValue(kNormalPosition);
    speedSlider->setTickPosition(QSlider::TicksBelow);
    speedSlider->setTickInterval(1);
    speedSlider->setSingleStep(1);
    speedSlider->setPageStep(5);
    speedSlider->setGeometry(kTrackLeft, kTrackTop, kTrackWidth, kTrackHeight);
    speedSlider->installEventFilter(this);

    // "normal = 1" stands above the tick of position 10
    normalLabel = new QLabel(QStringLiteral("normal = 1"), this);
    normalLabel->adjustSize();
    QStyleOptionSlider option;
    option.initFrom(speedSlider);
    option.orientation = Qt::Horizontal;
    const int handle =
        speedSlider->style()->pixelMetric(QStyle::PM_SliderLength, &option, speedSlider);
    const int tickX = kTrackLeft + handle / 2 +
                      QStyle::sliderPositionFromValue(0, 50, kNormalPosition,
                                                      kTrackWidth - handle);
    normalLabel->move(tickX - normalLabel->width() / 2, kTrackTop - normalLabel->height() - 2);

    fasterLabel = new QLabel(QStringLiteral("schneller"), this);
    fasterLabel->adjustSize();
    fasterLabel->move(kTrackLeft, kTrackTop + kTrackHeight + 4);

    slowerLabel = new QLabel(QStringLiteral("langsamer"), this);
    slowerLabel->adjustSize();
    slowerLabel->move(kTrackLeft + kTrackWidth - slowerLabel->width(),
                       kTrackTop + kTrackHeight + 4);

    valueLabel = new QLabel(QStringLiteral("1"), this);
    valueLabel->setObjectName(QStringLiteral("Label_delay"));
    valueLabel->setAlignment(Qt::AlignCenter);
    valueLabel->setGeometry(kDialogWidth / 2 - 40, kTrackTop + kTrackHeight + 4, 80, 20);

    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setDefault(true);
    okButton->setGeometry(kDialogWidth - 2 * 96 - kTrackLeft, kDialogHeight - 42, 88, 28);
    cancelButton = new QPushButton(QStringLiteral("Abrechen"), this);
    cancelButton->setGeometry(kDialogWidth - 96 - kTrackLeft + 8, kDialogHeight - 42, 88, 28);

    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(speedSlider, &QSlider::valueChanged, this, [this] { TakeSliderPosition(); });
}

void SpeedDialog::ShowValueOnSlider() {
    speedSlider->setValue(SpeedPositionForValue(value_));
    speedSlider->setFocus();
}

void SpeedDialog::TakeSliderPosition() {
    value_ = SpeedValueForPosition(speedSlider->value());
    valueLabel->setText(SpeedValueText(value_));
}

bool SpeedDialog::HandleKey(int qtKey) {
    if (qtKey != Qt::Key_Escape) return false;
    reject();
    return true;
}

void SpeedDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        const QRect area = s->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    ShowValueOnSlider();
}

void SpeedDialog::keyPressEvent(QKeyEvent* event) {
    if (HandleKey(event->key())) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// The dialog sees keys before its controls (the slider would otherwise keep some of them for itself).
bool SpeedDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        HandleKey(static_cast<QKeyEvent*>(event)->key())) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace radevir
