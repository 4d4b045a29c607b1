// A stored setting as any text: the readers give a number within the
// control's range or nothing, and never fail.
#include "dictionary/settings.h"
#include "runtime/runtime.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    LeadingNumber(text);
    for (const auto& [low, high] : {std::pair{0, 1}, std::pair{1, 5}, std::pair{0, 3}, std::pair{0, 25}, std::pair{0, 18}}) {
        if (const auto n = LeadingNumberWithin(text, low, high); n && (*n < low || *n > high))
            std::abort();
        if (const auto n = WholeNumberWithin(text, low, high); n && (*n < low || *n > high))
            std::abort();
    }
    return 0;
}
