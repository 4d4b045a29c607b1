// The word file a user's session opens: the user's own copy, made at the
// first start and brought up to a newer shipped list without losing a word
// the user added, even when the upgrade dies half way.
#include "components/wordfile.h"
#include "components/wordstore.h"
#include "storekit.h"
#include "testkit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QStringList Rows(const QString& path)
{
    WordStore store;
    store.Open(path);
    QStringList rows;
    for (int i = 0; i < store.RowCount(); ++i) {
        const WordStore::Entry e = store.At(i);
        rows << e.English + u'|' + e.Kurdish + u'|' + e.Note;
    }
    return rows;
}

void AddWord(const QString& path, const QString& english, const QString& kurdish)
{
    WordStore store;
    store.Open(path);
    store.AddNew();
    store.SetField(WordStore::Field::English, english);
    store.SetField(WordStore::Field::Kurdish, kurdish);
    store.Update();
}

QString MakeShipped(const QString& dir, const QList<Pair>& pairs)
{
    QDir().mkpath(dir);
    const QString list = dir + QStringLiteral("/words.tsv"), db = dir + QStringLiteral("/DataBase.mdb");
    if (!WriteWordList(list, pairs) || !MakeDatabase(list, db))
        qFatal("could not make a shipped word file");
    return db;
}

const QList<Pair> kOld = {{"apple", "سێو", "noun"}, {"bread", "نان", "noun"}};
const QList<Pair> kNew = {{"apple", "سێو", "noun"}, {"book", "کتێب", "noun"}, {"bread", "نان", "noun"}};
const QStringList kUpgraded = {"apple|سێو|noun", "book|کتێب|noun", "bread|نان|noun", "zebra|کەرەکێوی|", "tea|چا|"};
const QStringList kBefore = {"apple|سێو|noun", "bread|نان|noun", "zebra|کەرەکێوی|", "tea|چا|"};

}  // namespace

class WordFileTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString user_;

    // The user's copy made from the old list, with two words of the user's
    // own added; returns the newer shipped file.
    QString OldCopyWithTwoWords()
    {
        const QString v1 = MakeShipped(dir_.filePath(QStringLiteral("v1")), kOld);
        const QString v2 = MakeShipped(dir_.filePath(QStringLiteral("v2")), kNew);
        if (!PrepareUserWordFile(v1, user_))
            qFatal("could not make the user's copy");
        AddWord(user_, "zebra", "کەرەکێوی");
        AddWord(user_, "tea", "چا");
        return v2;
    }

private slots:
    void init()
    {
        user_ = dir_.filePath(QStringLiteral("home/varin/Data/DataBase.mdb"));
        QDir(dir_.filePath(QStringLiteral("home"))).removeRecursively();
        SetUpgradeStepHook({});
    }

    void userCopyIsMadeAtFirstStartAndUsed()
    {
        const QString shipped = MakeShipped(dir_.filePath(QStringLiteral("v1")), kOld);
        QVERIFY(PrepareUserWordFile(shipped, user_));
        QCOMPARE(Rows(user_), Rows(shipped));
        QVERIFY(!QFileInfo::exists(user_ + QStringLiteral(".bak")));
        // Nothing half made lies about, and a second start changes nothing.
        QCOMPARE(QDir(QFileInfo(user_).absolutePath()).entryList(QDir::Files).size(), 2);
        AddWord(user_, "zebra", "کەرەکێوی");
        QVERIFY(PrepareUserWordFile(shipped, user_));
        QCOMPARE(Rows(user_).last(), QStringLiteral("zebra|کەرەکێوی|"));
    }

    void wordFilePathOrder()
    {
        const QString previous = QDir::currentPath();
        qputenv("XDG_DATA_HOME", dir_.filePath(QStringLiteral("home")).toUtf8());
        QDir::setCurrent(dir_.path());
        // No Data folder here: the user's copy, made from the shipped file.
        QCOMPARE(WordFilePath(), user_);
        QVERIFY(QFileInfo::exists(user_));
        // A Data folder in the working directory comes first.
        QDir().mkpath(QStringLiteral("Data"));
        QFile::copy(user_, QStringLiteral("Data/DataBase.mdb"));
        QCOMPARE(WordFilePath(), QDir::current().absoluteFilePath(QStringLiteral("Data/DataBase.mdb")));
        QDir(QStringLiteral("Data")).removeRecursively();
        QDir::setCurrent(previous);
        qunsetenv("XDG_DATA_HOME");
    }

    void upgradeKeepsTheUsersWords()
    {
        const QString v2 = OldCopyWithTwoWords();
        QCOMPARE(Rows(user_), kBefore);
        QVERIFY(PrepareUserWordFile(v2, user_));
        // New built-in list first, the user's words after it in their order.
        QCOMPARE(Rows(user_), kUpgraded);
        QVERIFY(!QFileInfo::exists(user_ + QStringLiteral(".bak")));
        // Once is enough: the next start leaves it alone.
        AddWord(user_, "milk", "شیر");
        QVERIFY(PrepareUserWordFile(v2, user_));
        QCOMPARE(Rows(user_).size(), kUpgraded.size() + 1);
    }

    // As installed: the shipped file is read-only, in a folder the user
    // cannot write, and the upgrade runs as that user (as nobody when the
    // tests run as root, who could write anything).
    void upgradeFromAReadOnlyInstall()
    {
        const QString v2 = OldCopyWithTwoWords();
        const QString v2Folder = QFileInfo(v2).absolutePath();
        for (const QString& f : QDir(v2Folder).entryList(QDir::Files))
            QFile::setPermissions(v2Folder + u'/' + f, QFileDevice::ReadOwner | QFileDevice::ReadOther);
        QFile::setPermissions(v2Folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                            | QFileDevice::ExeOther);
        QString error;
        {
            AsUnprivilegedUser user({dir_.filePath(QStringLiteral("home"))});
            PrepareUserWordFile(v2, user_, &error);
        }
        QFile::setPermissions(v2Folder, QFile::permissions(v2Folder) | QFileDevice::WriteOwner);
        QCOMPARE(error, QString());
        QCOMPARE(Rows(user_), kUpgraded);
        QVERIFY(!QFileInfo::exists(user_ + QStringLiteral(".bak")));
    }

    // An upgrade that fails and the program carries on: the copy stays in
    // use with every word, the reason is told, and the next start, with the
    // fault gone, brings the copy up to the new list.
    void upgradeThatFails_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("the backup cannot be written") << "backup";
        QTest::newRow("the shipped file is damaged") << "damaged";
        QTest::newRow("another copy holds the file") << "locked";
    }
    void upgradeThatFails()
    {
        QFETCH(QString, fault);
        const QString v2 = OldCopyWithTwoWords();
        const QString backup = user_ + QStringLiteral(".bak");
        QByteArray good;
        std::unique_ptr<OtherCopy> other;
        if (fault == QLatin1String("backup")) {
            QVERIFY(QDir().mkpath(backup + QStringLiteral("/in the way")));
        } else if (fault == QLatin1String("damaged")) {
            QFile f(v2);
            QVERIFY(f.open(QIODevice::ReadWrite));
            good = f.readAll();
            QVERIFY(f.seek(0));
            f.write(QByteArray(4096, 'x'));
        } else {
            other = std::make_unique<OtherCopy>(user_);
            QCOMPARE(other->Exec("BEGIN EXCLUSIVE;"), SQLITE_OK);
        }

        QString error;
        QVERIFY(PrepareUserWordFile(v2, user_, &error));
        QVERIFY2(!error.isEmpty(), "the failure is told");
        other.reset();
        QCOMPARE(Rows(user_), kBefore);
        AddWord(user_, "milk", "شیر");   // and the copy takes new words

        if (fault == QLatin1String("backup")) {
            QVERIFY(QDir(backup).removeRecursively());
        } else if (fault == QLatin1String("damaged")) {
            QFile f(v2);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(good);
        }
        error.clear();
        QVERIFY(PrepareUserWordFile(v2, user_, &error));
        QCOMPARE(error, QString());
        QCOMPARE(Rows(user_), kUpgraded + QStringList{"milk|شیر|"});
        QVERIFY(!QFileInfo::exists(backup));
    }

    // Through the choice the program makes: the user's copy, not the
    // shipped file, when its upgrade fails, and the failure in the log.
    void wordFilePathKeepsTheCopyWhoseUpgradeFails()
    {
        const QString previous = QDir::currentPath();
        qputenv("XDG_DATA_HOME", dir_.filePath(QStringLiteral("home")).toUtf8());
        QDir::setCurrent(dir_.path());
        QCOMPARE(WordFilePath(), user_);
        AddWord(user_, "zebra", "کەرەکێوی");
        QFile marker(user_ + QStringLiteral(".builtin"));   // as if a newer list had shipped since
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.write("an older list");
        marker.close();
        QVERIFY(QDir().mkpath(user_ + QStringLiteral(".bak/in the way")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("could not be made or brought up")));
        QCOMPARE(WordFilePath(), user_);
        QCOMPARE(Rows(user_).last(), QStringLiteral("zebra|کەرەکێوی|"));
        QDir::setCurrent(previous);
        qunsetenv("XDG_DATA_HOME");
    }

    // The copy was made but what it was made from could not be noted: the
    // copy is still the one in use.
    void firstStartThatCannotNoteTheList()
    {
        const QString shipped = MakeShipped(dir_.filePath(QStringLiteral("v1")), kOld);
        QVERIFY(QDir().mkpath(user_ + QStringLiteral(".builtin/in the way")));
        QString error;
        QVERIFY(PrepareUserWordFile(shipped, user_, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(Rows(user_), Rows(shipped));
        QDir(user_ + QStringLiteral(".builtin")).removeRecursively();
        // The next start notes it (an upgrade to the same list keeps every word).
        AddWord(user_, "zebra", "کەرەکێوی");
        error.clear();
        QVERIFY(PrepareUserWordFile(shipped, user_, &error));
        QCOMPARE(error, QString());
        QCOMPARE(Rows(user_).last(), QStringLiteral("zebra|کەرەکێوی|"));
        QVERIFY(QFileInfo(user_ + QStringLiteral(".builtin")).isFile());
    }

    // A session that died left its last word in the write-ahead log: the
    // backup taken before the upgrade holds it, and so does the upgraded copy.
    void wordInTheLogOfADeadSession()
    {
        const QString v1 = MakeShipped(dir_.filePath(QStringLiteral("v1")), kOld);
        const QString v2 = MakeShipped(dir_.filePath(QStringLiteral("v2")), kNew);
        QVERIFY(PrepareUserWordFile(v1, user_));
        const pid_t child = fork();
        if (child == 0) {
            WordStore store;
            store.Open(user_);
            store.AddNew();
            store.SetField(WordStore::Field::English, QStringLiteral("late"));
            store.SetField(WordStore::Field::Kurdish, QStringLiteral("درەنگ"));
            store.Update();
            _exit(9);   // no closing of the file
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QCOMPARE(WEXITSTATUS(status), 9);

        const QString backupSeen = dir_.filePath(QStringLiteral("backup-seen.mdb"));
        QFile::remove(backupSeen);
        SetUpgradeStepHook([&](const char* step) {
            if (qstrcmp(step, "backed up") == 0)
                QFile::copy(user_ + QStringLiteral(".bak"), backupSeen);
        });
        QVERIFY(PrepareUserWordFile(v2, user_));
        QCOMPARE(Rows(backupSeen).last(), QStringLiteral("late|درەنگ|"));
        QCOMPARE(Rows(user_).last(), QStringLiteral("late|درەنگ|"));
        QCOMPARE(Rows(user_).size(), kNew.size() + 1);
    }

    // The process dies at each step of an upgrade in turn: the copy opens as
    // it was before, and the next start finishes the upgrade.
    void upgradeThatDiesHalfWay_data()
    {
        QTest::addColumn<QString>("step");
        for (const char* step : {"backed up", "added entries set aside", "emptied", "built-in entries written",
                                 "added entries written", "committed"})
            QTest::newRow(step) << QString::fromLatin1(step);
    }
    void upgradeThatDiesHalfWay()
    {
        QFETCH(QString, step);
        const QString v2 = OldCopyWithTwoWords();

        const pid_t child = fork();
        if (child == 0) {
            SetUpgradeStepHook([&](const char* reached) {
                if (step == QLatin1String(reached))
                    _exit(9);   // no clean-up of any kind, as a crash
            });
            PrepareUserWordFile(v2, user_);
            _exit(0);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QCOMPARE(WEXITSTATUS(status), 9);

        const QStringList afterCrash = Rows(user_);
        QVERIFY2(afterCrash == kBefore || afterCrash == kUpgraded, qPrintable(afterCrash.join(", ")));
        QVERIFY(PrepareUserWordFile(v2, user_));
        QCOMPARE(Rows(user_), kUpgraded);
        QVERIFY(!QFileInfo::exists(user_ + QStringLiteral(".bak")));
    }
};

QTEST_GUILESS_MAIN(WordFileTest)
#include "wordfile_test.moc"
