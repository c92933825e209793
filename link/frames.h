#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <array>

// Wire format of the TAVER-7 voltmeter: frame building, the two checksums,
// the acknowledgement test and the reading-frame decoder. Pure functions
// over byte arrays; no port, no state.
//
// Frame: 16 LEN ADDR NUM HCS_lo HCS_hi | TYPE data... | DCS_lo DCS_hi
// LEN counts the information bytes (TYPE + data) plus 2; a frame is LEN + 6
// bytes. Both checksums are 0xFFFE minus a plain byte sum, low byte first.
namespace kront::frames
{

constexpr int kBufferSize = 256;
using Buffer = std::array<quint8, kBufferSize>;

constexpr quint8 kStartByte = 0x16;
constexpr quint8 kAddrSystem = 0xFF; // frames sent by the program
constexpr quint8 kAddrMeter = 0x00;  // frames sent by the voltmeter

constexpr quint8 kTypeConnect = 0x54; // "T": data 1 connect, 0 disconnect
constexpr quint8 kTypeReceive = 0x45; // "E": data 1 start, 0 stop transmission
constexpr quint8 kTypeParams = 0x52;  // "R": working parameters
constexpr quint8 kTypeAnswer = 0x80;  // acknowledgement
constexpr quint8 kTypeReading = 0x85; // reading frame

constexpr int kHeaderSize = 6;
constexpr int kAnswerSize = 10;
constexpr int kParamsFrameSize = 43;
constexpr int kReadingLen = 0x4F;
constexpr int kReadingFrameSize = kReadingLen + 6; // 85

// LEN values whose data checksum can be computed inside the 256-byte buffer:
// at least TYPE (LEN 3) and the checksum ending at offset 255 (LEN 250).
constexpr int kMinLen = 3;
constexpr int kMaxLen = kBufferSize - 6;
inline bool lenFitsBuffer(int len)
{
    return len >= kMinLen && len <= kMaxLen;
}

// Header checksum 0xFFFE - (LEN + ADDR + NUM).
quint16 headerChecksum(quint8 len, quint8 addr, quint8 num);
// Data checksum 0xFFFE - sum of the information bytes.
quint16 dataChecksum(const quint8 *info, int count);

// A complete frame with the given address and information part (TYPE first);
// NUM is 0. The information part must be 1 to 248 bytes.
QByteArray buildFrame(quint8 addr, const QByteArray &info);

QByteArray connectFrame();      // 16 04 FF 00 FB FE 54 01 A9 FF
QByteArray disconnectFrame();   // 16 04 FF 00 FB FE 54 00 AA FF
QByteArray startReceiveFrame(); // 16 04 FF 00 FB FE 45 01 B8 FF
QByteArray stopReceiveFrame();  // 16 04 FF 00 FB FE 45 00 B9 FF
// The fixed 43-byte working-parameters frame with its checksum set.
QByteArray setParamsFrame();
// The 41 bytes (offsets 0-40) of the working-parameters frame, checksum not set.
QByteArray setParamsFrameBody();

enum class ChecksumMode { Set, Check };

// Data checksum of the frame held in a buffer, LEN taken from offset 1.
// Set stores it at offsets LEN+4 and LEN+5 and returns true; Check returns
// whether both stored bytes match. A LEN below 3 or beyond the buffer cannot
// be checksummed: nothing is read or written outside the buffer, Set leaves
// the buffer alone and both modes return false.
bool FrameChecksum(Buffer &buffer, ChecksumMode mode);

// Outcome codes of the acknowledgement test.
constexpr int kAnswerChecksumError = 16;
constexpr int kAnswerMalformed = -1;

// The fixed bytes of an acknowledgement: 16 04 00 00 FA FF 80 and CODE < 8.
bool answerHeaderValid(const Buffer &buffer);
// Checks the acknowledgement in a buffer: 16 when the data checksum is wrong
// (tested first), -1 when a fixed byte differs, otherwise the CODE 0..7.
int answerCode(const Buffer &buffer);
// The status text the system shows for an acknowledgement CODE; empty for
// 0 (accepted) and for 6, which the voltmeter documents no text for.
QString answerCodeText(int code);

// What begins at an offset of the bytes read while a command waits for its
// answer: the voltmeter may be sending readings then, so the rest of a frame
// already on the wire and whole reading frames can come before the
// acknowledgement. An acknowledgement is 16 04, not addressed from the system,
// with its fixed header or with a matching data checksum, so a damaged one
// still reaches CheckAnswer while the rest of a reading frame cannot pass for
// one. A reading frame counts only whole: its fixed bytes and its data
// checksum right.
struct FrameAt {
    enum class Kind {
        NeedMore,  // `size` more bytes at least are needed to tell
        NotAFrame, // no frame of the voltmeter begins here
        Answer,    // an acknowledgement of `size` (10) bytes begins here
        Reading,   // a whole reading frame of `size` (85) bytes begins here
    };
    Kind kind = Kind::NotAFrame;
    int size = 0;
};
FrameAt frameAt(const QByteArray &bytes, int offset);

// Copies bytes into a buffer (at most 256; the rest of the buffer is kept).
void copyToBuffer(Buffer &buffer, const QByteArray &bytes);
QByteArray bufferBytes(const Buffer &buffer, int count);

// Reading frame, offsets of the fields the system uses.
constexpr int kModeOffset = 8;
constexpr int kValueText1Offset = 9;
constexpr int kFlags1Offset = 29;
constexpr int kValueText2Offset = 31;
constexpr int kFlags2Offset = 51;
constexpr int kValueTextLength = 20;
constexpr int kWarmupOffset = 76;
constexpr quint8 kFlagAbove = 0x01; // above the permitted value
constexpr quint8 kFlagBelow = 0x02; // below the permitted value

struct ReadingFrame {
    quint8 mode = 0;
    std::array<QByteArray, 3> valueText; // [1], [2]: raw Windows-1251 bytes, fill zeros removed
    std::array<quint8, 3> flags{};       // [1], [2]
    char warmup = 0;                     // '<' not warmed up, '=' ready, '>' overheated
};

// The fixed part of a reading frame: 16 4F 00 00 AF FF 85, any byte, and a
// mode byte of 1, 3, 4 or 5. `frame` may be shorter than 85 bytes (then false).
bool readingHeaderValid(const QByteArray &frame);
// Decodes a frame whose header is valid. Mode 1: channel 2 reads "0".
ReadingFrame decodeReading(const QByteArray &frame);

enum class ValueConversion { Ok, Empty, Invalid };
// Turns a value text (Windows-1251 bytes) into millivolts: blanks trimmed,
// decimal point to comma and Cyrillic Е/е to Latin E/e, then the signed-number
// test; an empty text is reported apart so the caller can skip it silently.
ValueConversion convertValueText(const QByteArray &text, double &value);

// The signed-number test used for voltmeter values: a plain decimal (optional
// leading sign, at most one "," or "." with a digit on both sides) or a number
// with one exponent letter (E/e) whose exponent has a digit and at most a
// leading sign.
bool isSignedNumberText(const QString &text);

// Builds a reading frame as the voltmeter sends it (used by the simulator and
// tests). Texts are cut to 20 bytes and zero-filled.
struct ReadingFields {
    quint8 mode = 3;
    QByteArray value1;
    QByteArray value2;
    quint8 flags1 = 0;
    quint8 flags2 = 0;
    char warmup = '=';
};
QByteArray buildReadingFrame(const ReadingFields &fields);
// The 10-byte acknowledgement 16 04 00 00 FA FF 80 CODE + data checksum.
QByteArray buildAnswer(quint8 code);

} // namespace kront::frames
