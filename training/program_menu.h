// The training programs' main loop, entered once from the host window's idle step.
#pragma once

namespace radevir {

class Console;

// Runs the program menu until the user leaves it.
void RunProgramMenu(Console& console);

}  // namespace radevir
