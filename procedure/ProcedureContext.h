#pragma once

#include "procedure/ReadingOrder.h"
#include "procedure/StepState.h"

namespace kront
{

class Database;
class Dialogs;
class MeterLink;
class PoverkaView;
class ProgramSettings;
class TBi1;
class TPoverka;

// What a job of the verification engine asks of the engine as a whole.
class EngineHost
{
public:
    // The controls of channel 1 or 2 follow the present state (PrepareControls).
    virtual void refreshControls(int channel) = 0;
    // The operator aborts the verification: readings stop, the window closes.
    virtual void abortVerification() = 0;
    // The run cannot go on: the steps are dropped and the window closes without a question.
    virtual void endWindow() = 0;
    virtual bool isClosed() const = 0;

protected:
    ~EngineHost() = default;
};

// What the jobs of one verification window share: the verification, the switching unit, the
// store, the dialogs, the settings, the window, the voltmeter link (not owned; none until the
// window sets it) and the open step.
struct ProcedureContext {
    TPoverka &pov;
    TBi1 &bi1;
    Database &db;
    Dialogs &dialogs;
    const ProgramSettings &settings;
    PoverkaView &view;
    EngineHost &host;
    MeterLink *meter = nullptr;
    StepState step;

    // Where the reading of channel 1 or 2 goes in its grid, and where the switch goes next.
    ReadingCursor cursor(int channel) const;
};

} // namespace kront
