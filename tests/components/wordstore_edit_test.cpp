// Adding and deleting through the word store: in the file at once, in the
// result, the counts and every look-up of the same store at once.
#include "storekit.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QSignalSpy>
#include <QTest>
#include <functional>

class WordStoreEditTest : public QObject {
    Q_OBJECT
private slots:
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
            QCOMPARE(store.RowCount(), 4);
            QCOMPARE(store.Position(), -1);        // in bread's place until the next move
            WordStore alongside;                   // on disk while the first store still runs
            alongside.Open(folder.DatabasePath());
            QCOMPARE(Englishes(alongside), QStringList({"apple", "cat", "don't", "egg"}));
        }
        // Closed, the file is whole by itself again: no log left beside it.
        QVERIFY(!QFile::exists(folder.DatabasePath() + "-wal"));
        WordStore reopened;
        reopened.Open(folder.DatabasePath());
        QCOMPARE(Englishes(reopened), QStringList({"apple", "cat", "don't", "egg"}));
        reopened.Query(*BuildLookupQuery("egg", 100));
        QCOMPARE(reopened.Current().Note, QString());   // added words carry no note
        reopened.Query(*BuildLookupQuery("don't", 100));
        QCOMPARE(reopened.RowCount(), 1);
    }

    // Whatever comes after AddNew with an entry still pending commits that
    // entry first: in the file at once, the new step then done. A second
    // AddNew must not drop the first entry for the second.
    void pendingEntryIsCommittedByWhatComesNext_data()
    {
        QTest::addColumn<QString>("next");
        QTest::addColumn<QString>("current");   // English of the current entry after it
        QTest::newRow("AddNew") << "AddNew" << "";
        QTest::newRow("MoveFirst") << "MoveFirst" << "apple";
        QTest::newRow("MoveLast") << "MoveLast" << "egg";
        QTest::newRow("MovePrevious") << "MovePrevious" << "cat";
        QTest::newRow("a look-up") << "Query" << "egg";
    }
    void pendingEntryIsCommittedByWhatComesNext()
    {
        QFETCH(QString, next);
        QFETCH(QString, current);
        DataFolder folder(kThree);
        WordStore store;
        store.Open(folder.DatabasePath());
        OtherCopy other(folder.DatabasePath());
        store.AddNew();
        store.SetField(WordStore::Field::English, QStringLiteral("egg"));
        store.SetField(WordStore::Field::Kurdish, QStringLiteral("هێلکە"));
        QCOMPARE(other.Count("English = 'egg'"), 0);

        const QMap<QString, std::function<void()>> steps{
            {"AddNew", [&] { store.AddNew(); }},
            {"MoveFirst", [&] { store.MoveFirst(); }},
            {"MoveLast", [&] { store.MoveLast(); }},
            {"MovePrevious", [&] { store.MovePrevious(); }},
            {"Query", [&] { store.Query(*BuildLookupQuery("egg", 100)); }},
        };
        steps[next]();
        QCOMPARE(other.Count("English = 'egg'"), 1);
        QCOMPARE(store.Current().English, current);

        // The second entry is the one now pending, and it too is kept.
        if (next == QLatin1String("AddNew")) {
            store.SetField(WordStore::Field::English, QStringLiteral("fig"));
            store.Update();
        }
        WordStore reopened;
        reopened.Open(folder.DatabasePath());
        const QStringList added = next == QLatin1String("AddNew") ? QStringList{"egg", "fig"} : QStringList{"egg"};
        QCOMPARE(Englishes(reopened), QStringList({"apple", "bread", "cat"}) + added);
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

        QSignalSpy told(&store, &WordStore::WriteFailed);
        store.AddNew();
        store.SetField(WordStore::Field::English, QStringLiteral("lost"));
        store.SetField(WordStore::Field::Kurdish, QStringLiteral("ون"));
        try {
            store.Update();
            QFAIL("the write went through a lock");
        } catch (const StoreError& e) {
            QCOMPARE(e.kind, StoreError::WriteFailed);
        }
        QCOMPARE(told.count(), 1);
        store.MoveFirst();
        QCOMPARE(store.Current().English, QStringLiteral("apple"));
        QCOMPARE(store.RowCount(), 3);

        // The commit by a move in resume-next mode: the throw is swallowed, the signal is not.
        store.AddNew();
        store.SetField(WordStore::Field::English, QStringLiteral("lost too"));
        ResumeNext({[&] { store.MoveLast(); }});
        QCOMPARE(told.count(), 2);
        QVERIFY(!told.last().first().toString().isEmpty());
        QCOMPARE(store.RowCount(), 3);
        QCOMPARE(store.Current().English, QStringLiteral("apple"));   // the move itself did not happen
        sqlite3_exec(other, "COMMIT;", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        QCOMPARE(FoundEverywhere(store, "lost"), Expected(QString()));
        WordStore reopened;
        reopened.Open(folder.DatabasePath());
        QCOMPARE(Englishes(reopened), QStringList({"apple", "bread", "cat"}));
    }

    // The deleted entry leaves the result, the counts and every look-up of
    // the same store; the cursor stands in its place until the next move.
    void deleteRemovesTheEntryEverywhere_data()
    {
        QTest::addColumn<int>("at");
        QTest::addColumn<QString>("previous");   // where MovePrevious lands, "" for BOF
        QTest::addColumn<QString>("next");       // where MoveNext lands, "" for EOF
        QTest::newRow("first") << 0 << "" << "bread";
        QTest::newRow("middle") << 1 << "apple" << "cat";
        QTest::newRow("last") << 2 << "bread" << "";
    }
    void deleteRemovesTheEntryEverywhere()
    {
        QFETCH(int, at);
        QFETCH(QString, previous);
        QFETCH(QString, next);
        DataFolder folder(kThree);
        WordStore store;
        store.Open(folder.DatabasePath());
        store.MoveTo(at);
        const QString gone = store.Current().English;
        QSignalSpy grid(&store, &WordStore::ResultChanged);
        QSignalSpy current(&store, &WordStore::CurrentChanged);
        store.Delete();
        QCOMPARE(grid.count(), 1);
        QVERIFY(current.count() >= 1);
        QCOMPARE(store.RowCount(), 2);
        QCOMPARE(store.RecordCount(), 2);
        QVERIFY(!Englishes(store).contains(gone));
        QCOMPARE(store.Current().English, QString());
        QCOMPARE(store.Current().Id, qint64(0));
        QCOMPARE(store.Position(), -1);
        QVERIFY(!store.AtBOF() && !store.AtEOF());
        QVERIFY_THROWS_EXCEPTION(StoreError, store.Delete());   // nothing current: nothing more goes

        store.MovePrevious();
        QCOMPARE(store.Current().English, previous);
        QCOMPARE(store.AtBOF(), previous.isEmpty());
        store.MoveTo(at == 0 ? 0 : at - 1);
        store.Delete();
        store.MoveNext();
        store.MoveLast();
        QVERIFY(!store.Current().English.isEmpty());   // never a blank entry
        QCOMPARE(store.RowCount(), 1);

        DataFolder again(kThree);
        WordStore fresh;
        fresh.Open(again.DatabasePath());
        fresh.MoveTo(at);
        fresh.Delete();
        fresh.MoveNext();
        QCOMPARE(fresh.Current().English, next);
        QCOMPARE(fresh.AtEOF(), next.isEmpty());
        QCOMPARE(FoundEverywhere(fresh, gone), Expected(QString()));
        QCOMPARE(FoundEverywhere(fresh, gone.left(1)).join(u' ').contains(gone), false);
    }

    // An added entry is found at once by the same store, on both paths and in
    // every mode, and carries its identity in the file.
    void addedEntryIsFoundByTheSameStore()
    {
        DataFolder folder(kThree);
        WordStore store;
        store.Open(folder.DatabasePath());
        QCOMPARE(FoundEverywhere(store, "Zebra"), Expected(QString()));   // the indexes are built
        store.AddNew();
        QCOMPARE(store.Current().Id, qint64(0));
        store.SetField(WordStore::Field::English, QStringLiteral("zebra"));
        store.SetField(WordStore::Field::Kurdish, QStringLiteral("گۆرەخەر"));
        store.Update();
        const qint64 id = store.Current().Id;
        QVERIFY(id > 0);
        OtherCopy other(folder.DatabasePath());
        QCOMPARE(other.Count("rowid = " + QByteArray::number(id) + " AND English = 'zebra'"), 1);
        QCOMPARE(FoundEverywhere(store, "Zebra"), Expected("zebra"));
        QCOMPARE(FoundEverywhere(store, "گۆرەخەر"), Expected("zebra"));
        store.Query(*BuildLookupQuery("zebra", 100));
        store.Delete();
        QCOMPARE(FoundEverywhere(store, "zebra"), Expected(QString()));
        // A new row may take the rowid of the deleted last one: it is found, the dead one not.
        store.AddNew();
        store.SetField(WordStore::Field::English, QStringLiteral("zebu"));
        store.Update();
        QCOMPARE(FoundEverywhere(store, "zeb"), QStringList({"1/25:zebu", "1/50:", "1/75:zebu", "1/100:",
                                                             "0/25:zebu", "0/50:", "0/75:zebu", "0/100:"}));
        store.Query(*BuildLookupQuery("zebu", 100));
        QCOMPARE(store.DeleteUserEntry(store.Current().Id), WordStore::DeleteOutcome::Deleted);
        QCOMPARE(FoundEverywhere(store, "zeb"), Expected(QString()));
    }

    // The delete of a shown entry by its identity: the Note in the file at
    // that moment decides, and an entry gone meanwhile deletes nothing.
    void deleteUserEntryByIdentity()
    {
        DataFolder folder(QList<Pair>{{"apple", "سێو", "noun"}, {"mine", "هی من"}, {"yours", "هی تۆ"},
                                      {"ours", "هی ئێمە"}, {"theirs", "هی ئەوان"}});
        OtherCopy other(folder.DatabasePath());
        // Users' entries: no Note at all, or an empty one.
        QCOMPARE(other.Exec("UPDATE Data SET Note = NULL WHERE English IN ('mine', 'theirs');"
                            "UPDATE Data SET Note = '' WHERE English IN ('yours', 'ours');"),
                 SQLITE_OK);
        WordStore store;
        store.Open(folder.DatabasePath());
        const auto idOf = [&](int row) { return store.At(row).Id; };
        const qint64 apple = idOf(0), mine = idOf(1), yours = idOf(2), ours = idOf(3), theirs = idOf(4);

        QCOMPARE(store.DeleteUserEntry(apple), WordStore::DeleteOutcome::BuiltIn);
        // The cursor on another entry: the one asked for goes, the cursor keeps its entry.
        store.MoveTo(3);
        QCOMPARE(store.DeleteUserEntry(mine), WordStore::DeleteOutcome::Deleted);
        QCOMPARE(store.Current().English, QStringLiteral("ours"));
        QCOMPARE(store.Position(), 2);
        QCOMPARE(store.DeleteUserEntry(mine), WordStore::DeleteOutcome::Gone);
        // Changed by another copy since it was read: the file decides.
        QCOMPARE(other.Exec("UPDATE Data SET Note = 'noun' WHERE rowid = " + QByteArray::number(yours)), SQLITE_OK);
        QCOMPARE(store.DeleteUserEntry(yours), WordStore::DeleteOutcome::BuiltIn);
        QCOMPARE(other.Exec("DELETE FROM Data WHERE rowid = " + QByteArray::number(theirs)), SQLITE_OK);
        QCOMPARE(store.DeleteUserEntry(theirs), WordStore::DeleteOutcome::Gone);
        QCOMPARE(Englishes(store), QStringList({"apple", "yours", "ours"}));
        QCOMPARE(store.DeleteUserEntry(ours), WordStore::DeleteOutcome::Deleted);   // the current one
        QCOMPARE(store.Position(), -1);
        store.MovePrevious();
        QCOMPARE(store.Current().English, QStringLiteral("yours"));
        QCOMPARE(other.Count(), 2);
        QCOMPARE(FoundEverywhere(store, "yours"), Expected("yours"));
        QCOMPARE(store.DeleteUserEntry(0), WordStore::DeleteOutcome::Gone);

        // Locked by another copy: nothing deleted, the failure told.
        QCOMPARE(other.Exec("BEGIN EXCLUSIVE;"), SQLITE_OK);
        QVERIFY_THROWS_EXCEPTION(StoreError, store.DeleteUserEntry(yours));
        other.Exec("COMMIT;");
        store.QueryAll();
        QCOMPARE(Englishes(store), QStringList({"apple", "yours"}));
        QCOMPARE(other.Count(), 2);
    }

    // Faults injected while the store runs. Each write under the fault is
    // refused with its cause named (signal and throw), the entry is not half
    // written, the look-up keeps answering, and every word committed before
    // is still in the file (the one the program opened) afterwards.
    void writeFaultsAreToldAndLoseNothing_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("cause");        // in the message
        QTest::addColumn<bool>("writableAfter");   // once the fault is lifted, in the same session
        QTest::newRow("disk full") << "full" << "disk is full" << true;
        QTest::newRow("locked by another copy") << "locked" << "locked" << true;
        QTest::newRow("file deleted") << "deleted" << "deleted or moved" << false;
        QTest::newRow("file replaced") << "replaced" << "replaced" << false;
    }
    void writeFaultsAreToldAndLoseNothing()
    {
        QFETCH(QString, fault);
        QFETCH(QString, cause);
        QFETCH(bool, writableAfter);
        DataFolder folder(kThree);
        const QString path = folder.DatabasePath();
        const QString aside = path + ".moved";
        QTemporaryDir spare;
        const QString other = spare.filePath("other.mdb");
        {
            DataFolder zebra(QList<Pair>{{"zebra", "گۆرەخەر"}});
            QVERIFY(QFile::copy(zebra.DatabasePath(), other));
        }
        QByteArray replacement;

        const auto add = [](WordStore& store, const QString& english) {
            store.AddNew();
            store.SetField(WordStore::Field::English, english);
            store.SetField(WordStore::Field::Kurdish, QStringLiteral("پارێزراو"));
            store.Update();
        };
        {
            // The file has no room beyond the pages it has: a small entry
            // still fits in them, a long one needs more.
            if (fault == "full")
                WordStore::SetConnectionHook(
                    [](sqlite3* db) { sqlite3_exec(db, "PRAGMA max_page_count = 1;", nullptr, nullptr, nullptr); });
            WordStore store;
            store.Open(path);
            WordStore::SetConnectionHook({});
            add(store, QStringLiteral("kept"));
            const qint64 kept = store.Current().Id;

            std::unique_ptr<OtherCopy> holder;
            if (fault == "locked") {
                holder = std::make_unique<OtherCopy>(path);
                QCOMPARE(holder->Exec("BEGIN EXCLUSIVE;"), SQLITE_OK);
            } else if (fault == "deleted") {
                QVERIFY(QFile::remove(path));
            } else if (fault == "replaced") {
                QVERIFY(QFile::rename(path, aside));
                QVERIFY(QFile::copy(other, path));
                QFile f(path);
                QVERIFY(f.open(QIODevice::ReadOnly));
                replacement = f.readAll();
            }

            QSignalSpy told(&store, &WordStore::WriteFailed);
            QElapsedTimer waited;
            waited.start();
            try {
                add(store, QStringLiteral("lost") + QString(6000, u'x'));
                QFAIL("the write was reported as done");
            } catch (const StoreError& e) {
                QCOMPARE(e.kind, StoreError::WriteFailed);
                QVERIFY2(e.message().contains(cause), qPrintable(e.message()));
            }
            // Bounded: the window waits no longer than the store's own wait.
            QVERIFY(waited.elapsed() < WordStore::kBusyWaitMs + 3000);
            QCOMPARE(told.count(), 1);
            QVERIFY(told.first().first().toString().contains(cause));
            QCOMPARE(store.Current().English, QStringLiteral("kept"));   // nothing left pending
            store.QueryAll();
            QCOMPARE(Englishes(store), QStringList({"apple", "bread", "cat", "kept"}));
            QCOMPARE(FoundEverywhere(store, "kept"), Expected("kept"));
            QCOMPARE(FoundEverywhere(store, "lost"), Expected(QString()));

            if (fault != "full") {
                // The delete is refused for the same cause, and the entry stays.
                try {
                    store.DeleteUserEntry(kept);
                    QFAIL("the delete was reported as done");
                } catch (const StoreError& e) {
                    QCOMPARE(e.kind, StoreError::WriteFailed);
                    QVERIFY2(e.message().contains(cause), qPrintable(e.message()));
                }
                QCOMPARE(FoundEverywhere(store, "kept"), Expected("kept"));
            }
            holder.reset();
            if (writableAfter) {
                add(store, QStringLiteral("after"));
                QCOMPARE(FoundEverywhere(store, "after"), Expected("after"));
            } else {
                QVERIFY_THROWS_EXCEPTION(StoreError, add(store, QStringLiteral("after")));
            }
        }

        // Closed: the words committed before are in the file the store opened.
        const QStringList before({"apple", "bread", "cat", "kept"});
        if (fault == "deleted") {
            QVERIFY(!QFile::exists(path));   // never made again by the store
            return;
        }
        WordStore reopened;
        reopened.Open(fault == "replaced" ? aside : path);
        QCOMPARE(Englishes(reopened), writableAfter ? before + QStringList{"after"} : before);
        if (fault == "replaced") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), replacement);   // the other file untouched
            WordStore there;
            there.Open(path);
            QCOMPARE(Englishes(there), QStringList{"zebra"});
        }
    }
};

QTEST_MAIN(WordStoreEditTest)
#include "wordstore_edit_test.moc"
