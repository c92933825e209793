#include "ControlSocket.h"

#include "SimEngine.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace kront::sim
{

ControlSocket::ControlSocket(SimEngine &simulation, QObject *parent)
    : QObject(parent), engine(simulation)
{
}

ControlSocket::~ControlSocket()
{
    for (auto it = clients.begin(); it != clients.end(); ++it)
        ::close(it.key());
    if (server >= 0) {
        ::close(server);
        QFile::remove(socketPath);
    }
}

bool ControlSocket::listen(const QString &path, QString &error)
{
    const QByteArray native = path.toLocal8Bit();
    sockaddr_un addr{};
    if (native.size() >= int(sizeof addr.sun_path)) {
        error = QStringLiteral("control socket path too long: %1").arg(path);
        return false;
    }
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, native.constData(), size_t(native.size()));
    QFile::remove(path);
    server = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (server < 0 || ::bind(server, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 ||
        ::listen(server, 4) != 0) {
        error = QStringLiteral("cannot listen on %1: %2").arg(path, strerror(errno));
        return false;
    }
    socketPath = path;
    serverNotifier = new QSocketNotifier(server, QSocketNotifier::Read, this);
    connect(serverNotifier, &QSocketNotifier::activated, this, &ControlSocket::accept);
    return true;
}

void ControlSocket::accept()
{
    const int fd = ::accept(server, nullptr, nullptr);
    if (fd < 0)
        return;
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    Client client;
    client.notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(client.notifier, &QSocketNotifier::activated, this, [this, fd] { readClient(fd); });
    clients.insert(fd, client);
}

void ControlSocket::readClient(int fd)
{
    char buf[1024];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n <= 0) {
        if (n == 0 || (errno != EAGAIN && errno != EINTR))
            dropClient(fd);
        return;
    }
    QByteArray &pending = clients[fd].pending;
    pending.append(buf, int(n));
    int nl;
    while ((nl = int(pending.indexOf('\n'))) >= 0) {
        const QString line = QString::fromUtf8(pending.left(nl));
        pending.remove(0, nl + 1);
        const QByteArray reply = engine.command(line).toUtf8() + '\n';
        // A client that went away must not end the simulator with SIGPIPE.
        if (reply.size() > 1 &&
            ::send(fd, reply.constData(), size_t(reply.size()), MSG_NOSIGNAL) < 0)
            break;
        if (engine.quitRequested()) {
            QCoreApplication::quit();
            return;
        }
    }
}

void ControlSocket::dropClient(int fd)
{
    auto it = clients.find(fd);
    if (it == clients.end())
        return;
    it->notifier->setEnabled(false);
    it->notifier->deleteLater();
    ::close(fd);
    clients.erase(it);
}

} // namespace kront::sim
