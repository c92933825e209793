#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace kront::sim
{

// The voltmeter's end of a pseudo-terminal. The program opens the other end
// (devicePath()) as its serial port. The simulator keeps that end open too,
// so the line survives the program closing and reopening its port.
class PtyDevice : public QObject
{
    Q_OBJECT

public:
    explicit PtyDevice(QObject *parent = nullptr);
    ~PtyDevice() override;

    bool open(QString &error);
    // The device vanishes, as when a USB adapter is pulled out: both ends
    // close and the symlink goes. open() and restoreLink() bring a new one.
    void close();
    bool isOpen() const { return master >= 0; }
    QString devicePath() const { return path; }
    // A symlink at linkPath pointing to the device (replaces an old link).
    bool makeLink(const QString &linkPath, QString &error);
    // The symlink of makeLink again, to the device now open (none: nothing to do).
    bool restoreLink(QString &error);
    // Writes what the line takes now; returns the number of bytes written.
    int write(const QByteArray &bytes);

Q_SIGNALS:
    void received(const QByteArray &bytes);

private:
    void readMaster();

    int master = -1;
    int slave = -1;
    QString path;
    QString link;
    QSocketNotifier *notifier = nullptr;
};

} // namespace kront::sim
