#include "wordprogress.h"

#include <algorithm>

namespace {

// The UTF-16 offset after `count` code points of `text`, or its end.
qsizetype AfterCodePoints(QStringView text, qsizetype from, qsizetype count)
{
    qsizetype i = from;
    for (; i < text.size() && count > 0; --count)
        i += text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
    return i;
}

bool InWord(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c.unicode() == 0x200C || c.unicode() == 0x200D
           || c.isSurrogate();
}

}  // namespace

TextSpan WordByNumber(QStringView piece, qsizetype pieceStart, QStringView sent, int position)
{
    const qsizetype at = AfterCodePoints(sent, 0, std::max(position - 1, 0));
    int number = -1;   // of the word that starts at or before `at`
    for (qsizetype i = 0; i <= at && i < sent.size(); ++i)
        if (InWord(sent[i]) && (i == 0 || !InWord(sent[i - 1])))
            ++number;
    for (qsizetype i = 0; i < piece.size() && number >= 0; ++i) {
        if (!InWord(piece[i]) || (i > 0 && InWord(piece[i - 1])))
            continue;
        if (number-- > 0)
            continue;
        qsizetype end = i;
        while (end < piece.size() && InWord(piece[end]))
            ++end;
        while (end > i && (piece[end - 1].unicode() == 0x200C || piece[end - 1].unicode() == 0x200D))
            --end;   // a non-joiner after a word's last letter is not the word's
        return {pieceStart + i, end - i};
    }
    return {pieceStart + piece.size(), 0};
}

TextSpan WordInText(QStringView piece, qsizetype pieceStart, int position, int length)
{
    const qsizetype begin = AfterCodePoints(piece, 0, std::max(position - 1, 0));
    const qsizetype end = AfterCodePoints(piece, begin, std::max(length, 0));
    return {pieceStart + begin, end - begin};
}

qint64 PlayedSample(qint64 written, int queuedMs, int sampleRate)
{
    // What waits is told in whole milliseconds, rounded down: up to one
    // more may wait, and a word is never told before it is heard.
    const qint64 waiting = queuedMs > 0 ? (qint64(queuedMs) + 1) * sampleRate / 1000 : 0;
    return std::max<qint64>(0, written - waiting);
}

std::optional<WordMark> TakeHeard(std::deque<WordMark>& marks, qint64 played)
{
    std::optional<WordMark> heard;
    while (!marks.empty() && marks.front().sample < played) {
        heard = std::move(marks.front());
        marks.pop_front();
    }
    return heard;
}
