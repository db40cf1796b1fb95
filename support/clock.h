// The one clock every wait, stopwatch and date reads. The real clock sleeps; the virtual clock
// (scripted runs) moves forward instantly, so a run is fast and repeatable.
#pragma once

#include <QDateTime>
#include <QElapsedTimer>

namespace radevir {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since the clock started.
    virtual double NowMs() const = 0;
    virtual void SleepMs(double ms) = 0;
    virtual QDateTime CurrentDateTime() const = 0;
    virtual bool IsVirtual() const = 0;
};

class RealClock final : public Clock {
public:
    RealClock();
    double NowMs() const override;
    void SleepMs(double ms) override;
    QDateTime CurrentDateTime() const override;
    bool IsVirtual() const override { return false; }

private:
    QElapsedTimer timer_;
};

class VirtualClock final : public Clock {
public:
    // Dates start at a fixed moment so that anything showing today's date is repeatable.
    explicit VirtualClock(QDateTime start = DefaultStart());
    double NowMs() const override { return nowMs_; }
    void SleepMs(double ms) override {
        if (ms > 0) nowMs_ += ms;
    }
    QDateTime CurrentDateTime() const override;
    bool IsVirtual() const override { return true; }
    void AdvanceTo(double ms) {
        if (ms > nowMs_) nowMs_ = ms;
    }
    static QDateTime DefaultStart();

private:
    double nowMs_ = 0;
    QDateTime start_;
};

}  // namespace radevir
