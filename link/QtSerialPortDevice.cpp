#include "link/QtSerialPortDevice.h"

#include <QCollator>
#include <QElapsedTimer>
#include <QSerialPortInfo>
#include <algorithm>

namespace kront
{

QtSerialPortDevice::QtSerialPortDevice(QObject *parent) : QObject(parent)
{
    pollTimer.setInterval(kPollIntervalMs);
    connect(&pollTimer, &QTimer::timeout, this, &QtSerialPortDevice::poll);
}

QtSerialPortDevice::~QtSerialPortDevice()
{
    close();
}

bool QtSerialPortDevice::open(const QString &deviceName)
{
    close();
    if (deviceName.isEmpty())
        return false;
    port.setPortName(deviceName);
    if (!port.open(QIODevice::ReadWrite))
        return false;
    const bool configured =
        port.setBaudRate(QSerialPort::Baud9600) && port.setDataBits(QSerialPort::Data8) &&
        port.setParity(QSerialPort::NoParity) && port.setStopBits(QSerialPort::OneStop) &&
        port.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        port.close();
        return false;
    }
    pollTimer.start();
    return true;
}

void QtSerialPortDevice::close()
{
    pollTimer.stop();
    if (port.isOpen())
        port.close();
}

bool QtSerialPortDevice::isOpen() const
{
    return port.isOpen();
}

void QtSerialPortDevice::purge()
{
    if (!port.isOpen())
        return;
    port.clear(QSerialPort::AllDirections);
    port.readAll(); // whatever the port object itself had buffered
}

bool QtSerialPortDevice::write(const QByteArray &bytes)
{
    if (!port.isOpen())
        return false;
    if (port.write(bytes) != bytes.size())
        return false;
    // Wait while bytes are still going out; give up after 500 ms in which
    // none went.
    qint64 pending = port.bytesToWrite();
    while (pending > 0) {
        port.waitForBytesWritten(kWriteTimeoutMs);
        const qint64 now = port.bytesToWrite();
        if (now >= pending) {
            port.clear(QSerialPort::Output);
            return false;
        }
        pending = now;
    }
    return true;
}

QByteArray QtSerialPortDevice::read(int maxBytes)
{
    QByteArray data;
    if (!port.isOpen())
        return data;
    pauseDelivery();
    while (data.size() < maxBytes) {
        if (port.bytesAvailable() == 0 && !port.waitForReadyRead(inputTimeoutMs))
            break; // silence for the whole time-out, or an error
        data.append(port.read(maxBytes - data.size()));
    }
    resumeDelivery();
    return data;
}

QString QtSerialPortDevice::errorText() const
{
    return port.error() == QSerialPort::NoError ? QString() : port.errorString();
}

void QtSerialPortDevice::poll()
{
    if (!port.isOpen() || !wantsDelivery() || port.bytesAvailable() == 0)
        return;
    deliver(port.readAll());
}

QStringList availableSerialPorts()
{
    QStringList names;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_WIN
        names.append(info.portName());
#else
        names.append(info.systemLocation());
#endif
    }
    QCollator collator;
    collator.setNumericMode(true);
    std::sort(names.begin(), names.end(), [&collator](const QString &a, const QString &b) {
        return collator.compare(a, b) < 0;
    });
    names.removeDuplicates();
    return names;
}

} // namespace kront
