// The yardstick for the program's start: a bare Qt Widgets window as large as the screen that
// paints sixteen coloured bars and nothing else. Measure both with the start-up check, e.g.
//   startup-check.sh build/default/bench/bench_bare_window   and   startup-check.sh
// and compare the "content" times (the menu should be ready within 1.5 times the bare window's).
// Command-line arguments (the check passes --data and friends) are ignored.
#include <QApplication>
#include <QColor>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWidget>

namespace {

class BareWindow final : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const int bars = 16;
        for (int i = 0; i < bars; ++i) {
            const int left = width() * i / bars;
            const int right = width() * (i + 1) / bars;
            painter.fillRect(left, 0, right - left, height(), QColor::fromHsv(i * 360 / bars, 255, 200));
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    BareWindow window;
    window.setWindowTitle("bare window");
    const QScreen* screen = QGuiApplication::primaryScreen();
    window.setGeometry(screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768));
    window.show();
    return app.exec();
}
