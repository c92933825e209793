#pragma once

#include <QString>

namespace kront
{

// The demo home (`kront --demo`, `kront --training`): a home of its own,
// apart from the lab's, started from the demo data installed with the
// program (share/kront/demo: the tables of three finished verifications and
// the sensor set file of the demo installation) and working against the
// simulated installation on the pseudo-terminal <home>/taver.
namespace DemoHome
{

// The demo home that goes with the home `home`: `home` itself when it is a
// demo home, else the folder "<home>-demo" beside it.
QString dirFor(const QString &home);
// Whether `dir` was made a demo home (it holds the marker file).
bool isDemoHome(const QString &dir);
// The simulator's link in a demo home.
QString simulatorLink(const QString &dir);

// Makes `dir` a demo home: its folders and marker; the demo tables when its
// Data folder is empty; the sensor set files it lacks; a settings file with
// the simulator's link as the port when it has none. A lab's home (no
// marker, not empty) is refused. False with the reason in error.
bool prepare(const QString &dir, QString *error);

} // namespace DemoHome
} // namespace kront
