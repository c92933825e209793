#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// The serial port the voltmeter link works through. One object serves the
// verification window; everything on it runs on the user-interface thread.
// The real port is QtSerialPortDevice; tests use a scripted fake.
namespace kront
{

class SerialPort
{
public:
    using DataHandler = std::function<void(const QByteArray &chunk)>;

    static constexpr int kWriteTimeoutMs = 500; // give up after this long without progress
    static constexpr int kPollIntervalMs = 50;  // delivery of received bytes

    virtual ~SerialPort() = default;

    // Opens a device at 9600 baud, 8N1, no flow control; returns whether the
    // port is now open.
    virtual bool open(const QString &deviceName) = 0;
    virtual void close() = 0; // harmless on a closed port
    virtual bool isOpen() const = 0;

    // Discards whatever waits in the input and output queues.
    virtual void purge() = 0;
    // Sends the bytes; gives up when no byte could be sent for 500 ms.
    // Returns whether every byte went out.
    virtual bool write(const QByteArray &bytes) = 0;
    // Time-out of silence for read(), in ms.
    virtual void setInputTimeout(int ms) = 0;
    // Returns up to maxBytes: early when maxBytes are in, or when no byte has
    // arrived for the input time-out, which restarts with every chunk. Delivery
    // to the handler is paused for the read's own duration.
    virtual QByteArray read(int maxBytes) = 0;

    // While a handler is attached and delivery is not paused, the bytes that
    // arrived are handed to it in one chunk per poll.
    void attachHandler(DataHandler h) { handler = std::move(h); }
    void detachHandler() { handler = nullptr; }
    bool handlerAttached() const { return bool(handler); }

    // Pause counter: pause adds 1, resume subtracts 1; delivery happens only
    // while the counter is below 1.
    void pauseDelivery() { ++pauses; }
    void resumeDelivery() { --pauses; }
    int pauseCount() const { return pauses; }
    bool deliveryActive() const { return pauses < 1; }

protected:
    // Hands a chunk to the handler when one is attached and delivery runs;
    // returns whether it was delivered.
    bool deliver(const QByteArray &chunk)
    {
        if (!handler || !deliveryActive() || chunk.isEmpty())
            return false;
        DataHandler h = handler; // the handler may detach itself
        h(chunk);
        return true;
    }
    bool wantsDelivery() const { return handler && deliveryActive(); }

private:
    DataHandler handler;
    int pauses = 0;
};

} // namespace kront
