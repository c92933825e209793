#pragma once

#include "link/SerialPort.h"

#include <QObject>
#include <QSerialPort>
#include <QTimer>

namespace kront
{

// The real serial port: QSerialPort at 9600 baud, 8N1, no flow control.
// Received bytes are delivered by a 50 ms poll on the owning (user-interface)
// thread; reads and writes block that thread for at most their time-outs.
class QtSerialPortDevice : public QObject, public SerialPort
{
    Q_OBJECT

public:
    explicit QtSerialPortDevice(QObject *parent = nullptr);
    ~QtSerialPortDevice() override;

    bool open(const QString &deviceName) override;
    void close() override;
    bool isOpen() const override;
    void purge() override;
    bool write(const QByteArray &bytes) override;
    void setInputTimeout(int ms) override { inputTimeoutMs = ms; }
    QByteArray read(int maxBytes) override;

    // The last error text of the port (empty when none).
    QString errorText() const;

private:
    void poll();

    QSerialPort port;
    QTimer pollTimer;
    int inputTimeoutMs = 4000;
};

// The serial devices that exist, in natural order (COM2 before COM10,
// /dev/ttyS2 before /dev/ttyS10): names on Windows, device paths elsewhere.
QStringList availableSerialPorts();

} // namespace kront
