// The speed dialog: a slider that sets the factor by which the console stretches its short
// waits. The host hands the current factor in, shows the dialog modally and stores the value on
// OK; the dialog itself never touches the settings.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QSlider;

namespace radevir {

// Slider position 0–50 → factor: 0.0–2.0 in tenths, then 3–10, then 20–440 in steps of 20.
double SpeedValueForPosition(int position);
// Factor → slider position, rounding halves to even (2.5 → 20); clamped to 0–50.
int SpeedPositionForValue(double value);
// The factor as the dialog shows it: two decimals with a German decimal comma ("1,30"). The
// stored setting keeps its own format.
QString SpeedValueText(double value);

class SpeedDialog : public QDialog {
    Q_OBJECT

public:
    explicit SpeedDialog(QWidget* parent = nullptr);

    // The factor being edited: written by the host before showing, read after OK.
    double Value() const { return value_; }
    void SetValue(double value) { value_ = value; }

    // Puts the slider where the value is and gives it the focus (on every showing).
    void ShowValueOnSlider();
    // The value of the slider's position, shown in the value label.
    void TakeSliderPosition();
    // True when the Qt key was taken: Escape cancels.
    bool HandleKey(int qtKey);

    QLabel* infoLabel = nullptr;
    QSlider* speedSlider = nullptr;
    QLabel* valueLabel = nullptr;
    QLabel* fasterLabel = nullptr;
    QLabel* normalLabel = nullptr;
    QLabel* slowerLabel = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    double value_ = 1.0;
};

}  // namespace radevir
