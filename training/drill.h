// The drill engine: memorising (also with calculating), mental arithmetic, copying (also the
// reading test), filling in signs, dictation and the tachistoscope run through one loop over the
// task list. Each task is presented in the program's own way, typed, checked, helped and solved
// here; what happens between tasks and at the end is the run rules' (run_rules.h).
#pragma once

namespace radevir {

struct Session;

// Runs the program of session.programCode on the loaded task list until the run ends.
void RunDrill(Session& session);

}  // namespace radevir
