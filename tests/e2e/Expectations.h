#pragma once

#include "E2eScenario.h"

#include <QStringList>

namespace kront
{
class Database;
}

namespace kront::e2e
{

class E2eDialogs;
class WizardDriver;

// Checks the outcome of a played scenario against its [expect] section and
// the stored tables; returns the failures (empty when all held).
QStringList checkExpectations(const Scenario &sc, Database &db, const E2eDialogs &dialogs,
                              const WizardDriver &driver);

} // namespace kront::e2e
