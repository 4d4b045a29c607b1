#include "textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <cstring>

namespace {

// Windows-1256 from 0x80 up; below that it is ASCII.
constexpr char16_t kHigh1256[128] = {
    0x20AC, 0x067E, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0679, 0x2039, 0x0152, 0x0686, 0x0698, 0x0688,
    0x06AF, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x06A9, 0x2122, 0x0691, 0x203A, 0x0153, 0x200C, 0x200D, 0x06BA,
    0x00A0, 0x060C, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x06BE, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x00B9, 0x061B, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x061F,
    0x06C1, 0x0621, 0x0622, 0x0623, 0x0624, 0x0625, 0x0626, 0x0627,
    0x0628, 0x0629, 0x062A, 0x062B, 0x062C, 0x062D, 0x062E, 0x062F,
    0x0630, 0x0631, 0x0632, 0x0633, 0x0634, 0x0635, 0x0636, 0x00D7,
    0x0637, 0x0638, 0x0639, 0x063A, 0x0640, 0x0641, 0x0642, 0x0643,
    0x00E0, 0x0644, 0x00E2, 0x0645, 0x0646, 0x0647, 0x0648, 0x00E7,
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x0649, 0x064A, 0x00EE, 0x00EF,
    0x064B, 0x064C, 0x064D, 0x064E, 0x00F4, 0x064F, 0x0650, 0x00F7,
    0x0651, 0x00F9, 0x0652, 0x00FB, 0x00FC, 0x200E, 0x200F, 0x06D2,
};

bool StartsWith(const QByteArray& bytes, std::initializer_list<unsigned char> mark)
{
    if (bytes.size() < qsizetype(mark.size()))
        return false;
    qsizetype i = 0;
    for (unsigned char b : mark)
        if (static_cast<unsigned char>(bytes[i++]) != b)
            return false;
    return true;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF,
// no sequence cut short.
bool IsValidUtf8(const char* p, qsizetype n)
{
    const auto* s = reinterpret_cast<const unsigned char*>(p);
    qsizetype i = 0;
    while (i < n) {
        // Plain ASCII runs are the bulk of most texts: skip them eight at a time.
        while (i + 8 <= n) {
            quint64 word;
            std::memcpy(&word, s + i, 8);
            if (word & 0x8080808080808080ULL)
                break;
            i += 8;
        }
        if (i >= n)
            break;
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int len;
        unsigned char lo = 0x80, hi = 0xBF;   // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            if (c == 0xE0) lo = 0xA0;
            if (c == 0xED) hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            if (c == 0xF0) lo = 0x90;
            if (c == 0xF4) hi = 0x8F;
        } else {
            return false;
        }
        if (i + len > n)
            return false;
        if (s[i + 1] < lo || s[i + 1] > hi)
            return false;
        for (int k = 2; k < len; ++k)
            if ((s[i + k] & 0xC0) != 0x80)
                return false;
        i += len;
    }
    return true;
}

QString Decode1256(const char* p, qsizetype n)
{
    QString out(n, Qt::Uninitialized);
    char16_t* d = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0; i < n; ++i)
        d[i] = Windows1256(static_cast<unsigned char>(p[i]));
    return out;
}

}  // namespace

char16_t Windows1256(unsigned char byte)
{
    return byte < 0x80 ? char16_t(byte) : kHigh1256[byte - 0x80];
}

TextEncoding DetectEncoding(const QByteArray& bytes)
{
    if (StartsWith(bytes, {0xEF, 0xBB, 0xBF}))
        return TextEncoding::Utf8Bom;
    if (StartsWith(bytes, {0xFF, 0xFE}))
        return TextEncoding::Utf16LE;
    if (StartsWith(bytes, {0xFE, 0xFF}))
        return TextEncoding::Utf16BE;
    return IsValidUtf8(bytes.constData(), bytes.size()) ? TextEncoding::Utf8 : TextEncoding::Windows1256;
}

QString DecodeText(const QByteArray& bytes)
{
    return DecodeText(bytes, DetectEncoding(bytes));
}

QString DecodeText(const QByteArray& bytes, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return QString::fromUtf8(bytes);
    case TextEncoding::Utf8Bom:
        // The mark says UTF-8; a broken sequence after it shows as U+FFFD.
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    case TextEncoding::Utf16LE:
        return QStringDecoder(QStringConverter::Utf16LE, QStringConverter::Flag::Stateless)(QByteArrayView(bytes).sliced(2));
    case TextEncoding::Utf16BE:
        return QStringDecoder(QStringConverter::Utf16BE, QStringConverter::Flag::Stateless)(QByteArrayView(bytes).sliced(2));
    case TextEncoding::Windows1256:
        break;
    }
    return Decode1256(bytes.constData(), bytes.size());
}

TextFile ReadTextFile(const QString& path, qint64 maxBytes)
{
    TextFile result;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        result.problem = TextFile::Missing;
        return result;
    }
    if (info.isDir()) {
        result.problem = TextFile::Unreadable;
        result.detail = QStringLiteral("it is a folder");
        return result;
    }
    result.size = info.size();
    if (result.size > maxBytes) {
        result.problem = TextFile::TooLarge;
        return result;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        result.problem = TextFile::Unreadable;
        result.detail = f.errorString();
        return result;
    }
    // Read one byte past the limit, so a file that grew since it was measured
    // (or reports no size, like a pipe) is still refused.
    const QByteArray bytes = f.read(maxBytes + 1);
    if (f.error() != QFileDevice::NoError) {
        result.problem = TextFile::Unreadable;
        result.detail = f.errorString();
        return result;
    }
    if (bytes.size() > maxBytes) {
        result.problem = TextFile::TooLarge;
        result.size = bytes.size();
        return result;
    }
    const TextEncoding encoding = DetectEncoding(bytes);
    const bool utf16 = encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE;
    if (!utf16 && bytes.contains('\0')) {
        result.problem = TextFile::NotText;
        return result;
    }
    result.text = DecodeText(bytes, encoding);
    return result;
}

Qt::LayoutDirection ReadingDirection(QStringView text, qsizetype limit)
{
    const qsizetype n = std::min(text.size(), limit);
    for (qsizetype i = 0; i < n; ++i) {
        switch (text[i].direction()) {
        case QChar::DirL:
            return Qt::LeftToRight;
        case QChar::DirR:
        case QChar::DirAL:
            return Qt::RightToLeft;
        default:
            break;
        }
    }
    return Qt::RightToLeft;
}
