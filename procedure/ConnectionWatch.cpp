#include "procedure/ConnectionWatch.h"

#include "common/text/StringFunctions.h"
#include "db/Database.h"
#include "metrology/ConnectionCheck.h"
#include "model/CodeTables.h"
#include "model/TBi1.h"
#include "model/TBunch.h"
#include "model/TPoverka.h"

#include <algorithm>

namespace kront
{
namespace
{

const ChannelStep *stepOf(const std::vector<ChannelStep> &steps, int channel)
{
    for (const ChannelStep &s : steps)
        if (s.Bunch && int(s.Bunch->ChannelNum) == channel)
            return &s;
    return nullptr;
}

bool isReference(int position)
{
    return position == bpDirectReference || position == bpElectrodeReference;
}

// The cold junction of a reference: a ППО's is asked when the run starts.
ColdJunction referenceColdJunction(const TThermometer &etal, double etalTsk)
{
    return etal.NSHType == nshPPO ? ColdJunction::known(etalTsk) : ColdJunction{};
}

// An electrode of a thermocouple reads near zero against the same electrode of the reference
// only when both are of one kind: the same characteristic, or ТПП13 against ТПП10.
bool legsComparable(int refIndex, int index)
{
    const auto platinumRhodium = [](int i) { return i == 0 || i == 1; };
    return index >= 0 &&
           (index == refIndex || (platinumRhodium(index) && platinumRhodium(refIndex)));
}

// The input 1..4 of an electrode position 7..14.
int electrodeInput(int position)
{
    return (position - 7) / 2 + 1;
}

} // namespace

ReferenceSpanLookup databaseReferenceSpan(Database &db)
{
    return [&db](qint32 etalID) -> std::optional<ReferenceSpan> {
        ReferenceSpan s;
        if (!db.DBGetEtalSvidSpan(etalID, s.lowEmf, s.lowTemp, s.highEmf, s.highTemp))
            return std::nullopt;
        return s;
    };
}

QString ConnectionWatch::recordQuestion(const QString &diagnosis)
{
    return diagnosis + QStringLiteral(". Записать показание всё равно?");
}

void ConnectionWatch::noteFurnace(const TPoverka &pov, int channel, double t)
{
    if ((channel == 1 || channel == 2) && t >= -299)
        furnaces[std::size_t(channel)] = {pov.Stage, pov.StepIndex, t};
}

std::optional<double> ConnectionWatch::furnace(const ReadingContext &context,
                                               const ChannelStep &step) const
{
    if (step.EtalKind == 0) {
        // The mercury thermometer's latest typed reading of this step.
        for (int col = 4; col >= 1; --col) {
            double t = 0;
            const QString &cell = context.grid[std::size_t(col)][1];
            if (IsSignedNumber(cell) && TryStrToFloat(cell, t))
                return t;
        }
        return std::nullopt;
    }
    const Furnace &f = furnaces[std::size_t(context.channel)];
    if (f.t < -299 || f.stage != context.pov.Stage || f.step != context.pov.StepIndex)
        return std::nullopt;
    return f.t;
}

std::optional<ReferenceSpan> ConnectionWatch::span(qint32 etalID)
{
    const auto known = std::find_if(spans.begin(), spans.end(),
                                    [&](const auto &entry) { return entry.first == etalID; });
    if (known != spans.end())
        return known->second;
    std::optional<ReferenceSpan> s = spanOf ? spanOf(etalID) : std::nullopt;
    if (s && s->lowEmf < -299)
        s.reset(); // no graduation
    spans.emplace_back(etalID, s);
    return s;
}

QString ConnectionWatch::diagnose(const ReadingContext &context, double measured)
{
    const int channel = context.channel;
    const ChannelStep *step = stepOf(context.steps, channel);
    if (!step || !step->Bunch)
        return QString();
    const TBunch &bunch = *step->Bunch;
    const int position = context.bi1.GetPosition(channel);
    const bool electrode = context.pov.Methodic == 1;
    const std::optional<double> t = furnace(context, *step);
    const TThermometer *etal = step->EtalKind != 0 ? bunch.EtalSensor.get() : nullptr;
    const int refIndex = etal ? NSHCharacteristicIndex(etal->NSHType) : -1;
    const ColdJunction refCj =
        etal ? referenceColdJunction(*etal, context.etalTsk) : ColdJunction{};
    const ColdJunction cj; // the verified thermocouples' is entered after the last reading

    ConnectionCase c;
    c.channel = channel;
    c.position = position;
    c.measured = measured;
    c.openPossible = t.has_value();

    // What the other positions of this channel would read at the furnace temperature.
    if (t) {
        if (etal)
            if (const auto band = ReferenceBandAt(refIndex, *t, refCj))
                c.others.push_back(
                    {channel, electrode ? bpElectrodeReference : bpDirectReference, *band});
        for (int input = 1; input <= 4; ++input) {
            const TThermometer *s = bunch.Sensor(input);
            if (!s)
                continue;
            const int index = NSHCharacteristicIndex(s->NSHType);
            if (electrode) {
                if (!legsComparable(refIndex, index))
                    continue;
                if (const auto band = ElectrodeBand(index, *t)) {
                    c.others.push_back({channel, bpPositiveElectrode(input), *band});
                    c.others.push_back({channel, bpNegativeElectrode(input), *band});
                }
            } else if (const auto band = InputBand(index, ClassNumber(*s), *t, cj)) {
                c.others.push_back({channel, bpDirectInput(input), *band});
            }
        }
    }
    // The reference of the other channel, anywhere in its graduation.
    const int otherChannel = 3 - channel;
    if (const ChannelStep *other = stepOf(context.steps, otherChannel);
        other && other->EtalKind != 0 && other->Bunch->EtalSensor) {
        const TThermometer &e = *other->Bunch->EtalSensor;
        if (const auto s = span(e.ID))
            if (const auto band = ReferenceGraduationBand(NSHCharacteristicIndex(e.NSHType),
                                                          s->lowEmf, s->highEmf, ColdJunction{}))
                c.others.push_back(
                    {otherChannel, electrode ? bpElectrodeReference : bpDirectReference, *band});
    }

    if (isReference(position)) {
        if (!etal)
            return QString();
        const auto s = span(etal->ID);
        if (!s)
            return QString();
        c.expected = ReferenceGraduationBand(refIndex, s->lowEmf, s->highEmf, refCj);
        c.graduation =
            GraduationSpan{std::min(s->lowTemp, s->highTemp), std::max(s->lowTemp, s->highTemp)};
    } else if (t && position >= 1 && position <= 4) {
        const TThermometer *s = bunch.Sensor(position);
        if (!s)
            return QString();
        c.expected = InputBand(NSHCharacteristicIndex(s->NSHType), ClassNumber(*s), *t, cj);
        c.declaredType = s->NSHType;
        c.otherTypes = OtherTypeBands(s->NSHType, *t, cj);
    } else if (t && position >= 7 && position <= 14) {
        const TThermometer *s = bunch.Sensor(electrodeInput(position));
        const int index = s ? NSHCharacteristicIndex(s->NSHType) : -1;
        if (!legsComparable(refIndex, index))
            return QString();
        c.expected = ElectrodeBand(index, *t);
    }
    // The asked position is no alternative to itself.
    std::erase_if(c.others, [&](const PositionBand &p) {
        return p.channel == channel && p.position == position;
    });
    return DiagnoseConnection(c);
}

} // namespace kront
