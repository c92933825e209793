#pragma once

#include <QProcess>
#include <QString>

namespace kront
{

// The simulated installation of a demo home: kront-taver-sim from the
// program's own folder, with the installed demo scenario, on the link
// <home>/taver; stopped when the program ends. Not started when a simulator
// already serves the link (./run.sh starts its own).
class DemoSimulator
{
public:
    ~DemoSimulator();
    // False with the reason in error when the simulator could not start.
    bool start(const QString &home, QString &error);

private:
    QProcess process;
};

} // namespace kront
