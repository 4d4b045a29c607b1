// The pure parts of the look-up as the user types: which column a text is
// looked up in, the match mode of the slider, and the query for one pass.
#pragma once

#include "components/wordstore.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

// (slider value + 1) x 25: 25 contains, 50 ends with, 75 begins with, 100 equals.
int MatchModeNumber(int sliderValue);

// Ordinal by UTF-16 code unit: below "{" is English (the empty text too),
// above "~" is Kurdish, anything else ("{", "|", "}..." or exactly "~") none.
LookupColumn LookupColumnFor(const QString& text);

// The query for one pass, or nothing when the text has no column or the mode
// is not one of the four. The text is bound as the pattern, never pasted into
// the SQL, so an apostrophe is an ordinary character; a '%' typed by the user
// still matches any run of characters, as it always has.
//
// keyboard: the second look of a Kurdish text that found nothing, as a user
// of a Persian or Arabic keyboard types it, without ە ێ ۆ ڵ ڕ (ی for ێ, ه
// for ە, ...): those letters fold into the ones typed instead, on both
// sides. Nothing for an English text.
std::optional<LookupQuery> BuildLookupQuery(const QString& text, int modeNumber, bool keyboard = false);

// The look-up's back-off: up to eleven passes over the text, cutting one
// character from its end after each pass that does not end the look-up.
// `pass` runs one pass on the text as it stands (and may change it, as the
// removal of a leading space does); true ends the look-up.
void LookupPasses(QString text, const std::function<bool(QString& text)>& pass);

// A word looked up on the side, without the dictionary window's result or
// cursor: the entries of the longest start of the word that has any, found
// as the look-up as the user types finds them (same column, mode, folding,
// back-off and order), the entries equal to that start first.
struct WordLookup {
    QString found;                          // the start of the word that matched; empty when none did
    std::vector<WordStore::Entry> entries;  // at most `limit`; empty when nothing matched
};
WordLookup LookUpWord(WordStore& store, const QString& word, int modeNumber, int limit);
