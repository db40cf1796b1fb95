// What happens between two tasks of a drill: the pause with the running figure and its markers,
// the motivation screens with the smiling face, the repetition passes of the wrong tasks, the
// wiping of the task areas and the end of the run. The decisions are plain functions over the
// run state; drawing, sound and waiting stay in the thin shell around them.
#pragma once

namespace radevir {

struct Session;

// How the task just worked ended.
struct TaskOutcome {
    bool escaped = false;  // ended with Esc (confirmed), or the run was ended
    bool skipped = false;  // ended with the skip key
};

// After every task of a drill: pause, motivation screen, repetition state and the next position.
// Returns whether the run goes on; when the rules end the run as by Esc (a final repetition
// pass is over, "Nein" to the repeat question, the time limit) run.lastKey becomes Escape.
bool AfterTask(Session& session, const TaskOutcome& outcome);
// The list ran out on hint or separator lines after its last task: with wrong tasks pending
// the repeat question comes as after the list's last line. True when a repetition pass starts.
bool AskRepeatAtListEnd(Session& session);
// The end of a drill run: pictures freed, text mode, the broken-off task's protocol line
// emptied, after more than three tasks the closing screen and session.offerCertificate, the
// reading test's wrong tasks compacted.
void EndDrillRun(Session& session);

// The second typing of a task ("2x"): after a pause clears the input area, so the child types
// the task again. The drill resets its input and draws frames and cursor itself.
void ClearForSecondPass(Session& session);

void PauseWithFigure(Session& session);
void WipeTaskAreas(Session& session);
void ClearTaskAreas(Session& session);

}  // namespace radevir
