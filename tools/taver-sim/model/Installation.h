#pragma once

#include <QList>
#include <QPointF>
#include <QString>
#include <array>
#include <random>

// The simulated verification installation: a furnace, two bunches of
// thermocouples behind the two switches of the BI1 unit, and the voltmeter
// channel that BI1 is wired to. Temperatures in °C, EMF in mV.
namespace kront::sim
{

// Furnace: temperature approaches the set-point with a first-order lag
// (tau 0 = at once) and drifts linearly on top of it.
struct Furnace {
    double setPoint = 20.0;    // °C
    double temperature = 20.0; // °C
    double tauSeconds = 0.0;
    double driftPerMinute = 0.0; // °C/min added to the set-point over time

    void setTarget(double t);
    void advance(double seconds);
};

enum class ReferenceKind { None, PPO, PRO, Mercury };

struct ReferenceSensor {
    ReferenceKind kind = ReferenceKind::None;
    QList<QPointF> graduation; // (°C, mV) pairs, ascending; empty: the type's NSH
    double deviationMv = 0.0;

    // EMF at t with the cold junction at 0 °C; NaN outside the graduation.
    double emfAt(double t) const;
    int nshType() const; // 9 ППО, 10 ПРО, -1 otherwise
};

struct VerifiedSensor {
    bool present = false;
    int nshType = 5;          // ТХА by default
    double deviationC = 0.0;  // the thermocouple reads as if it were this much hotter
    double deviationMv = 0.0; // added to its EMF
    bool open = false;        // unplugged or broken: the input reads an open loop
    bool reversed = false;    // wired with reversed polarity
};

struct Bunch {
    ReferenceSensor reference;
    std::array<VerifiedSensor, 5> inputs; // 1..4, [0] unused
};

class Installation
{
public:
    Furnace furnace;
    std::array<Bunch, 3> bunches;         // channels 1..2, [0] unused
    std::array<int, 3> switches{0, 5, 5}; // BI1 switch position codes per channel
    double coldJunction = 0.0;            // °C, of every thermocouple
    bool referenceInverted = false;       // "ОБР" wired with reversed polarity
    double noiseMv = 0.0;                 // standard deviation of the reading noise

    // Operator mistakes with the BI1 switches, per channel: kSwitchObeys, kSwitchStays (the
    // switch stays where it was whatever the prompt said) or the position it goes to instead.
    static constexpr int kSwitchObeys = -1;
    static constexpr int kSwitchStays = -2;
    std::array<int, 3> misswitch{kSwitchObeys, kSwitchObeys, kSwitchObeys};
    std::array<int, 3> askedSwitches{0, 5, 5}; // the positions the operator was asked for

    // The operator turns the switch of a channel as asked, or makes the mistake set for it.
    void turnSwitch(int channel, int position);
    // The mistake of a channel is set (or cleared: the switch goes where it was asked to).
    void setMisswitch(int channel, int mode);

    // The EMF that BI1 channel `channel` puts out at its switch position, in
    // mV; NaN when the position selects nothing that has an EMF.
    double channelEmf(int channel) const;
    // What the voltmeter channel wired to BI1 measures: the one BI1 channel
    // whose switch is off "0"; both off "0" puts the two sources in parallel
    // (their mean); both at "0" is an open input (0 mV). Noise added.
    double meterInput(std::mt19937 &rng) const;

    // EMF of a verified thermocouple and of the reference, with the cold junction.
    double verifiedEmf(int channel, int input) const;
    double referenceEmf(int channel) const;
    // Electrode legs for the electrode-by-electrode comparison: e1 (positive
    // legs) and e2 (negative legs) with e1 - e2 = thermocouple - reference.
    double electrodeE1(int channel, int input) const;
    double electrodeE2(int channel, int input) const;
};

} // namespace kront::sim
