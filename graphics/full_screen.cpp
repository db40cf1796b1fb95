// Full-screen mode: the host window as a borderless full-screen window with a back buffer. The
// framebuffer is what the screen shows; the training program draws the next frame into the back
// buffer (page restores) and flips, which exchanges the two pictures.
#include <QPainter>
#include <cstring>

#include "graphics/graphics.h"

namespace radevir {

void Graphics::EnterFullScreen() {
    GraphicsSettings& g = console_.Graphics();
    if (g.directDrawReady) return;
    ConsoleHost& host = console_.Host();
    console_.HideMousePointer();
    for (int page = 0; page <= 4; ++page) console_.FreeScreenPage(page);
    const bool windowReady = fullScreenWindow_ == nullptr || fullScreenWindow_->EnterFullScreenWindow();
    if (windowReady) backBuffer_ = MakeFramebuffer(host.ClientSize());
    if (!windowReady || backBuffer_.isNull()) {
        // set-up failed: release what exists and keep drawing on the window
        backBuffer_ = QImage();
        if (windowReady && fullScreenWindow_) fullScreenWindow_->LeaveFullScreenWindow();
        g.directDrawReady = false;
        console_.ShowMousePointer();
        return;
    }
    g.directDrawReady = true;
    g.fullScreenActive = true;
    g.fullScreenOffset = QPoint(0, 0);  // the window has no frame and fills the screen
    AttachFullScreenCanvas();
    console_.ShowMousePointer();
    host.ProcessEvents();
}

void Graphics::AttachFullScreenCanvas() {
    GraphicsSettings& g = console_.Graphics();
    if (!g.directDrawReady) return;
    // a client size change (which also ends full-screen mode) leaves a back buffer to match
    if (backBuffer_.size() != console_.Host().ClientSize())
        backBuffer_ = MakeFramebuffer(console_.Host().ClientSize());
    // the window's canvas is the visible picture; show what it holds now
    console_.Host().RequestRepaint();
}

void Graphics::Flip() {
    GraphicsSettings& g = console_.Graphics();
    if (!g.directDrawReady || backBuffer_.isNull()) {
        console_.Host().RequestRepaint();
        return;
    }
    QImage& front = Window();
    if (front.size() == backBuffer_.size()) {
        front.swap(backBuffer_);
    } else {
        QPainter p(&front);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QPoint(0, 0), backBuffer_);
    }
    console_.Host().RequestRepaint();
}

void Graphics::LeaveFullScreen() {
    GraphicsSettings& g = console_.Graphics();
    if (!g.directDrawReady) return;
    g.directDrawReady = false;
    ConsoleHost& host = console_.Host();
    host.ProcessEvents();
    if (fullScreenWindow_) fullScreenWindow_->LeaveFullScreenWindow();
    host.ProcessEvents();
    backBuffer_ = QImage();
    host.RequestRepaint();
}

void Graphics::LeaveFullScreenMode() {
    console_.Graphics().fullScreenActive = false;
    LeaveFullScreen();
    console_.Host().ProcessEvents();
    console_.GetClock().SleepMs(100);
    console_.Host().ProcessEvents();
    for (int page = 0; page <= 4; ++page) console_.FreeScreenPage(page);
}

void Graphics::RestoreScreenPageToTarget(int page, bool free) {
    const GraphicsSettings& g = console_.Graphics();
    if (!(g.fullScreenActive && g.directDrawReady && !backBuffer_.isNull())) {
        console_.RestoreScreenPage(page, free);
        return;
    }
    const QImage* source = console_.ScreenPage(page);
    if (source == nullptr) return;
    if (source->size() == backBuffer_.size() && source->format() == backBuffer_.format()) {
        // a whole page: a straight copy of the pixel rows
        const qsizetype bytes = source->sizeInBytes();
        std::memcpy(backBuffer_.bits(), source->constBits(), static_cast<size_t>(bytes));
    } else {
        QPainter p(&backBuffer_);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(g.fullScreenOffset, *source);
    }
    if (free) console_.FreeScreenPage(page);
}

void Graphics::RestoreScreenPageRect(int page, bool free, QRect rect) {
    const GraphicsSettings& g = console_.Graphics();
    const QImage* source = console_.ScreenPage(page);
    if (source == nullptr) return;
    const QRect pixels = QRect(VgaToPixel(rect.topLeft()), VgaToPixel(rect.bottomRight())).normalized();
    const bool toBack = g.fullScreenActive && g.directDrawReady && !backBuffer_.isNull();
    QImage& target = toBack ? backBuffer_ : Window();
    const QPoint offset = toBack ? g.fullScreenOffset : QPoint(0, 0);
    {
        QPainter p(&target);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(pixels.topLeft() + offset, *source, pixels);
    }
    if (free) console_.FreeScreenPage(page);
    if (!toBack) Repaint();
}

}  // namespace radevir
