#include "SimEngine.h"

#include <QDateTime>

namespace kront::sim
{

namespace
{
constexpr int kTickMs = 20;
constexpr int kDrainMs = 5; // the line's bytes are written in small pieces
} // namespace

SimEngine::SimEngine(unsigned seed, QObject *parent)
    : QObject(parent), meter(installation, seed), interpreter(installation, meter)
{
    meter.logger = [this](const QString &line) { logLine(line); };
    connect(&pty, &PtyDevice::received, this, &SimEngine::onReceived);
    connect(&tickTimer, &QTimer::timeout, this, &SimEngine::tick);
    connect(&drainTimer, &QTimer::timeout, this, &SimEngine::drain);
}

bool SimEngine::start(const QString &linkPath, QString &error)
{
    if (!pty.open(error))
        return false;
    if (!linkPath.isEmpty() && !pty.makeLink(linkPath, error))
        return false;
    clock.start();
    tickTimer.start(kTickMs);
    drainTimer.start(kDrainMs);
    return true;
}

bool SimEngine::setLogFile(const QString &path, QString &error)
{
    logFile.setFileName(path);
    if (!logFile.open(QIODevice::Append | QIODevice::Text)) {
        error = QStringLiteral("cannot open the log %1: %2").arg(path, logFile.errorString());
        return false;
    }
    return true;
}

QString SimEngine::command(const QString &line)
{
    const QString word = line.trimmed();
    const QString reply = word == u"unplug" ? unplug()
                          : word == u"plug" ? plug()
                                            : interpreter.execute(line);
    Q_EMIT changed();
    return reply;
}

// The voltmeter keeps its state (connection, transmission); only the line
// is gone, and what it was sending is lost.
QString SimEngine::unplug()
{
    if (!pty.isOpen())
        return QStringLiteral("error: already unplugged");
    pty.close();
    wire.clear();
    logLine(QStringLiteral("-- unplugged"));
    return QStringLiteral("ok");
}

QString SimEngine::plug()
{
    if (pty.isOpen())
        return QStringLiteral("error: already plugged in");
    QString error;
    if (!pty.open(error) || !pty.restoreLink(error))
        return QStringLiteral("error: ") + error;
    logLine(QStringLiteral("-- plugged in as ") + pty.devicePath());
    return QStringLiteral("ok ") + pty.devicePath();
}

void SimEngine::logLine(const QString &line)
{
    const QString stamped =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz ")) + line;
    if (logFile.isOpen()) {
        logFile.write(stamped.toUtf8() + '\n');
        logFile.flush();
    }
    Q_EMIT frameLogged(stamped);
}

void SimEngine::onReceived(const QByteArray &bytes)
{
    schedule(meter.receive(bytes));
    Q_EMIT changed();
}

void SimEngine::schedule(const QList<OutputPiece> &pieces)
{
    for (const OutputPiece &piece : pieces) {
        QTimer::singleShot(piece.delayMs, this, [this, bytes = piece.bytes] {
            wire.queue(bytes, clock.elapsed());
            if (!wire.isPaced())
                drain();
        });
    }
}

void SimEngine::tick()
{
    const qint64 now = clock.elapsed();
    installation.furnace.advance((now - lastTickMs) / 1000.0);
    lastTickMs = now;
    schedule(meter.tick(now));
}

void SimEngine::drain()
{
    if (!pty.isOpen())
        wire.clear(); // nobody on the line
    const qint64 now = clock.elapsed();
    const QByteArray chunk = wire.due(now);
    if (!chunk.isEmpty())
        wire.sent(pty.write(chunk), now);
}

} // namespace kront::sim
