#include "components/wordstore.h"
#include "dictionary/texts.h"
#include "dictionary/varin2.h"
#include "editing/addrules.h"
#include "editkit.h"
#include "editing/editwindow.h"
#include "editing/texts.h"
#include "editing/varin4.h"
#include "editing/varin5.h"
#include "runtime/forms.h"
#include "testkit.h"

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {

const QList<Pair> kWords = {
    {"cat", "پشیلە"}, {"catalog", "کاتالۆگ"}, {"dog", "سەگ"}, {"door", "دەرگا"}, {"book", "کتێب"},
};
const QString kSeo = QStringLiteral("سێو");

QString Helper() { return QCoreApplication::applicationDirPath() + QStringLiteral("/varin-addhelper"); }

// Reads the helper's lines until one of the wanted ones (or the time runs out).
QString WaitForLine(QProcess& p, const QStringList& wanted, int ms = 20000)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        while (p.canReadLine()) {
            const QString line = QString::fromUtf8(p.readLine()).trimmed();
            if (wanted.contains(line))
                return line;
        }
        if (p.state() == QProcess::NotRunning && !p.canReadLine())
            return QString();
        p.waitForReadyRead(200);
    }
    return QString();
}

}  // namespace

class EditingTest : public QObject, private EditFixture {
    Q_OBJECT
private slots:
    // The dictionary window reads the user's settings as it loads; never this user's.
    void initTestCase() { qputenv("XDG_CONFIG_HOME", config_.path().toUtf8()); }

    void init() { Init(kWords); }
    void cleanup() { Cleanup(); }

    void pairRules_data()
    {
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("kurdish");
        QTest::addColumn<int>("check");
        const int ask = int(PairCheck::Ask), reject = int(PairCheck::Reject), nothing = int(PairCheck::Nothing);
        QTest::newRow("plain pair") << "apple" << kSeo << ask;
        QTest::newRow("capital") << "Apple" << kSeo << ask;
        QTest::newRow("A, the lowest") << "A" << kSeo << ask;
        QTest::newRow("z, the highest") << "z" << kSeo << ask;
        QTest::newRow("underscore start") << "_x" << kSeo << ask;
        QTest::newRow("at sign and more") << "@home" << kSeo << ask;
        QTest::newRow("kurdish brace and more") << "apple" << "{x" << ask;
        QTest::newRow("kurdish just above the brace") << "apple" << "|" << ask;
        QTest::newRow("english empty") << "" << kSeo << reject;
        QTest::newRow("kurdish empty") << "apple" << "" << reject;
        QTest::newRow("both empty") << "" << "" << reject;
        QTest::newRow("english arabic script") << kSeo << kSeo << reject;
        QTest::newRow("english brace and more") << "{x" << kSeo << reject;
        QTest::newRow("english bar") << "|" << kSeo << reject;
        QTest::newRow("kurdish latin") << "apple" << "apple" << reject;
        QTest::newRow("kurdish digit") << "apple" << "3" << reject;
        QTest::newRow("kurdish space first") << "apple" << (" " + kSeo) << reject;
        QTest::newRow("english digit, kurdish latin") << "2nd" << "x" << reject;
        QTest::newRow("english one space") << " " << kSeo << nothing;
        QTest::newRow("english brace alone") << "{" << kSeo << nothing;
        QTest::newRow("english digit") << "2nd" << kSeo << nothing;
        QTest::newRow("english space first") << " apple" << kSeo << nothing;
        QTest::newRow("english at sign alone") << "@" << kSeo << nothing;
        QTest::newRow("english question mark") << "?" << kSeo << nothing;
        QTest::newRow("kurdish brace alone") << "apple" << "{" << nothing;
    }
    void pairRules()
    {
        QFETCH(QString, english);
        QFETCH(QString, kurdish);
        QFETCH(int, check);
        QCOMPARE(int(CheckPair(english, kurdish)), check);
        QVERIFY(!(AcceptsPair(english, kurdish) && RejectsPair(english, kurdish)));
    }

    void ordinalOrderIsByCodeUnit()
    {
        // A surrogate pair (U+1F600) comes before U+FB50 by code unit.
        QVERIFY(CompareOrdinal(QStringLiteral("\U0001F600"), QStringLiteral("\uFB50")) < 0);
        QVERIFY(CompareOrdinal(QString(), QStringLiteral(" ")) < 0);
        QVERIFY(CompareOrdinal(QStringLiteral("{"), QStringLiteral("{a")) < 0);
        QCOMPARE(CompareOrdinal(QStringLiteral("ab"), QStringLiteral("ab")), 0);
    }

    void textsKeepTheirNonJoiners()
    {
        QCOMPARE(EditingText::kTitle, QStringLiteral("فه\u200Cرهه\u200Cنگى  ڤارين"));
        QVERIFY(EditingText::kTitle != DictionaryName());
        QVERIFY(Varin4Text::kAskAfter.contains(QChar(0x0695)));    // ڕ
        QVERIFY(Varin5Text::kAskAfter.contains(QChar(0x0631)));    // plain ر
        QVERIFY(!Varin5Text::kAskAfter.contains(QChar(0x0695)));
        for (const auto& t : Varin4Text::All() + Varin5Text::All())
            QVERIFY2(!t.text.isEmpty(), t.name);
    }

    void addOpensBelowRightAndKeepsItsText()
    {
        Varin2& v2 = Dictionary();
        v2.move(100, 80);
        v2.Command6->click();
        Varin4& w = forms().Varin4();
        QVERIFY(w.isVisible());
        QCOMPARE(w.pos(), QPoint(v2.x() + Twips(900), v2.y() + Twips(1300)));
        QCOMPARE(w.windowTitle(), Varin4Text::kCaption);
        w.Text2->setText("half typed");
        // The frame's close box leaves it open; Escape with Shift closes it.
        w.close();
        QVERIFY(w.isVisible());
        QTest::keyClick(w.Text1, Qt::Key_Escape, Qt::ShiftModifier);
        QVERIFY(!w.isVisible());
        v2.Command6->click();
        QVERIFY(w.isVisible());
        QCOMPARE(w.Text2->text(), QStringLiteral("half typed"));
    }

    void addLowerCasesAndReports()
    {
        Varin2& v2 = Dictionary();
        const int before = v2.Data1->RowCount();
        v2.Command6_Click();
        Varin4& w = forms().Varin4();
        w.Text2->setText("Apple");
        w.Text1->setText(kSeo);
        w.Command2->click();
        QCOMPARE(boxes_->calls.size(), 1);
        QCOMPARE(boxes_->calls[0].prompt, Varin4Text::kAskBefore + "Apple" + Varin4Text::kAskAfter);
        QCOMPARE(boxes_->calls[0].flags, kMbOkCancel);
        QCOMPARE(boxes_->calls[0].title, EditingText::kTitle);
        QCOMPARE(w.Text2->text(), QStringLiteral("apple"));
        QCOMPARE(w.Timer1->Interval(), 100);
        QCOMPARE(v2.Timer8->Interval(), 10);
        v2.Timer8->setInterval(0);
        w.Timer1->Fire();
        QCOMPARE(boxes_->calls.size(), 2);
        QCOMPARE(boxes_->calls[1].prompt, Varin4Text::kAddedBefore + "apple" + Varin4Text::kAddedAfter);
        QCOMPARE(boxes_->calls[1].flags, kMbRtlReading);
        QCOMPARE(w.Text1->text(), QString());
        QCOMPARE(w.Text2->text(), QString());
        QCOMPARE(w.Timer1->Interval(), 0);
        QCOMPARE(v2.Data1->RowCount(), before + 1);
        // In the file, as one row with an empty Note, lower-cased.
        const auto rows = FileRows(folder_->DatabasePath());
        QCOMPARE(rows.size(), kWords.size() + 1);
        QCOMPARE(rows.last().English, QStringLiteral("apple"));
        QCOMPARE(rows.last().Kurdish, kSeo);
        QCOMPARE(rows.last().Note, QString());
    }

    // The dictionary window's refresh usually moves the cursor first, which
    // commits the entry; the tick then has nothing to commit. Either way, one entry.
    void refreshCommitsFirst_data()
    {
        QTest::addColumn<bool>("moveFirst");
        QTest::newRow("tick commits") << false;
        QTest::newRow("a move commits before the tick") << true;
    }
    void refreshCommitsFirst()
    {
        QFETCH(bool, moveFirst);
        Varin2& v2 = Dictionary();
        v2.Command6_Click();
        Varin4& w = forms().Varin4();
        w.Text2->setText("pear");
        w.Text1->setText("هەرمێ");
        w.Command2_Click();
        if (moveFirst)
            v2.Data1->MoveLast();
        w.Timer1->Fire();
        QCOMPARE(CountInFile(folder_->DatabasePath(), "pear"), 1);
        QCOMPARE(boxes_->calls.last().prompt, Varin4Text::kAddedBefore + "pear" + Varin4Text::kAddedAfter);
    }

    // The same add with the timers left to run as they would.
    void addRunsOnItsOwnTimers()
    {
        Varin2& v2 = Dictionary();
        v2.Command6_Click();
        Varin4& w = forms().Varin4();
        w.Text2->setText("Lime");
        w.Text1->setText("لیمۆ");
        w.Command2_Click();
        QTRY_COMPARE_WITH_TIMEOUT(boxes_->calls.size(), 2, 3000);
        QCOMPARE(boxes_->calls[1].prompt, Varin4Text::kAddedBefore + "lime" + Varin4Text::kAddedAfter);
        QTRY_VERIFY_WITH_TIMEOUT(!w.Timer1->Armed(), 3000);
        QTest::qWait(300);
        QCOMPARE(boxes_->calls.size(), 2);   // one notice for one add
        QCOMPARE(CountInFile(folder_->DatabasePath(), "lime"), 1);
    }

    void cancelKeepsBothTexts()
    {
        Dictionary().Command6_Click();
        Varin4& w = forms().Varin4();
        w.Text2->setText("Apple");
        w.Text1->setText(kSeo);
        boxes_->answers = {kIdCancel};
        w.Command2_Click();
        QCOMPARE(boxes_->calls.size(), 1);
        QCOMPARE(w.Text2->text(), QStringLiteral("Apple"));
        QCOMPARE(w.Text1->text(), kSeo);
        QVERIFY(!w.Timer1->Armed());
        QCOMPARE(FileRows(folder_->DatabasePath()).size(), kWords.size());
    }

    void rejectedOrIgnoredPairsAddNothing_data()
    {
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("kurdish");
        QTest::addColumn<bool>("notice");
        QTest::newRow("empty english") << "" << kSeo << true;
        QTest::newRow("latin kurdish") << "apple" << "apple" << true;
        QTest::newRow("digit first") << "2nd" << kSeo << false;
        QTest::newRow("kurdish brace") << "apple" << "{" << false;
    }
    void rejectedOrIgnoredPairsAddNothing()
    {
        QFETCH(QString, english);
        QFETCH(QString, kurdish);
        QFETCH(bool, notice);
        Dictionary().Command6_Click();
        Varin4& w = forms().Varin4();
        w.Text2->setText(english);
        w.Text1->setText(kurdish);
        w.Command2_Click();
        QCOMPARE(boxes_->calls.size(), notice ? 1 : 0);
        if (notice) {
            QCOMPARE(boxes_->calls[0].prompt, Varin4Text::kRejected);
            QCOMPARE(boxes_->calls[0].flags, kMbRtlReading);
        }
        QVERIFY(!w.Timer1->Armed());
        QCOMPARE(w.Text2->text(), english);
        QCOMPARE(FileRows(folder_->DatabasePath()).size(), kWords.size());
    }

    void samePairTwiceGivesTwoEntries()
    {
        Dictionary().Command6_Click();
        Varin4& w = forms().Varin4();
        for (int i = 0; i < 2; ++i) {
            w.Text2->setText("plum");
            w.Text1->setText("هەڵووژە");
            w.Command2_Click();
            w.Timer1->Fire();
        }
        QCOMPARE(CountInFile(folder_->DatabasePath(), "plum"), 2);
    }

    // Another program holds the file's write lock: the add fails after the
    // store's wait, and the user hears so and keeps the text.
    void addToLockedFileFails()
    {
        Varin2& v2 = Dictionary();
        QProcess lock;
        lock.start(Helper(), {"lock", folder_->DatabasePath()});
        QCOMPARE(WaitForLine(lock, {"locked"}), QStringLiteral("locked"));
        v2.Command6_Click();
        Varin4& w = forms().Varin4();
        w.Text2->setText("Apple");
        w.Text1->setText(kSeo);
        const int before = v2.Data1->RowCount();
        w.Command2_Click();
        v2.Timer8->setInterval(0);
        w.Timer1->Fire();
        lock.kill();
        lock.waitForFinished();
        QVERIFY(!boxes_->calls.isEmpty());
        const MsgBoxCall last = boxes_->calls.last();
        QVERIFY(last.flags & kMbIconError);
        QVERIFY(last.prompt.contains("was not added"));
        for (const auto& c : boxes_->calls)
            QVERIFY(!c.prompt.startsWith(Varin4Text::kAddedBefore));
        QCOMPARE(w.Text2->text(), QStringLiteral("Apple"));
        QCOMPARE(w.Text1->text(), kSeo);
        QCOMPARE(v2.Data1->RowCount(), before);
        QCOMPARE(FileRows(folder_->DatabasePath()).size(), kWords.size());
    }

    // A process of its own, so that a read-only file is read-only for it even
    // when the tests run as root.
    void addToReadOnlyFileFails()
    {
        const QString db = folder_->DatabasePath();
        QFile::setPermissions(folder_->Path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                   | QFileDevice::ReadOther | QFileDevice::ExeOther);
        QFile::setPermissions(folder_->Path() + "/Data", QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                             | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                                             | QFileDevice::ExeOther);
        QFile::setPermissions(db, QFileDevice::ReadOwner | QFileDevice::ReadOther);
        QProcess p;
        p.start(Helper(), {"add", folder_->Path(), "Apple", kSeo, "--as-nobody"});
        const QString outcome = WaitForLine(p, {"added", "failed", "done"});
        p.kill();
        p.waitForFinished();
        QFile::setPermissions(db, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(outcome, QStringLiteral("failed"));
        QCOMPARE(FileRows(db).size(), kWords.size());
    }

    // Killed with no chance to tidy up while the added notice is open: the
    // word is in the file at the next start.
    void addedWordSurvivesSigkill()
    {
        QProcess p;
        p.start(Helper(), {"add", folder_->Path(), "Quince", "بەهێ"});
        QCOMPARE(WaitForLine(p, {"added", "failed", "done"}), QStringLiteral("added"));
        ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
        p.waitForFinished();
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
        QCOMPARE(CountInFile(folder_->DatabasePath(), "quince"), 1);
        // The program starting again finds it.
        Varin2& v2 = Dictionary();
        ShowOnly(*v2.Data1, "quince");
        QCOMPARE(v2.Data1->RowCount(), 1);
        QCOMPARE(v2.Text3->text(), QStringLiteral("بەهێ"));
    }

    void boundFieldsFillANewEntry()
    {
        Varin2& v2 = Dictionary();
        v2.Data1->AddNew();
        v2.Text2->setText("fig");
        v2.Text3->setText("هەنجیر");
        v2.Data1->Update();
        const auto rows = FileRows(folder_->DatabasePath());
        QCOMPARE(rows.last().English, QStringLiteral("fig"));
        QCOMPARE(rows.last().Kurdish, QStringLiteral("هەنجیر"));
        // With nothing pending, the cursor's entry is not touched.
        ShowOnly(*v2.Data1, "dog");
        v2.Text2->setText("changed");
        QCOMPARE(CountInFile(folder_->DatabasePath(), "dog"), 1);
    }

    void addCloseEmptiesSearchAndArmsRefresh()
    {
        Varin2& v2 = Dictionary();
        v2.Text->setText("cat");
        v2.Command6_Click();
        Varin4& w = forms().Varin4();
        w.Text1->setText("x");
        w.Command1->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(v2.Text->text(), QString());
        QCOMPARE(v2.Timer8->Interval(), 100);
        QCOMPARE(w.Text1->text(), QStringLiteral("x"));
    }

    // Both windows' close commands empty the search field and leave the
    // dictionary window's refresh to count the whole table again.
    void closeCommandsRefreshTheCounts()
    {
        Varin2& v2 = Dictionary();
        v2.Command6_Click();
        Varin4& w = forms().Varin4();
        w.Text2->setText("Kiwi");
        w.Text1->setText("کیوی");
        w.Command2_Click();
        v2.Timer8->Fire();   // due first: commits the entry as it moves
        w.Timer1->Fire();
        QCOMPARE(boxes_->calls.last().prompt, Varin4Text::kAddedBefore + "kiwi" + Varin4Text::kAddedAfter);
        w.Command1_Click();
        QCOMPARE(v2.Timer8->Interval(), 100);
        v2.Timer8->Fire();
        QCOMPARE(v2.Text7->text(), QString::number(kWords.size() + 1));
        QCOMPARE(v2.Label1->Caption(), Varin2Text::kLabel1 + QString::number(kWords.size() + 1 - 10002));

        v2.Text->setText("kiwi");
        v2.Command7_Click();
        Varin5& d = forms().Varin5();
        d.Command2_Click();
        d.Timer2->Fire();
        d.Command1_Click();
        QCOMPARE(v2.Text->text(), QString());
        v2.Timer8->Fire();
        QCOMPARE(v2.Text7->text(), QString::number(kWords.size()));
        QCOMPARE(v2.Label1->Caption(), Varin2Text::kLabel1 + QString::number(kWords.size() - 10002));
    }
};

QTEST_MAIN(EditingTest)
#include "editing_test.moc"
