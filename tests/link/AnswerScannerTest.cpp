// The acknowledgement of a command found among reading frames: captures of
// the line as the voltmeter sends at 9600 baud while readings stream, fed
// whole, byte by byte and in odd chunks.
#include "link/AnswerScanner.h"

#include <gtest/gtest.h>
#include <vector>

using namespace kront;
using namespace kront::frames;

namespace
{

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', "").replace('\n', ""));
}

// Two reading frames as the voltmeter sends them: channel 1 reads 4.2340 and
// 20.6440 mV, channel 2 0.0000, warmed up.
const QByteArray kReading1 = hex("16 4F 00 00 AF FF 85 00 03 34 2E 32 33 34 30 00 00"
                                 "00 00 00 00 00 00 00 00 00 00 00 00 00 00 30 2E 30"
                                 "30 30 30 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
                                 "00 00 6D 56 00 00 00 00 00 00 00 00 00 00 00 00 00"
                                 "00 00 00 00 00 20 20 20 3D 20 20 20 20 20 20 0D FB");
const QByteArray kReading2 = hex("16 4F 00 00 AF FF 85 00 03 32 30 2E 36 34 34 30 00"
                                 "00 00 00 00 00 00 00 00 00 00 00 00 00 00 30 2E 30"
                                 "30 30 30 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
                                 "00 00 6D 56 00 00 00 00 00 00 00 00 00 00 00 00 00"
                                 "00 00 00 00 00 20 20 20 3D 20 20 20 20 20 20 DA FA");
const QByteArray kAccepted = hex("16 04 00 00 FA FF 80 00 7E FF");
const QByteArray kMenu = hex("16 04 00 00 FA FF 80 05 79 FF");
const QByteArray kBadSum = hex("16 04 00 00 FA FF 80 00 7F FF"); // data checksum wrong
const QByteArray kAddr1 = hex("16 04 01 00 FA FF 80 00 7E FF");  // ADDR 1, data checksum right

struct Capture {
    const char *name;
    QByteArray line;   // the bytes after the command, in order
    QByteArray answer; // the acknowledgement found; empty: none
    int answerEnd;     // offset just past it in `line`
    int setAside;      // whole reading frames passed over
    bool needsSilence; // found only once nothing more arrives
};

std::vector<Capture> captures()
{
    QByteArray lost = kReading1;
    lost.remove(40, 1);
    const QByteArray noise = hex("16 04 01 02 16 16 4F 00");
    return {
        {"answer alone", kAccepted, kAccepted, 10, 0, false},
        {"a reading, then the answer", kReading1 + kAccepted, kAccepted, 95, 1, false},
        {"the rest of a reading on the wire, then the answer", kReading1.mid(37) + kAccepted,
         kAccepted, 58, 0, false},
        {"rest, two readings, the answer, a reading after",
         kReading2.mid(80) + kReading1 + kReading2 + kAccepted + kReading1, kAccepted, 185, 2,
         false},
        {"a reading with a byte lost, then the answer", lost + kAccepted, kAccepted, 94, 0, false},
        {"noise that looks like frame starts", noise + kAccepted + kReading2, kAccepted, 18, 0,
         false},
        {"the command echoed, then the answer", connectFrame() + kAccepted, kAccepted, 20, 0,
         false},
        {"a refusal after a reading", kReading2 + kMenu, kMenu, 95, 1, false},
        {"a damaged answer after a reading still counts", kReading1 + kBadSum, kBadSum, 95, 1,
         false},
        {"a wrong ADDR with its data checksum right", kReading1.mid(60) + kAddr1, kAddr1, 35, 0,
         false},
        {"a reading cut short, the answer, silence", kReading1.left(30) + kAccepted, kAccepted, 40,
         0, true},
        {"the rest of a reading and no answer", kReading1.mid(20), {}, 0, 0, true},
        {"readings only", kReading1 + kReading2, {}, 0, 2, true},
        {"nine bytes of an answer", kAccepted.left(9), {}, 0, 0, true},
    };
}

} // namespace

TEST(AnswerScanner, CapturesFedWhole)
{
    for (const Capture &c : captures()) {
        SCOPED_TRACE(c.name);
        AnswerScanner scanner;
        EXPECT_EQ(scanner.feed(c.line), !c.answer.isEmpty() && !c.needsSilence);
        scanner.finish();
        EXPECT_EQ(scanner.answer(), c.answer);
        EXPECT_EQ(scanner.found(), !c.answer.isEmpty());
        EXPECT_EQ(scanner.readingsSetAside(), c.setAside);
    }
}

// The link reads as much as the scanner still needs, and the port hands over
// what has arrived: byte by byte, or in odd pieces. The answer is found the
// same way, and no byte after it is ever asked for: those stay in the port
// for the receive path.
TEST(AnswerScanner, CapturesReadInPiecesNeverPastTheAnswer)
{
    const std::vector<std::vector<int>> chunkings = {
        {1},                 // byte by byte
        {3, 40, 42},         // the voltmeter's slow start
        {5, 1, 7, 13, 2, 6}, // odd pieces, headers split
        {85},                // up to a whole frame at once
    };
    for (const Capture &c : captures()) {
        for (const std::vector<int> &sizes : chunkings) {
            SCOPED_TRACE(std::string(c.name) + ", pieces of up to " + std::to_string(sizes[0]));
            AnswerScanner scanner;
            int consumed = 0;
            for (size_t i = 0; !scanner.found() && consumed < c.line.size(); ++i) {
                ASSERT_GT(scanner.missing(), 0);
                const int piece = qMin(scanner.missing(), sizes[i % sizes.size()]);
                scanner.feed(c.line.mid(consumed, piece));
                consumed = qMin(consumed + piece, int(c.line.size()));
            }
            EXPECT_EQ(scanner.found(), !c.answer.isEmpty() && !c.needsSilence);
            if (scanner.found()) {
                EXPECT_EQ(consumed, c.answerEnd) << "read past the answer";
            }
            scanner.finish();
            EXPECT_EQ(scanner.answer(), c.answer);
            EXPECT_EQ(scanner.readingsSetAside(), c.setAside);
            if (scanner.found()) {
                EXPECT_EQ(scanner.missing(), 0);
            }
        }
    }
}

// The captures above are what the frame builder makes.
TEST(AnswerScanner, CapturesAreTheVoltmetersFrames)
{
    EXPECT_EQ(kReading1, buildReadingFrame({3, "4.2340", "0.0000", 0, 0, '='}));
    EXPECT_EQ(kReading2, buildReadingFrame({3, "20.6440", "0.0000", 0, 0, '='}));
    EXPECT_EQ(kAccepted, buildAnswer(0));
    EXPECT_EQ(kMenu, buildAnswer(5));
}

// Random bytes of every length: the scan ends, reads nothing outside the
// bytes given, and finds an answer placed after them unless the junk itself
// holds one or swallows its start.
TEST(AnswerScanner, RandomBytesBeforeTheAnswer)
{
    quint32 seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return quint8(seed >> 24);
    };
    int found = 0;
    for (int n = 0; n < 400; ++n) {
        QByteArray junk;
        for (int i = 0; i < n % 120; ++i)
            junk.append(char(n % 3 == 0 && i % 7 == 0 ? kStartByte : next()));
        AnswerScanner scanner;
        scanner.feed(junk + kAccepted);
        scanner.finish();
        found += scanner.answer() == kAccepted;
    }
    EXPECT_GT(found, 390);
}
