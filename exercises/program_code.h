// Which training program runs: the number the program menu sets and every program, the task
// list choice and the chooser's remembered-choice files ("letzte" + number) go by.
#pragma once

namespace radevir {

enum class ProgramCode : int {
    TaskEditor = 0,  // no training program: the task editor's list choice, on both task folders
    MemoriseOnly = 1,
    MentalArithmetic = 2,
    CopyTask = 3,
    FillInSigns = 4,
    Dictation = 5,
    WrittenArithmetic = 6,
    Tachistoscope = 7,
    ReadingTest = 8,  // the reading settings box, then CopyTask in reading mode
    GrabGame = 9,
    LoadOptionsCode = 12,
    MemoriseAndCompute = 13,  // MemoriseOnly in compute mode
};

// The code as the number files and file names carry.
constexpr int ProgramNumber(ProgramCode code) { return static_cast<int>(code); }

}  // namespace radevir
