// The shipped word list: its form, and the database the build makes from it.
#include "components/wordstore.h"
#include "testkit.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

class WordListTest : public QObject {
    Q_OBJECT
private:
    QList<Pair> pairs_;

    // An affix (the ـەکە of "the", the ـم of "my") is written with a leading
    // tatweel so that it shows joined, as it is in a word; anywhere else a
    // tatweel would only stretch a letter, so it is refused.
    static bool KurdishLetters(const QString& kurdish)
    {
        static const QRegularExpression letters(
            QStringLiteral("^[\\x{0600}-\\x{063F}\\x{0641}-\\x{06FF}\\x{200C} ]+$"));
        constexpr QChar tatweel(0x0640);
        for (const QString& alternative : kurdish.split(QStringLiteral("، "))) {
            const bool affix = alternative.startsWith(tatweel);
            const QString rest = affix ? alternative.mid(1) : alternative;
            if (!letters.match(rest).hasMatch() || (affix && !rest[0].isLetter()))
                return false;
        }
        return true;
    }

private slots:
    void initTestCase()
    {
        QFile f(qEnvironmentVariable("VARIN_WORDLIST"));
        QVERIFY2(f.open(QIODevice::ReadOnly), "VARIN_WORDLIST names no readable file");
        int line = 0;
        for (const QByteArray& raw : f.readAll().split('\n')) {
            ++line;
            if (raw.isEmpty())
                continue;
            const QStringList fields = QString::fromUtf8(raw).split(u'\t');
            QVERIFY2(fields.size() == 3, qPrintable(QString("line %1: three fields").arg(line)));
            pairs_.append({fields[0], fields[1], fields[2]});
        }
    }

    // The word counts of the window take 10002 as the number of built-in
    // entries: with any other number, a fresh install would not read 0 added.
    void exactlyTheBuiltInCount()
    {
        QCOMPARE(pairs_.size(), 10002);
    }

    void theLettersRule_data()
    {
        QTest::addColumn<QString>("kurdish");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("word") << QStringLiteral("کتێب") << true;
        QTest::newRow("alternatives") << QStringLiteral("دۆست، هاوڕێ") << true;
        QTest::newRow("non-joiner") << QStringLiteral("ده\u200Cرباره") << true;
        QTest::newRow("affix") << QStringLiteral("ـەکە") << true;
        QTest::newRow("affix as second alternative") << QStringLiteral("هی من، ـم") << true;
        QTest::newRow("tatweel inside a word") << QStringLiteral("کتـێب") << false;
        QTest::newRow("tatweel at the end") << QStringLiteral("دەـ") << false;
        QTest::newRow("tatweel then space") << QStringLiteral("ـ ەکە") << false;
        QTest::newRow("tatweel alone") << QStringLiteral("ـ") << false;
        QTest::newRow("two tatweels") << QStringLiteral("ـــەکە") << false;
        QTest::newRow("latin") << QStringLiteral("کتێب book") << false;
        QTest::newRow("empty alternative") << QStringLiteral("دۆست، ") << false;
    }

    void theLettersRule()
    {
        QFETCH(QString, kurdish);
        QFETCH(bool, allowed);
        QCOMPARE(KurdishLetters(kurdish), allowed);
    }

    void everyEntryIsWellFormed()
    {
        QSet<QString> seen, senses;
        for (const Pair& p : pairs_) {
            const QString where = p.english + u'\t' + p.kurdish;
            QVERIFY2(!p.english.isEmpty() && !p.kurdish.isEmpty() && !p.note.isEmpty(), qPrintable(where));
            QVERIFY2(p.english[0].isLetter() && p.english[0].unicode() < 0x80, qPrintable(where));
            QVERIFY2(KurdishLetters(p.kurdish), qPrintable(where));
            QVERIFY2(!seen.contains(where), qPrintable("twice: " + where));
            seen.insert(where);
            // One line per headword and part of speech: synonyms go on that
            // line, so a look-up shows them together.
            const QString sense = p.english + u'\t' + p.note;
            QVERIFY2(!senses.contains(sense), qPrintable("split over two lines: " + sense));
            senses.insert(sense);
        }
        for (int i = 1; i < pairs_.size(); ++i)
            QVERIFY2(QString::compare(pairs_[i - 1].english, pairs_[i].english, Qt::CaseInsensitive) <= 0,
                     qPrintable("out of order: " + pairs_[i].english));
    }

    // The list is in today's spelling: ک ی ە, never the Arabic ك ي ى nor
    // the older ه with a non-joiner for the vowel e. The look-up folds the
    // old spelling typed by a user onto these.
    void theKurdishIsInModernSpelling()
    {
        static const QRegularExpression old(QStringLiteral("[\\x{0643}\\x{064A}\\x{0649}]|\\x{0647}\\x{200C}"));
        for (const Pair& p : pairs_)
            QVERIFY2(!old.match(p.kurdish).hasMatch(), qPrintable(p.english + u'\t' + p.kurdish));
    }

    void theBuiltDatabaseHoldsTheSameEntries()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("Data/DataBase.mdb"));
        QVERIFY(MakeDatabase(qEnvironmentVariable("VARIN_WORDLIST"), db));
        WordStore store;
        store.Open(db);
        QCOMPARE(store.RecordCount(), pairs_.size());
        for (int i = 0; i < pairs_.size(); ++i) {
            const WordStore::Entry e = store.At(i);
            QCOMPARE(e.English, pairs_[i].english);
            QCOMPARE(e.Kurdish, pairs_[i].kurdish);
            QCOMPARE(e.Note, pairs_[i].note);
        }
        // A second build keeps the database it finds: it holds the users' words.
        store.AddNew();
        store.SetField(WordStore::Field::English, QStringLiteral("mine"));
        store.SetField(WordStore::Field::Kurdish, QStringLiteral("هی من"));
        store.Update();
        QVERIFY(MakeDatabase(qEnvironmentVariable("VARIN_WORDLIST"), db));
        WordStore again;
        again.Open(db);
        QCOMPARE(again.RecordCount(), pairs_.size() + 1);
    }
};

QTEST_MAIN(WordListTest)
#include "wordlist_test.moc"
