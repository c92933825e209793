#pragma once

#include "E2eScenario.h"
#include "sensors/EtalTPRegister.h"

#include <utility>
#include <vector>

namespace kront
{
class Database;
class Dialogs;
} // namespace kront

namespace kront::e2e
{

// The reference thermocouples (ППО or ПРО) of the scenario's channels as the
// register's editor holds them, each with its channel.
std::vector<std::pair<int, EtalTPData>> scenarioReferences(const Scenario &sc);

// Whether two editor entries name the same thermocouple (serial, year, name,
// type) and whether they hold the same data throughout.
bool sameReference(const EtalTPData &a, const EtalTPData &b);
bool sameReferenceData(const EtalTPData &a, const EtalTPData &b);

// Stores one entry as "Применить" of the editor does; false when the
// register refused it (its message went to the dialogs).
bool registerReference(EtalTPData data, Database &db, Dialogs &dialogs);

// Whether the register holds an entry of that thermocouple.
bool inRegister(const EtalTPData &data, Database &db);

} // namespace kront::e2e
