#include "app/ui/SerialPorts.h"

#include "settings/SerialPortNames.h"

#include <QSerialPortInfo>

namespace kront
{

QStringList foundSerialPorts()
{
    QStringList paths;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        paths << info.systemLocation();
    return orderedSerialDevices(paths);
}

} // namespace kront
