#include "addrules.h"

#include <algorithm>

namespace {

const QString kAt = QStringLiteral("@");
const QString kBrace = QStringLiteral("{");
const QString kSpace = QStringLiteral(" ");

bool Less(const QString& a, const QString& b) { return CompareOrdinal(a, b) < 0; }
bool Greater(const QString& a, const QString& b) { return CompareOrdinal(a, b) > 0; }

}  // namespace

int CompareOrdinal(const QString& a, const QString& b)
{
    // QString's own ordering is by code point, which puts surrogates after
    // U+E000..U+FFFF; the rules here are by code unit.
    const ushort* pa = a.utf16();
    const ushort* pb = b.utf16();
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i)
        if (pa[i] != pb[i])
            return pa[i] < pb[i] ? -1 : 1;
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool AcceptsPair(const QString& english, const QString& kurdish)
{
    return !english.isEmpty() && english != kSpace && Less(english, kBrace) && Greater(english, kAt)
           && Greater(kurdish, kBrace);
}

bool RejectsPair(const QString& english, const QString& kurdish)
{
    return Less(kurdish, kBrace) || Greater(english, kBrace) || kurdish.isEmpty() || english.isEmpty();
}

PairCheck CheckPair(const QString& english, const QString& kurdish)
{
    if (AcceptsPair(english, kurdish))
        return PairCheck::Ask;
    if (RejectsPair(english, kurdish))
        return PairCheck::Reject;
    return PairCheck::Nothing;
}
