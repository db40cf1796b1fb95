// A GUI application for targets whose code draws, renders or asks for fonts: the offscreen
// platform, made once before the first input.
#pragma once

#include <QGuiApplication>

namespace radevir::fuzz {

inline void EnsureGuiApplication() {
    static int argc = 1;
    static char name[] = "radevir_fuzz";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() != nullptr) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // never destroyed: the fuzzer ends the process with exit(), when tearing Qt down is unsafe
    new QGuiApplication(argc, argv);
}

}  // namespace radevir::fuzz
