#include "model/TBunch.h"

#include "model/CodeTables.h"

namespace kront
{

TThermometer *TBunch::CreateEtalSensor(int kind)
{
    if (IsThermocoupleKind(kind))
        EtalSensor = std::make_unique<TTP>();
    else if (IsResistanceThermometerKind(kind))
        EtalSensor = std::make_unique<TTS>();
    else
        EtalSensor.reset();
    return EtalSensor.get();
}

TThermometer *TBunch::CreateSensor(int kind, int input)
{
    if (input < 1 || input > 4)
        return nullptr;
    std::unique_ptr<TThermometer> sensor;
    if (kind == skTP)
        sensor = std::make_unique<TTP>();
    else if (kind == skTS)
        sensor = std::make_unique<TTS>();
    else
        return nullptr;
    std::unique_ptr<TThermometer> &slot = Sensors[size_t(input)];
    if (!slot)
        ++SensorCount;
    slot = std::move(sensor);
    return slot.get();
}

TThermometer *TBunch::Sensor(int input) const
{
    if (input < 1 || input > 4)
        return nullptr;
    return Sensors[size_t(input)].get();
}

QString TBunch::SensorNSHText(int input) const
{
    const TThermometer *s = Sensor(input);
    return s ? NSHShortName(s->NSHType) : QString();
}

QString TBunch::SensorTypeNameText(int input) const
{
    const TThermometer *s = Sensor(input);
    return s ? s->TypeName : QString();
}

QString TBunch::SensorSerialText(int input) const
{
    const TThermometer *s = Sensor(input);
    return s ? s->SerialNum : QString();
}

QString TBunch::SensorProdYearText(int input) const
{
    const TThermometer *s = Sensor(input);
    return s ? QString::number(s->ProdYear) : QString();
}

} // namespace kront
