// One run of a training program through the task list: the run state, the start of a run, the
// choice and preparation of the next task, the logging of every key into the teacher protocol
// and the task history, key and error sounds, the question whether to quit now, and the closing
// screen. The drills and column arithmetic share it.
#pragma once

#include <QImage>
#include <array>

#include "exercises/task_model.h"
#include "support/codepage.h"

namespace radevir {

class Clock;
struct Session;

// A start and a stop time of day. Elapsed seconds are rounded to the nearest whole second
// (halves to even); a watch that ran across midnight wraps by one day instead of going negative.
struct Stopwatch {
    double startMs = 0;  // milliseconds since midnight
    double stopMs = 0;

    void Start(const Clock& clock);
    void Stop(const Clock& clock);
    int ElapsedSeconds() const;
    // Seconds from the start until now, without stopping the watch.
    int RunningSeconds(const Clock& clock) const;
};

// What ended a task, as far as the run rules care.
enum class TaskEnd : int {
    Open = 0,      // still being worked
    Done = 1,      // solved, or ended with the skip key
    GoBack = 2,    // the previous task again (PgUp in the drill)
};

struct ExerciseRun {
    static constexpr int kMaxTasks = 82;          // history and wrong-task entries
    static constexpr int kProtocolKeyLimit = 70;  // keys are logged while a line is shorter
    static constexpr int kInputLogLimit = 100;
    static constexpr int kFigurePictures = 24;

    int tasksDone = 0;   // number of the current task, 1-based; index into taskHistory
    int wrongCount = 0;  // tasks with at least one wrong input
    // Entries 1..82 are used (index 0 stays empty): the raw lines of the wrong tasks in the
    // order of their first error.
    std::array<Bytes, kMaxTasks + 1> wrongTaskList{};
    int repeatCount = 0;   // wrong tasks still to come back in the running repetition pass
    bool repeating = false;
    bool askRepeat = false;
    bool endAfterRepeat = false;
    bool secondPass = false;
    int escCount = 0;
    bool wipeSound = false;
    // Entries 1..82: per task, time + text for the certificate.
    std::array<Bytes, kMaxTasks + 1> taskHistory{};
    Bytes inputLog;        // keys typed correctly before the task's first error
    // The protocol holds 99 task lines; later tasks have no line of their own and log nothing.
    bool hasProtocolLine = false;
    bool taskWrong = false;
    bool countedWrong = false;
    TaskEnd taskDone = TaskEnd::Open;
    bool returnPending = false;
    int returnPosition = 0;
    int furthestPosition = 0;
    Stopwatch runStopwatch;
    Stopwatch taskStopwatch;
    int timeLimit_s = 0;
    unsigned char lastKey = ' ';
    bool lastKeyExtended = false;
    Bytes previousRawLine;  // the raw line of the task before (random order draws another)
    bool firstTaskOfRun = true;
    Task task;              // the current task
    // Figure pictures: 0..21 the running figure (21 also standing), 22 a correct task's marker,
    // 23 a wrong task's marker. Empty when the file is missing.
    std::array<QImage, kFigurePictures> pictures{};

    // Screen geometry of the 640×480 graphics screen.
    static constexpr int kMaxX = 639;
    static constexpr int kMaxY = 479;
    static constexpr int kMidX = 319;
    static constexpr int kMidY = 239;
};

// The skip key of the training programs.
constexpr unsigned char kSkipKey = '_';

// Resets the run, switches to graphics mode, draws the program's background and loads the
// figure pictures.
void BeginRun(Session& session);
// Chooses and prepares the next task into run.task (and session.currentText); sets
// run.taskDone when the list has no task left.
void NextTask(Session& session);

void LogCorrectKey(Session& session, unsigned char key);
void LogWrongKey(Session& session, unsigned char key);
void ErrorTone(Session& session);
void KeyClick(Session& session);
void FirstError(Session& session);
void FinishTaskLog(Session& session);
// Asks "Jetzt schon beenden?  j oder n": returns the Escape code (quit) or 'n' (go on).
unsigned char AskQuit(Session& session);
void ShowTaskNumber(Session& session);

// The current protocol line (entry protocolCount - 1), or nullptr before the first task.
Bytes* CurrentProtocolLine(Session& session);
// Frees the figure pictures and returns to text mode.
void EndRunGraphics(Session& session);
// The text screen filled with the shade character and a footer line.
void ShowClosingScreen(Session& session);

}  // namespace radevir
