#include "link/receiver.h"

#include <gtest/gtest.h>
#include <vector>

using namespace kront;
using namespace kront::frames;
using Outcome = FrameReceiver::Outcome;

namespace
{

QByteArray reading(const char *value = "1.234")
{
    return buildReadingFrame({3, value, "0.000", 0, 0, '='});
}

// A frame with a header whose checksum matches the given (wrong) fields.
QByteArray withHeader(QByteArray frame, quint8 addr, quint8 num)
{
    frame[2] = char(addr);
    frame[3] = char(num);
    const quint16 h = headerChecksum(quint8(frame[1]), addr, num);
    frame[4] = char(h & 0xFF);
    frame[5] = char(h >> 8);
    return frame;
}

// Feeds `frame` cut at the given chunk sizes (the rest as a last chunk);
// returns the outcomes.
std::vector<Outcome> feedInChunks(FrameReceiver &rx, const QByteArray &frame,
                                  const std::vector<int> &sizes)
{
    std::vector<Outcome> outcomes;
    int pos = 0;
    for (int size : sizes) {
        if (pos >= frame.size())
            break;
        outcomes.push_back(rx.feed(frame.mid(pos, size)));
        pos += size;
    }
    if (pos < frame.size())
        outcomes.push_back(rx.feed(frame.mid(pos)));
    return outcomes;
}

} // namespace

// The same capture (a reading, an acknowledgement, another reading) fed whole
// frame by frame, byte by byte and in odd chunks gives the same frames.
TEST(Receiver, CaptureAssembledWhateverTheChunking)
{
    const std::vector<QByteArray> capture = {reading("1.234"), buildAnswer(0), reading("-0.051")};
    const std::vector<std::vector<int>> chunkings = {
        {},                      // whole
        std::vector<int>(84, 1), // byte by byte
        {3, 40, 42},             // the split of the voltmeter's slow start
        {5, 1, 7, 13, 2},        // odd chunks, header itself split
        {6},                     // exactly the header first
    };
    for (const auto &sizes : chunkings) {
        FrameReceiver rx;
        std::vector<QByteArray> found;
        for (const QByteArray &frame : capture) {
            const std::vector<Outcome> outcomes = feedInChunks(rx, frame, sizes);
            for (size_t i = 0; i + 1 < outcomes.size(); ++i)
                EXPECT_EQ(outcomes[i], Outcome::NeedMore);
            if (outcomes.back() == Outcome::FrameFound) {
                EXPECT_EQ(rx.RxStatus(), rxOk);
                found.push_back(rx.frame());
            }
        }
        EXPECT_EQ(found, capture) << "chunks " << sizes.size();
    }
}

// Readings less than a poll apart arrive in one chunk: the bytes after the
// first frame are the next frame (whole or begun), never lost.
TEST(Receiver, BytesAfterAFrameInTheSameChunkStartTheNextFrame)
{
    const QByteArray a = reading("1"), b = reading("2"), c = reading("3");
    {
        FrameReceiver rx;
        EXPECT_EQ(rx.feed(a + b + c.left(20)), Outcome::FrameFound);
        EXPECT_EQ(rx.frame(), a);
        ASSERT_TRUE(rx.hasRest());
        EXPECT_EQ(rx.takeRest(), Outcome::FrameFound);
        EXPECT_EQ(rx.frame(), b);
        EXPECT_EQ(rx.takeRest(), Outcome::NeedMore);
        EXPECT_FALSE(rx.hasRest());
        EXPECT_EQ(rx.feed(c.mid(20)), Outcome::FrameFound);
        EXPECT_EQ(rx.frame(), c);
        EXPECT_EQ(rx.RxStatus(), rxOk);
    }
    {
        // A chunk delivered before the kept bytes were taken follows them.
        FrameReceiver rx;
        EXPECT_EQ(rx.feed(a + b.left(30)), Outcome::FrameFound);
        EXPECT_EQ(rx.feed(b.mid(30)), Outcome::FrameFound);
        EXPECT_EQ(rx.frame(), b);
        EXPECT_FALSE(rx.hasRest());
    }
}

TEST(Receiver, HeaderAndFrameErrorsResetAssembly)
{
    const QByteArray good = reading();
    QByteArray badHeader = good;
    badHeader[4] = char(0x00);
    QByteArray badData = good;
    badData[40] = char(badData[40] + 1);
    QByteArray badType = buildFrame(kAddrMeter, QByteArray("\x54\x01", 2));
    const QByteArray tooLong = withHeader(QByteArray::fromHex("16FB00000000"), 0, 0);
    const QByteArray noInfo = withHeader(QByteArray::fromHex("160200000000AAAA"), 0, 0);
    struct Row {
        const char *name;
        QByteArray bytes;
        int status;
    } rows[] = {
        {"header checksum", badHeader, rxHeaderChecksum},
        {"ADDR 0x01", withHeader(good, 0x01, 0), rxWrongAddr},
        {"NUM 0x02", withHeader(good, 0, 0x02), rxWrongNum},
        {"data checksum", badData, rxDataChecksum},
        {"TYPE 0x54", badType, rxWrongType},
        {"LEN 251", tooLong, rxFrameTooLarge},
        {"LEN 2", noInfo, rxDataChecksum},
    };
    for (const Row &row : rows) {
        FrameReceiver rx;
        // Split so that the error shows on the second chunk.
        EXPECT_EQ(rx.feed(row.bytes.left(3)), Outcome::NeedMore) << row.name;
        EXPECT_EQ(rx.feed(row.bytes.mid(3)), Outcome::NotAFrame) << row.name;
        EXPECT_EQ(rx.RxStatus(), row.status) << row.name;
        EXPECT_EQ(rx.count(), 0) << row.name;
        EXPECT_TRUE(rx.awaitingNewFrame()) << row.name;
        // The next good frame is accepted.
        EXPECT_EQ(rx.feed(good), Outcome::FrameFound) << row.name;
        EXPECT_EQ(rx.RxStatus(), rxOk) << row.name;
    }
}

TEST(Receiver, OversizedChunkUsesFirst256BytesAndReportsIt)
{
    FrameReceiver rx;
    QByteArray chunk = reading() + QByteArray(300 - kReadingFrameSize, '\x55');
    ASSERT_EQ(chunk.size(), 300);
    EXPECT_EQ(rx.feed(chunk), Outcome::FrameFound);
    EXPECT_EQ(rx.RxStatus(), rxChunkTooLarge);
    EXPECT_EQ(rx.frame(), reading());
}

TEST(Receiver, AppendCutToFreeSpaceIsReported)
{
    FrameReceiver rx;
    const QByteArray good = reading();
    EXPECT_EQ(rx.feed(good.left(10)), Outcome::NeedMore);
    // 250 more bytes: only 246 fit; the frame completes inside them.
    EXPECT_EQ(rx.feed(good.mid(10) + QByteArray(250 - 75, '\0')), Outcome::FrameFound);
    EXPECT_EQ(rx.RxStatus(), rxBufferFull);
    EXPECT_EQ(rx.frame(), good);
}

TEST(Receiver, LargestFrameThatFitsIsAssembled)
{
    FrameReceiver rx;
    const QByteArray big = buildFrame(kAddrMeter, char(kTypeAnswer) + QByteArray(247, '\x01'));
    ASSERT_EQ(big.size(), 256);
    EXPECT_EQ(rx.feed(big.left(200)), Outcome::NeedMore);
    EXPECT_EQ(rx.feed(big.mid(200)), Outcome::FrameFound);
    EXPECT_EQ(rx.RxStatus(), rxOk);
    EXPECT_EQ(rx.frame(), big);
}

TEST(Receiver, GarbageNeverReadsOutsideTheBuffer)
{
    // Random chunks of random sizes: the receiver must only ever answer one
    // of its three outcomes and keep its count inside the buffer.
    quint32 seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    FrameReceiver rx;
    for (int i = 0; i < 5000; ++i) {
        QByteArray chunk(int(next() % 400), '\0');
        for (char &c : chunk)
            c = char(next() & 0xFF);
        if (next() % 3 == 0 && chunk.size() > 1)
            chunk[0] = char(kStartByte);
        rx.feed(chunk);
        ASSERT_GE(rx.count(), 0);
        ASSERT_LE(rx.count(), kBufferSize);
    }
}
