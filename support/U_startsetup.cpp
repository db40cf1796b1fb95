#include "support/U_startsetup.h"

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

constexpr int kFormWidth = 520;
constexpr int kFormHeight = 190;
constexpr int kTrackLeft = 16;
constexpr int kTrackTop = 70;
constexpr int kTrackWidth = kFormWidth - 2 * kTrackLeft;
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

TF_startsetup::TF_startsetup(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("F_startsetup"));
    setWindowTitle(QStringLiteral("Allgemeine Programmeinstellungen"));
    setFixedSize(kFormWidth, kFormHeight);

    Label_info = new QLabel(
        QStringLiteral("Hier können Sie die Geschwindigkeit des Programms auf Ihren Rechner "
                       "einstellen."),
        this);
    QFont infoFont(QStringLiteral("Arial"));
    infoFont.setPixelSize(13);
    Label_info->setFont(infoFont);
    Label_info->setWordWrap(true);
    Label_info->setGeometry(kTrackLeft, 10, kTrackWidth, 34);

    Track_delay = new QSlider(Qt::Horizontal, this);
    Track_delay->setObjectName(QStringLiteral("Track_delay"));
    Track_delay->setRange(0, 50);
    Track_delay->setValue(kNormalPosition);
    Track_delay->setTickPosition(QSlider::TicksBelow);
    Track_delay->setTickInterval(1);
    Track_delay->setSingleStep(1);
    Track_delay->setPageStep(5);
    Track_delay->setGeometry(kTrackLeft, kTrackTop, kTrackWidth, kTrackHeight);
    Track_delay->installEventFilter(this);

    // "normal = 1" stands above the tick of position 10
    Label_normal = new QLabel(QStringLiteral("normal = 1"), this);
    Label_normal->adjustSize();
    QStyleOptionSlider option;
    option.initFrom(Track_delay);
    option.orientation = Qt::Horizontal;
    const int handle =
        Track_delay->style()->pixelMetric(QStyle::PM_SliderLength, &option, Track_delay);
    const int tickX = kTrackLeft + handle / 2 +
                      QStyle::sliderPositionFromValue(0, 50, kNormalPosition,
                                                      kTrackWidth - handle);
    Label_normal->move(tickX - Label_normal->width() / 2, kTrackTop - Label_normal->height() - 2);

    Label_faster = new QLabel(QStringLiteral("schneller"), this);
    Label_faster->adjustSize();
    Label_faster->move(kTrackLeft, kTrackTop + kTrackHeight + 4);

    Label_slower = new QLabel(QStringLiteral("langsamer"), this);
    Label_slower->adjustSize();
    Label_slower->move(kTrackLeft + kTrackWidth - Label_slower->width(),
                       kTrackTop + kTrackHeight + 4);

    Label_delay = new QLabel(QStringLiteral("1"), this);
    Label_delay->setObjectName(QStringLiteral("Label_delay"));
    Label_delay->setAlignment(Qt::AlignCenter);
    Label_delay->setGeometry(kFormWidth / 2 - 40, kTrackTop + kTrackHeight + 4, 80, 20);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setDefault(true);
    Button1->setGeometry(kFormWidth - 2 * 96 - kTrackLeft, kFormHeight - 42, 88, 28);
    Button2 = new QPushButton(QStringLiteral("Abrechen"), this);
    Button2->setGeometry(kFormWidth - 96 - kTrackLeft + 8, kFormHeight - 42, 88, 28);

    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Track_delay, &QSlider::valueChanged, this, [this] { Track_delayChange(); });
}

void TF_startsetup::FormShow() {
    Track_delay->setValue(SpeedPositionForValue(value_));
    Track_delay->setFocus();
}

void TF_startsetup::Track_delayChange() {
    value_ = SpeedValueForPosition(Track_delay->value());
    Label_delay->setText(SpeedValueText(value_));
}

bool TF_startsetup::FormKeyDown(int key) {
    if (key != Qt::Key_Escape) return false;
    reject();
    return true;
}

void TF_startsetup::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        const QRect area = s->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    FormShow();
}

void TF_startsetup::keyPressEvent(QKeyEvent* event) {
    if (FormKeyDown(event->key())) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// The form sees keys before its controls (the slider would otherwise keep some for itself).
bool TF_startsetup::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        FormKeyDown(static_cast<QKeyEvent*>(event)->key())) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace radevir
