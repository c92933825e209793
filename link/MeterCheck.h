#pragma once

#include <QString>
#include <QTextStream>

// The connection check of a new installation: open the port with the
// program's own link code, connect, set the mode, switch transmission on,
// print each reading that passes the receive path, then stop, disconnect
// and close. The command line (kront-cli meter) is a thin wrapper.
namespace kront
{

struct MeterCheckOptions {
    QString port;            // port name or device path
    int channel = 1;         // voltmeter channel wired to BI1 (1 or 2)
    int readings = 1;        // how many readings to wait for
    int timeoutSeconds = 30; // for all readings together, after transmission started
    bool dot = false;        // decimal point instead of comma
};

// Readings go to `out`, one per line, in shortest exact form; status texts
// go to `err`. Returns 0 when every reading arrived, 1 otherwise. Needs a
// QCoreApplication; runs the event loop while waiting.
int runMeterCheck(const MeterCheckOptions &options, QTextStream &out, QTextStream &err);

// The number as printed by the check: shortest text that reads back exactly.
QString meterReadingText(double value, bool dot);

} // namespace kront
