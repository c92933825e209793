#pragma once

#include "Installation.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <random>

// The TAVER-7 voltmeter as seen from the serial line: it answers every
// command frame with a 10-byte acknowledgement and, while transmission is
// on, sends an 85-byte reading frame every period. Once readings flow they
// keep their beat through the commands: a frame that falls due while a
// command is answered goes out as it would otherwise. No I/O here: bytes in,
// timed pieces of bytes out, so tests drive it without a pseudo-terminal.
namespace kront::sim
{

// Bytes to put on the line after a delay (ms, from the moment they were produced).
struct OutputPiece {
    int delayMs = 0;
    QByteArray bytes;
};

enum class FaultKind {
    DataChecksum,   // reading frames with a wrong data checksum
    HeaderChecksum, // reading frames with a wrong header checksum
    Addr,           // reading frames with ADDR 0x01
    Type,           // reading frames with TYPE 0x86
    Garbage,        // random bytes sent before the reading frame
    Split,          // reading frames sent in pieces of 3, 40 and 42 bytes, 30 ms apart
    Drop,           // one byte of the reading frame is lost on the line
    Silence,        // no answer to commands and no readings
    Ack,            // commands answered with the configured CODE
    Stuck,          // the value text stops changing
};

std::optional<FaultKind> faultKindFromText(const QString &text);
QString faultKindText(FaultKind kind);

class MeterEmulator
{
public:
    explicit MeterEmulator(Installation &installation, unsigned seed = 1);

    // Bytes from the program; returns what the voltmeter sends back.
    QList<OutputPiece> receive(const QByteArray &bytes);
    // Called periodically with a monotonic time in ms; returns the reading
    // frame when one is due, or the time-out answer (CODE 7) when a partial
    // command has waited for its rest longer than 1 s.
    QList<OutputPiece> tick(qint64 nowMs);

    // State.
    bool connected = false;
    bool transmitting = false;
    // Reading frames go out every period whatever the commands say, as from a
    // voltmeter that never heard the stop command (its link lost) and keeps
    // sending through every later command. The commands are answered as usual.
    bool streaming = false;
    int periodMs = 500;
    quint8 mode = 3;
    char warmup = '=';
    int wiredChannel = 1;                                 // voltmeter channel wired to BI1
    std::array<std::optional<QByteArray>, 3> forcedValue; // raw Windows-1251 text, [1], [2]
    std::array<quint8, 3> flags{};                        // status flags per voltmeter channel
    // Value text of the wired channel in every frame a fault damages (data-checksum,
    // header-checksum, addr, type, drop); none: the model's value, as in a good frame. A
    // receiver that took a damaged frame would show this text.
    std::optional<QByteArray> damagedValue;

    // Faults: kind -> every Nth frame (1 = every frame).
    void setFault(FaultKind kind, int everyN = 1, int ackCode = 0);
    void clearFaults();
    QMap<FaultKind, int> faults() const { return activeFaults; }
    int ackCode() const { return faultAckCode; }

    // Log of frames: "RX ..." / "TX ..." hex lines (without time stamps).
    std::function<void(const QString &line)> logger;

    // The value text the voltmeter shows on a channel now.
    QByteArray valueText(int meterChannel);
    // The reading frame as it would be sent now (before faults); with wiredValue, that text
    // stands for the value of the wired channel.
    QByteArray readingFrame(const std::optional<QByteArray> &wiredValue = std::nullopt);

    int framesSent() const { return readingsSent; }

private:
    QList<OutputPiece> handleFrame(const QByteArray &frame);
    QList<OutputPiece> answer(quint8 code);
    QList<OutputPiece> readingDue();
    bool sendingReadings() const;
    QList<OutputPiece> applyFaults(QByteArray frame);
    bool faultDue(FaultKind kind, int counter) const;
    bool damagingFaultDue(int counter) const;
    void log(const char *direction, const QByteArray &bytes);

    Installation &installation;
    std::mt19937 rng;
    QByteArray input; // bytes received, not yet a complete frame
    qint64 nextFrameMs = -1;
    qint64 nowMs = 0;        // time of the last tick
    qint64 inputSinceMs = 0; // when the pending partial command began
    int readingsSent = 0;
    int answersSent = 0;
    QMap<FaultKind, int> activeFaults;
    int faultAckCode = 0;
    QByteArray stuckText;
};

} // namespace kront::sim
