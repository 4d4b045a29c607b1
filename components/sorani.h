// Sorani in Arabic script, respelled in the Latin Kurdish alphabet (the
// Hawar letters: c ç ê î ş û x j q ...) that eSpeak NG's Kurdish voice reads.
// The Arabic script writes no short i and uses one letter each for w/u/û and
// y/î, so the respelling decides, word by word, which sound a letter stands
// for and where a speaker says an unwritten i. No widget, no state.
#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

// The whole text respelled: Arabic-script words in lower-case Latin letters,
// Arabic and Persian digits as ASCII digits, Arabic punctuation as its Latin
// counterpart; tatweel, non-joiners and vowel marks dropped; everything else
// (spaces, Latin text, other punctuation) kept as it is. A letter that has no
// Latin spelling is left out rather than named.
QString SoraniToLatin(QStringView text);

// Whether a character belongs to the Arabic script (letters, marks, digits,
// punctuation, tatweel); such text is read with the Kurdish voice.
bool IsArabicScript(QChar c);
