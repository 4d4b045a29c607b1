// The reader's decoding of a text file's bytes, on any bytes. Whatever this
// program calls UTF-8 must be what Qt reads back byte for byte, and the other
// way round; Windows-1256 gives one character a byte.
#include "reader/textfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const TextEncoding encoding = DetectEncoding(bytes);
    const QString text = DecodeText(bytes, encoding);
    const bool marked = encoding == TextEncoding::Utf8Bom || encoding == TextEncoding::Utf16LE
                        || encoding == TextEncoding::Utf16BE;
    if (!marked) {
        const bool qtReadsItBack = QString::fromUtf8(bytes).toUtf8() == bytes;
        if (qtReadsItBack != (encoding == TextEncoding::Utf8))
            std::abort();
        if (encoding == TextEncoding::Windows1256 && text.size() != bytes.size())
            std::abort();
    }
    return 0;
}
