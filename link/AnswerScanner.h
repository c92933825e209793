#pragma once

#include "link/frames.h"

#include <QByteArray>

namespace kront
{

// Finds the acknowledgement of a command among the bytes that follow it. At
// 9600 baud the voltmeter may be sending readings when a command goes out:
// the rest of a frame already on the wire, whole reading frames before the
// answer and after it. The scanner walks the bytes offset by offset, passes
// over whole reading frames (set aside) and over anything that is no frame,
// and stops at the first acknowledgement. It asks for no more bytes than an
// acknowledgement beginning at the first undecided offset needs, so the
// bytes after the answer stay in the port for the receive path.
class AnswerScanner
{
public:
    // Takes the bytes read; returns whether the acknowledgement is found.
    bool feed(const QByteArray &chunk);
    // Nothing more will arrive: a frame left incomplete is not waited for and
    // the scan goes on past its start. Returns whether the answer is found.
    bool finish();

    bool found() const { return answerOffset >= 0; }
    // Bytes needed at least before the scan can go on; 0 once found.
    int missing() const { return need; }
    // The acknowledgement (10 bytes); empty while not found.
    QByteArray answer() const;
    // Whole reading frames passed over before the answer.
    int readingsSetAside() const { return readings; }

private:
    void scan(bool atEnd);

    QByteArray bytes; // everything read for this answer
    int pos = 0;      // first offset not yet decided
    int answerOffset = -1;
    int need = frames::kAnswerSize;
    int readings = 0;
};

} // namespace kront
