#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace kront::sim
{

// The voltmeter's side of a 9600-baud line with 8N1 framing: ten bits a
// byte, 960 bytes a second, a byte about every millisecond. Queued bytes go
// out in order and back to back, so an answer queued while a reading frame is
// still going out follows that frame, as on the real line. Without pacing
// every queued byte is due at once. Times in ms.
class PacedLine
{
public:
    static constexpr int kBaud = 9600;
    static constexpr int kBitsPerByte = 10;
    static constexpr double kByteMs = 1000.0 * kBitsPerByte / kBaud;
    static constexpr int kMaxQueued = 4096; // nobody reading: the oldest bytes are lost

    void setPaced(bool on) { paced = on; }
    bool isPaced() const { return paced; }

    void queue(const QByteArray &bytes, qint64 nowMs);
    // The queued bytes whose time on the line has come by nowMs; they stay
    // queued until sent() says how many the other end took.
    QByteArray due(qint64 nowMs) const;
    // `count` bytes of those due left the line. Fewer than were due: the
    // other end takes no more for now, and the line starts again from nowMs.
    void sent(int count, qint64 nowMs);
    void clear() { pending.clear(); }
    int queued() const { return int(pending.size()); }

private:
    bool paced = true;
    QByteArray pending;
    double freeAtMs = 0; // when the last byte sent has left the line
};

} // namespace kront::sim
