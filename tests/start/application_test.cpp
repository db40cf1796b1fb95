#include "start/application.h"

#include <QEvent>
#include <QObject>
#include <gtest/gtest.h>
#include <stdexcept>

#include "console/console.h"

using namespace radevir;

TEST(EventGuard, ExceptionsFromAHandlerAreDroppedWithOneLogLine) {
    QObject receiver;
    receiver.setObjectName("menu");
    QEvent event(QEvent::KeyPress);
    const struct {
        const char* name;
        std::function<bool()> dispatch;
        bool result;
        const char* logged;  // empty: nothing logged
    } table[] = {
        {"handled", [] { return true; }, true, ""},
        {"not handled", [] { return false; }, false, ""},
        {"std exception", []() -> bool { throw std::runtime_error("disk full"); }, false,
         "radevir: dropped an error in the handling of KeyPress for QObject \"menu\": disk full"},
        {"anything else", []() -> bool { throw 42; }, false,
         "radevir: dropped an error in the handling of KeyPress for QObject \"menu\": unknown exception"},
        // the abort stays requested on the console and is raised again at the program's next
        // wait; it is the program's own control flow, not an error to report
        {"abort", []() -> bool { throw AbortRequestedError{}; }, false, ""},
    };
    for (const auto& row : table) {
        QStringList log;
        const bool result = DispatchDroppingExceptions(row.dispatch, &receiver, &event,
                                                       [&](const QString& line) { log << line; });
        EXPECT_EQ(result, row.result) << row.name;
        if (*row.logged) {
            EXPECT_EQ(log, QStringList{row.logged}) << row.name;
        } else {
            EXPECT_TRUE(log.isEmpty()) << row.name;
        }
    }
}
