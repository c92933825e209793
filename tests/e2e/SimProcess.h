#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace kront::e2e
{

// kront-taver-sim running headless on a pseudo-terminal, its line commands
// written to its standard input and each reply read back.
class SimProcess
{
public:
    ~SimProcess();

    // Starts the simulator; false with the reason in error.
    bool start(const QString &program, const QStringList &arguments, QString &error);
    // The device path the simulator printed first.
    QString devicePath() const { return device; }

    // Sends one command and waits for its reply ("ok ...", "error: ...").
    QString command(const QString &line);
    QStringList log() const { return sent; }

    void stop();

private:
    QString readLine(int timeoutMs);

    QProcess process;
    QString device;
    QStringList sent;
};

} // namespace kront::e2e
