#include "metrology/ConnectionCheck.h"

#include "common/text/StringFunctionsFormat.h"
#include "metrology/NSHPolynomsTP.h"
#include "model/CodeTables.h"

#include <algorithm>
#include <cmath>

namespace kront
{
namespace
{

std::optional<double> emfOf(int index, double t)
{
    const double e = double(NSHEmf(index, t));
    if (e < -299)
        return std::nullopt;
    return e;
}

// Lowest and highest EMF of the characteristic over the cold-junction range (ТПР is not
// monotonic near room temperature, so both ends and nothing between are not enough for it;
// its EMF there stays within a few µV, which the ends bound well enough).
std::optional<EmfBand> coldJunctionEmf(int index, ColdJunction cj)
{
    const auto a = emfOf(index, cj.low);
    const auto b = emfOf(index, cj.high);
    if (!a || !b)
        return std::nullopt;
    return EmfBand{std::min(*a, *b), std::max(*a, *b)};
}

constexpr int kIndexB = 2; // ПРО and ТПР: practically no EMF near room temperature

bool noColdJunctionEmf(int index)
{
    return index == kIndexB;
}

QString mv(double value)
{
    return FloatToStrF(value, TFloatFormat::ffFixed, 15, 3);
}

QString degrees(double value)
{
    return FloatToStrF(value, TFloatFormat::ffFixed, 15, 0);
}

QString inputName(int position)
{
    if (position == bpDirectReference || position == bpElectrodeReference)
        return QStringLiteral("ОБР");
    if (position >= 1 && position <= 4)
        return QString::number(position);
    if (position >= 7 && position <= 14)
        return InputLabel(position).section(u',', 0, 0);
    return InputLabel(position);
}

// The alternative whose band holds the reading, nearest by its centre.
const PositionBand *matchingPosition(const ConnectionCase &c)
{
    const PositionBand *best = nullptr;
    for (const PositionBand &p : c.others) {
        if (!p.band.contains(c.measured))
            continue;
        if (!best ||
            std::fabs(p.band.centre() - c.measured) < std::fabs(best->band.centre() - c.measured))
            best = &p;
    }
    return best;
}

const TypeBand *matchingType(const ConnectionCase &c)
{
    const TypeBand *best = nullptr;
    for (const TypeBand &t : c.otherTypes) {
        if (!t.band.contains(c.measured))
            continue;
        if (!best ||
            std::fabs(t.band.centre() - c.measured) < std::fabs(best->band.centre() - c.measured))
            best = &t;
    }
    return best;
}

} // namespace

std::optional<EmfBand> CharacteristicBand(int index, double from, double to, ColdJunction cj)
{
    if (index < 0)
        return std::nullopt;
    const auto low = emfOf(index, from);
    const auto high = emfOf(index, to);
    const auto cold = coldJunctionEmf(index, cj);
    if (!low || !high || !cold)
        return std::nullopt;
    return EmfBand{*low - cold->high, *high - cold->low};
}

std::optional<EmfBand> ReferenceBandAt(int index, double t, ColdJunction cj)
{
    if (noColdJunctionEmf(index))
        cj = ColdJunction::known(0);
    return CharacteristicBand(index, t - kSetPointUncertainty, t + kSetPointUncertainty, cj);
}

std::optional<EmfBand> ReferenceGraduationBand(int index, double emfLow, double emfHigh,
                                               ColdJunction cj)
{
    if (emfLow < -299 || emfHigh < emfLow)
        return std::nullopt;
    if (noColdJunctionEmf(index))
        return EmfBand{emfLow, emfHigh};
    const auto cold = coldJunctionEmf(index, cj);
    if (!cold)
        return std::nullopt;
    // The graduation takes E + E(cold junction).
    return EmfBand{emfLow - cold->high, emfHigh - cold->low};
}

std::optional<EmfBand> InputBand(int index, int classNumber, double t, ColdJunction cj)
{
    const double w = NSHTolerance(index, classNumber, t) + kInputMargin;
    return CharacteristicBand(index, t - w, t + w, cj);
}

std::optional<EmfBand> ElectrodeBand(int index, double t)
{
    const auto full = emfOf(index, t);
    if (!full)
        return std::nullopt;
    const double m = std::max(kLegFraction * std::fabs(*full), kOpenInputEmf);
    return EmfBand{-m, m};
}

std::vector<TypeBand> OtherTypeBands(int declaredType, double t, ColdJunction cj)
{
    std::vector<TypeBand> bands;
    const int declared = NSHCharacteristicIndex(declaredType);
    // The working thermocouple types of the sensor editor: ТПП13(R) … ТХК(L).
    for (int type = nshTPP13; type <= nshTHK; ++type) {
        const int index = NSHCharacteristicIndex(type);
        if (index < 0 || index == declared)
            continue;
        const double w = NSHTolerance(index, 2, t);
        if (w <= 0)
            continue; // no class 2 at this temperature
        if (const auto band = CharacteristicBand(index, t - w, t + w, cj))
            bands.push_back({type, *band});
    }
    return bands;
}

QString DiagnoseConnection(const ConnectionCase &c)
{
    if (!c.expected || !std::isfinite(c.measured) || c.expected->contains(c.measured))
        return QString();
    const EmfBand &e = *c.expected;
    const QString prefix = QString::fromUtf16(kDiagnosisPrefix);
    const QString input = inputName(c.position);
    const bool bigExpected = e.low > kOpenInputExpected || e.high < -kOpenInputExpected;
    if (c.openPossible && bigExpected && std::fabs(c.measured) < kOpenInputEmf)
        return prefix + QStringLiteral("вход ") + input +
               QStringLiteral(" не подключен или обрыв термопары");
    if (e.contains(-c.measured))
        return prefix + QStringLiteral("обратная полярность на входе ") + input;
    if (const PositionBand *p = matchingPosition(c))
        return prefix + QStringLiteral("переключатель канала ") + QString::number(p->channel) +
               QStringLiteral(", похоже, в положении «") + InputLabel(p->position) +
               QStringLiteral("»");
    if (c.declaredType >= 0) {
        if (const TypeBand *t = matchingType(c))
            return prefix + QStringLiteral("ТЭДС соответствует типу ") +
                   NSHDisplayNameOf(t->nshType) + QStringLiteral(", а не заявленному ") +
                   NSHDisplayNameOf(c.declaredType);
    }
    if (c.graduation)
        return prefix + QStringLiteral("ТЭДС эталона вне диапазона его градуировки (от ") +
               degrees(c.graduation->from) + QStringLiteral(" до ") + degrees(c.graduation->to) +
               QStringLiteral(" °C)");
    return prefix + QStringLiteral("измерено ") + mv(c.measured) +
           QStringLiteral(" мВ, ожидается от ") + mv(e.low) + QStringLiteral(" до ") + mv(e.high) +
           QStringLiteral(" мВ");
}

} // namespace kront
