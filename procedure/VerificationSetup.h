#pragma once

#include "db/VerificationConditions.h"
#include "procedure/SetupPages.h"

#include <QStringList>
#include <optional>
#include <vector>

namespace kront
{

class Database;
class Dialogs;
class StepSequencer;
class TPoverka;
struct ProcedureContext;

// Pages 1..3 of the verification window: the parameters, the verification means, the external
// inspection and the insulation. Accepting page 3 stores the verification with its sensors,
// bunches and conditions and prepares its first step; what was stored goes again when that
// fails.
class VerificationSetup
{
public:
    VerificationSetup(ProcedureContext &context, StepSequencer &steps);

    SetupPrepared prepare();
    bool acceptParametersPage(const ParametersPage &page, std::optional<QStringList> &equipLines);
    bool acceptMeansPage(const QStringList &lines);
    bool acceptInspectionPage(InspectionPage &page);

private:
    bool storeVerification(const InspectionPage &page);
    bool storeSensors(int channel);
    bool storeBunch(int channel, const InspectionPage &page);
    bool storeConditions();
    void deletePartialData();

    ProcedureContext &ctx;
    TPoverka &pov;
    Database &db;
    Dialogs &dialogs;
    StepSequencer &sequencer;
    std::vector<int> storedSensorIDs;  // Sensors rows written by page 3 "Next"
    VerificationConditions conditions; // page 3 "Условия поверки", checked
    QString verifier;                  // page 1, stored with the conditions
    // Page 1 was accepted with "Yes" to deleting today's verification of the same number.
    bool replacesSameNumber = false;
};

} // namespace kront
