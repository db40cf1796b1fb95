// How the training programs speak a task aloud without knowing the sound side: the host hands
// the spoken-arithmetic component in through this port (tests hand in a recorder).
#pragma once

#include "support/codepage.h"

namespace radevir {

class SpeechPort {
public:
    virtual ~SpeechPort() = default;
    // Speaks an arithmetic text such as "12 + 35 ="; true when playing started.
    virtual bool Speak(const Bytes& text, bool queued) = 0;
};

}  // namespace radevir
