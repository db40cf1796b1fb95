// The automation driver: runs the program from a script of key presses, typed text, clicks,
// waits, screenshots and text dumps, delivered through the same Qt events a person produces.
#pragma once

#include <QElapsedTimer>
#include <QEvent>
#include <QImage>
#include <QObject>
#include <QString>
#include <QTimer>
#include <vector>

#include "start/script.h"

namespace radevir {

class Clock;
class HostWindow;
class VirtualClock;

class AutomationDriver : public QObject {
    Q_OBJECT

  public:
    // `virtualClock` is the program's clock when the run is on virtual time, else null.
    AutomationDriver(HostWindow& host, Clock& clock, VirtualClock* virtualClock,
                     std::vector<ScriptCommand> commands);

    void Start();
    // The program ended by itself: the dumps and screenshots that follow without further input
    // still show its last screen.
    void ProgramEnded();
    // 3 when the driver ended the run, 2 on a script failure, else `programResult`.
    int ExitCode(int programResult) const;
    // The picture of the screen: the host window with every visible dialog on top.
    QImage Screenshot() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Tick();
    int BaseIntervalMs() const;
    // One step of a tick; true when it delivered a command or ended the run.
    bool Step();
    bool PreviousInputTaken() const;
    bool ProgramWaitsForInput() const;
    void Execute(const ScriptCommand& command);
    void SendKey(const ScriptCommand& command);
    void SendKeyEvent(QWidget* target, QEvent::Type type, int qtKey,
                      Qt::KeyboardModifiers modifiers, const QString& text);
    // What the desktop does on Alt+F4: a close request to the window in front.
    void CloseFrontWindow();
    void SendMouse(QEvent::Type type, QPoint vga, bool cell);
    QWidget* InputTarget() const;
    QPoint ToClient(QPoint vga, bool cell) const;
    void Finish(int exitCode, const QString& message = {});
    // One step of ending the run: closes what is open, one window at a time, until the program
    // has unwound and the window is closed.
    void WindDown();

    HostWindow& host_;
    Clock& clock_;
    VirtualClock* virtualClock_;
    std::vector<ScriptCommand> commands_;
    size_t next_ = 0;
    double scriptTimeMs_ = 0;
    double ranOutAtMs_ = -1;  // the program's clock when the script ran out
    bool lastWentToHost_ = false;
    bool lastWentToDialog_ = false;
    bool finishing_ = false;
    bool executionQueued_ = false;
    int exitCode_ = -1;
    Qt::MouseButtons buttons_;
    QTimer timer_;
    QTimer windDownTimer_;
    QElapsedTimer sinceProgress_;
    QElapsedTimer sinceFinish_;
};

}  // namespace radevir
