#pragma once

#include <QString>
#include <optional>
#include <vector>

// Every reading taken through the switching unit is compared with what the position the
// operator was asked to set should give. A reading outside that band gets a diagnosis naming
// the likely mistake (an open input, a reversed thermocouple, a switch on another position, a
// thermocouple of another type, a reference outside its graduation). Values in, texts out.
namespace kront
{

// Expected EMF, mV, both ends inclusive.
struct EmfBand {
    double low = 0;
    double high = 0;
    bool contains(double emf) const { return emf >= low && emf <= high; }
    double centre() const { return (low + high) / 2; }
};

// The cold junction of a thermocouple: a known temperature, or the range assumed until the
// operator has entered it.
struct ColdJunction {
    double low = 0;   // °C
    double high = 40; // °C
    static ColdJunction known(double t) { return {t, t}; }
};

inline constexpr double kSetPointUncertainty = 25.0; // °C, a furnace still approaching
inline constexpr double kInputMargin = 10.0;         // °C added to the class tolerance
inline constexpr double kLegFraction = 0.1;          // an electrode leg against the full EMF
inline constexpr double kOpenInputEmf = 0.05;        // mV: practically nothing on the input
inline constexpr double kOpenInputExpected = 1.0;    // mV: an open input is told from this on

// The band functions take the characteristic index 0..12 (NSHCharacteristicIndex of a
// sensor's NSH type) and give none wherever a characteristic they need has no value.

// EMF of characteristic `index` between temperatures `from` and `to` (°C) with the cold
// junction anywhere in `cj`.
std::optional<EmfBand> CharacteristicBand(int index, double from, double to, ColdJunction cj);

// The reference thermocouple at furnace temperature t (°C), within the uncertainty of a
// furnace that is still approaching its set-point. A type B reference (ПРО) has no
// cold-junction EMF.
std::optional<EmfBand> ReferenceBandAt(int index, double t, ColdJunction cj);

// The EMFs a reference can read inside its graduation (the graduation's EMFs emfLow..emfHigh,
// mV, are those at cold junction 0 °C).
std::optional<EmfBand> ReferenceGraduationBand(int index, double emfLow, double emfHigh,
                                               ColdJunction cj);

// A verified thermocouple of the direct method at furnace temperature t: its characteristic
// widened by the tolerance of its class and a margin of kInputMargin.
std::optional<EmfBand> InputBand(int index, int classNumber, double t, ColdJunction cj);

// One electrode of a verified thermocouple against the same electrode of the reference: a
// fraction of the thermocouple's deviation, near zero against the full EMF at t.
std::optional<EmfBand> ElectrodeBand(int index, double t);

// A position the switch could be on instead of the asked one.
struct PositionBand {
    int channel = 1;
    int position = 0; // BI1 switch position code
    EmfBand band;
};

// Another NSH type the thermocouple could be of, with its class 2 band.
struct TypeBand {
    int nshType = 0;
    EmfBand band;
};

// The class 2 bands at t of the thermocouple types the sensor editor offers, except those with
// the characteristic of `declaredType`.
std::vector<TypeBand> OtherTypeBands(int declaredType, double t, ColdJunction cj);

// Graduation range of a reference, °C.
struct GraduationSpan {
    double from = 0;
    double to = 0;
};

// One settled reading at the position the operator was asked to set.
struct ConnectionCase {
    int channel = 1;
    int position = 0;                // asked switch position
    double measured = 0;             // mV as shown
    std::optional<EmfBand> expected; // none: nothing is expected, so nothing is diagnosed
    // A near-zero reading can be told from a furnace still at room temperature.
    bool openPossible = true;
    std::vector<PositionBand> others;
    int declaredType = -1; // NSH type of an input of the direct method; -1 otherwise
    std::vector<TypeBand> otherTypes;
    std::optional<GraduationSpan> graduation; // the asked position is a graduated reference
};

inline constexpr const char16_t *kDiagnosisPrefix = u"Проверьте подключение: ";

// The diagnosis of a reading, starting with "Проверьте подключение:"; empty when the reading
// is inside its band or nothing is expected of it.
QString DiagnoseConnection(const ConnectionCase &c);

} // namespace kront
