#include "metrology/SensitivityTable.h"

#include "model/CodeTables.h"

#include <span>

namespace kront
{

namespace
{

struct SensitivityRow {
    double t;           // °C
    double sensitivity; // µV/°C
};

// Rows 100 °C apart.
constexpr SensitivityRow kTypeS[] = {{300, 9.1},   {400, 9.6},  {500, 9.9},  {600, 10.2},
                                     {700, 10.5},  {800, 10.9}, {900, 11.2}, {1000, 11.5},
                                     {1100, 11.8}, {1200, 12.1}};
constexpr SensitivityRow kTypeB[] = {{600, 6.0},   {700, 6.8},   {800, 7.6},   {900, 8.4},
                                     {1000, 9.1},  {1100, 9.8},  {1200, 10.4}, {1300, 10.9},
                                     {1400, 11.3}, {1500, 11.6}, {1600, 11.7}, {1700, 11.7}};

std::span<const SensitivityRow> tableOf(int nshType)
{
    switch (nshType) {
    case nshTPP10:
    case nshPPO: return kTypeS;
    case nshTPR:
    case nshPRO: return kTypeB;
    default: return {};
    }
}

} // namespace

double ReferenceSensitivity(int nshType, double t0)
{
    const std::span<const SensitivityRow> table = tableOf(nshType);
    if (table.empty() || !(t0 >= table.front().t && t0 <= table.back().t))
        return -300;
    // The first row at or above t0, from the second row on.
    for (std::size_t i = 1; i < table.size(); ++i) {
        if (t0 <= table[i].t) {
            const SensitivityRow &below = table[i - 1];
            return below.sensitivity +
                   (table[i].sensitivity - below.sensitivity) * (t0 - below.t) / 100;
        }
    }
    return -300; // not reached: t0 is within the table
}

} // namespace kront
