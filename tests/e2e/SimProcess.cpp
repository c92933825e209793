#include "SimProcess.h"

#include <QElapsedTimer>

namespace kront::e2e
{

SimProcess::~SimProcess()
{
    stop();
}

bool SimProcess::start(const QString &program, const QStringList &arguments, QString &error)
{
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(5000)) {
        error = QStringLiteral("the simulator did not start: ") + process.errorString();
        return false;
    }
    device = readLine(5000);
    if (device.isEmpty()) {
        error = QStringLiteral("the simulator printed no device path: ") +
                QString::fromUtf8(process.readAllStandardError());
        return false;
    }
    return true;
}

QString SimProcess::readLine(int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!process.canReadLine()) {
        const int left = timeoutMs - int(t.elapsed());
        if (left <= 0 || process.state() != QProcess::Running)
            return {};
        process.waitForReadyRead(left);
    }
    return QString::fromUtf8(process.readLine()).trimmed();
}

QString SimProcess::command(const QString &line)
{
    sent << line;
    process.write(line.toUtf8() + '\n');
    process.waitForBytesWritten(2000);
    const QString reply = readLine(5000);
    sent << QStringLiteral("  -> ") + reply;
    return reply;
}

void SimProcess::stop()
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.write("quit\n");
    process.waitForBytesWritten(1000);
    if (!process.waitForFinished(3000)) {
        process.terminate();
        if (!process.waitForFinished(3000))
            process.kill();
    }
}

} // namespace kront::e2e
