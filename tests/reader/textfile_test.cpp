#include "reader/speed.h"
#include "reader/textfile.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(TextEncoding)
Q_DECLARE_METATYPE(TextFile::Problem)

namespace {

// "پهرتووكى كوردى گهوره" in the older spelling, with its non-joiner, as a
// Windows-1256 editor saved it (made with iconv).
const QByteArray k1256Line = QByteArray::fromHex("81e59dd1cae6e6dfec20dfe6d1cfec2090e5e6d1e5");
const QString k1256LineText = QStringLiteral("په\u200Cرتووكى كوردى گهوره");

QByteArray Utf16(const QString& s, bool bigEndian)
{
    QByteArray out;
    for (QChar c : s) {
        const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
        out += bigEndian ? QByteArray{&hi, 1} + QByteArray{&lo, 1} : QByteArray{&lo, 1} + QByteArray{&hi, 1};
    }
    return out;
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

}  // namespace

class TextFileTest : public QObject {
    Q_OBJECT
private slots:
    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TextEncoding>("encoding");
        QTest::addColumn<QString>("text");
        const QString kurdish = QStringLiteral("سڵاو، کوردی a");
        QTest::newRow("empty") << QByteArray() << TextEncoding::Utf8 << QString();
        QTest::newRow("ascii, CRLF") << QByteArray("read me\r\n") << TextEncoding::Utf8 << QStringLiteral("read me\r\n");
        QTest::newRow("utf-8 kurdish") << kurdish.toUtf8() << TextEncoding::Utf8 << kurdish;
        QTest::newRow("utf-8 four-byte") << QByteArray("\xF0\x9F\x98\x80") << TextEncoding::Utf8
                                         << QString::fromUcs4(U"\U0001F600");
        QTest::newRow("utf-8 with mark") << QByteArray("\xEF\xBB\xBF") + kurdish.toUtf8() << TextEncoding::Utf8Bom
                                         << kurdish;
        QTest::newRow("utf-8 mark, broken after it")
            << QByteArray("\xEF\xBB\xBF" "a\xFF") << TextEncoding::Utf8Bom << QStringLiteral("a\uFFFD");
        QTest::newRow("utf-16 LE") << QByteArray("\xFF\xFE") + Utf16(kurdish, false) << TextEncoding::Utf16LE
                                   << kurdish;
        QTest::newRow("utf-16 BE") << QByteArray("\xFE\xFF") + Utf16(kurdish, true) << TextEncoding::Utf16BE
                                   << kurdish;
        QTest::newRow("utf-16 LE, odd last byte")
            << QByteArray("\xFF\xFE" "a\0b", 5) << TextEncoding::Utf16LE << QStringLiteral("a\uFFFD");
        QTest::newRow("windows-1256 kurdish") << k1256Line << TextEncoding::Windows1256 << k1256LineText;
        // Broken UTF-8 is no UTF-8 at all: every byte is a 1256 character.
        QTest::newRow("utf-8 cut short") << QByteArray("caf\xC3") << TextEncoding::Windows1256
                                         << QStringLiteral("caf\u0623");
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << TextEncoding::Windows1256
                                        << QStringLiteral("\u06C1\u00AF");
        QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << TextEncoding::Windows1256
                                           << QStringLiteral("\u064A\u00A0\u20AC");
        QTest::newRow("above U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << TextEncoding::Windows1256
                                        << QStringLiteral("\u00F4\u06AF\u20AC\u20AC");
        QTest::newRow("long ascii, bad byte at the end")
            << QByteArray(40, 'x') + "\xE5" << TextEncoding::Windows1256 << QString(40, u'x') + u'\u0647';
    }
    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(TextEncoding, encoding);
        QFETCH(QString, text);
        QCOMPARE(DetectEncoding(bytes), encoding);
        QCOMPARE(DecodeText(bytes), text);
    }

    void windows1256AgreesWithTheSystemTable()
    {
        QStringDecoder system("windows-1256");
        if (!system.isValid())
            QSKIP("this Qt has no Windows-1256 decoder to compare with");
        for (int b = 0; b < 256; ++b) {
            const char c = char(b);
            const QString expected = system(QByteArray(&c, 1));
            QCOMPARE(QString(QChar(Windows1256(uchar(b)))), expected);
        }
    }

    void readTextFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<TextFile::Problem>("problem");
        QTest::addColumn<QString>("text");
        QTest::newRow("1256 file") << k1256Line << qint64(100) << TextFile::None << k1256LineText;
        QTest::newRow("empty file") << QByteArray() << qint64(100) << TextFile::None << QString();
        QTest::newRow("at the limit") << QByteArray(10, 'a') << qint64(10) << TextFile::None << QString(10, u'a');
        QTest::newRow("over the limit") << QByteArray(11, 'a') << qint64(10) << TextFile::TooLarge << QString();
        QTest::newRow("binary") << QByteArray("MZ\0\0\x90", 5) << qint64(100) << TextFile::NotText << QString();
        QTest::newRow("utf-16 has zero bytes")
            << QByteArray("\xFF\xFE" "h\0i\0", 6) << qint64(100) << TextFile::None << QStringLiteral("hi");
    }
    void readTextFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, limit);
        QFETCH(TextFile::Problem, problem);
        QFETCH(QString, text);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.txt"));
        QVERIFY(WriteFile(path, bytes));
        const TextFile f = ReadTextFile(path, limit);
        QCOMPARE(f.problem, problem);
        QCOMPARE(f.text, text);
    }

    void readTextFileThatIsNotThere()
    {
        QTemporaryDir dir;
        QCOMPARE(ReadTextFile(dir.filePath(QStringLiteral("gone.txt"))).problem, TextFile::Missing);
        QCOMPARE(ReadTextFile(QString()).problem, TextFile::Missing);
        const TextFile folder = ReadTextFile(dir.path());
        QCOMPARE(folder.problem, TextFile::Unreadable);
        QVERIFY(!folder.detail.isEmpty());
    }

    void readingDirection_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("direction");
        const int rtl = Qt::RightToLeft, ltr = Qt::LeftToRight;
        QTest::newRow("kurdish") << QStringLiteral("کوردی") << rtl;
        QTest::newRow("english") << QStringLiteral("English") << ltr;
        QTest::newRow("digits and spaces, then kurdish") << QStringLiteral(" 12, \n«کوردی» book") << rtl;
        QTest::newRow("punctuation, then english") << QStringLiteral("... \"Book\" کتێب") << ltr;
        QTest::newRow("no letters") << QStringLiteral("1256 ...") << rtl;
        QTest::newRow("empty") << QString() << rtl;
    }
    void readingDirection()
    {
        QFETCH(QString, text);
        QFETCH(int, direction);
        QCOMPARE(int(ReadingDirection(text)), direction);
    }

    void readerRate_data()
    {
        QTest::addColumn<int>("slider");
        QTest::addColumn<int>("rate");
        // Halves go to the even neighbour.
        const int rates[21] = {-5, -4, -4, -4, -3, -2, -2, -2, -1, 0, 0, 0, 1, 2, 2, 2, 3, 4, 4, 4, 5};
        for (int v = 0; v <= 20; ++v)
            QTest::addRow("%d", v) << v << rates[v];
    }
    void readerRate()
    {
        QFETCH(int, slider);
        QFETCH(int, rate);
        QCOMPARE(ReaderRate(slider), rate);
        QCOMPARE(ReaderSpeed(slider), slider * 10 + 35);
    }
};

QTEST_GUILESS_MAIN(TextFileTest)
#include "textfile_test.moc"
