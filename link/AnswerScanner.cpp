#include "link/AnswerScanner.h"

namespace kront
{

using namespace frames;

bool AnswerScanner::feed(const QByteArray &chunk)
{
    bytes += chunk;
    scan(false);
    return found();
}

bool AnswerScanner::finish()
{
    scan(true);
    return found();
}

QByteArray AnswerScanner::answer() const
{
    return found() ? bytes.mid(answerOffset, kAnswerSize) : QByteArray();
}

void AnswerScanner::scan(bool atEnd)
{
    while (!found()) {
        const FrameAt f = frameAt(bytes, pos);
        switch (f.kind) {
        case FrameAt::Kind::NeedMore:
            if (!atEnd || pos >= bytes.size()) {
                need = f.size;
                return;
            }
            ++pos; // never completed: no frame begins here after all
            break;
        case FrameAt::Kind::NotAFrame: ++pos; break;
        case FrameAt::Kind::Reading:
            ++readings;
            pos += f.size;
            break;
        case FrameAt::Kind::Answer:
            answerOffset = pos;
            need = 0;
            return;
        }
    }
}

} // namespace kront
