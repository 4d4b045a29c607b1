// How the dictionary compares words. English ignores letter case. Kurdish is
// typed with interchangeable letter forms (Arabic kaf and yeh against the
// Kurdish ones; in the older spelling heh with a zero-width non-joiner, or a
// heh that ends a word, for the vowel ae), and a search must find an entry
// whichever form the keyboard or the entry uses.
#pragma once

#include <QString>
#include <QStringView>

// The form both sides of a comparison are brought to.
QString FoldForMatch(QStringView text);

// FoldForMatch, then the five letters a Persian or Arabic keyboard lacks
// (ە ێ ۆ ڵ ڕ) as the ones its users type instead (ه ی و ل ر): the second
// look of a Kurdish text that found nothing as typed.
QString FoldForKeyboard(QStringView text);

// A field holds several renderings of a word, separated by "، ". The field
// equals the text when the whole of it, or one of those, does; both folded
// the same way.
bool HasSynonym(QStringView foldedValue, QStringView foldedText);
inline constexpr char16_t kSynonymSeparator[] = u"\u060C ";

// SQL LIKE on folded texts: '%' matches any run of characters, '_' any one.
// There is no escape character, as in the look-up's patterns.
bool LikeMatch(QStringView foldedValue, QStringView foldedPattern);
