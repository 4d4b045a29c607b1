// The pure parts of the look-up as the user types: which column a text is
// looked up in, the match mode of the slider, and the query for one pass.
#pragma once

#include "components/wordstore.h"

#include <QString>
#include <optional>

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
