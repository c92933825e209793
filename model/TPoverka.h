#pragma once

#include "model/TBunch.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <vector>

namespace kront
{

// Stage of a verification, stored by name in the state string.
enum : quint8 {
    stInitiation = 0,
    stInstability = 1,
    stMainCycle = 2,
    stCalculation = 3,
};

// "Initiation", "Instability", "MainCycle", "Calculation"; empty outside 0..3.
QString StageName(int stage);
// Stage of a stage name; false (stage untouched) for any other text.
bool StageFromName(const QString &name, quint8 &stage);

// Designation of the verification procedure.
QString GostNumberText(); // "ГОСТ 8.338-2002"

// One verification. Exists while the verification window is open. It refers to the bunches of
// the connected-sensors editor without owning them; a resumed verification owns the bunches it
// rebuilt from the tables.
class TPoverka
{
public:
    TPoverka() = default;
    TPoverka(const TPoverka &) = delete;
    TPoverka &operator=(const TPoverka &) = delete;
    virtual ~TPoverka() = default;

    qint32 ID = 0;       // Poverki row; 0 until the row exists
    QString PovNum;      // verification number, at most 8 characters
    QDateTime Started;   // start of the verification (local time)
    QDateTime Finished;  // end; null while unfinished
    QString GOSTnum;     // "ГОСТ 8.338-2002"
    quint8 Methodic = 0; // 0 direct measurement, 1 electrode-by-electrode comparison
    quint8 Kind = 0;     // 0 primary, 1 periodic
    bool InstabilityCheckNeeded = false; // check before and after annealing (primary only)
    quint32 TempPointsCount = 0;         // temperature points, 1..8
    QStringList EquipmentParams;         // the verification means, one line each
    qint32 ChannelCount = 0;             // channels the procedure walks: 2 thermocouples, 1 RTD
    std::array<bool, 3> ChannelUnused{}; // channels 1..2, [0] unused
    std::array<TBunch *, 3> Bunches{};   // channels 1..2, not owned
    std::vector<std::unique_ptr<TBunch>> OwnedBunches; // only for a resumed verification
    quint8 Stage = stInitiation;
    bool InstabilityDone = false; // the instability stage is complete
    quint32 StepIndex = 0;        // 0-based index of the current step of the stage
    quint32 StepCount = 0;        // number of steps of the stage

    // Sets up a new verification: two channels, both unused until a bunch is attached, the
    // start time, the procedure designation, stage Initiation with instability not done.
    void BeginNew(const QDateTime &started);

    // Puts a bunch of the connected-sensors editor into a slot 1..2 (not owned): clears its
    // early-end marks and marks the channel of its ChannelNum used. False for a null bunch or
    // another slot.
    bool AttachBunch(int slot, TBunch *bunch);

    // Takes a bunch rebuilt from the tables into a slot 1..2 and owns it; marks the channel of
    // its ChannelNum used. Returns the bunch, or nullptr (bunch freed) for another slot.
    TBunch *AdoptBunch(int slot, std::unique_ptr<TBunch> bunch);
};

} // namespace kront
