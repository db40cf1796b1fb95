// An in-memory console host for tests: a framebuffer, no window, events counted.
#pragma once

#include <QCoreApplication>
#include <QPainter>
#include <QThread>
#include <cmath>
#include <vector>

#include "console/console.h"
#include "support/clock.h"
#include "support/program_environment.h"

namespace radevir::test {

class FakeHost : public ConsoleHost {
public:
    explicit FakeHost(QSize size = {802, 502}) : framebuffer(MakeFramebuffer(size)) {}
    QImage& Framebuffer() override { return framebuffer; }
    QSize ClientSize() const override { return framebuffer.size(); }
    void RequestRepaint() override { ++repaints; }
    void ProcessEvents() override {
        ++pumps;
        if (onPump) onPump();
    }
    // Records each wait; without `onWait` it sleeps as a window with no events would.
    void WaitForEvents(double maxMs) override {
        waits.push_back(maxMs);
        ProcessEvents();
        if (onWait) {
            onWait();
        } else if (maxMs > 0) {
            QThread::usleep(static_cast<unsigned long>(std::lround(maxMs * 1000)));
        }
    }
    void FlushInput(bool, bool) override {}
    bool HasActiveWindow() const override { return true; }
    void Beep() override { ++beeps; }
    void SetPointerVisible(bool v) override { pointerVisible = v; }
    QPoint PointerPosition() const override { return pointer; }
    void SetPointerPosition(QPoint p) override { pointer = p; }

    QImage framebuffer;
    int repaints = 0, pumps = 0, beeps = 0;
    bool pointerVisible = true;
    QPoint pointer;
    std::function<void()> onPump;
    std::vector<double> waits;  // maxMs of every WaitForEvents
    std::function<void()> onWait;
};

// A glyph picture drawn in code: a bar through the middle of the cell, edge to edge.
inline GlyphSource BarGlyph(const std::string& name) {
    return GlyphSource{name, [](QSize s) {
                           QImage img(s, QImage::Format_ARGB32);
                           img.fill(Qt::transparent);
                           QPainter p(&img);
                           p.fillRect(QRect(0, s.height() / 2 - 1, s.width(), 3), Qt::black);
                           return img;
                       }};
}

// A console in text mode on a fake host: 80×25 cells of 10×20 pixels.
struct ConsoleFixture {
    FakeHost host{QSize(802, 502)};
    VirtualClock clock;
    ProgramEnvironment env{"/nonexistent/kit/", "radevir"};
    Console console{host, clock, env};

    explicit ConsoleFixture(std::vector<GlyphSource> glyphs = {BarGlyph("196"), BarGlyph("205")}) {
        console.InitConsole(glyphs);
        console.EnterTextMode();
        console.TextBackground(0);
    }
};

}  // namespace radevir::test
