#pragma once

#include "model/TBi1.h"
#include "model/TPoverka.h"

#include <QDateTime>
#include <memory>

namespace kront
{

class ChannelBunches;

// The current verification and the current switching unit. Both exist only
// while the verification wizard is open: a new verification or the
// resumption of an unfinished one creates them, the closing of the wizard
// destroys them. Only one exists at a time because the wizard is modal. The
// program's windows own the one of the run.
class CurrentVerification
{
public:
    TPoverka *Poverka() const { return poverka.get(); }
    TBi1 *Bi1() const { return bi1.get(); }
    bool exists() const { return poverka != nullptr; }

    // A new verification over the channel bunches (shared, not copied):
    // two channels, started now, channels without a bunch left unused,
    // stage Initiation; and a new switching unit.
    TPoverka &beginNew(ChannelBunches &bunches, const QDateTime &now);

    // A verification built elsewhere (the resumption of an unfinished one).
    TPoverka &adopt(std::unique_ptr<TPoverka> verification);

    // Destroys the verification and the switching unit. The channel bunches
    // stay where they are.
    void end();

private:
    std::unique_ptr<TPoverka> poverka;
    std::unique_ptr<TBi1> bi1;
};

} // namespace kront
