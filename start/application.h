// The program's application object: opens the display with a clear message when there is none,
// speaks German in Qt's own dialogs too, and keeps an exception that escapes an event handler
// from ending the program.
#pragma once

#include <QApplication>
#include <QString>
#include <functional>
#include <memory>

namespace radevir {

class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Runs one event dispatch. An exception escaping it is dropped: the event counts as not
// handled and `log` gets one line naming the event, the receiver and the error. The abort of
// a running training program is not an error: the console keeps it requested, so the
// program's next wait for a key raises it again where the program loop catches it.
bool DispatchDroppingExceptions(const std::function<bool()>& dispatch, const QObject* receiver,
                                const QEvent* event, const std::function<void(const QString&)>& log);

// Creates the application on the display, with Qt's own texts in German. When Qt cannot open
// one it prints one line to stderr and ends the process with exit code 2 (instead of Qt's abort
// with a core dump); Qt's own messages of that attempt are kept back then.
std::unique_ptr<GuardedApplication> OpenApplicationOnDisplay(int& argc, char** argv);

}  // namespace radevir
