#pragma once

#include "metrology/ReferenceTemperature.h"

#include <QString>

namespace kront
{

class ChannelPanels;
class Database;
class MeasuringRun;
class ReadingAcceptance;
class StepSequencer;
class TPoverka;
struct ChannelStep;
struct ProcedureContext;

// "Записать показание": the value shown goes into the reading grid and the channel's step, the
// switch moves on; after the last reading the cold-junction temperature closes the step of the
// channel with its measurement rows and calculation, and the next channel's run follows or the
// step ends.
class StepRecording
{
public:
    StepRecording(ProcedureContext &context, ReadingAcceptance &readings,
                  ChannelPanels &channelPanels, MeasuringRun &measuringRun, StepSequencer &steps,
                  GraduationLookup lookup);

    // The graduation of the reference thermocouples for the step calculation.
    void setGraduation(GraduationLookup lookup) { graduation = std::move(lookup); }

    void record();

private:
    void recordReading(ChannelStep &step);
    void closeChannelStep(ChannelStep &step);
    bool writeMeasurementRows(const ChannelStep &step, const QString &stage);

    ProcedureContext &ctx;
    TPoverka &pov;
    Database &db;
    ReadingAcceptance &acceptance;
    ChannelPanels &panels;
    MeasuringRun &run;
    StepSequencer &sequencer;
    GraduationLookup graduation;
};

} // namespace kront
