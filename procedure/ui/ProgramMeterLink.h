#pragma once

#include "link/QtSerialPortDevice.h"
#include "link/link.h"
#include "link/ui/QtBusyCursor.h"
#include "procedure/VoltmeterLinkAdapter.h"

#include <memory>

namespace kront
{

class Dialogs;
class LinkProgress;
class PoverkaEngine;
class ProgramSettings;

namespace detail
{
// The parts of the program's link, built before the adapter that refers to them.
struct MeterLinkParts {
    explicit MeterLinkParts(LinkView &view) : meterLink(port, view) {}
    QtSerialPortDevice port;
    QtBusyCursor cursor;
    VoltmeterLink meterLink;
};
} // namespace detail

// The voltmeter link of one verification: the serial port named in the
// settings, the link with its busy cursor, progress window and message
// boxes, and the engine as its view and reading sink.
class ProgramMeterLink : private detail::MeterLinkParts, public VoltmeterLinkAdapter
{
public:
    ProgramMeterLink(PoverkaEngine &engine, Dialogs &dialogs, LinkProgress *progress,
                     const ProgramSettings &settings);

    VoltmeterLink &voltmeterLink() { return meterLink; }
};

// Settings of the link as the program holds them (port box, voltmeter
// channel, reference polarity).
LinkSettings programLinkSettings(const ProgramSettings &settings);

} // namespace kront
