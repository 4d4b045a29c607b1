// Which word pairs the add-word window asks about, which it rejects with a
// notice, and which it passes over in silence. Texts compare by UTF-16 code
// unit, a proper prefix before the longer text and the empty text first.
#pragma once

#include <QString>

// <0, 0, >0 as a is before, equal to or after b.
int CompareOrdinal(const QString& a, const QString& b);

// The pair goes to the confirmation question.
bool AcceptsPair(const QString& english, const QString& kurdish);
// The pair gets the rejection notice.
bool RejectsPair(const QString& english, const QString& kurdish);

enum class PairCheck { Ask, Reject, Nothing };
// The two tests never hold together; when neither does, nothing is shown.
PairCheck CheckPair(const QString& english, const QString& kurdish);
