#include "link/receiver.h"

#include <cstring>

namespace kront
{

using namespace frames;

FrameReceiver::Outcome FrameReceiver::feed(const QByteArray &delivered)
{
    const QByteArray chunk = rest.isEmpty() ? delivered : rest + delivered;
    rest.clear();
    rxStatus = rxOk;
    int size = int(chunk.size());
    if (newFrame && size > kBufferSize) {
        rxStatus = rxChunkTooLarge;
        size = kBufferSize;
    }
    if (newFrame) {
        overflow = false;
    } else if (size > kBufferSize - fill) {
        rxStatus = rxBufferFull;
        size = kBufferSize - fill;
        overflow = true;
    } else {
        overflow = false;
    }
    if (newFrame) {
        headerOk = false;
        fill = 0;
    }
    if (size > 0)
        std::memcpy(buffer.data() + fill, chunk.constData(), size_t(size));
    fill += size;

    if (!headerOk) {
        const Outcome header = checkHeader();
        if (header != Outcome::FrameFound)
            return header;
    }

    const int len = buffer[1];
    if (len > kMaxLen)
        return fail(rxFrameTooLarge); // could never complete inside the buffer
    if (len < kMinLen)
        return fail(rxDataChecksum); // no information part to checksum
    if (fill < len + 6) {
        if (overflow)
            return fail(rxFrameTooLarge);
        newFrame = false;
        return Outcome::NeedMore;
    }
    if (!FrameChecksum(buffer, ChecksumMode::Check))
        return fail(rxDataChecksum);
    if (buffer[6] != kTypeAnswer && buffer[6] != kTypeReading)
        return fail(rxWrongType);
    lastFrame = bufferBytes(buffer, len + 6);
    // After a cut chunk the stream is already broken: nothing is kept.
    if (fill > len + 6 && rxStatus == rxOk)
        rest = bufferBytes(buffer, fill).mid(len + 6);
    newFrame = true;
    return Outcome::FrameFound;
}

// Returns FrameFound when the header is good (assembly goes on), NeedMore
// while fewer than 6 bytes are in, NotAFrame on a bad header.
FrameReceiver::Outcome FrameReceiver::checkHeader()
{
    if (fill < kHeaderSize) {
        newFrame = false;
        return Outcome::NeedMore;
    }
    if (headerChecksum(buffer[1], buffer[2], buffer[3]) != buffer[4] + 256 * buffer[5])
        return fail(rxHeaderChecksum);
    if (buffer[2] != kAddrMeter)
        return fail(rxWrongAddr);
    if (buffer[3] != 0)
        return fail(rxWrongNum);
    headerOk = true;
    return Outcome::FrameFound;
}

FrameReceiver::Outcome FrameReceiver::fail(int status)
{
    rxStatus = status;
    reset();
    return Outcome::NotAFrame;
}

void FrameReceiver::reset()
{
    fill = 0;
    overflow = false;
    newFrame = true;
    headerOk = false;
}

} // namespace kront
