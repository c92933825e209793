#include "metrology/NSHPolynomsTP.h"

#include "metrology/NSHCoefficients.h"

#include <cmath>

namespace kront
{

namespace
{

bool knownIndex(int index)
{
    return index >= 0 && index < kNSHCharacteristicCount;
}

// The range of the characteristic holding t: a shared boundary belongs to the
// upper range, the top limit of the last range is inclusive. nullptr when none.
const NSHRange *findRange(const NSHCharacteristic &ch, long double t)
{
    for (int r = 0; r < ch.rangeCount; ++r) {
        const NSHRange &range = ch.ranges[r];
        const bool last = (r == ch.rangeCount - 1);
        if (t >= range.tLow && (t < range.tHigh || (last && t == range.tHigh)))
            return &range;
    }
    return nullptr;
}

constexpr int kIndexK = 6;

// One row of the tolerance table: for the listed indexes and class (0 = any
// class), Δ = base + slope * (|t| or t - offset) within the limits.
struct ToleranceRow {
    unsigned indexMask; // bit n set: characteristic index n
    int classNumber;
    double low;
    bool lowIncluded;
    double high;
    bool highIncluded;
    double base;
    double slope;
    double offset;
    bool absolute;
};

constexpr unsigned bit(int index)
{
    return 1u << index;
}

constexpr unsigned kRS = bit(0) | bit(1);
constexpr unsigned kB = bit(2);
constexpr unsigned kJ = bit(3);
constexpr unsigned kT = bit(4);
constexpr unsigned kE = bit(5);
constexpr unsigned kKN = bit(6) | bit(7);
constexpr unsigned kA = bit(8) | bit(9) | bit(10);
constexpr unsigned kL = bit(11);
constexpr unsigned kM = bit(12);
constexpr bool in = true;
constexpr bool out = false;

// clang-format off
constexpr ToleranceRow kToleranceTable[] = {
    // index  class  low   incl  high  incl  base  slope   offset  |t|
    {kRS,  1,    0,    in,  1100, in,  1.0,  0.0,    0,     false},
    {kRS,  1,    1100, out, 1600, in,  1.0,  0.003,  1100,  false},
    {kRS,  2,    0,    in,  600,  in,  1.5,  0.0,    0,     false},
    {kRS,  2,    600,  out, 1600, in,  0.0,  0.0025, 0,     false},
    {kB,   2,    600,  in,  1800, in,  0.0,  0.0025, 0,     false},
    {kB,   3,    600,  in,  800,  in,  4.0,  0.0,    0,     false},
    {kB,   3,    800,  out, 1800, in,  0.0,  0.005,  0,     false},
    {kJ,   1,    -40,  in,  375,  in,  1.5,  0.0,    0,     false},
    {kJ,   1,    375,  out, 750,  in,  0.0,  0.004,  0,     false},
    {kJ,   2,    0,    in,  333,  in,  2.5,  0.0,    0,     false},
    {kJ,   2,    333,  out, 900,  in,  0.0,  0.0075, 0,     false},
    {kT,   1,    -40,  in,  125,  in,  0.5,  0.0,    0,     false},
    {kT,   1,    125,  out, 350,  in,  0.0,  0.004,  0,     false},
    {kT,   2,    -40,  in,  135,  in,  1.0,  0.0,    0,     false},
    {kT,   2,    135,  out, 400,  in,  0.0,  0.0075, 0,     false},
    {kT,   3,    -200, in,  -66,  out, 0.0,  0.015,  0,     true},
    {kT,   3,    -66,  out, 40,   in,  1.0,  0.0,    0,     false},
    {kE,   1,    -40,  in,  375,  in,  1.5,  0.0,    0,     false},
    {kE,   1,    375,  out, 800,  in,  0.0,  0.004,  0,     false},
    {kE,   2,    -40,  in,  333,  in,  2.5,  0.0,    0,     false},
    {kE,   2,    333,  out, 900,  in,  0.0,  0.0075, 0,     false},
    {kE,   3,    -200, in,  -167, out, 0.0,  0.015,  0,     true},
    {kE,   3,    -167, out, 40,   in,  2.5,  0.0,    0,     false},
    {kKN,  1,    -40,  in,  375,  in,  1.5,  0.0,    0,     false},
    {kKN,  1,    375,  out, 1300, in,  0.0,  0.004,  0,     false},
    {kKN,  2,    -40,  in,  333,  in,  2.5,  0.0,    0,     false},
    {kKN,  2,    333,  out, 1300, in,  0.0,  0.0075, 0,     false},
    {kKN,  3,    -250, in,  -167, out, 0.0,  0.015,  0,     true},
    {kKN,  3,    -167, out, 40,   in,  2.5,  0.0,    0,     false},
    {kA,   2,    1000, in,  2500, in,  0.0,  0.005,  0,     false},
    {kA,   3,    1000, in,  2500, in,  0.0,  0.007,  0,     false},
    {kL,   2,    -40,  in,  360,  in,  2.5,  0.0,    0,     false},
    {kL,   2,    360,  out, 800,  in,  0.7,  0.005,  0,     false},
    {kL,   3,    -200, in,  -100, out, 1.5,  0.01,   0,     true},
    {kL,   3,    -100, out, 100,  in,  2.5,  0.0,    0,     false},
    {kM,   0,    -200, in,  0,    out, 1.3,  0.001,  0,     true},
    {kM,   0,    0,    out, 100,  in,  1.0,  0.0,    0,     false},
};
// clang-format on

bool contains(const ToleranceRow &row, double t)
{
    const bool aboveLow = row.lowIncluded ? t >= row.low : t > row.low;
    const bool belowHigh = row.highIncluded ? t <= row.high : t < row.high;
    return aboveLow && belowHigh;
}

} // namespace

long double NSHEmf(int index, long double t)
{
    if (!knownIndex(index))
        return kNoCharacteristicValue;
    const NSHRange *range = findRange(kNSHCharacteristics[index], t);
    if (!range)
        return kNoCharacteristicValue;

    long double sum = 0.0L;
    long double power = 1.0L; // t^0 = 1, also at t = 0
    for (int i = 0; i < kNSHCoefficientCount; ++i) {
        sum += static_cast<long double>(range->c[i]) * power;
        power *= t;
    }
    if (index == kIndexK && range->tLow == 0.0) {
        const long double d = t - kNSHKExponential.a2;
        sum += kNSHKExponential.a0 * std::exp(kNSHKExponential.a1 * d * d);
    }
    return sum;
}

double NSHTolerance(int index, int classNumber, double t)
{
    if (!knownIndex(index))
        return 0.0;
    for (const ToleranceRow &row : kToleranceTable) {
        if (!(row.indexMask & bit(index)))
            continue;
        if (row.classNumber != 0 && row.classNumber != classNumber)
            continue;
        if (row.classNumber == 0 && (classNumber < 1 || classNumber > 3))
            continue;
        if (!contains(row, t))
            continue;
        const double argument = row.absolute ? std::fabs(t) : t - row.offset;
        return row.base + row.slope * argument;
    }
    return 0.0;
}

namespace
{

// Mean sensitivity of the characteristic over t ± 1 °C in mV/°C: the mean of
// both sides, or the one side that lies within the characteristic within
// 1 °C of its limit; 0 where the characteristic has no value at t.
long double meanSensitivity(int index, double t)
{
    const long double tt = t;
    const long double e0 = NSHEmf(index, tt);
    if (e0 < -299)
        return 0.0L;
    const long double eBelow = NSHEmf(index, tt - 1.0L);
    const long double eAbove = NSHEmf(index, tt + 1.0L);
    if (eBelow < -299)
        return std::fabs(eAbove - e0);
    if (eAbove < -299)
        return std::fabs(e0 - eBelow);
    return (std::fabs(e0 - eBelow) + std::fabs(eAbove - e0)) / 2.0L;
}

} // namespace

double NSHSensitivity(int index, double t)
{
    return static_cast<double>(meanSensitivity(index, t));
}

double NSHToleranceEmf(int index, int classNumber, double t)
{
    // No characteristic at t: no deviation can be permitted (sensitivity 0).
    return static_cast<double>(meanSensitivity(index, t) * NSHTolerance(index, classNumber, t));
}

int NextClass(int index, int classNumber)
{
    // Coarser class from class 1, 2, 3 by characteristic index.
    static constexpr int kNextClass[kNSHCharacteristicCount][3] = {
        {2, 0, 0}, {2, 0, 0}, {0, 3, 0}, {2, 0, 0}, {2, 3, 0}, {2, 3, 0}, {2, 3, 0},
        {2, 3, 0}, {0, 3, 0}, {0, 3, 0}, {0, 3, 0}, {0, 3, 0}, {0, 0, 0}};
    if (!knownIndex(index) || classNumber < 1 || classNumber > 3)
        return 0;
    return kNextClass[index][classNumber - 1];
}

} // namespace kront
