#include "metrology/ReferenceTemperature.h"

#include "metrology/NSHPolynomsTP.h"
#include "metrology/SensitivityTable.h"
#include "model/CodeTables.h"

#include <cmath>

namespace kront
{

ReferenceTemperatureResult ReferenceTemperature(int nshType, qint32 etalID, double tsk, double emf,
                                                const GraduationLookup &graduation)
{
    ReferenceTemperatureResult r;
    // A ТПР/ПРО reference gives practically no EMF near room temperature.
    if (nshType == nshTPR || nshType == nshPRO) {
        r.emfTsk = 0;
    } else {
        r.emfTsk = static_cast<double>(NSHEmf(NSHCharacteristicIndex(nshType), tsk));
        if (r.emfTsk < -299) {
            r.t = r.emfTsk;
            return r;
        }
    }
    const double total = emf + r.emfTsk;
    if (!std::isfinite(total))
        return r;
    r.emfTotal = total;

    const std::optional<GraduationPoint> point =
        graduation ? graduation(etalID, r.emfTotal) : std::nullopt;
    if (!point || point->temp < -290)
        return r; // t stays -300

    const double s = ReferenceSensitivity(nshType, point->temp); // µV/°C
    if (s < -299)
        return r;
    r.t = point->temp + (r.emfTotal - point->emf) / (s / 1000);
    return r;
}

} // namespace kront
