// DOS-style input: polling and reading keys while the window system runs, mouse clicks mapped
// to key codes through the region table, the pointer.
#include <QFileInfo>
#include <algorithm>
#include <cstdlib>

#include "console/console.h"

namespace radevir {
namespace {

// A program waiting for a key sleeps until the next event; it still looks round this often in
// case something it waits for arrives without an event.
constexpr double kLongestKeyWaitMs = 250;

}  // namespace

void Console::PumpMessages(bool /*all*/) {
    // Pending keyboard messages cannot be peeked at here; the queue is what counts.
    host_.ProcessEvents();
    if (!host_.HasActiveWindow()) {
        host_.ProcessEvents();
        WaitMs(1);
    }
}

bool Console::KeyPressed() {
    PumpMessages(true);
    const bool result = abortRequested_ || !keys_.Empty();
    if (!result) polledSinceTake_ = true;
    if (result) {
        idlePollCount_ = 0;
    } else if (++idlePollCount_ > 200) {
        WaitMs(1);
        idlePollCount_ = 0;
    }
    return result;
}

unsigned char Console::ReadKey() {
    unsigned char c = 0;
    waitingForKey_ = true;
    bool firstPass = true;
    do {
        if (clock_.IsVirtual()) {
            clock_.SleepMs(1);  // a scripted run's time moves on while the program waits
        } else if (!firstPass) {
            // sleep in the event loop: a waiting menu costs nothing until a key comes
            host_.WaitForEvents(kLongestKeyWaitMs);
        }
        firstPass = false;
        idlePollCount_ = 0;
        PumpMessages(true);
        c = keys_.Take();
        if (abortRequested_) {
            waitingForKey_ = false;
            throw AbortRequestedError{};
        }
    } while (c == 0);
    waitingForKey_ = false;
    polledSinceTake_ = false;
    return c;
}

void Console::FlushKeyMessages() { host_.FlushInput(true, false); }

void Console::FlushMouseMessages() { host_.FlushInput(false, true); }

unsigned char Console::MouseClickToKey(QPoint p, bool* extended) {
    int column = 0, row = 0;
    if (graphics_.graphicsMode) {
        const QPoint vga = geometry_.PixelToVga(p);
        column = vga.x() / 8;
        row = vga.y() / 8;
    } else {
        column = p.x() / std::max(cellWidth_, 1);
        row = p.y() / std::max(cellHeight_, 1);
    }
    bool ext = false;
    const unsigned char code = regions_.ClickCell(column + 1, row + 1, ext);
    if (extended != nullptr) *extended = ext;
    return code;
}

void Console::PushMouseRegions(const Bytes& folder, const Bytes& fileName) {
    const Bytes base = folder.empty() ? env_.ProgramFolder() + "maustxt\\" : folder;
    regions_.PushFile(env_.NativePath(base + fileName));
}

void Console::PopMouseRegions() { regions_.Pop(); }

void Console::MousePressed(QPoint p, bool left, bool right) {
    if (left) leftButtonDown_ = true;
    if (right) rightButtonDown_ = true;
    mouseButtonDown_ = true;
    ++mousePressCount_;
    mouse_ = p;
}

void Console::MouseReleased(QPoint p, bool left, bool right) {
    // a click counts when press and release lie less than two pixels apart
    if (mouseButtonDown_ && p.x() >= mouse_.x() - 2 && p.x() < mouse_.x() + 2 &&
        p.y() >= mouse_.y() - 2 && p.y() < mouse_.y() + 2) {
        bool extended = false;
        const unsigned char code = MouseClickToKey(p, &extended);
        if (code != 0) keys_.Append(code, extended);
    }
    mouseButtonDown_ = false;
    if (left) leftButtonDown_ = false;
    if (right) rightButtonDown_ = false;
}

void Console::MouseMoved(QPoint p) {
    if (p != mouse_) mouse_ = p;
}

int Console::GetMouseState(int& x, int& y) {
    PumpMessages(true);
    const QPoint vga = geometry_.PixelToVga(mouse_);
    x = vga.x();
    y = vga.y();
    if (rightButtonDown_) return 2;
    if (leftButtonDown_) return 1;
    return 0;
}

void Console::MoveMousePointer(int x, int y) {
    const QPoint target = geometry_.VgaToPixel(QPoint(x, y));
    QPoint at = host_.PointerPosition();
    for (int step = 1; step <= 2000 && at != target; ++step) {
        if (at.x() != target.x()) at.rx() += at.x() < target.x() ? 1 : -1;
        if (at.y() != target.y()) at.ry() += at.y() < target.y() ? 1 : -1;
        if (step % 24 == 0) {
            host_.SetPointerPosition(at);
            clock_.SleepMs(1);
        }
    }
    for (int i = 0; i < 3; ++i) {
        host_.SetPointerPosition(at);
        clock_.SleepMs(1);
    }
    // the pointer is there now, whether or not the window system reports the move
    mouse_ = at;
}

void Console::ShowMousePointer() {
    while (pointerDisplayCount_ < 0) ++pointerDisplayCount_;
    host_.SetPointerVisible(true);
}

void Console::HideMousePointer() {
    while (pointerDisplayCount_ >= 0) --pointerDisplayCount_;
    host_.SetPointerVisible(false);
}

}  // namespace radevir
