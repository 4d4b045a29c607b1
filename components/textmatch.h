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

// SQL LIKE on folded texts: '%' matches any run of characters, '_' any one.
// There is no escape character, as in the look-up's patterns.
bool LikeMatch(QStringView foldedValue, QStringView foldedPattern);
