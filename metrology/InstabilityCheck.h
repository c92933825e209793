#pragma once

#include <QString>

namespace kront
{

// Whether a thermocouple's deviation from the NSH changed by less than half its permitted
// deviation between the instability measurements before and after annealing (mV). Compared on
// decimal values: a change of exactly half is unstable, and so is a deviation that could not
// be computed (-300).
bool IsStableOverAnnealing(double before, double after, double permitted);

struct InstabilityVerdict {
    bool aborted = false; // the data were missing: message shown, abort called
    QString text;         // the unstable thermocouples; empty when all are stable
};

// The verdict on the unstable thermocouples, given as their "вход №<i> канала <n>" lines.
InstabilityVerdict InstabilityVerdictOf(const QString &unstableLines);

} // namespace kront
