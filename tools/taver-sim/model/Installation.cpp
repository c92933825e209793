#include "Installation.h"

#include "SimNsh.h"

#include <cmath>
#include <limits>

namespace kront::sim
{

namespace
{

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Share of the EMF difference that falls on the positive legs in the
// electrode comparison; the rest (with opposite sign) on the negative legs.
constexpr double kPositiveLegShare = 0.6;

} // namespace

void Furnace::setTarget(double t)
{
    setPoint = t;
    if (tauSeconds <= 0)
        temperature = t;
}

void Furnace::advance(double seconds)
{
    if (seconds <= 0)
        return;
    setPoint += driftPerMinute * seconds / 60.0;
    if (tauSeconds <= 0)
        temperature = setPoint;
    else
        temperature += (setPoint - temperature) * (1.0 - std::exp(-seconds / tauSeconds));
}

int ReferenceSensor::nshType() const
{
    switch (kind) {
    case ReferenceKind::PPO: return 9;
    case ReferenceKind::PRO: return 10;
    default: return -1;
    }
}

double ReferenceSensor::emfAt(double t) const
{
    if (graduation.isEmpty())
        return typeEmf(nshType(), t) + deviationMv;
    // Linear between graduation points, extended by the end segments.
    if (graduation.size() == 1)
        return graduation[0].y() + deviationMv;
    int i = 1;
    while (i < graduation.size() - 1 && t > graduation[i].x())
        ++i;
    const QPointF a = graduation[i - 1], b = graduation[i];
    if (b.x() == a.x())
        return a.y() + deviationMv;
    return a.y() + (b.y() - a.y()) * (t - a.x()) / (b.x() - a.x()) + deviationMv;
}

double Installation::referenceEmf(int channel) const
{
    const ReferenceSensor &ref = bunches[channel].reference;
    if (ref.kind == ReferenceKind::None || ref.kind == ReferenceKind::Mercury)
        return kNaN;
    // Graduation and NSH are for a cold junction at 0 °C; the junction sits
    // at coldJunction, which takes its own EMF off.
    const double e = ref.emfAt(furnace.temperature) - typeEmf(ref.nshType(), coldJunction);
    return referenceInverted ? -e : e;
}

double Installation::verifiedEmf(int channel, int input) const
{
    const VerifiedSensor &s = bunches[channel].inputs[input];
    if (!s.present || s.open)
        return kNaN;
    const double e = typeEmf(s.nshType, furnace.temperature + s.deviationC) -
                     typeEmf(s.nshType, coldJunction) + s.deviationMv;
    return s.reversed ? -e : e;
}

void Installation::turnSwitch(int channel, int position)
{
    askedSwitches[channel] = position;
    const int mode = misswitch[channel];
    if (mode == kSwitchObeys)
        switches[channel] = position;
    else if (mode >= 0)
        switches[channel] = mode;
}

void Installation::setMisswitch(int channel, int mode)
{
    misswitch[channel] = mode;
    if (mode == kSwitchObeys)
        switches[channel] = askedSwitches[channel];
    else if (mode >= 0)
        switches[channel] = mode;
}

double Installation::electrodeE1(int channel, int input) const
{
    double ref = referenceEmf(channel);
    if (referenceInverted)
        ref = -ref; // the legs are compared directly, not through "ОБР"
    const double d = verifiedEmf(channel, input) - ref;
    return kPositiveLegShare * d;
}

double Installation::electrodeE2(int channel, int input) const
{
    double ref = referenceEmf(channel);
    if (referenceInverted)
        ref = -ref;
    const double d = verifiedEmf(channel, input) - ref;
    return -(1.0 - kPositiveLegShare) * d;
}

double Installation::channelEmf(int channel) const
{
    const int pos = switches[channel];
    if (pos == 0 || pos == 6)
        return referenceEmf(channel);
    if (pos >= 1 && pos <= 4)
        return verifiedEmf(channel, pos);
    if (pos >= 7 && pos <= 14) {
        const int input = (pos - 7) / 2 + 1;
        return (pos - 7) % 2 == 0 ? electrodeE1(channel, input) : electrodeE2(channel, input);
    }
    return kNaN; // "0" or an unknown position: nothing connected
}

double Installation::meterInput(std::mt19937 &rng) const
{
    double sum = 0;
    int sources = 0;
    for (int c = 1; c <= 2; ++c) {
        if (switches[c] == 5)
            continue;
        const double e = channelEmf(c);
        sum += std::isnan(e) ? 0.0 : e; // an empty input reads as an open loop
        ++sources;
    }
    double value = sources ? sum / sources : 0.0;
    if (noiseMv > 0) {
        std::normal_distribution<double> noise(0.0, noiseMv);
        value += noise(rng);
    }
    return value;
}

} // namespace kront::sim
