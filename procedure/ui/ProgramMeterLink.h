#pragma once

#include "link/QtSerialPortDevice.h"
#include "link/link.h"
#include "link/ui/QtBusyCursor.h"

namespace kront
{

class Dialogs;
class LinkProgress;
class PoverkaEngine;
class ProgramSettings;

namespace detail
{
// The port and cursor of the program's link, built before the link that refers to them and
// gone after it.
struct MeterLinkParts {
    QtSerialPortDevice portDevice;
    QtBusyCursor waitCursor;
};
} // namespace detail

// The voltmeter link of one verification: the serial port named in the
// settings, the link with its busy cursor, progress window and message
// boxes, and the engine as its view and reading sink.
class ProgramMeterLink : private detail::MeterLinkParts, public VoltmeterLink
{
public:
    ProgramMeterLink(PoverkaEngine &engine, Dialogs &dialogSet, LinkProgress *linkProgress,
                     const ProgramSettings &programSettings);
};

// Settings of the link as the program holds them (port box, voltmeter
// channel, reference polarity).
LinkSettings programLinkSettings(const ProgramSettings &settings);

} // namespace kront
