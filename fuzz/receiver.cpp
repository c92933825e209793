// libFuzzer target: the receive assembler and the reading decoder. The input
// is a line stream; each chunk is prefixed by one length byte.
#include "link/receiver.h"
#include "link/frames.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

using namespace kront;
using namespace kront::frames;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FrameReceiver rx;
    size_t at = 0;
    while (at < size) {
        // Lengths up to 255, and "255" means a chunk of 300 (above the buffer).
        const size_t wanted = data[at] == 255 ? 300 : data[at];
        ++at;
        const size_t n = std::min(wanted, size - at);
        const QByteArray chunk(reinterpret_cast<const char *>(data + at), qsizetype(n));
        at += n;
        const auto outcome = rx.feed(chunk);
        if (rx.count() < 0 || rx.count() > kBufferSize)
            std::abort();
        if (outcome != FrameReceiver::Outcome::FrameFound)
            continue;
        const QByteArray &frame = rx.frame();
        if (frame.size() > kBufferSize || frame.size() != quint8(frame[1]) + 6)
            std::abort();
        Buffer buffer{};
        copyToBuffer(buffer, frame);
        if (!FrameChecksum(buffer, ChecksumMode::Check))
            std::abort(); // a frame handed on with a wrong checksum
        if (!readingHeaderValid(frame))
            continue;
        const ReadingFrame r = decodeReading(frame);
        for (int ch = 1; ch <= 2; ++ch) {
            double v = 0;
            if (r.valueText[ch].size() > kValueTextLength)
                std::abort();
            if (convertValueText(r.valueText[ch], v) == ValueConversion::Ok && !std::isfinite(v))
                std::abort();
        }
    }
    return 0;
}
