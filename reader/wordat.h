// Where a word stands in a line of text, for the reader's look-up of the word
// under the mouse or the caret. English and Kurdish words alike: letters and
// their marks (Arabic vowel signs, tatweel), digits, a zero-width non-joiner
// or joiner inside a word (Kurdish writes one after a heh that spells the
// vowel e), and an apostrophe between two letters ("don't").
#pragma once

#include <QString>
#include <QStringView>

struct WordSpan {
    qsizetype start = 0;
    qsizetype length = 0;   // 0: no word there
    bool operator==(const WordSpan&) const = default;
};

// Words longer than this are cut to this many characters around the
// position: no dictionary word is that long, and a line of a damaged file
// that is one word of megabytes must not be copied at every click.
constexpr qsizetype kLongestWord = 128;

// The word at a position between characters (0 to text.size()): the one the
// character after the position belongs to, else the one the character before
// it ends, so a click on either half of a letter finds its word. A Latin
// letter next to an Arabic one ends one word and begins another.
WordSpan WordAt(QStringView text, qsizetype position);
