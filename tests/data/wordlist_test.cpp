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

    void everyEntryIsWellFormed()
    {
        static const QRegularExpression kurdish(QStringLiteral("^[\\x{0600}-\\x{06FF}\\x{200C} ]+$"));
        QSet<QString> seen;
        for (const Pair& p : pairs_) {
            const QString where = p.english + u'\t' + p.kurdish;
            QVERIFY2(!p.english.isEmpty() && !p.kurdish.isEmpty() && !p.note.isEmpty(), qPrintable(where));
            QVERIFY2(p.english[0].isLetter() && p.english[0].unicode() < 0x80, qPrintable(where));
            QVERIFY2(kurdish.match(p.kurdish).hasMatch(), qPrintable(where));
            QVERIFY2(!seen.contains(where), qPrintable("twice: " + where));
            seen.insert(where);
        }
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
