// Written arithmetic ("Schriftliches Rechnen"): the run over the task list, each task laid out on
// squared paper and typed digit by digit, right to left, with every carry.
#pragma once

namespace radevir {

struct Session;

// Runs written arithmetic on the loaded task list until the run ends; after more than three
// tasks the closing screen and the certificate follow.
void RunColumnArithmetic(Session& session);

}  // namespace radevir
