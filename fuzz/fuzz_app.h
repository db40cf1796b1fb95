// A GUI application for targets whose code draws, renders or asks for fonts: the offscreen
// platform, made once before the first input.
#pragma once

#include <QGuiApplication>
#include <memory>

namespace radevir::fuzz {

inline void EnsureGuiApplication() {
    static int argc = 1;
    static char name[] = "radevir_fuzz";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QGuiApplication> app;
    if (app || QCoreApplication::instance() != nullptr) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app = std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace radevir::fuzz
