#pragma once

#include <QtGlobal>
#include <functional>
#include <optional>

namespace kront
{

// A point of a reference thermocouple's individual graduation.
struct GraduationPoint {
    double emf;  // mV; -300 when the EMF asked for lies outside the graduation
    double temp; // °C; -300 likewise
};

// Finds the graduation point of reference sensor etalID whose EMF is nearest
// to emf (mV). std::nullopt when the reference table could not be read (the
// look-up has reported that to the operator).
using GraduationLookup = std::function<std::optional<GraduationPoint>(qint32 etalID, double emf)>;

struct ReferenceTemperatureResult {
    double t = -300;        // furnace temperature, °C; below -299 when none
    double emfTsk = -300;   // EMF of the reference's characteristic at the cold junction, mV
    double emfTotal = -300; // reference EMF corrected by emfTsk, mV
};

// Turns the EMF of a reference thermocouple (NSH type nshType, stored as
// etalID) with its cold junction at tsk (°C) into the furnace temperature,
// through its nearest graduation point and the sensitivity of its type.
ReferenceTemperatureResult ReferenceTemperature(int nshType, qint32 etalID, double tsk, double emf,
                                                const GraduationLookup &graduation);

} // namespace kront
