#pragma once

#include <QStringList>

namespace kront
{

// The serial devices the port box offers, from the device paths the system
// reports: /dev/ttyS*, /dev/ttyUSB* and /dev/ttyACM* (in that order), each
// group by ascending number; other paths and duplicates are left out.
QStringList orderedSerialDevices(const QStringList &devicePaths);

} // namespace kront
