#include "wordat.h"

#include <algorithm>

namespace {

enum class Kind {
    None,     // ends a word
    Joiner,   // part of a word only between two word characters (ZWNJ, ZWJ, apostrophe)
    Word,
};

constexpr char16_t kZwnj = 0x200C;
constexpr char16_t kZwj = 0x200D;
constexpr char16_t kRightQuote = 0x2019;

char32_t CodePointAt(QStringView text, qsizetype i)
{
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(c, text[i + 1]);
    if (c.isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate())
        return QChar::surrogateToUcs4(text[i - 1], c);
    return c.unicode();
}

Kind KindOf(char32_t c)
{
    if (c == kZwnj || c == kZwj || c == u'\'' || c == kRightQuote)
        return Kind::Joiner;
    return QChar::isLetterOrNumber(c) || QChar::isMark(c) ? Kind::Word : Kind::None;
}

// A word's letters all come from one script; marks, digits and the like
// (common or inherited script) go with either.
QChar::Script ScriptOf(char32_t c)
{
    const QChar::Script s = QChar::script(c);
    return s == QChar::Script_Common || s == QChar::Script_Inherited ? QChar::Script_Unknown : s;
}

bool SameWord(char32_t a, char32_t b)
{
    const QChar::Script sa = ScriptOf(a), sb = ScriptOf(b);
    return sa == QChar::Script_Unknown || sb == QChar::Script_Unknown || sa == sb;
}

// Whether the characters at i and j (i before j, both word characters, with
// only joiners between them) belong to one word.
bool Joined(QStringView text, qsizetype i, qsizetype j)
{
    const char32_t a = CodePointAt(text, i), b = CodePointAt(text, j);
    for (qsizetype k = i + 1; k < j; ++k)
        if (text[k] != kZwnj && text[k] != kZwj && !(QChar::isLetter(a) && QChar::isLetter(b)))
            return false;   // an apostrophe joins letters only
    return SameWord(a, b);
}

bool IsWordAt(QStringView text, qsizetype i)
{
    return KindOf(CodePointAt(text, i)) == Kind::Word;
}

// The start of the code point that contains the unit at i.
qsizetype Align(QStringView text, qsizetype i)
{
    return i > 0 && text[i].isLowSurrogate() && text[i - 1].isHighSurrogate() ? i - 1 : i;
}

// The next word character after the one at i, within the same word; -1 when the word ends.
qsizetype NextInWord(QStringView text, qsizetype i, qsizetype limit)
{
    qsizetype j = i + (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1);
    while (j < limit && KindOf(CodePointAt(text, j)) == Kind::Joiner)
        ++j;
    if (j >= limit || !IsWordAt(text, j) || !Joined(text, i, j))
        return -1;
    return j;
}

// The word character before the one at i, within the same word; -1 when the word starts there.
qsizetype PreviousInWord(QStringView text, qsizetype i, qsizetype limit)
{
    qsizetype j = i - 1;
    while (j >= limit && KindOf(CodePointAt(text, j)) == Kind::Joiner)
        --j;
    if (j < limit || !IsWordAt(text, j))
        return -1;
    j = Align(text, j);
    if (j < limit || !Joined(text, j, i))
        return -1;
    return j;
}

}  // namespace

WordSpan WordAt(QStringView text, qsizetype position)
{
    if (position < 0 || position > text.size())
        return {};
    qsizetype at = -1;
    if (position < text.size() && IsWordAt(text, position))
        at = Align(text, position);
    else if (position > 0 && IsWordAt(text, position - 1))
        at = Align(text, position - 1);
    if (at < 0)
        return {};
    const qsizetype lowest = std::max<qsizetype>(0, at - kLongestWord);
    const qsizetype highest = std::min(text.size(), at + kLongestWord);
    qsizetype start = at;
    for (qsizetype p; (p = PreviousInWord(text, start, lowest)) >= 0;)
        start = p;
    qsizetype last = at;
    for (qsizetype n; (n = NextInWord(text, last, highest)) >= 0;)
        last = n;
    qsizetype end = last + (text[last].isHighSurrogate() && last + 1 < text.size() ? 2 : 1);
    // The longest word kept is centred on the position as far as the line allows.
    if (end - start > kLongestWord) {
        start = std::max(start, std::min(at - kLongestWord / 2, end - kLongestWord));
        end = start + kLongestWord;
        start = Align(text, start);
        if (end < text.size() && text[end].isLowSurrogate())
            --end;
    }
    return {start, end - start};
}
