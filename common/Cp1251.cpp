#include "common/Cp1251.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <array>

namespace kront::Cp1251
{

namespace
{

// Unicode code points of the bytes 0x80..0xFF. 0x98 has no character in the
// code page; like the Windows conversion it maps to the C1 control U+0098.
constexpr std::array<char16_t, 128> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, // F8
};

constexpr const char *kCodecName = "windows-1251";

// Byte for a UTF-16 unit, or -1 when the code page has none.
int byteFor(char16_t c)
{
    if (c < 0x80)
        return c;
    if (c >= 0x0410 && c <= 0x044F)
        return c - 0x0410 + 0xC0;
    for (int i = 0; i < 64; ++i) {
        if (kHighHalf[i] == c)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

QString decodeWithTable(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        out.append(QChar(b < 0x80 ? char16_t(b) : kHighHalf[b - 0x80]));
    }
    return out;
}

QByteArray encodeWithTable(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        const int b = byteFor(ch.unicode());
        out.append(b < 0 ? '?' : static_cast<char>(b));
    }
    return out;
}

bool canEncode(const QString &text)
{
    for (const QChar ch : text) {
        if (byteFor(ch.unicode()) < 0)
            return false;
    }
    return true;
}

bool systemCodecAvailable()
{
    static const bool available =
        QStringDecoder(kCodecName).isValid() && QStringEncoder(kCodecName).isValid();
    return available;
}

QString decode(const QByteArray &bytes)
{
    if (!systemCodecAvailable())
        return decodeWithTable(bytes);
    QStringDecoder decoder(kCodecName);
    QString out = decoder.decode(bytes);
    // A codec that disagrees with the table on an undefined byte must not
    // change what the program reads.
    if (decoder.hasError() || out.size() != bytes.size())
        return decodeWithTable(bytes);
    return out;
}

QByteArray encode(const QString &text)
{
    if (!systemCodecAvailable() || !canEncode(text))
        return encodeWithTable(text);
    QStringEncoder encoder(kCodecName);
    QByteArray out = encoder.encode(text);
    if (encoder.hasError() || out.size() != text.size())
        return encodeWithTable(text);
    return out;
}

} // namespace kront::Cp1251
