// `radevir --speak TEXT`: speaks TEXT with the sound table through the chosen audio output, so
// that teachers can check the recordings they made.
#pragma once

#include <QString>
#include <QTextStream>

namespace radevir {

class AudioOutput;
class Clock;
class ProgramEnvironment;

// 0 when every recording of the text was played (returns after it ended); 1 with a one-line
// reason on `err`, one line for each recording that could not be used.
int RunSpeakCommand(const ProgramEnvironment& env, AudioOutput& output, Clock& clock,
                    const QString& text, QTextStream& err);

}  // namespace radevir
