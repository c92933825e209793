#pragma once

#include "Installation.h"
#include "MeterEmulator.h"

#include <QString>

// Line commands that drive the simulated installation (stdin in headless
// mode, the entry line of the control window). One command per line; the
// reply is "ok", "ok <data>" or "error: <reason>".
namespace kront::sim
{

class CommandInterpreter
{
public:
    CommandInterpreter(Installation &plant, MeterEmulator &voltmeter)
        : installation(plant), meter(voltmeter)
    {
    }

    QString execute(const QString &line);
    bool quitRequested() const { return quit; }

    static QString helpText();

private:
    QString status() const;

    Installation &installation;
    MeterEmulator &meter;
    bool quit = false;
};

} // namespace kront::sim
