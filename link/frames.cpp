#include "link/frames.h"

#include <QStringDecoder>

namespace kront::frames
{

namespace
{

constexpr quint16 kChecksumBase = 0xFFFE;

void putWord(QByteArray &bytes, quint16 value)
{
    bytes.append(char(value & 0xFF));
    bytes.append(char(value >> 8));
}

quint8 at(const QByteArray &bytes, int i)
{
    return quint8(bytes.at(i));
}

QByteArray twoBytes(quint8 a, quint8 b)
{
    QByteArray bytes;
    bytes.append(char(a));
    bytes.append(char(b));
    return bytes;
}

QByteArray shortCommand(quint8 type, quint8 data)
{
    return buildFrame(kAddrSystem, twoBytes(type, data));
}

} // namespace

quint16 headerChecksum(quint8 len, quint8 addr, quint8 num)
{
    return quint16(kChecksumBase - (len + addr + num));
}

quint16 dataChecksum(const quint8 *info, int count)
{
    // At most 248 bytes of at most 255 each: the sum stays below 0xFFFE.
    int sum = 0;
    for (int i = 0; i < count; ++i)
        sum += info[i];
    return quint16(kChecksumBase - sum);
}

QByteArray buildFrame(quint8 addr, const QByteArray &info)
{
    Q_ASSERT(!info.isEmpty() && info.size() <= kMaxLen - 2);
    const quint8 len = quint8(info.size() + 2);
    QByteArray frame;
    frame.append(char(kStartByte));
    frame.append(char(len));
    frame.append(char(addr));
    frame.append(char(0));
    putWord(frame, headerChecksum(len, addr, 0));
    frame.append(info);
    putWord(frame,
            dataChecksum(reinterpret_cast<const quint8 *>(info.constData()), int(info.size())));
    return frame;
}

QByteArray connectFrame()
{
    return shortCommand(kTypeConnect, 1);
}
QByteArray disconnectFrame()
{
    return shortCommand(kTypeConnect, 0);
}
QByteArray startReceiveFrame()
{
    return shortCommand(kTypeReceive, 1);
}
QByteArray stopReceiveFrame()
{
    return shortCommand(kTypeReceive, 0);
}

QByteArray setParamsFrameBody()
{
    static const quint8 body[] = {0x16, 0x25, 0xFF, 0x00, 0xDA, 0xFE, // header
                                  0x52,                               // TYPE "R"
                                  0x01, 0x01, 0x02, 0x02, 0x82, 0x82, 0xC2, 0xC2,
                                  0x00, 0x00,                                     // six values,
                                  0x0B, 0x0B,                                     // each twice
                                  0xA0, 0x00, 0x50, 0x00,                         // 160, 80
                                  0x02, 0x03,                                     //
                                  '-',  '6',  '0',  '0',  '.',  '0',  ' ',  ' ',  // "-600.0  "
                                  '6',  '0',  '0',  '.',  '0',  '0',  ' ',  ' '}; // "600.00  "
    static_assert(sizeof(body) == kParamsFrameSize - 2);
    return QByteArray(reinterpret_cast<const char *>(body), sizeof(body));
}

QByteArray setParamsFrame()
{
    Buffer buffer{};
    copyToBuffer(buffer, setParamsFrameBody());
    FrameChecksum(buffer, ChecksumMode::Set);
    return bufferBytes(buffer, kParamsFrameSize);
}

bool FrameChecksum(Buffer &buffer, ChecksumMode mode)
{
    const int len = buffer[1];
    if (!lenFitsBuffer(len))
        return false;
    const quint16 sum = dataChecksum(buffer.data() + kHeaderSize, len - 2);
    const int pos = len + 4;
    if (mode == ChecksumMode::Set) {
        buffer[pos] = quint8(sum & 0xFF);
        buffer[pos + 1] = quint8(sum >> 8);
        return true;
    }
    return buffer[pos] == (sum & 0xFF) && buffer[pos + 1] == (sum >> 8);
}

bool answerHeaderValid(const Buffer &buffer)
{
    static const quint8 fixed[] = {kStartByte, 0x04, kAddrMeter, 0x00, 0xFA, 0xFF, kTypeAnswer};
    for (int i = 0; i < int(sizeof(fixed)); ++i) {
        if (buffer[i] != fixed[i])
            return false;
    }
    return buffer[7] < 8;
}

int answerCode(const Buffer &buffer)
{
    Buffer copy = buffer; // Check mode does not write, but takes a mutable buffer
    if (!FrameChecksum(copy, ChecksumMode::Check))
        return kAnswerChecksumError;
    if (!answerHeaderValid(buffer))
        return kAnswerMalformed;
    return buffer[7];
}

QString answerCodeText(int code)
{
    switch (code) {
    case 1: return QStringLiteral("Ошибка связи: <- ошибка контрольной суммы заголовка.");
    case 2: return QStringLiteral("Ошибка связи: <- ошибка контрольной суммы данных.");
    case 3: return QStringLiteral("Ошибка связи: <- получена неопознанная команда.");
    case 4: return QStringLiteral("Ошибка связи: <- NoRemoteControl.");
    case 5: return QStringLiteral("Ошибка связи: <- прибор находится в режиме меню.");
    case 7: return QStringLiteral("Ошибка связи: <- время ожидания команды истекло.");
    default: return {};
    }
}

namespace
{

bool matches(const QByteArray &bytes, int offset, const quint8 *fixed, int count)
{
    for (int i = 0; i < count; ++i) {
        if (at(bytes, offset + i) != fixed[i])
            return false;
    }
    return true;
}

quint16 wordAt(const QByteArray &bytes, int offset)
{
    return quint16(at(bytes, offset) + 256 * at(bytes, offset + 1));
}

quint16 dataChecksumAt(const QByteArray &bytes, int offset, int count)
{
    return dataChecksum(reinterpret_cast<const quint8 *>(bytes.constData()) + offset, count);
}

FrameAt answerAt(const QByteArray &bytes, int offset, int have)
{
    if (have < kAnswerSize)
        return {FrameAt::Kind::NeedMore, kAnswerSize - have};
    if (at(bytes, offset + 2) == kAddrSystem)
        return {}; // a command, as a line that echoes would bring it back
    static const quint8 header[] = {kStartByte, 0x04, kAddrMeter, 0x00, 0xFA, 0xFF};
    const bool fixedHeader = matches(bytes, offset, header, kHeaderSize);
    const bool sumMatches =
        dataChecksumAt(bytes, offset + kHeaderSize, 2) == wordAt(bytes, offset + 8);
    if (fixedHeader || sumMatches)
        return {FrameAt::Kind::Answer, kAnswerSize};
    return {};
}

FrameAt readingAt(const QByteArray &bytes, int offset, int have)
{
    static const quint8 fixed[] = {kStartByte, kReadingLen, 0x00, 0x00, 0xAF, 0xFF, kTypeReading};
    const int fixedCount = int(sizeof(fixed));
    if (!matches(bytes, offset, fixed, qMin(have, fixedCount)))
        return {};
    if (have < fixedCount) // the fixed bytes first: what follows may be an answer
        return {FrameAt::Kind::NeedMore, fixedCount - have};
    if (have < kReadingFrameSize)
        return {FrameAt::Kind::NeedMore, kReadingFrameSize - have};
    if (dataChecksumAt(bytes, offset + kHeaderSize, kReadingLen - 2) !=
        wordAt(bytes, offset + kReadingLen + 4))
        return {};
    return {FrameAt::Kind::Reading, kReadingFrameSize};
}

} // namespace

FrameAt frameAt(const QByteArray &bytes, int offset)
{
    const int have = int(bytes.size()) - offset;
    if (have <= 0)
        return {FrameAt::Kind::NeedMore, kAnswerSize};
    if (at(bytes, offset) != kStartByte)
        return {};
    if (have < 2)
        return {FrameAt::Kind::NeedMore, kAnswerSize - have};
    const quint8 len = at(bytes, offset + 1);
    if (len == kAnswerSize - kHeaderSize)
        return answerAt(bytes, offset, have);
    if (len == kReadingLen)
        return readingAt(bytes, offset, have);
    return {};
}

void copyToBuffer(Buffer &buffer, const QByteArray &bytes)
{
    const int n = qMin(int(bytes.size()), kBufferSize);
    for (int i = 0; i < n; ++i)
        buffer[i] = at(bytes, i);
}

QByteArray bufferBytes(const Buffer &buffer, int count)
{
    count = qBound(0, count, kBufferSize);
    return QByteArray(reinterpret_cast<const char *>(buffer.data()), count);
}

bool readingHeaderValid(const QByteArray &frame)
{
    if (frame.size() < kReadingFrameSize)
        return false;
    static const quint8 fixed[] = {kStartByte, kReadingLen, 0x00, 0x00, 0xAF, 0xFF, kTypeReading};
    for (int i = 0; i < int(sizeof(fixed)); ++i) {
        if (at(frame, i) != fixed[i])
            return false;
    }
    const quint8 mode = at(frame, kModeOffset);
    return mode == 1 || mode == 3 || mode == 4 || mode == 5;
}

namespace
{

QByteArray valueText(const QByteArray &frame, int offset)
{
    QByteArray text;
    for (int i = offset; i < offset + kValueTextLength; ++i) {
        if (frame.at(i) != 0)
            text.append(frame.at(i));
    }
    return text;
}

} // namespace

ReadingFrame decodeReading(const QByteArray &frame)
{
    ReadingFrame r;
    r.mode = at(frame, kModeOffset);
    r.valueText[1] = valueText(frame, kValueText1Offset);
    r.valueText[2] = r.mode == 1 ? QByteArray("0") : valueText(frame, kValueText2Offset);
    r.flags[1] = at(frame, kFlags1Offset);
    r.flags[2] = at(frame, kFlags2Offset);
    r.warmup = frame.at(kWarmupOffset);
    return r;
}

namespace
{

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}
bool isSeparator(QChar c)
{
    return c == u',' || c == u'.';
}
bool isSign(QChar c)
{
    return c == u'+' || c == u'-';
}

// Optional leading sign, digits, at most one separator with a digit before
// it; `needDigitAfterSeparator` for plain decimals.
bool isMantissa(QStringView s, bool needDigitAfterSeparator)
{
    int i = 0;
    if (i < s.size() && isSign(s[i]))
        ++i;
    int separator = -1;
    bool digitBefore = false, digitAfter = false;
    for (; i < s.size(); ++i) {
        if (isDigit(s[i])) {
            (separator < 0 ? digitBefore : digitAfter) = true;
        } else if (isSeparator(s[i]) && separator < 0) {
            separator = i;
        } else {
            return false;
        }
    }
    if (!digitBefore)
        return false;
    return separator < 0 || digitAfter || !needDigitAfterSeparator;
}

bool isExponent(QStringView s)
{
    int i = 0;
    if (i < s.size() && isSign(s[i]))
        ++i;
    if (i == s.size())
        return false;
    for (; i < s.size(); ++i) {
        if (!isDigit(s[i]))
            return false;
    }
    return true;
}

double parseNumber(QString text, bool &ok)
{
    text.replace(u',', u'.');
    return text.toDouble(&ok); // QString::toDouble is locale-independent
}

} // namespace

bool isSignedNumberText(const QString &text)
{
    int e = -1;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == u'E' || text[i] == u'e') {
            if (e >= 0)
                return false; // two exponent letters
            e = i;
        }
    }
    bool ok = false;
    if (e < 0) {
        if (!isMantissa(text, true))
            return false;
    } else {
        if (!isMantissa(QStringView(text).left(e), false) ||
            !isExponent(QStringView(text).mid(e + 1)))
            return false;
    }
    parseNumber(text, ok);
    return ok;
}

ValueConversion convertValueText(const QByteArray &text, double &value)
{
    QStringDecoder decoder("windows-1251");
    QString s = QString(decoder(text)).trimmed();
    if (s.isEmpty())
        return ValueConversion::Empty;
    s.replace(u'.', u',').replace(QChar(0x0415), u'E').replace(QChar(0x0435), u'e');
    if (!isSignedNumberText(s))
        return ValueConversion::Invalid;
    bool ok = false;
    value = parseNumber(s, ok);
    return ok ? ValueConversion::Ok : ValueConversion::Invalid;
}

QByteArray buildReadingFrame(const ReadingFields &fields)
{
    QByteArray info(kReadingLen - 2, '\0');
    auto put = [&info](int frameOffset, const QByteArray &bytes, int maxLength) {
        const QByteArray cut = bytes.left(maxLength);
        info.replace(frameOffset - kHeaderSize, cut.size(), cut);
    };
    info[0] = char(kTypeReading);
    info[kModeOffset - kHeaderSize] = char(fields.mode);
    put(kValueText1Offset, fields.value1, kValueTextLength);
    info[kFlags1Offset - kHeaderSize] = char(fields.flags1);
    put(kValueText2Offset, fields.value2, kValueTextLength);
    info[kFlags2Offset - kHeaderSize] = char(fields.flags2);
    put(53, QByteArray("mV"), kValueTextLength);
    put(73, QByteArray("  "), 2);
    put(75, QByteArray(" ") + fields.warmup, 2);
    put(77, QByteArray("      "), 6);
    return buildFrame(kAddrMeter, info);
}

QByteArray buildAnswer(quint8 code)
{
    return buildFrame(kAddrMeter, twoBytes(kTypeAnswer, code));
}

} // namespace kront::frames
