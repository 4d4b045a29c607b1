// Any text respelled for the Kurdish voice: nothing of the Arabic script is
// left, and every character is a Latin Kurdish letter, an ASCII character or
// one the text already had.
#include "components/sorani.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString latin = SoraniToLatin(text);
    const QString plain = text.normalized(QString::NormalizationForm_KC);
    for (const QChar c : latin) {
        if (IsArabicScript(c))
            std::abort();
        if (c.unicode() >= 0x80 && QStringLiteral("çêîşû").indexOf(c) < 0 && !plain.contains(c))
            std::abort();
    }
    return 0;
}
