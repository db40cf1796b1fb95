#include "support/clock.h"

#include <QThread>
#include <cmath>

namespace radevir {

RealClock::RealClock() { timer_.start(); }

double RealClock::NowMs() const { return static_cast<double>(timer_.nsecsElapsed()) / 1e6; }

void RealClock::SleepMs(double ms) {
    if (ms <= 0) {
        QThread::yieldCurrentThread();
        return;
    }
    QThread::usleep(static_cast<unsigned long>(std::llround(ms * 1000.0)));
}

QDateTime RealClock::CurrentDateTime() const { return QDateTime::currentDateTime(); }

VirtualClock::VirtualClock(QDateTime start) : start_(std::move(start)) {}

QDateTime VirtualClock::DefaultStart() {
    return QDateTime(QDate(2025, 3, 3), QTime(8, 0, 0));  // a Monday morning at school
}

QDateTime VirtualClock::CurrentDateTime() const {
    return start_.addMSecs(static_cast<qint64>(nowMs_));
}

}  // namespace radevir
