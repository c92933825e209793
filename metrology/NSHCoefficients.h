#pragma once

#include <array>

namespace kront
{

// Characteristic index of the thermocouple types of GOST R 8.585-2001:
// 0 R, 1 S, 2 B, 3 J, 4 T, 5 E, 6 K, 7 N, 8 A-1, 9 A-2, 10 A-3, 11 L, 12 M.
inline constexpr int kNSHCharacteristicCount = 13;
inline constexpr int kNSHCoefficientCount = 15; // c0 .. c14

// One temperature range of a characteristic: limits in °C and the
// coefficients of E(t) = sum c[i] * t^i in mV. Unused coefficients are 0.
struct NSHRange {
    double tLow;
    double tHigh;
    std::array<double, kNSHCoefficientCount> c;
};

struct NSHCharacteristic {
    int rangeCount; // 1 to 3; the ranges after it are all zero
    std::array<NSHRange, 3> ranges;
};

// a0 * exp(a1 * (t - a2)^2), mV; added for type K above 0 °C only.
struct NSHExponentialTerm {
    double a0; // mV
    double a1; // 1/°C²
    double a2; // °C
};

extern const std::array<NSHCharacteristic, kNSHCharacteristicCount> kNSHCharacteristics;
extern const NSHExponentialTerm kNSHKExponential;

} // namespace kront
