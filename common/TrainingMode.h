#pragma once

#include "common/Clock.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

namespace kront
{

// The training mode (`kront --training[=N]`): the program rehearses on the
// simulated installation with its clock running N times faster (30 unless
// told), on the demo home only; its windows and printed pages say so, and a
// real serial port is refused.
class TrainingMode
{
public:
    static constexpr double kDefaultFactor = 30;

    // Takes `--training` or `--training=N` out of args. False with the
    // reason in error for a factor that is not a number of at least 1; the
    // mode stays off then.
    static bool takeOption(QStringList &args, QString *error);
    // Switches the mode on (factor > 0) or off (0) and sets the program clock.
    static void start(double factor);
    static void stop() { start(0); }
    static bool active();
    static double clockFactor();

    // "УЧЕБНЫЙ РЕЖИМ": the title bars and every printed page carry it.
    static QString mark();
    // The caption text with the mark added once (unchanged off the mode).
    static QString markedTitle(const QString &title);

    // Whether the mode lets the program open the port `device`: only a
    // pseudo-terminal (the simulator's) is allowed in the mode; any port
    // off the mode.
    static bool portAllowed(const QString &device);
    // The message for a refused port.
    static QString refusedPortText(const QString &device);
};

// Program time running `factor` times faster than the wall clock from the
// moment it was made.
class ScaledClock : public Clock
{
public:
    explicit ScaledClock(double factor);
    QDateTime now() const override;

private:
    double factor;
    QDateTime start;
    QElapsedTimer wall;
};

} // namespace kront
