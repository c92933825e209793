// The program's start-up: a process launched over the home until its main
// window is on screen.
#include "bench/Harness.h"

#include <QCoreApplication>
#include <QProcess>

namespace kront::bench
{

namespace
{

constexpr Goal kStartupGoal{500.0, 0.0};

bool startAndWaitForMainWindow(const QString &home)
{
    QProcess probe;
    probe.setProgram(QCoreApplication::applicationDirPath() +
                     QStringLiteral("/kront-startup-probe"));
    probe.setArguments({QStringLiteral("--home"), home});
    probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    probe.start();
    QByteArray out;
    while (!out.contains("shown\n") && probe.waitForReadyRead(10000))
        out += probe.readAllStandardOutput();
    const bool shown = out.contains("shown\n");
    probe.waitForFinished(10000);
    return shown;
}

} // namespace

void registerStartupBenchmarks()
{
    registerOperation(
        "start-up to the shown main window", "program start-up", kStartupGoal,
        [](HomeUnderTest &h) { return timed([&] { return startAndWaitForMainWindow(h.path); }); },
        nullptr);
}

} // namespace kront::bench
