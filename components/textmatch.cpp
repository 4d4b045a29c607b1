#include "textmatch.h"

namespace {
constexpr char16_t kArabicKaf = 0x0643;
constexpr char16_t kKurdishKaf = 0x06A9;
constexpr char16_t kArabicYeh = 0x064A;
constexpr char16_t kAlefMaksura = 0x0649;
constexpr char16_t kFarsiYeh = 0x06CC;
constexpr char16_t kHeh = 0x0647;
constexpr char16_t kAe = 0x06D5;
constexpr char16_t kZwnj = 0x200C;

bool PartOfWord(QChar c)
{
    return c.isLetter() || c.isMark();
}

// The older spelling writes the vowel ae at the end of a word as a plain heh:
// a heh after a letter and before no letter (the end of the text, a space,
// punctuation, a wildcard) ends a word. Without a letter before it, it is a
// word's first letter h, as a search text's first letter often is.
bool EndsWord(const QString& foldedSoFar, QStringView text, qsizetype i)
{
    return !foldedSoFar.isEmpty() && PartOfWord(foldedSoFar.back())
           && (i + 1 == text.size() || !PartOfWord(text[i + 1]));
}
}  // namespace

QString FoldForMatch(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out.append(QChar(c >= 'A' && c <= 'Z' ? char16_t(c + 32) : c));
        } else if (c == kArabicKaf) {
            out.append(QChar(kKurdishKaf));
        } else if (c == kArabicYeh || c == kAlefMaksura) {
            out.append(QChar(kFarsiYeh));
        } else if (c == kHeh && i + 1 < text.size() && text[i + 1].unicode() == kZwnj) {
            out.append(QChar(kAe));
            ++i;
        } else if (c == kHeh && EndsWord(out, text, i)) {
            out.append(QChar(kAe));
        } else {
            out.append(text[i].toLower());
        }
    }
    return out;
}

QString FoldForKeyboard(QStringView text)
{
    QString out = FoldForMatch(text);
    for (QChar& c : out) {
        switch (c.unicode()) {
        case kAe: c = QChar(kHeh); break;
        case 0x06CE: c = QChar(kFarsiYeh); break;   // ێ
        case 0x06C6: c = QChar(0x0648); break;      // ۆ as waw
        case 0x06B5: c = QChar(0x0644); break;      // ڵ as lam
        case 0x0695: c = QChar(0x0631); break;      // ڕ as reh
        default: break;
        }
    }
    return out;
}

bool HasSynonym(QStringView value, QStringView text)
{
    if (value == text)
        return true;
    const QStringView separator(kSynonymSeparator);
    for (qsizetype from = 0;;) {
        const qsizetype at = value.indexOf(separator, from);
        if (value.mid(from, (at < 0 ? value.size() : at) - from) == text)
            return true;
        if (at < 0)
            return false;
        from = at + separator.size();
    }
}

bool LikeMatch(QStringView value, QStringView pattern)
{
    // Iterative wildcard match with one backtrack point for the last '%':
    // linear in practice, and never recursive on user input.
    qsizetype v = 0, p = 0, starP = -1, starV = 0;
    while (v < value.size()) {
        if (p < pattern.size() && pattern[p] == u'%') {
            starP = p++;
            starV = v;
        } else if (p < pattern.size() && (pattern[p] == u'_' || pattern[p] == value[v])) {
            ++p;
            ++v;
        } else if (starP >= 0) {
            p = starP + 1;
            v = ++starV;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'%')
        ++p;
    return p == pattern.size();
}
