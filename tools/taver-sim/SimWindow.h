#pragma once

#include <QWidget>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace kront::sim
{

class SimEngine;

// The control window of the simulator: what the program expects (in its
// training mode), furnace, BI1 switches, voltmeter state, faults, the
// command line and the frame log.
class SimWindow : public QWidget
{
    Q_OBJECT

public:
    // stepFile: where the program writes the step it expects; empty for none.
    SimWindow(SimEngine &engine, const QString &stepFile, QWidget *parent = nullptr);

private:
    QWidget *furnaceBox();
    QWidget *switchBox();
    QWidget *meterBox();
    QWidget *faultBox();
    void run(const QString &command);
    void refresh();
    void showExpectedStep();

    SimEngine &engine;
    QString stepFile;
    QLabel *expected;
    QDoubleSpinBox *setPoint;
    QDoubleSpinBox *tau;
    QDoubleSpinBox *noise;
    QDoubleSpinBox *coldJunction;
    QComboBox *switches[3] = {};
    QComboBox *warmup;
    QComboBox *faultKind;
    QSpinBox *faultEvery;
    QSpinBox *ackCode;
    QLineEdit *commandLine;
    QLabel *state;
    QPlainTextEdit *log;
};

} // namespace kront::sim
