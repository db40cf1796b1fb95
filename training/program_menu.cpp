#include "training/program_menu.h"

#include "console/console.h"

namespace radevir {

// The menu screens are not here yet: the loop switches to the text screen, clears it in the
// menu's blue and waits for Escape, which leaves the program.
void RunProgramMenu(Console& console) {
    console.oemConversionOff_ = true;
    console.Geometry().keepAspect = true;
    console.EnterTextMode();
    console.TextBackground(0);
    console.TextBackground(1);
    console.ClrScr();
    while (console.ReadKey() != 27) {
    }
}

}  // namespace radevir
