#include "espeakpieces.h"

#include "sorani.h"

#include <algorithm>

namespace espeak {

namespace {

// A text is synthesised a sentence at a time, and no more than this many
// characters at once, so the first words play at once and a stop takes effect
// between two pieces at the latest.
constexpr qsizetype kMaxPiece = 240;

bool IsSentenceEnd(QChar c)
{
    return c == u'.' || c == u'!' || c == u'?' || c == u';' || c == u':' || c == u'\n' || c == u'\x061F'
           || c == u'\x06D4';
}

}  // namespace

qsizetype PieceEnd(const QString& text, qsizetype pos)
{
    const qsizetype limit = std::min(text.size(), pos + kMaxPiece);
    for (qsizetype i = pos; i < limit; ++i)
        if (IsSentenceEnd(text[i]) && (i + 1 == text.size() || text[i + 1].isSpace() || text[i] == u'\n'))
            return i + 1;
    if (limit == text.size())
        return limit;
    for (QChar stop : {QChar(u','), QChar(u' ')})
        for (qsizetype i = limit - 1; i > pos + kMaxPiece / 3; --i)
            if (text[i] == stop || (stop == u' ' && text[i].isSpace()))
                return i + 1;
    qsizetype end = limit;
    if (text[end - 1].isHighSurrogate())
        --end;
    return end;
}

qsizetype RunEnd(const QString& text, qsizetype pos, qsizetype limit, bool* arabic)
{
    int kind = 0;   // 1 Arabic script, 2 any other letters
    for (qsizetype i = pos; i < limit; ++i) {
        const int k = IsArabicScript(text[i]) ? 1 : text[i].isLetter() ? 2 : 0;
        if (k && !kind)
            kind = k;
        else if (k && k != kind) {
            limit = i;
            break;
        }
    }
    *arabic = kind == 1;
    return limit;
}

EspeakVoice KurdishVoice(const EspeakVoice& chosen)
{
    EspeakVoice ku = chosen;
    const auto plus = chosen.name.find('+');
    ku.name = "ku" + (plus == std::string::npos ? std::string() : chosen.name.substr(plus));
    return ku;
}

}  // namespace espeak
