#include "metrology/ClassDetermination.h"

#include "metrology/NSHPolynomsTP.h"
#include "model/CodeTables.h"
#include "model/TBunch.h"

#include <algorithm>
#include <cmath>

namespace kront
{

int ClassCodeAtPoint(int index, int ownClass, double delta, double deltaDop, double tRef,
                     bool reduceResultClass)
{
    // No characteristic, or no deviation computed at this point: the
    // thermocouple cannot be shown to meet any class.
    if (index < 0 || delta < -299 || deltaDop < -299)
        return kResultUnfit;
    int c = ownClass;
    if (deltaDop >= std::fabs(delta))
        return c;
    for (;;) {
        if (c == 0)
            return 0;
        c = NextClass(index, c);
        if (c < 1 || !reduceResultClass)
            return kResultUnfit;
        if (NSHToleranceEmf(index, c, tRef) >= std::fabs(delta))
            return c;
    }
}

std::array<int, 4> ClassCodesAtPoint(const TBunch &bunch, const PointDeviations &point,
                                     bool reduceResultClass)
{
    std::array<int, 4> codes{};
    for (int input = 1; input <= 4; ++input) {
        const TThermometer *sensor = bunch.Sensor(input);
        const std::size_t i = std::size_t(input - 1);
        codes[i] = sensor ? ClassCodeAtPoint(NSHCharacteristicIndex(sensor->NSHType),
                                             ClassNumber(*sensor), point.delta[i],
                                             point.deltaDop[i], point.tRef, reduceResultClass)
                          : kResultNoSensor;
    }
    return codes;
}

std::array<int, 5> BunchResults(const TBunch &bunch, const std::vector<PointDeviations> &points,
                                bool reduceResultClass)
{
    std::array<int, 5> results{};
    for (int input = 1; input <= 4; ++input)
        results[input] = bunch.Sensor(input) ? 0 : kResultNoSensor;
    for (const PointDeviations &point : points) {
        const std::array<int, 4> codes = ClassCodesAtPoint(bunch, point, reduceResultClass);
        for (int input = 1; input <= 4; ++input)
            if (results[input] >= 0)
                results[input] = std::max(results[input], codes[input - 1]);
    }
    return results;
}

} // namespace kront
