// The training programs' main loop: the program selection menu, entered once from the host
// window's idle step; it returns when the user has confirmed leaving.
#pragma once

namespace radevir {

class Console;
class Graphics;
class ProgramEnvironment;
class Random;
class SpeechPort;
struct Session;

struct MenuServices {
    Console& console;
    Graphics& graphics;
    const ProgramEnvironment& env;
    Random& random;
    SpeechPort* speech = nullptr;  // dictation speaks through it
};

// Runs the program menu until the user leaves it.
void RunProgramMenu(MenuServices& services);

// Runs the program selected by session.programCode on a chosen task list.
void RunTrainingProgram(Session& session);

}  // namespace radevir
