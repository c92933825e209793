#pragma once

#include "common/Dialogs.h"
#include "procedure/ReadingOrder.h"

#include <QString>

namespace kront
{

class ChannelPanels;
class ReadingAcceptance;
struct ProcedureContext;

// A measuring run of one channel: choosing the channel, the operator's setting of the furnace
// or thermostat and of the BI1 switches, the cold junction of a ППО reference, the start of
// transmission, and the switch moving on from input to input.
class MeasuringRun
{
public:
    MeasuringRun(ProcedureContext &context, ReadingAcceptance &readings,
                 ChannelPanels &channelPanels)
        : ctx(context), acceptance(readings), panels(channelPanels)
    {
    }

    // Window message 1026: the run of the next channel whose step is open.
    void start();
    // Chooses the channel to measure next: the first one in use whose step still awaits
    // readings or its cold-junction temperature. False when none is left.
    bool selectChannel();
    // The switch of the channel measured goes to the next position of the cursor (the operator
    // is asked to set it, except for a mercury thermometer's reference readings).
    void moveSwitch(const ReadingCursor &cursor, bool mercuryReferenceOfLaterSeries);
    // Transmission of readings starts at once; a failure is shown. False on failure.
    bool startReceive();

private:
    bool runPromptLoop(const QString &caption, const QString &text, Dialogs::Icon icon);
    bool askReferenceColdJunction(const QString &prompt, double &value);
    void setRunPositions(int currentPosition);
    bool startTransmission(); // after the voltmeter has had time to settle

    ProcedureContext &ctx;
    ReadingAcceptance &acceptance;
    ChannelPanels &panels;
};

} // namespace kront
