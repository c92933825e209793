#include "MeterEmulator.h"

#include "link/frames.h"

#include <cmath>

namespace kront::sim
{

using namespace kront::frames;

namespace
{

const QMap<QString, FaultKind> &faultNames()
{
    static const QMap<QString, FaultKind> names = {
        {"data-checksum", FaultKind::DataChecksum},
        {"header-checksum", FaultKind::HeaderChecksum},
        {"addr", FaultKind::Addr},
        {"type", FaultKind::Type},
        {"garbage", FaultKind::Garbage},
        {"split", FaultKind::Split},
        {"drop", FaultKind::Drop},
        {"silence", FaultKind::Silence},
        {"ack", FaultKind::Ack},
        {"stuck", FaultKind::Stuck},
    };
    return names;
}

constexpr int kAnswerDelayMs = 5;       // the voltmeter's reaction time
constexpr int kCommandTimeoutMs = 1000; // a partial command is dropped after this

// Header checksum recomputed after a header field was changed.
void fixHeader(QByteArray &frame)
{
    const quint16 h = headerChecksum(quint8(frame[1]), quint8(frame[2]), quint8(frame[3]));
    frame[4] = char(h & 0xFF);
    frame[5] = char(h >> 8);
}

void fixData(QByteArray &frame)
{
    const int len = quint8(frame[1]);
    const quint16 d =
        dataChecksum(reinterpret_cast<const quint8 *>(frame.constData()) + kHeaderSize, len - 2);
    frame[len + 4] = char(d & 0xFF);
    frame[len + 5] = char(d >> 8);
}

} // namespace

std::optional<FaultKind> faultKindFromText(const QString &text)
{
    const auto it = faultNames().find(text.toLower());
    if (it == faultNames().end())
        return std::nullopt;
    return it.value();
}

QString faultKindText(FaultKind kind)
{
    return faultNames().key(kind);
}

MeterEmulator::MeterEmulator(Installation &plant, unsigned seed) : installation(plant), rng(seed) {}

void MeterEmulator::setFault(FaultKind kind, int everyN, int code)
{
    activeFaults[kind] = qMax(1, everyN);
    if (kind == FaultKind::Ack)
        faultAckCode = code;
    if (kind == FaultKind::Stuck)
        stuckText = valueText(wiredChannel);
}

void MeterEmulator::clearFaults()
{
    activeFaults.clear();
    faultAckCode = 0;
    stuckText.clear();
}

bool MeterEmulator::faultDue(FaultKind kind, int counter) const
{
    const auto it = activeFaults.find(kind);
    return it != activeFaults.end() && counter % it.value() == 0;
}

void MeterEmulator::log(const char *direction, const QByteArray &bytes)
{
    if (logger)
        logger(QString::fromLatin1(direction) + u' ' +
               QString::fromLatin1(bytes.toHex(' ').toUpper()));
}

QList<OutputPiece> MeterEmulator::receive(const QByteArray &bytes)
{
    if (activeFaults.contains(FaultKind::Silence)) {
        log("RX", bytes);
        return {};
    }
    if (input.isEmpty())
        inputSinceMs = nowMs;
    input.append(bytes);
    QList<OutputPiece> out;
    for (;;) {
        const int start = int(input.indexOf(char(kStartByte)));
        if (start < 0) {
            input.clear();
            break;
        }
        input.remove(0, start);
        if (input.size() < kHeaderSize)
            break;
        const quint8 len = quint8(input[1]);
        if (headerChecksum(len, quint8(input[2]), quint8(input[3])) !=
            quint8(input[4]) + 256 * quint8(input[5])) {
            log("RX", input);
            input.clear();
            out += answer(1);
            break;
        }
        if (!lenFitsBuffer(len)) {
            log("RX", input);
            input.clear();
            out += answer(3);
            break;
        }
        if (input.size() < len + 6)
            break;
        const QByteArray frame = input.left(len + 6);
        input.remove(0, len + 6);
        inputSinceMs = nowMs;
        log("RX", frame);
        out += handleFrame(frame);
    }
    return out;
}

QList<OutputPiece> MeterEmulator::handleFrame(const QByteArray &frame)
{
    Buffer buffer{};
    copyToBuffer(buffer, frame);
    if (!FrameChecksum(buffer, ChecksumMode::Check))
        return answer(2);
    if (quint8(frame[2]) != kAddrSystem)
        return {}; // not addressed to the voltmeter
    if (activeFaults.contains(FaultKind::Ack) && faultDue(FaultKind::Ack, answersSent + 1) &&
        faultAckCode != 0)
        return answer(quint8(faultAckCode));
    const quint8 type = quint8(frame[6]);
    const quint8 data = frame.size() > 7 ? quint8(frame[7]) : 0;
    if (type == kTypeConnect) {
        connected = data == 1;
        if (!connected)
            transmitting = false;
        return answer(0);
    }
    if (type == kTypeReceive || type == kTypeParams) {
        if (!connected)
            return answer(4); // NoRemoteControl: the program has not connected
        if (type == kTypeReceive) {
            const bool wasSending = sendingReadings();
            transmitting = data == 1;
            if (!wasSending)
                nextFrameMs = -1; // the first frame a period after the command
        }
        return answer(0);
    }
    return answer(3);
}

QList<OutputPiece> MeterEmulator::answer(quint8 code)
{
    ++answersSent;
    const QByteArray a = buildAnswer(code);
    log("TX", a);
    return {OutputPiece{kAnswerDelayMs, a}};
}

QByteArray MeterEmulator::valueText(int meterChannel)
{
    if (forcedValue[meterChannel])
        return *forcedValue[meterChannel];
    if (meterChannel != wiredChannel)
        return QByteArray("0.0000");
    if (activeFaults.contains(FaultKind::Stuck) && !stuckText.isEmpty())
        return stuckText;
    return QByteArray::number(installation.meterInput(rng), 'f', 4);
}

QByteArray MeterEmulator::readingFrame(const std::optional<QByteArray> &wiredValue)
{
    ReadingFields f;
    f.mode = mode;
    f.value1 = wiredValue && wiredChannel == 1 ? *wiredValue : valueText(1);
    f.value2 = wiredValue && wiredChannel == 2 ? *wiredValue : valueText(2);
    f.flags1 = flags[1];
    f.flags2 = flags[2];
    f.warmup = warmup;
    return buildReadingFrame(f);
}

QList<OutputPiece> MeterEmulator::tick(qint64 now)
{
    nowMs = now;
    QList<OutputPiece> out;
    if (!input.isEmpty() && !activeFaults.contains(FaultKind::Silence) &&
        nowMs - inputSinceMs > kCommandTimeoutMs) {
        log("RX", input);
        input.clear();
        out += answer(7);
    }
    return out + readingDue();
}

bool MeterEmulator::sendingReadings() const
{
    return (transmitting || streaming) && !activeFaults.contains(FaultKind::Silence);
}

QList<OutputPiece> MeterEmulator::readingDue()
{
    if (!sendingReadings()) {
        nextFrameMs = -1;
        return {};
    }
    if (nextFrameMs < 0) {
        nextFrameMs = nowMs + periodMs;
        return {};
    }
    nextFrameMs = qMin(nextFrameMs, nowMs + periodMs); // a shorter period counts at once
    if (nowMs < nextFrameMs)
        return {};
    nextFrameMs = qMax(nextFrameMs + periodMs, nowMs + 1);
    ++readingsSent;
    if (damagedValue && damagingFaultDue(readingsSent))
        return applyFaults(readingFrame(damagedValue));
    return applyFaults(readingFrame());
}

bool MeterEmulator::damagingFaultDue(int counter) const
{
    for (FaultKind kind : {FaultKind::DataChecksum, FaultKind::HeaderChecksum, FaultKind::Addr,
                           FaultKind::Type, FaultKind::Drop})
        if (faultDue(kind, counter))
            return true;
    return false;
}

QList<OutputPiece> MeterEmulator::applyFaults(QByteArray frame)
{
    const int n = readingsSent;
    if (faultDue(FaultKind::DataChecksum, n))
        frame[frame.size() - 1] = char(quint8(frame[frame.size() - 1]) ^ 0x5A);
    if (faultDue(FaultKind::HeaderChecksum, n))
        frame[4] = char(quint8(frame[4]) ^ 0x5A);
    if (faultDue(FaultKind::Addr, n)) {
        frame[2] = 0x01;
        fixHeader(frame);
    }
    if (faultDue(FaultKind::Type, n)) {
        frame[6] = char(0x86);
        fixData(frame);
    }
    if (faultDue(FaultKind::Drop, n))
        frame.remove(int(rng() % frame.size()), 1);
    QList<OutputPiece> out;
    if (faultDue(FaultKind::Garbage, n)) {
        QByteArray garbage(int(rng() % 20) + 1, '\0');
        for (char &c : garbage)
            c = char(rng() & 0xFF);
        log("TX", garbage);
        // Sent on its own, a gap before the frame, as line noise would be.
        out.append(OutputPiece{0, garbage});
        log("TX", frame);
        out.append(OutputPiece{120, frame});
        return out;
    }
    log("TX", frame);
    if (faultDue(FaultKind::Split, n) && frame.size() > 43) {
        out.append(OutputPiece{0, frame.left(3)});
        out.append(OutputPiece{60, frame.mid(3, 40)});
        out.append(OutputPiece{120, frame.mid(43)});
        return out;
    }
    out.append(OutputPiece{0, frame});
    return out;
}

} // namespace kront::sim
