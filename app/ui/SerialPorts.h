#pragma once

#include <QStringList>

namespace kront
{

// The serial devices of this machine the port box offers, in order
// (ttyS, ttyUSB, ttyACM, each by number), including ports that another
// program holds open.
QStringList foundSerialPorts();

} // namespace kront
