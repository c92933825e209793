#pragma once

#include "PtyDevice.h"
#include "model/CommandInterpreter.h"
#include "model/Installation.h"
#include "model/MeterEmulator.h"
#include "model/PacedLine.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QTimer>

namespace kront::sim
{

// Runs the simulated voltmeter on a pseudo-terminal: the furnace moves on a
// timer, commands are answered, answers and reading frames share one line at
// 9600 baud (about a byte per millisecond), and every frame can be logged.
class SimEngine : public QObject
{
    Q_OBJECT

public:
    explicit SimEngine(unsigned seed = 1, QObject *parent = nullptr);

    bool start(const QString &linkPath, QString &error);
    QString devicePath() const { return pty.devicePath(); }
    bool setLogFile(const QString &path, QString &error);
    // false: bytes go out at once instead of at line speed.
    void setPacing(bool on) { wire.setPaced(on); }

    // Executes a line command; returns the reply. Besides those of the
    // installation: "unplug" (the device vanishes) and "plug" (a new one
    // appears behind the same symlink).
    QString command(const QString &line);
    bool quitRequested() const { return interpreter.quitRequested(); }

    Installation installation;
    MeterEmulator meter;

Q_SIGNALS:
    void frameLogged(const QString &line);
    void changed();

private:
    void onReceived(const QByteArray &bytes);
    void schedule(const QList<OutputPiece> &pieces);
    void tick();
    void drain();
    void logLine(const QString &line);
    QString unplug();
    QString plug();

    CommandInterpreter interpreter;
    PtyDevice pty;
    QTimer tickTimer;
    QTimer drainTimer;
    QElapsedTimer clock;
    qint64 lastTickMs = 0;
    PacedLine wire; // the one serial line answers and readings share
    QFile logFile;
};

} // namespace kront::sim
