#pragma once

#include "model/TBunch.h"
#include "sensors/SensorSet.h"

#include <QString>
#include <array>
#include <memory>

namespace kront
{

class ChannelBunches;

// The bunches of a commit of the working-thermocouple grids, built in full
// before any of the editor's bunches is replaced.
struct ChannelBunchBuild {
    std::array<std::unique_ptr<TBunch>, 3> bunches; // channels 1..2, [0] unused
    QString error;                                  // empty when every cell converted
    bool ok() const { return error.isEmpty(); }
};

// Turns the grids of kind 3 into bunches: one per grid that has a row with a
// type, with the reference sensor of row 1 (its register ID from
// referenceIDs[grid]) and the verified sensors of rows 2..5 (ID 0 until a
// verification stores them). Other kinds build nothing. A cell that does not
// convert stops the build with a message naming it.
ChannelBunchBuild BuildChannelBunches(const SensorSet &set, const std::array<int, 3> &referenceIDs);

// Shows the editor's bunches again: each bunch of the set's kind fills the
// grid of its channel (the set is cleared first).
void FillFromBunches(SensorSet &set, const ChannelBunches &bunches);

} // namespace kront
