#pragma once

namespace kront
{

// Decides whether a voltmeter reading has settled: the same value, rounded to
// 0.001, in three consecutive readings.
class FixedValueState
{
public:
    int FixedCount = 0;         // readings taken since the reset, up to 2
    double A = 0, B = 0, C = 0; // the last three readings, oldest first, rounded to 0.001
    bool ValueFixed = false;

    // Takes one reading v. With waitForFixedValue off every reading counts as
    // settled. After a reset the third reading is the earliest that can settle.
    void FixedValueCheck(double v, bool waitForFixedValue);

    // Forgets the readings: a run starts or the switch moves on.
    void reset();
};

} // namespace kront
