// The search field's input aids: four Arabic letters typed become the Kurdish
// letters the Arabic keyboard lacks, and the first English word on the
// clipboard is looked up.
#pragma once

#include <QChar>
#include <QString>

// ث ض ذ ط -> پ چ ژ گ; every other character unchanged.
QChar MapKurdishKey(QChar typed);
QString MapKurdishKeys(const QString& typed);

// How much of the clipboard's text a capture looks at.
inline constexpr int kClipboardTextConsidered = 40;

// The first English word of the clipboard's text: at most its first 40
// characters, up to ten leading characters outside A..z dropped, then the
// letters up to the first character that is not one (the six between Z and a
// end the word too). Empty when there is none.
QString ExtractClipboardWord(const QString& clipboardText);
