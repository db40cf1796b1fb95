// The shared state of the training programs: it lives from the start of the program menu to its
// end and is passed by reference to every program (there are no globals).
#pragma once

#include <array>
#include <functional>

#include "console/console.h"
#include "exercises/program_options.h"
#include "exercises/task_model.h"
#include "support/codepage.h"
#include "support/program_environment.h"
#include "support/random.h"

namespace radevir {

struct Session {
    static constexpr int kProtocolLines = 101;

    Session(Console& c, const ProgramEnvironment& e, Random& r) : console(c), env(e), random(r) {}

    Console& console;
    const ProgramEnvironment& env;
    Random& random;

    ProgramOptions options;
    TaskList tasks;
    Bytes taskFilePath;           // path of the current task file
    Bytes taskFolder = "Aufgaben";  // root of the task folders
    Bytes currentText;            // the task text currently worked on ("" between runs)

    int programCode = 2;          // 1 MemoriseOnly .. 9 GrabGame, 12 LoadOptionsCode, 13
    bool computeMode = false;
    bool readingMode = false;
    int tachistoscopeStyle = 1;   // 1..5
    int menuKey = 0;              // the key variable shared by the menu and the programs
    int optionsDirty = 1;         // 1: aktuell.opt is written when the program ends
    int optionsMenuLine = 1;      // current line of the options menu, kept between calls

    // Teacher protocol, collected over every run until the program ends.
    std::array<Bytes, kProtocolLines> protocolLines{};
    int protocolCount = 0;
    Bytes practisedFiles;         // "/"-joined task file names
    Console::Today today;

    // File selection screen and yes/no question.
    int selectionMode = 0;        // 1 new name, 2 choose, 10 an option file was loaded
    Bytes chosenPath;
    int yesNoAnswer = 0;          // 0 yes, 1 no

    // Printing, supplied by the printing side (either may be empty): print the printer text
    // file "LPTB.TXT"; print the teacher protocol.
    std::function<void()> printPrinterTextFile;
    std::function<void()> printProtocol;

    const Bytes& ProgramFolder() const { return env.ProgramFolder(); }
    // ProgramFolder + "LPTB.TXT"
    Bytes PrinterTextFile() const { return env.ProgramFolder() + "LPTB.TXT"; }
};

}  // namespace radevir
