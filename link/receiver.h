#pragma once

#include "link/frames.h"

#include <QByteArray>

// Assembly of the frames the voltmeter sends while transmission of readings
// is on. The port hands over whatever arrived in one chunk (no framing); the
// receiver collects chunks in its 256-byte buffer until a frame is complete,
// and answers for every chunk: need more bytes, not a frame (the partial frame
// is dropped and assembly restarts with the next chunk), or frame found. Bytes
// that arrived after a complete frame in the same chunk are the start of the
// next frame: they are kept and assembled by takeRest().
namespace kront
{

// Outcome codes of the last chunk, as shown by the frame event.
enum RxStatusCode : int {
    rxOk = 0,
    rxChunkTooLarge = 1,  // a new frame began with a chunk above 256 bytes
    rxBufferFull = 2,     // the chunk was cut to the free space of the buffer
    rxHeaderChecksum = 3, // header checksum wrong
    rxWrongAddr = 4,      // ADDR not 0
    rxWrongNum = 5,       // NUM not 0
    rxFrameTooLarge = 6,  // the frame cannot fit the buffer
    rxDataChecksum = 7,   // data checksum wrong (or LEN too small to have one)
    rxWrongType = 8,      // TYPE neither 0x80 nor 0x85
};

class FrameReceiver
{
public:
    enum class Outcome {
        NeedMore,   // nothing to report; wait for the next chunk
        NotAFrame,  // receive error: RxStatus 3..8; partial frame dropped
        FrameFound, // a complete frame is in frame(); RxStatus 0, 1 or 2
    };

    // Processes one delivered chunk. Bytes after a complete frame in the same
    // chunk are kept for takeRest() unless the chunk had to be cut (status 1
    // or 2); a chunk fed before they were taken follows them.
    Outcome feed(const QByteArray &chunk);
    // Whether bytes after the last complete frame wait for assembly.
    bool hasRest() const { return !rest.isEmpty(); }
    // Assembles the kept bytes as the next chunk (call while hasRest()).
    Outcome takeRest() { return feed(QByteArray()); }

    int RxStatus() const { return rxStatus; }
    // The last complete frame (LEN + 6 bytes).
    const QByteArray &frame() const { return lastFrame; }
    int count() const { return fill; }
    bool awaitingNewFrame() const { return newFrame; }

private:
    Outcome checkHeader();
    Outcome fail(int status);
    void reset();

    frames::Buffer buffer{};
    int fill = 0;          // bytes in buffer
    bool newFrame = true;  // the next chunk starts a frame at offset 0
    bool overflow = false; // the last append was cut to the free space
    bool headerOk = false; // header of the frame being assembled passed
    int rxStatus = rxOk;
    QByteArray lastFrame;
    QByteArray rest; // bytes after the last complete frame, not yet assembled
};

} // namespace kront
