#pragma once

#include "E2eScenario.h"

namespace kront
{
class Database;
}

namespace kront::e2e
{

// Puts the scenario's [registry] data into the home, runs `kront-cli registry-export --id` on the
// verification and checks the file: `results` results of which `unfit` inapplicable, `skipped`
// thermocouples listed as skipped, the exit status that goes with it, and the file valid against
// the program's schema (xmllint). Empty when all held, else what did not.
QString checkRegistryExport(const Scenario &sc, Database &db, int poverkaID, int results,
                            int skipped, int unfit);

} // namespace kront::e2e
