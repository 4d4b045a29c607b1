#include "components/textmatch.h"
#include "components/wordstore.h"
#include "dictionary/lookup.h"
#include "testkit.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>
#include <sqlite3.h>

namespace {

QStringList Englishes(const WordStore& store)
{
    QStringList out;
    for (int i = 0; i < store.RowCount(); ++i)
        out << store.At(i).English;
    return out;
}

const QList<Pair> kThree = {{"apple", "سێو"}, {"bread", "نان"}, {"cat", "پشیلە"}};

}  // namespace

class WordStoreTest : public QObject {
    Q_OBJECT
private slots:
    void fileIsEncryptedAndOpensOnlyWithTheKey()
    {
        DataFolder folder(QList<Pair>{{"secretword", "نهێنی"}});
        QFile f(folder.DatabasePath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(!bytes.startsWith("SQLite format 3"));
        QVERIFY(!bytes.contains("secretword"));

        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open_v2(folder.DatabasePath().toUtf8(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        QVERIFY(sqlite3_exec(db, "SELECT count(*) FROM Data;", nullptr, nullptr, nullptr) != SQLITE_OK);
        sqlite3_close(db);

        WordStore store;
        store.Open(folder.DatabasePath());
        QCOMPARE(store.RowCount(), 1);
        QCOMPARE(store.Current().English, QStringLiteral("secretword"));
        QCOMPARE(store.Current().Kurdish, QStringLiteral("نهێنی"));
    }

    void openFailuresAreReportedAndNothingIsCreated()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath("Data/DataBase.mdb");
        const QString garbage = dir.filePath("garbage.mdb");
        const QString otherKey = dir.filePath("otherkey.mdb");
        QFile g(garbage);
        QVERIFY(g.open(QIODevice::WriteOnly));
        g.write(QByteArray(8192, 'x'));
        g.close();
        sqlite3* db = nullptr;
        sqlite3_open(otherKey.toUtf8(), &db);
        sqlite3_exec(db, "PRAGMA key='wrong'; CREATE TABLE Data (English TEXT); INSERT INTO Data VALUES('a');",
                     nullptr, nullptr, nullptr);
        sqlite3_close(db);

        const struct {
            QString path;
            StoreError::Kind kind;
        } cases[] = {
            {missing, StoreError::Missing},
            {dir.path(), StoreError::Unreadable},
            {garbage, StoreError::NotADatabase},
            {otherKey, StoreError::NotADatabase},
        };
        for (const auto& c : cases) {
            WordStore store;
            try {
                store.Open(c.path);
                QFAIL(qPrintable("opened " + c.path));
            } catch (const StoreError& e) {
                QCOMPARE(e.kind, c.kind);
            }
            QVERIFY(!store.IsOpen());
            QCOMPARE(store.RowCount(), 0);
            QVERIFY_THROWS_EXCEPTION(StoreError, store.Query(*BuildLookupQuery("a", 25)));
        }
        QVERIFY(!QFile::exists(missing));
        QCOMPARE(QFileInfo(garbage).size(), 8192);
    }

    void cursorRules()
    {
        DataFolder folder(kThree);
        WordStore store;
        store.Open(folder.DatabasePath());
        QCOMPARE(store.Position(), 0);
        QVERIFY(!store.AtBOF() && !store.AtEOF());

        store.MovePrevious();                      // from the first: BOF
        QVERIFY(store.AtBOF());
        QCOMPARE(store.Current().English, QString());
        QVERIFY_THROWS_EXCEPTION(StoreError, store.MovePrevious());
        store.MoveNext();
        QCOMPARE(store.Current().English, QStringLiteral("apple"));
        store.MoveLast();
        QCOMPARE(store.Current().English, QStringLiteral("cat"));
        store.MoveNext();                          // from the last: EOF
        QVERIFY(store.AtEOF());
        QVERIFY_THROWS_EXCEPTION(StoreError, store.MoveNext());
        store.MoveFirst();
        QCOMPARE(store.Current().English, QStringLiteral("apple"));

        store.Query(*BuildLookupQuery("zzz", 75));   // empty: BOF and EOF, every move fails
        QVERIFY(store.AtBOF() && store.AtEOF());
        QCOMPARE(store.Current().English, QString());
        for (auto move : {&WordStore::MoveFirst, &WordStore::MoveLast, &WordStore::MoveNext, &WordStore::MovePrevious})
            QVERIFY_THROWS_EXCEPTION(StoreError, (store.*move)());
    }

    void addedAndDeletedWordsAreInTheFileAtOnce()
    {
        DataFolder folder(kThree);
        {
            WordStore store;
            store.Open(folder.DatabasePath());
            store.AddNew();
            QCOMPARE(store.Current().English, QString());
            store.SetField(WordStore::Field::English, QStringLiteral("don't"));
            store.SetField(WordStore::Field::Kurdish, QStringLiteral("مەکە"));
            store.MoveFirst();                     // a move commits the pending entry
            QCOMPARE(store.RowCount(), 4);
            store.MoveLast();
            QCOMPARE(store.Current().English, QStringLiteral("don't"));
            store.AddNew();
            store.SetField(WordStore::Field::English, QStringLiteral("egg"));
            store.SetField(WordStore::Field::Kurdish, QStringLiteral("هێلکە"));
            store.Update();
            QCOMPARE(store.Current().English, QStringLiteral("egg"));
            store.Update();                        // nothing pending: nothing happens
            QCOMPARE(store.RowCount(), 5);
            store.MoveFirst();
            store.MoveNext();
            store.Delete();                        // bread
            QCOMPARE(store.Position(), 1);         // the cursor stays until the next move
        }
        WordStore reopened;
        reopened.Open(folder.DatabasePath());
        QCOMPARE(Englishes(reopened), QStringList({"apple", "cat", "don't", "egg"}));
        reopened.Query(*BuildLookupQuery("egg", 100));
        QCOMPARE(reopened.Current().Note, QString());   // added words carry no note
        reopened.Query(*BuildLookupQuery("don't", 100));
        QCOMPARE(reopened.RowCount(), 1);
    }

    // Another copy holding the file locked past the wait: the add fails
    // loudly, and the store stays usable instead of failing every later move.
    void failedWriteIsReportedAndNotLeftPending()
    {
        DataFolder folder(kThree);
        WordStore store;
        store.Open(folder.DatabasePath());
        sqlite3* other = nullptr;
        sqlite3_open(folder.DatabasePath().toUtf8(), &other);
        const QByteArray key = QByteArray("PRAGMA key='") + WordStore::kPassword + "'; BEGIN EXCLUSIVE;";
        QCOMPARE(sqlite3_exec(other, key.constData(), nullptr, nullptr, nullptr), SQLITE_OK);

        store.AddNew();
        store.SetField(WordStore::Field::English, QStringLiteral("lost"));
        store.SetField(WordStore::Field::Kurdish, QStringLiteral("ون"));
        try {
            store.Update();
            QFAIL("the write went through a lock");
        } catch (const StoreError& e) {
            QCOMPARE(e.kind, StoreError::WriteFailed);
        }
        store.MoveFirst();
        QCOMPARE(store.Current().English, QStringLiteral("apple"));
        QCOMPARE(store.RowCount(), 3);
        sqlite3_exec(other, "COMMIT;", nullptr, nullptr, nullptr);
        sqlite3_close(other);
    }

    void foldingMakesLetterFormsAndCaseEqual_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::newRow("arabic kaf typed, kurdish kaf stored") << "کتێب" << "كتێب";
        QTest::newRow("kurdish kaf typed, arabic kaf stored") << "كتێب" << "کتێب";
        QTest::newRow("arabic yeh typed") << "ماسی" << "ماسي";
        QTest::newRow("alef maksura typed") << "ماسی" << "ماسى";
        QTest::newRow("yeh stored, farsi yeh typed") << "ماسي" << "ماسی";
        QTest::newRow("heh+zwnj typed, ae stored") << "خانە" << "خانه\u200C";
        QTest::newRow("ae typed, heh+zwnj stored") << "خانه\u200C" << "خانە";
        QTest::newRow("english case") << "Monday" << "mONDAY";
        QTest::newRow("english upper stored") << "Kurdistan" << "kurdistan";
    }
    void foldingMakesLetterFormsAndCaseEqual()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QCOMPARE(FoldForMatch(stored), FoldForMatch(typed));
        const bool english = stored[0].unicode() < 0x80;
        DataFolder folder(QList<Pair>{english ? Pair{stored, "وشە"} : Pair{"word", stored}, {"other", "تر"}});
        WordStore store;
        store.Open(folder.DatabasePath());
        for (bool indexed : {true, false}) {
            store.SetIndexed(indexed);
            for (int mode : {25, 50, 75, 100}) {
                store.Query(*BuildLookupQuery(typed, mode));
                QCOMPARE(store.RowCount(), 1);
            }
        }
    }

    void likeMatch_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("match");
        QTest::newRow("empty matches empty") << "" << "" << true;
        QTest::newRow("percent matches all") << "abc" << "%" << true;
        QTest::newRow("percent matches empty") << "" << "%" << true;
        QTest::newRow("inner percent") << "abc" << "a%c" << true;
        QTest::newRow("underscore one") << "abc" << "a_c" << true;
        QTest::newRow("underscore not two") << "abbc" << "a_c" << false;
        QTest::newRow("backtracking") << "aXbXc" << "%X%c" << true;
        QTest::newRow("suffix mismatch") << "abcd" << "%c" << false;
        QTest::newRow("apostrophe is plain") << "don't" << "don'%" << true;
    }
    void likeMatch()
    {
        QFETCH(QString, value);
        QFETCH(QString, pattern);
        QFETCH(bool, match);
        QCOMPARE(LikeMatch(value, pattern), match);
    }

    // The indexed look-up must give exactly what SQL gives, row for row, for
    // every mode and any text, wildcards and letter forms included.
    void indexedQueriesEqualSqlOnRandomData()
    {
        auto* rng = QRandomGenerator::global();
        const QString en = QStringLiteral("abcAB'%_ ");
        const QString ku = QStringLiteral("کكیيىەهێ\u200C ");
        const auto word = [&](const QString& alphabet, int maxLen) {
            QString w;
            const int n = rng->bounded(maxLen + 1);
            for (int i = 0; i < n; ++i)
                w += alphabet[rng->bounded(alphabet.size())];
            return w;
        };
        QList<Pair> pairs;
        for (int i = 0; i < 400; ++i)
            pairs.append({QStringLiteral("w") + word(en, 6), word(ku, 6) + QStringLiteral("ن"), "noun"});
        DataFolder folder(pairs);
        WordStore fast, plain;
        fast.Open(folder.DatabasePath());
        plain.Open(folder.DatabasePath());
        plain.SetIndexed(false);
        for (int i = 0; i < 3000; ++i) {
            const bool english = rng->bounded(2);
            const QString text = english ? word(QStringLiteral("w") + en, 4) : word(ku, 4);
            const int mode = 25 * (1 + rng->bounded(4));
            const auto q = BuildLookupQuery(text, mode);
            if (!q)
                continue;
            fast.Query(*q);
            plain.Query(*q);
            QCOMPARE(fast.RowCount(), plain.RowCount());
            for (int r = 0; r < fast.RowCount(); ++r)
                QCOMPARE(fast.At(r).English, plain.At(r).English);
        }
    }
};

QTEST_MAIN(WordStoreTest)
#include "wordstore_test.moc"
