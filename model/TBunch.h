#pragma once

#include "model/TThermometer.h"

#include <QString>
#include <array>
#include <memory>

namespace kront
{

// The sensors of one measuring channel: the reference sensor on input "ОБР" and up to four
// verified sensors on inputs 1..4. The bunch owns its sensor objects.
class TBunch
{
public:
    TBunch() = default;
    TBunch(const TBunch &) = delete;
    TBunch &operator=(const TBunch &) = delete;
    virtual ~TBunch() = default;

    qint32 ID = 0;                            // row of the channel in BunchesTP
    quint32 ChannelNum = 0;                   // 1 or 2
    quint8 SensKind = 0;                      // kind of the verified sensors of this channel
    std::unique_ptr<TThermometer> EtalSensor; // reference sensor; empty for a mercury thermometer
    qint32 SensorCount = 0;                   // number of filled slots of Sensors
    std::array<std::unique_ptr<TThermometer>, 5> Sensors; // inputs 1..4, [0] unused
    bool PovTerminated = false;      // the verification of this channel was ended early
    quint32 PovTermMeasPointNum = 0; // temperature point where it was ended (0 when not ended)

    // Creates the reference sensor: a TTP for kinds 1..3, a TTS for kinds 4..5. Any other kind
    // (a mercury thermometer has no object) leaves EtalSensor empty. A previous reference
    // sensor is freed. Returns the new sensor or nullptr.
    TThermometer *CreateEtalSensor(int kind);

    // Creates the sensor of an input 1..4: a TTP for kind 3, a TTS for kind 5; counts the
    // slot in SensorCount when it was empty (a previous sensor of the slot is freed). Other
    // kinds and inputs create nothing. Returns the new sensor or nullptr.
    TThermometer *CreateSensor(int kind, int input);

    // The sensor of an input 1..4, nullptr when the slot is empty or the input is not 1..4.
    TThermometer *Sensor(int input) const;

    // Texts of the sensor on an input 1..4; empty when the slot is empty.
    QString SensorNSHText(int input) const;      // short NSH name
    QString SensorTypeNameText(int input) const; // type designation
    QString SensorSerialText(int input) const;   // serial number
    QString SensorProdYearText(int input) const; // production year in decimal
};

} // namespace kront
