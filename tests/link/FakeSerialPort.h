#pragma once

#include "link/SerialPort.h"

#include <QByteArrayList>
#include <deque>

namespace kront::test
{

// A scripted serial port. Every write is recorded; each write takes the next
// scripted answer (if any) into the input queue, from which read() returns up
// to n bytes at once. When fewer than n bytes wait, read() returns them and
// counts one time-out (no real waiting). With `stream` set the line never
// falls silent: reads take from it whenever the input runs short.
// Received-data delivery is done by hand with deliverChunk().
class FakeSerialPort : public SerialPort
{
public:
    bool open(const QString &deviceName) override
    {
        openedDevice = deviceName;
        ++openCount;
        opened = openSucceeds;
        return opened;
    }
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
    void purge() override
    {
        ++purgeCount;
        input.clear();
    }
    bool write(const QByteArray &bytes) override
    {
        if (!opened || writeFails)
            return false;
        writes.append(bytes);
        if (!answers.empty()) {
            input.append(answers.front());
            answers.pop_front();
        }
        return true;
    }
    void setInputTimeout(int ms) override { inputTimeoutMs = ms; }
    QByteArray read(int maxBytes) override
    {
        pauseCountsDuringRead.push_back(pauseCount() + 1);
        while (!stream.isEmpty() && input.size() < maxBytes)
            input += stream;
        const QByteArray out = input.left(maxBytes);
        input.remove(0, out.size());
        if (out.size() < maxBytes)
            ++timeouts;
        return out;
    }

    // Hands a chunk to the handler if attached and delivery runs.
    bool deliverChunk(const QByteArray &chunk) { return deliver(chunk); }

    // Script: the answer to the next write (each write takes one).
    void queueAnswer(const QByteArray &bytes) { answers.push_back(bytes); }

    bool openSucceeds = true;
    bool writeFails = false;
    bool opened = false;
    QString openedDevice;
    int openCount = 0;
    int purgeCount = 0;
    int timeouts = 0;
    int inputTimeoutMs = 0;
    QByteArrayList writes;
    QByteArray input;
    QByteArray stream; // bytes the line keeps bringing: read() never runs short
    std::deque<QByteArray> answers;
    std::vector<int> pauseCountsDuringRead;
};

} // namespace kront::test
