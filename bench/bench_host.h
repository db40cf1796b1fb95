// A console host that only draws into memory, for benchmarks of screen work.
#pragma once

#include "console/console_host.h"

namespace radevir::bench {

class MemoryHost : public ConsoleHost {
public:
    explicit MemoryHost(QSize size) : fb(MakeFramebuffer(size)) {}
    QImage fb;
    QImage& Framebuffer() override { return fb; }
    QSize ClientSize() const override { return fb.size(); }
    void RequestRepaint() override {}
    void ProcessEvents() override {}
    void FlushInput(bool, bool) override {}
    bool HasActiveWindow() const override { return true; }
    void Beep() override {}
    void SetPointerVisible(bool) override {}
    QPoint PointerPosition() const override { return {}; }
    void SetPointerPosition(QPoint) override {}
};

}  // namespace radevir::bench
