#pragma once

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace kront::sim
{

class SimEngine;

// A Unix-domain stream socket that takes the same line commands as
// standard input, one reply line (or more for "help") per command, for
// driving a simulator that runs in the background:
//   printf 'furnace 600\n' | nc -U /tmp/taver.ctl
class ControlSocket : public QObject
{
    Q_OBJECT

public:
    explicit ControlSocket(SimEngine &engine, QObject *parent = nullptr);
    ~ControlSocket() override;

    bool listen(const QString &path, QString &error);

private:
    struct Client {
        QSocketNotifier *notifier = nullptr;
        QByteArray pending;
    };
    void accept();
    void readClient(int fd);
    void dropClient(int fd);

    SimEngine &engine;
    int server = -1;
    QString socketPath;
    QSocketNotifier *serverNotifier = nullptr;
    QMap<int, Client> clients;
};

} // namespace kront::sim
