// Random byte streams, cut into random chunks, through the receive assembler
// and the reading decoder: whatever arrives, the assembler stays inside its
// buffer, and every frame it hands on is a whole frame with correct checksums
// whose value text decodes without reading past the frame.
#include "link/frames.h"
#include "link/receiver.h"

#include <gtest/gtest.h>

#include <QList>

#include <cmath>
#include <random>

namespace kront
{

using namespace frames;

namespace
{

class StreamMaker
{
public:
    explicit StreamMaker(unsigned seed) : rng(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

    QByteArray randomBytes(int n)
    {
        QByteArray b(n, '\0');
        for (char &c : b)
            c = char(below(256));
        return b;
    }

    QByteArray readingFrame()
    {
        ReadingFields f;
        f.mode = quint8("\x01\x03\x04\x05\x00\x07"[below(6)]);
        static const char *const texts[] = {
            "4,123", "-0.5", "1E3", "1е-2", " 12 ", "", "abc", "--1", "9999999999999999999999",
            ",",     "1,2,3"};
        f.value1 = texts[below(int(std::size(texts)))];
        f.value2 = randomBytes(below(25));
        f.flags1 = quint8(below(4));
        f.warmup = "<=>?"[below(4)];
        return buildReadingFrame(f);
    }

    // One piece of line traffic: a frame (whole or damaged), an answer, a
    // header with a strange LEN, or noise.
    QByteArray piece()
    {
        QByteArray p;
        switch (below(6)) {
        case 0: p = randomBytes(below(300)); break;
        case 1: p = buildAnswer(quint8(below(10))); break;
        case 2: {
            p = QByteArray("\x16", 1) + char(below(256)) + randomBytes(4 + below(260));
            break;
        }
        default: p = readingFrame();
        }
        switch (below(5)) {
        case 0:
            if (!p.isEmpty())
                p[below(int(p.size()))] = char(below(256));
            break;
        case 1: p.truncate(below(int(p.size()) + 1)); break;
        case 2: p += randomBytes(below(10)); break;
        default: break;
        }
        return p;
    }

    // Cuts the bytes into 1 to 4 chunks.
    QList<QByteArray> chunks(const QByteArray &bytes)
    {
        QList<QByteArray> out;
        int at = 0;
        const int cuts = below(4);
        for (int c = 0; c < cuts && at < bytes.size(); ++c) {
            const int n = 1 + below(int(bytes.size()) - at);
            out << bytes.mid(at, n);
            at += n;
        }
        if (at < bytes.size() || out.isEmpty())
            out << bytes.mid(at);
        return out;
    }

private:
    std::mt19937 rng;
};

void expectSoundFrame(const QByteArray &frame)
{
    ASSERT_GE(frame.size(), kHeaderSize + 3);
    ASSERT_LE(frame.size(), kBufferSize);
    const auto *b = reinterpret_cast<const quint8 *>(frame.constData());
    EXPECT_EQ(frame.size(), b[1] + 6);
    EXPECT_EQ(b[2], kAddrMeter);
    EXPECT_EQ(b[3], 0);
    const quint16 hcs = headerChecksum(b[1], b[2], b[3]);
    EXPECT_EQ(b[4], hcs & 0xFF);
    EXPECT_EQ(b[5], hcs >> 8);
    Buffer buffer{};
    copyToBuffer(buffer, frame);
    EXPECT_TRUE(FrameChecksum(buffer, ChecksumMode::Check));
    EXPECT_TRUE(b[6] == kTypeAnswer || b[6] == kTypeReading);
}

} // namespace

TEST(ReceiverFuzz, RandomStreamsNeverLeaveTheBufferAndPassOnlySoundFrames)
{
    StreamMaker maker(777);
    int frames = 0, readings = 0, values = 0, chunksFed = 0;
    for (int stream = 0; stream < 400; ++stream) {
        FrameReceiver rx;
        for (int p = 0; p < 12; ++p) {
            for (const QByteArray &chunk : maker.chunks(maker.piece())) {
                ++chunksFed;
                const auto outcome = rx.feed(chunk);
                ASSERT_GE(rx.count(), 0);
                ASSERT_LE(rx.count(), kBufferSize);
                if (outcome == FrameReceiver::Outcome::NotAFrame) {
                    EXPECT_GE(rx.RxStatus(), rxHeaderChecksum);
                    EXPECT_LE(rx.RxStatus(), rxWrongType);
                }
                if (outcome != FrameReceiver::Outcome::FrameFound)
                    continue;
                ++frames;
                ASSERT_NO_FATAL_FAILURE(expectSoundFrame(rx.frame()));
                if (!readingHeaderValid(rx.frame()))
                    continue;
                ++readings;
                const ReadingFrame r = decodeReading(rx.frame());
                for (int ch = 1; ch <= 2; ++ch) {
                    EXPECT_LE(r.valueText[ch].size(), kValueTextLength);
                    double v = 0;
                    if (convertValueText(r.valueText[ch], v) == ValueConversion::Ok) {
                        EXPECT_TRUE(std::isfinite(v));
                        ++values;
                    }
                }
            }
        }
    }
    EXPECT_GT(frames, 200);
    EXPECT_GT(readings, 100);
    std::printf("%d chunks: %d frames passed, %d readings, %d values\n", chunksFed, frames,
                readings, values);
}

// The decoders on their own, over arbitrary bytes of any length.
TEST(ReceiverFuzz, DecodersAcceptAnyBytes)
{
    StreamMaker maker(4242);
    for (int i = 0; i < 3000; ++i) {
        QByteArray bytes = maker.randomBytes(maker.below(120));
        if (maker.below(2) && bytes.size() >= 9) {
            const QByteArray head("\x16\x4F\x00\x00\xAF\xFF\x85", 7);
            bytes.replace(0, 7, head);
            bytes[8] = char("\x01\x03\x04\x05"[maker.below(4)]);
        }
        Buffer buffer{};
        copyToBuffer(buffer, bytes);
        FrameChecksum(buffer, ChecksumMode::Check);
        answerCode(buffer);
        if (readingHeaderValid(bytes)) {
            const ReadingFrame r = decodeReading(bytes);
            double v = 0;
            convertValueText(r.valueText[1], v);
            convertValueText(r.valueText[2], v);
        }
        double v = 0;
        convertValueText(bytes, v);
        isSignedNumberText(QString::fromLatin1(bytes));
    }
}

} // namespace kront
