// The windows' Kurdish texts are written in the older spelling: a heh that
// spells the vowel e is followed by a zero-width non-joiner (U+200C), so it
// does not join the next letter and is read as e, not as the consonant h.
// Each window keeps its texts in one table, so that they can be read and
// checked together.
#pragma once

#include <QList>
#include <QString>

struct InterfaceText {
    const char* name;   // where the text appears: "Command1 caption", "Label1", ...
    QString text;
};
