// Text files as the reader loads them: read whole, in the encoding they were
// written in. Older Kurdish texts were saved in the Arabic Windows code page
// (1256); newer ones in UTF-8 or UTF-16.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// The largest file the reader takes: anything bigger is no text to read aloud.
constexpr qint64 kMaxTextFileBytes = 50LL * 1024 * 1024;

enum class TextEncoding { Utf8, Utf8Bom, Utf16LE, Utf16BE, Windows1256 };

// The encoding of a file's bytes: a byte-order mark where there is one, else
// UTF-8 when every byte sequence is valid UTF-8, else Windows-1256.
TextEncoding DetectEncoding(const QByteArray& bytes);

// The text of a file's bytes, its byte-order mark dropped.
QString DecodeText(const QByteArray& bytes);
QString DecodeText(const QByteArray& bytes, TextEncoding encoding);

// One byte of Windows-1256 as Unicode.
char16_t Windows1256(unsigned char byte);

// The direction a text reads in, from its first letter that has one: Kurdish
// and Arabic letters read right to left, Latin ones left to right. A text
// without letters reads right to left, as the reader's Kurdish does. Only the
// first `limit` characters are looked at.
Qt::LayoutDirection ReadingDirection(QStringView text, qsizetype limit = 4096);

struct TextFile {
    enum Problem { None, Missing, TooLarge, Unreadable, NotText };
    Problem problem = None;
    QString text;
    QString detail;   // the system's reason, in English, when there is one
    qint64 size = 0;  // bytes on disk
};

// Reads the whole file. A missing, unreadable or over-large file, or one that
// holds binary data (a zero byte outside UTF-16), comes back with its problem
// and no text.
TextFile ReadTextFile(const QString& path, qint64 maxBytes = kMaxTextFileBytes);
