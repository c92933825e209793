#pragma once

#include "sensors/SensorSet.h"

#include <array>

namespace kront
{

class ChannelBunches;
class Database;
class Dialogs;

// "Принять" of the connected-sensors editor: the checks of the grids, the
// match of each reference thermocouple against the register, and the new
// channel bunches.
class SensorSetCommit
{
public:
    SensorSetCommit(Database &database, Dialogs &dialogs);

    // "Принять" of the editor (BtnCommitClick). Runs the required-field, numeric, length and
    // reference checks, stopping at the first that fails (warning or error shown, bunches
    // untouched). Then converts the grids into new bunches (kind 3 only) and, once all of them
    // converted, replaces the editor's bunches; other kinds leave the editor without bunches. True
    // when the editor may close.
    bool commitToBunches(const SensorSet &set, ChannelBunches &bunches);

    // Grid row 1 against EtalSens: true for exactly one matching row; the
    // error for none or several (nothing more when the table did not open).
    bool ReferenceCheck(const SensorSet &set, int grid);

    // The register ID of grid row 1: by serial, year, name and type, and
    // when that is not unique by the full reference match; -1 if none.
    int ReferenceID(const SensorSet &set, int grid);

private:
    Database &db;
    Dialogs &dialogs;
};

} // namespace kront
