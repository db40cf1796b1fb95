#include "training/program_menu.h"

#include <QDir>
#include <gtest/gtest.h>

#include "graphics/graphics.h"
#include "tests/exercises/session_fixture.h"
#include "training/menu_screen.h"

using namespace radevir;
using radevir::test::SessionFixture;

namespace {

constexpr char kNotSaved[] = "Die >Optionen< konnten nicht gespeichert werden!";

}  // namespace

// When the options cannot be saved as the program ends (a read-only or full disk), the message
// stays on the screen until a key comes or a few seconds have passed; the window closes only then.
TEST(ProgramMenu, AFailedOptionsSaveAtTheEndStaysReadable) {
    const struct {
        bool keyWhileShown;
        double minimumShownMs, maximumShownMs;
    } cases[] = {{false, kFailedSaveShownMs, kFailedSaveShownMs + 100}, {true, 0, 100}};
    for (const auto& c : cases) {
        SessionFixture f;
        Graphics graphics(f.console);
        QDir().mkpath(f.dir.Path() + "/aktuell.opt");  // a folder in the way: the save fails
        MenuServices services{f.console, graphics, f.env, f.random};
        double shownAtMs = -1;
        f.host.onPump = [&] {
            if (shownAtMs < 0 && f.Row(1).starts_with(kNotSaved)) {
                shownAtMs = f.clock.NowMs();
                if (c.keyWhileShown) f.Keys(" ");
            }
            if (f.console.WaitingForKey() && f.console.Keys().Empty()) f.console.RequestAbort();
        };
        f.Keys("\x1bj");  // Escape, "Ja": leave the program
        RunProgramMenu(services);
        ASSERT_GE(shownAtMs, 0) << "the failure line was never shown";
        const double shownMs = f.clock.NowMs() - shownAtMs;
        EXPECT_GE(shownMs, c.minimumShownMs) << c.keyWhileShown;
        EXPECT_LE(shownMs, c.maximumShownMs) << c.keyWhileShown;
        EXPECT_TRUE(f.console.Keys().Empty());  // the key that ended the wait was taken
        EXPECT_FALSE(f.console.AbortRequested());
    }
}
