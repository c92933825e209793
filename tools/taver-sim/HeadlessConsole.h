#pragma once

#include <QObject>

class QSocketNotifier;

namespace kront::sim
{

class SimEngine;

// Reads line commands from standard input and writes each reply to
// standard output. End of input leaves the simulator running (it may be
// started in the background); "quit" ends it.
class HeadlessConsole : public QObject
{
    Q_OBJECT

public:
    explicit HeadlessConsole(SimEngine &engine, QObject *parent = nullptr);

private:
    void readInput();

    SimEngine &engine;
    QSocketNotifier *notifier;
    QByteArray pending;
};

} // namespace kront::sim
