// The windows' Kurdish texts are written in the older spelling: a heh that
// spells the vowel e is followed by a zero-width non-joiner (U+200C), so it
// does not join the next letter and is read as e, not as the consonant h.
// Each window keeps its texts in one table, so that they can be read and
// checked together.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct InterfaceText {
    const char* name;   // where the text appears: "Command1 caption", "Label1", ...
    QString text;
};

// Words of the texts in which a heh joined to the next letter is the
// consonant h (the first of "هه‌موو", "هيچ"); in every other word a heh is
// followed by a non-joiner or ends the word.
inline const QStringList kWordsWithH = {
    QStringLiteral("فه\u200Cرهه\u200Cنگى"), QStringLiteral("فه\u200Cرهه\u200Cنكَى"), QStringLiteral("فه\u200Cرهه\u200Cنگ"),
    QStringLiteral("هه\u200Cموو"),           QStringLiteral("هيچ"),                   QStringLiteral("هينانه\u200Cوه\u200Cو"),
};
