#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <gtest/gtest.h>

#include "support/speed_dialog.h"

namespace radevir {
namespace {

// Presses a key on a widget the way the window system delivers it.
void PressKey(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

TEST(SpeedScale, PositionToValueAndBack) {
    struct Case {
        int position;
        double value;
    };
    const Case cases[] = {{0, 0.0}, {1, 0.1}, {10, 1.0}, {20, 2.0}, {21, 3.0},
                          {28, 10.0}, {29, 20.0}, {30, 40.0}, {50, 440.0}};
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(SpeedValueForPosition(c.position), c.value) << c.position;
        EXPECT_EQ(SpeedPositionForValue(c.value), c.position) << c.value;
    }
}

TEST(SpeedScale, ValuesBetweenStepsRoundHalvesToEven) {
    struct Case {
        double value;
        int position;
    };
    const Case cases[] = {
        {2.5, 20},    // round(2.5) = 2 → 20, not 21
        {3.5, 22},    // round(3.5) = 4
        {0.25, 2},    // 2.5 tenths → 2
        {0.35, 4},    // 3.5 tenths → 4 (0.35 × 10 is 3.5 in binary as well)
        {30.0, 30},   // 30 / 20 + 28 = 29.5 → 30
        {50.0, 30},   // 30.5 → 30
        {-1.0, 0},    // outside the scale: the slider's ends
        {1000.0, 50},
    };
    for (const Case& c : cases) EXPECT_EQ(SpeedPositionForValue(c.value), c.position) << c.value;
}

TEST(SpeedScale, ValuesShowWithADecimalComma) {
    struct Case {
        double value;
        const char* shown;
    };
    const Case cases[] = {{1.3, "1,30"}, {0.0, "0,00"}, {2.0, "2,00"}, {440.0, "440,00"}, {0.1, "0,10"}};
    for (const Case& c : cases) EXPECT_EQ(SpeedValueText(c.value), QString(c.shown)) << c.value;
}

TEST(SpeedDialog, ShowsValueFollowsSliderAndCancelsWithEscape) {
    SpeedDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QString("Allgemeine Programmeinstellungen"));
    EXPECT_EQ(dialog.okButton->text(), QString("OK"));
    EXPECT_TRUE(dialog.okButton->isDefault());
    EXPECT_EQ(dialog.cancelButton->text(), QString("Abrechen"));
    EXPECT_EQ(dialog.speedSlider->minimum(), 0);
    EXPECT_EQ(dialog.speedSlider->maximum(), 50);
    EXPECT_EQ(dialog.speedSlider->tickPosition(), QSlider::TicksBelow);
    EXPECT_EQ(dialog.speedSlider->tickInterval(), 1);
    EXPECT_EQ(dialog.valueLabel->text(), QString("1"));
    // the captions at the ends and above position 10
    EXPECT_LT(dialog.fasterLabel->x(), dialog.normalLabel->x());
    EXPECT_LT(dialog.normalLabel->x(), dialog.slowerLabel->x());
    EXPECT_LT(dialog.normalLabel->y(), dialog.speedSlider->y());
    EXPECT_GT(dialog.fasterLabel->y(), dialog.speedSlider->y());

    dialog.SetValue(4.0);
    dialog.show();
    QApplication::processEvents();
    EXPECT_EQ(dialog.speedSlider->value(), 22);
    EXPECT_EQ(dialog.valueLabel->text(), QString("4,00"));
    const QRect area = dialog.screen()->availableGeometry();
    EXPECT_NEAR(dialog.frameGeometry().center().x(), area.center().x(), 20);

    dialog.hide();
    dialog.SetValue(1.0);
    dialog.show();
    EXPECT_EQ(dialog.speedSlider->value(), 10);
    EXPECT_DOUBLE_EQ(dialog.Value(), 1.0);
    EXPECT_TRUE(dialog.speedSlider->hasFocus() || QApplication::focusWidget() == nullptr);

    dialog.speedSlider->setValue(50);
    EXPECT_DOUBLE_EQ(dialog.Value(), 440.0);
    EXPECT_EQ(dialog.valueLabel->text(), QString("440,00"));
    dialog.speedSlider->setValue(0);
    EXPECT_DOUBLE_EQ(dialog.Value(), 0.0);
    EXPECT_EQ(dialog.valueLabel->text(), QString("0,00"));

    int rejected = 0;
    QObject::connect(&dialog, &QDialog::rejected, [&] { ++rejected; });
    PressKey(dialog.speedSlider, Qt::Key_Escape);
    EXPECT_EQ(rejected, 1);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(SpeedDialog, ReturnAcceptsWithTheNewValue) {
    SpeedDialog dialog;
    dialog.SetValue(2.5);
    dialog.show();
    EXPECT_EQ(dialog.speedSlider->value(), 20);
    EXPECT_DOUBLE_EQ(dialog.Value(), 2.0);
    PressKey(dialog.speedSlider, Qt::Key_Right);
    EXPECT_DOUBLE_EQ(dialog.Value(), 3.0);
    int accepted = 0;
    QObject::connect(&dialog, &QDialog::accepted, [&] { ++accepted; });
    PressKey(dialog.speedSlider, Qt::Key_Return);
    EXPECT_EQ(accepted, 1);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(dialog.Value(), 3.0);
}

}  // namespace
}  // namespace radevir
