#pragma once

#include <QString>
#include <QtGlobal>

namespace kront
{

// One sensor: a reference or verified thermocouple or resistance thermometer. A plain data
// holder; the creator sets what it needs. Field names follow the table columns.
class TThermometer
{
public:
    virtual ~TThermometer() = default;

    qint32 ID = 0;         // row in Sensors or EtalSens; 0 while not stored
    quint8 SensKind = 0;   // sensor kind code (CodeTables.h)
    quint8 NSHType = 0;    // NSH type code (CodeTables.h)
    QString TypeName;      // type designation typed by the operator ("Наименование")
    quint32 ProdYear = 0;  // year of manufacture
    QString Producer;      // manufacturer
    bool Etalon = false;   // true for a reference sensor
    QString SerialNum;     // serial number
    quint8 ClassDop = 0;   // tolerance class index 0..2 (class 1..3)
    QString Owner;         // owner
    double WDTHighLim = 0; // upper limit of the working range, °C ("T max")
    double WDTLowLim = 0;  // lower limit of the working range, °C ("T min")
    double Diameter = 0;   // electrode diameter
    double Mass = 0;       // mass
};

// A thermocouple. Only records the sensor's family.
class TTP : public TThermometer
{
};

// A resistance thermometer. Only records the sensor's family.
class TTS : public TThermometer
{
};

} // namespace kront
