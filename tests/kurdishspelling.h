// What the tests check of the older Kurdish spelling: where a heh joins the
// next letter, and the word it stands in.
#pragma once

#include <QString>

inline bool JoinsNext(const QString& text, qsizetype i)
{
    return i + 1 < text.size() && text[i + 1].script() == QChar::Script_Arabic && text[i + 1].isLetter();
}

// The word around position i: the run of Arabic letters, their marks and
// non-joiners.
inline QString WordAt(const QString& text, qsizetype i)
{
    const auto inWord = [&](qsizetype k) {
        return text[k] == QChar(0x200C) || text[k].isMark()
               || (text[k].script() == QChar::Script_Arabic && text[k].isLetter());
    };
    qsizetype start = i, end = i + 1;
    while (start > 0 && inWord(start - 1))
        --start;
    while (end < text.size() && inWord(end))
        ++end;
    return text.mid(start, end - start);
}
