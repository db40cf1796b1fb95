// The shared state of the training programs: it lives from the start of the program menu to its
// end and is passed by reference to every program (there are no globals).
#pragma once

#include <array>
#include <functional>

#include "console/console.h"
#include "exercises/exercise_run.h"
#include "exercises/program_code.h"
#include "exercises/program_options.h"
#include "exercises/task_model.h"
#include "support/codepage.h"
#include "support/program_environment.h"
#include "support/random.h"

namespace radevir {

class Graphics;
class SpeechPort;

// What the file selection screen is doing, shared with its caller.
enum class SelectionMode : int {
    None = 0,
    NewName = 1,            // type a new name (saving)
    Choose = 2,             // choose an existing file (loading)
    OptionFileLoaded = 10,  // set by the screen after an option file was loaded
};

// The answer of the yes/no question.
enum class YesNo : int { Yes = 0, No = 1 };

struct Session {
    static constexpr int kProtocolLines = 101;

    Session(Console& c, const ProgramEnvironment& e, Random& r) : console(c), env(e), random(r) {}

    Console& console;
    const ProgramEnvironment& env;
    Random& random;
    // Set by the program menu; the training programs draw and speak through them. Either may be
    // missing in a test that does not need it.
    Graphics* graphics = nullptr;
    SpeechPort* speech = nullptr;

    ProgramOptions options;
    TaskList tasks;
    Bytes taskFilePath;           // path of the current task file
    Bytes taskFolder = "Aufgaben";  // root of the task folders
    Bytes currentText;            // the task text currently worked on ("" between runs)

    ProgramCode programCode = ProgramCode::MentalArithmetic;
    bool computeMode = false;
    bool readingMode = false;
    int tachistoscopeStyle = 1;   // 1..5
    int menuKey = 0;              // the key variable shared by the menu and the programs
    bool optionsDirty = true;     // aktuell.opt is written when the program ends
    int optionsMenuLine = 1;      // current line of the options menu, kept between calls
    int grabOptionsLine = 4;      // current line of the grab game's options screen, kept too

    // The run of the training program (reset by every run; its history and wrong tasks stay
    // for the certificate and the card box).
    ExerciseRun run;

    // Teacher protocol, collected over every run until the program ends.
    std::array<Bytes, kProtocolLines> protocolLines{};
    int protocolCount = 0;
    Bytes practisedFiles;         // "/"-joined task file names
    Bytes childFirstName;         // typed for the certificate, kept for the next one
    Console::Today today;

    // File selection screen and yes/no question.
    SelectionMode selectionMode = SelectionMode::None;
    Bytes chosenPath;
    YesNo yesNoAnswer = YesNo::Yes;

    // Printing, supplied by the printing side (either may be empty): print the printer text
    // file "LPTB.TXT" as the document named (what it is and whom it is for: it names the
    // PDF); print the teacher protocol.
    std::function<void(const Bytes& documentName)> printPrinterTextFile;
    std::function<void()> printProtocol;
    // The certificate dialogue at the end of a run, supplied by the printing side (may be empty).
    std::function<void()> offerCertificate;

    const Bytes& ProgramFolder() const { return env.ProgramFolder(); }
    // ProgramFolder + "LPTB.TXT"
    Bytes PrinterTextFile() const { return env.ProgramFolder() + "LPTB.TXT"; }
};

}  // namespace radevir
