#pragma once

#include <QDialog>

class QCheckBox;
class QSpinBox;

namespace kront
{

// The start window of the demo (`kront --demo`): names the demo home and the
// simulated installation it works on, and lets the operator tick
// "Учебный режим" (with how many times faster the program clock runs)
// before the main window opens. F1 opens its help page.
class DemoStartWindow : public QDialog
{
    Q_OBJECT
public:
    explicit DemoStartWindow(const QString &demoHome, QWidget *parent = nullptr);

    // The training clock factor chosen; 0 when the box is not ticked.
    double trainingFactor() const;
    // Switches the training mode on with the chosen factor when ticked.
    void startChosenMode() const;

    QCheckBox *CheckBoxTraining;
    QSpinBox *SpinEditFactor;
};

} // namespace kront
