#pragma once

#include "metrology/DriftCheck.h"
#include "metrology/FixedValueCheck.h"
#include "metrology/ReferenceTemperature.h"
#include "procedure/ConnectionWatch.h"
#include "procedure/GraduationCache.h"

#include <memory>

namespace kront
{

class ChannelPanels;
struct ProcedureContext;

// Every voltmeter reading of the channel measured now: the reference input gives the furnace
// temperature and its stability, an input the EMF of a verified thermocouple. Judges whether a
// reading has settled and whether the furnace is stable, and what a settled value says of the
// connection; the channel's controls show the result.
class ReadingAcceptance
{
public:
    ReadingAcceptance(ProcedureContext &context, ChannelPanels &panels,
                      const GraduationLookup &graduation, ReferenceSpanLookup spans);

    // The graduation of the reference thermocouples for the live furnace temperature.
    void setGraduation(const GraduationLookup &lookup);

    // A reading of the voltmeter, mV.
    void process(double x);

    // A run of a channel starts: no drift history, the furnace not yet stable (when judged),
    // the reference not yet recorded.
    void startRun();
    // The switch moved on, or the operator corrects a connection: a new value has to settle.
    void resetFixed() { fixedValue.reset(); }
    // A typed temperature of a mercury thermometer joins the drift history. True when the drift
    // was too large and the operator aborted the verification.
    bool judgeTypedTemperature(int channel, double t);
    // The drift question: true when the operator aborts the verification.
    bool askDriftAbort();
    // A recording was pressed: the drift question may come again.
    void allowDriftQuestion() { driftWarned = false; }

    const FixedValueState &fixed() const { return fixedValue; }
    FixedValueState &fixed() { return fixedValue; }
    const DriftMonitor &drift() const { return driftMonitor; }
    void clearDrift() { driftMonitor.clear(); }
    bool temperatureStable() const { return stable; }
    void setTemperatureStable(bool value) { stable = value; }
    bool referenceRecorded() const { return recorded; }
    void setReferenceRecorded(bool value) { recorded = value; }

private:
    void processReference(double x);
    void processInput(double x);
    // What a settled reading says of the connection on the channel (empty when the check is
    // off in the program settings or nothing is wrong).
    QString connectionDiagnosis(int channel, double measured);
    void showDrift(double spread);

    ProcedureContext &ctx;
    ChannelPanels &panels;
    std::shared_ptr<GraduationCache> liveGraduation; // the live furnace temperature's
    ConnectionWatch watch; // every settled reading against its expected EMF
    FixedValueState fixedValue;
    DriftMonitor driftMonitor;
    bool stable = false;      // the furnace temperature is stable
    bool recorded = false;    // the reference reading of the series is recorded
    bool driftWarned = false; // the drift question was asked since the last recording
};

} // namespace kront
