// The clipboard's text from any program, and the keys typed into the search
// field: the word taken is short and made of English letters only, and the
// key mapping changes only the four letters it maps.
#include "dictionary/keyboard.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString word = ExtractClipboardWord(text);
    if (word.size() > 40)
        std::abort();
    for (const QChar c : word)
        if (!((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')))
            std::abort();
    const QString mapped = MapKurdishKeys(text);
    if (mapped.size() != text.size())
        std::abort();
    for (qsizetype i = 0; i < text.size(); ++i)
        if (mapped[i] != text[i] && QStringLiteral("ثضذط").indexOf(text[i]) < 0)
            std::abort();
    return 0;
}
