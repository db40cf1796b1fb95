// What the console needs from the window it lives in: the framebuffer, repainting, the event
// pump and the pointer. The host window implements it; tests use a plain in-memory host.
#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>

namespace radevir {

// A black framebuffer of the given size at 96 dots per inch, so that font sizes in points give
// the same pixel sizes as on a classic desktop. Window-sized ones sit in memory that may be
// backed by large pages: clearing a full-screen picture then costs a handful of page faults
// instead of one per 4 KiB, which is a good part of the program's start.
QImage MakeFramebuffer(QSize size);

class ConsoleHost {
public:
    virtual ~ConsoleHost() = default;
    // The client-sized picture (RGB32) everything is drawn on.
    virtual QImage& Framebuffer() = 0;
    virtual QSize ClientSize() const = 0;
    // Shows what was drawn (the paint message).
    virtual void RequestRepaint() = 0;
    // Dispatches pending window events (keys, mouse, paint, activation, timers, sound).
    virtual void ProcessEvents() = 0;
    // Sleeps until at least one event has been dispatched, or until `maxMs` have passed
    // (a negative value: no limit). A host without an event loop of its own only pumps.
    virtual void WaitForEvents(double maxMs) {
        (void)maxMs;
        ProcessEvents();
    }
    // Drops pending keyboard and/or mouse input.
    virtual void FlushInput(bool keyboard, bool mouse) = 0;
    virtual bool HasActiveWindow() const = 0;
    virtual void Beep() = 0;
    virtual void SetPointerVisible(bool visible) = 0;
    // Pointer position in client pixels.
    virtual QPoint PointerPosition() const = 0;
    virtual void SetPointerPosition(QPoint clientPixel) = 0;
};

}  // namespace radevir
