#include "link/frames.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace kront::frames;

namespace
{

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}
std::string hexOf(const QByteArray &b)
{
    return b.toHex(' ').toUpper().toStdString();
}

Buffer bufferOf(const QByteArray &bytes)
{
    Buffer b{};
    copyToBuffer(b, bytes);
    return b;
}

} // namespace

TEST(Frames, CommandFramesByteForByte)
{
    struct Row {
        QByteArray frame;
        const char *expected;
    } rows[] = {
        {connectFrame(), "16 04 FF 00 FB FE 54 01 A9 FF"},
        {disconnectFrame(), "16 04 FF 00 FB FE 54 00 AA FF"},
        {startReceiveFrame(), "16 04 FF 00 FB FE 45 01 B8 FF"},
        {stopReceiveFrame(), "16 04 FF 00 FB FE 45 00 B9 FF"},
        {setParamsFrame(), "16 25 FF 00 DA FE 52 01 01 02 02 82 82 C2 C2 00 00 0B 0B A0 00 50 00 "
                           "02 03 2D 36 30 30 2E 30 20 20 36 30 30 2E 30 30 20 20 4E F9"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(hexOf(row.frame), std::string(row.expected));
}

TEST(Frames, ParamsFrameChecksumsFollowTheirDefinitions)
{
    const QByteArray f = setParamsFrame();
    ASSERT_EQ(f.size(), kParamsFrameSize);
    EXPECT_EQ(headerChecksum(0x25, 0xFF, 0x00), 0xFEDA);
    EXPECT_EQ(quint8(f[4]) + 256 * quint8(f[5]), 0xFFFE - (0x25 + 0xFF + 0x00));
    // The general builder produces the same frame from the information part.
    EXPECT_EQ(buildFrame(kAddrSystem, f.mid(6, 0x25 - 2)), f);
}

TEST(Frames, FrameChecksumSetsAndChecksAtLenPlusFour)
{
    Buffer b = bufferOf(hex("16 04 00 00 FA FF 80 05 00 00"));
    EXPECT_FALSE(FrameChecksum(b, ChecksumMode::Check));
    EXPECT_TRUE(FrameChecksum(b, ChecksumMode::Set));
    EXPECT_EQ(b[8], 0x79);
    EXPECT_EQ(b[9], 0xFF);
    EXPECT_TRUE(FrameChecksum(b, ChecksumMode::Check));
    b[9] = 0xFE;
    EXPECT_FALSE(FrameChecksum(b, ChecksumMode::Check));
}

TEST(Frames, FrameChecksumRefusesLenOutsideTheBuffer)
{
    for (int len : {0, 1, 2, 251, 255}) {
        Buffer b{};
        b.fill(0xAA);
        b[1] = quint8(len);
        const Buffer before = b;
        EXPECT_FALSE(FrameChecksum(b, ChecksumMode::Set)) << len;
        EXPECT_FALSE(FrameChecksum(b, ChecksumMode::Check)) << len;
        EXPECT_EQ(b, before) << len;
    }
    Buffer b{};
    b[1] = 250; // checksum at offsets 254 and 255: the last LEN that fits
    EXPECT_TRUE(FrameChecksum(b, ChecksumMode::Set));
    EXPECT_TRUE(FrameChecksum(b, ChecksumMode::Check));
}

TEST(Frames, AnswerCodesChecksumBeforeFixedBytes)
{
    struct Row {
        const char *bytes;
        int code;
    } rows[] = {
        {"16 04 00 00 FA FF 80 00 7E FF", 0},
        {"16 04 00 00 FA FF 80 05 79 FF", 5}, // menu mode
        {"16 04 00 00 FA FF 80 06 78 FF", 6}, // no text of its own
        {"16 04 00 00 FA FF 80 07 77 FF", 7},
        {"16 04 01 00 FA FF 80 00 7E FF", kAnswerMalformed}, // ADDR 0x01, checksum right
        {"16 04 00 00 FA FF 80 08 76 FF", kAnswerMalformed}, // CODE 8
        {"16 04 00 00 FA FF 85 00 79 FF", kAnswerMalformed}, // not an acknowledgement
        {"16 04 00 00 FA FF 80 00 7F FF", kAnswerChecksumError},
        {"16 04 01 00 FA FF 80 00 00 00", kAnswerChecksumError}, // both wrong: checksum wins
        {"16 FF 00 00 FA FF 80 00 7E FF", kAnswerChecksumError}, // LEN beyond the buffer
        {"16 02 00 00 FA FF 80 00 7E FF", kAnswerChecksumError}, // LEN without TYPE
    };
    for (const Row &row : rows)
        EXPECT_EQ(answerCode(bufferOf(hex(row.bytes))), row.code) << row.bytes;
    EXPECT_EQ(buildAnswer(5), hex("16 04 00 00 FA FF 80 05 79 FF"));
}

TEST(Frames, AnswerCodeTexts)
{
    EXPECT_EQ(answerCodeText(5),
              QStringLiteral("Ошибка связи: <- прибор находится в режиме меню."));
    EXPECT_EQ(answerCodeText(1),
              QStringLiteral("Ошибка связи: <- ошибка контрольной суммы заголовка."));
    EXPECT_EQ(answerCodeText(4), QStringLiteral("Ошибка связи: <- NoRemoteControl."));
    EXPECT_TRUE(answerCodeText(0).isEmpty());
    EXPECT_TRUE(answerCodeText(6).isEmpty());
}

TEST(Frames, ReadingFrameLayout)
{
    ReadingFields fields;
    fields.value1 = "1.234";
    fields.value2 = "-0.5";
    fields.flags2 = kFlagBelow;
    fields.warmup = '<';
    const QByteArray f = buildReadingFrame(fields);
    ASSERT_EQ(f.size(), kReadingFrameSize);
    EXPECT_EQ(hexOf(f.left(7)), "16 4F 00 00 AF FF 85");
    Buffer copy = bufferOf(f);
    EXPECT_TRUE(FrameChecksum(copy, ChecksumMode::Check));
    ASSERT_TRUE(readingHeaderValid(f));
    const ReadingFrame r = decodeReading(f);
    EXPECT_EQ(r.mode, 3);
    EXPECT_EQ(r.valueText[1], QByteArray("1.234"));
    EXPECT_EQ(r.valueText[2], QByteArray("-0.5"));
    EXPECT_EQ(r.flags[1], 0);
    EXPECT_EQ(r.flags[2], kFlagBelow);
    EXPECT_EQ(r.warmup, '<');
}

TEST(Frames, ReadingTextSkipsFillZerosAndModeOneBlanksChannelTwo)
{
    QByteArray f = buildReadingFrame({1, "0.5", "9.9", 0, 0, '='});
    f[kValueText1Offset] = 0; // a leading fill zero before the text
    f.replace(kValueText1Offset + 1, 3, "0.5");
    const ReadingFrame r = decodeReading(f);
    EXPECT_EQ(r.valueText[1], QByteArray("0.5"));
    EXPECT_EQ(r.valueText[2], QByteArray("0"));
}

TEST(Frames, ReadingHeaderTest)
{
    const QByteArray good = buildReadingFrame({});
    EXPECT_TRUE(readingHeaderValid(good));
    for (quint8 mode : {0, 2, 6}) {
        QByteArray f = good;
        f[kModeOffset] = char(mode);
        EXPECT_FALSE(readingHeaderValid(f)) << int(mode);
    }
    for (quint8 mode : {1, 3, 4, 5}) {
        QByteArray f = good;
        f[kModeOffset] = char(mode);
        EXPECT_TRUE(readingHeaderValid(f)) << int(mode);
    }
    EXPECT_FALSE(readingHeaderValid(buildAnswer(0)));
    EXPECT_FALSE(readingHeaderValid(good.left(84)));
}

TEST(Frames, ValueTextConversion)
{
    QStringEncoder to1251("windows-1251");
    struct Row {
        QString text;
        ValueConversion result;
        double value;
    } rows[] = {
        {QStringLiteral("1.234Е-01"), ValueConversion::Ok, 0.1234}, // Cyrillic capital Е
        {QStringLiteral("2,5е+1"), ValueConversion::Ok, 25.0},      // Cyrillic small е
        {QStringLiteral("  -0.512  "), ValueConversion::Ok, -0.512},
        {QStringLiteral("+7"), ValueConversion::Ok, 7.0},
        {QStringLiteral("0"), ValueConversion::Ok, 0.0},
        {QStringLiteral("1E3"), ValueConversion::Ok, 1000.0},
        {QStringLiteral(""), ValueConversion::Empty, 0},
        {QStringLiteral("    "), ValueConversion::Empty, 0},
        {QStringLiteral("OVER"), ValueConversion::Invalid, 0},
        {QStringLiteral("1.2.3"), ValueConversion::Invalid, 0},
        {QStringLiteral("5."), ValueConversion::Invalid, 0},
        {QStringLiteral(".5"), ValueConversion::Invalid, 0},
        {QStringLiteral("1E"), ValueConversion::Invalid, 0},
        {QStringLiteral("1E2E3"), ValueConversion::Invalid, 0},
        {QStringLiteral("1-5"), ValueConversion::Invalid, 0},
        {QStringLiteral("1 000"), ValueConversion::Invalid, 0},
    };
    for (const Row &row : rows) {
        double value = -1;
        const QByteArray bytes = to1251(row.text);
        EXPECT_EQ(convertValueText(bytes, value), row.result) << row.text.toStdString();
        if (row.result == ValueConversion::Ok) {
            EXPECT_DOUBLE_EQ(value, row.value) << row.text.toStdString();
        }
    }
    // The Cyrillic exponent arrives as byte 0xC5.
    double v = 0;
    EXPECT_EQ(convertValueText(QByteArray("1.234\xC5-01"), v), ValueConversion::Ok);
    EXPECT_DOUBLE_EQ(v, 0.1234);
}
