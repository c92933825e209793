#include "PtyDevice.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace kront::sim
{

PtyDevice::PtyDevice(QObject *parent) : QObject(parent) {}

PtyDevice::~PtyDevice()
{
    close();
}

void PtyDevice::close()
{
    delete notifier;
    notifier = nullptr;
    if (!link.isEmpty())
        QFile::remove(link);
    if (slave >= 0)
        ::close(slave);
    if (master >= 0)
        ::close(master);
    slave = master = -1;
}

bool PtyDevice::open(QString &error)
{
    close();
    master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        error = QStringLiteral("cannot create a pseudo-terminal: %1").arg(strerror(errno));
        return false;
    }
    const char *name = ptsname(master);
    if (!name) {
        error = QStringLiteral("cannot name the pseudo-terminal: %1").arg(strerror(errno));
        return false;
    }
    path = QString::fromLocal8Bit(name);
    slave = ::open(name, O_RDWR | O_NOCTTY);
    if (slave < 0) {
        error = QStringLiteral("cannot open %1: %2").arg(path, strerror(errno));
        return false;
    }
    // A serial line carries bytes as they are: no echo, no line editing.
    termios tio{};
    tcgetattr(slave, &tio);
    cfmakeraw(&tio);
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    tcsetattr(slave, TCSANOW, &tio);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    notifier = new QSocketNotifier(master, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &PtyDevice::readMaster);
    return true;
}

bool PtyDevice::makeLink(const QString &linkPath, QString &error)
{
    QFile::remove(linkPath);
    if (::symlink(path.toLocal8Bit().constData(), linkPath.toLocal8Bit().constData()) != 0) {
        error = QStringLiteral("cannot make the link %1: %2").arg(linkPath, strerror(errno));
        return false;
    }
    link = linkPath;
    return true;
}

bool PtyDevice::restoreLink(QString &error)
{
    return link.isEmpty() || makeLink(link, error);
}

int PtyDevice::write(const QByteArray &bytes)
{
    if (master < 0 || bytes.isEmpty())
        return 0;
    const ssize_t n = ::write(master, bytes.constData(), size_t(bytes.size()));
    return n < 0 ? 0 : int(n);
}

void PtyDevice::readMaster()
{
    char buf[512];
    for (;;) {
        const ssize_t n = ::read(master, buf, sizeof buf);
        if (n > 0) {
            Q_EMIT received(QByteArray(buf, int(n)));
            continue;
        }
        break; // EAGAIN: all read
    }
}

} // namespace kront::sim
