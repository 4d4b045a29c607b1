// The delete-word window: what it opens on, what it refuses, what it deletes
// and shows after, and its browsing of the dictionary's result.
#include "components/wordstore.h"
#include "dictionary/varin2.h"
#include "editing/texts.h"
#include "editing/varin5.h"
#include "editkit.h"
#include "runtime/forms.h"
#include "testkit.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QList<Pair> kWords = {
    {"cat", "پشیلە"}, {"catalog", "کاتالۆگ"}, {"dog", "سەگ"}, {"door", "دەرگا"}, {"book", "کتێب"},
};
const QString kSeo = QStringLiteral("سێو");

QStringList GridEnglish(Varin2& v2)
{
    QStringList out;
    for (int r = 0; r < v2.DataGrid1->model()->rowCount(); ++r)
        out << v2.DataGrid1->model()->index(r, 0).data().toString();
    return out;
}

bool AnyFailureReport(const QList<MsgBoxCall>& calls)
{
    for (const auto& c : calls)
        if (c.flags & kMbIconError)
            return true;
    return false;
}

}  // namespace

class DeleteTest : public QObject, private EditFixture {
    Q_OBJECT
private slots:
    // The dictionary window reads the user's settings as it loads; never this user's.
    void initTestCase() { qputenv("XDG_CONFIG_HOME", config_.path().toUtf8()); }

    void init() { Init(kWords); }
    void cleanup() { Cleanup(); }

    void deleteOpensOnTheCurrentEntry()
    {
        Varin2& v2 = Dictionary();
        v2.move(50, 40);
        ShowOnly(*v2.Data1, "dog");
        v2.Command7->click();
        Varin5& w = forms().Varin5();
        QVERIFY(w.isVisible());
        QCOMPARE(w.pos(), QPoint(v2.x() + Twips(900), v2.y() + Twips(1300)));
        QCOMPARE(w.Text2->text(), QStringLiteral("dog"));
        QCOMPARE(w.Text1->text(), QStringLiteral("سەگ"));
        QCOMPARE(w.Text3->text(), QStringLiteral("noun"));
        w.close();
        QVERIFY(w.isVisible());
        QTest::keyClick(w.Command2, Qt::Key_Escape, Qt::ShiftModifier);
        QVERIFY(!w.isVisible());
    }

    // The Note as shown refuses a built-in entry; so does the file's Note,
    // should the shown one be stale.
    void builtInEntryIsRefused_data()
    {
        QTest::addColumn<bool>("staleNote");
        QTest::newRow("shown note") << false;
        QTest::newRow("note in the file") << true;
    }
    void builtInEntryIsRefused()
    {
        QFETCH(bool, staleNote);
        Varin2& v2 = Dictionary();
        ShowOnly(*v2.Data1, "dog");
        v2.Command7_Click();
        Varin5& w = forms().Varin5();
        if (staleNote)
            w.Text3->setText(QString());
        w.Command2_Click();
        QCOMPARE(boxes_->calls.size(), 2);
        QCOMPARE(boxes_->calls[0].prompt, Varin5Text::kAskBefore + "dog" + Varin5Text::kAskAfter);
        QCOMPARE(boxes_->calls[0].flags, kMbOkCancel);
        QCOMPARE(boxes_->calls[1].prompt, Varin5Text::kRefused);
        QCOMPARE(boxes_->calls[1].flags, kMbRtlReading);
        QVERIFY(!w.Timer2->Armed());
        QCOMPARE(CountInFile(folder_->DatabasePath(), "dog"), 1);
    }

    void usersEntryDeletedAndPreviousShown()
    {
        Varin2& v2 = Dictionary();
        for (const char* e : {"zeta1", "zeta2", "zeta3"})
            AddUserEntry(*v2.Data1, e, kSeo);
        ShowOnly(*v2.Data1, "zeta");
        v2.Data1->MoveNext();
        v2.Command7_Click();
        Varin5& w = forms().Varin5();
        QCOMPARE(w.Text2->text(), QStringLiteral("zeta2"));
        w.Command2_Click();
        QCOMPARE(boxes_->calls.size(), 1);
        QCOMPARE(w.Timer2->Interval(), 100);
        QCOMPARE(w.Text2->text(), QStringLiteral("zeta2"));   // until the tick
        QCOMPARE(GridEnglish(v2), QStringList({"zeta1", "zeta3"}));
        QCOMPARE(v2.Data1->RowCount(), 2);
        // A second delete before the tick finds the shown entry gone.
        w.Command2_Click();
        QCOMPARE(boxes_->calls.last().prompt, Varin5Text::kGone.arg("zeta2"));
        QCOMPARE(v2.Data1->RowCount(), 2);
        w.Timer2->Fire();
        QCOMPARE(w.Text2->text(), QStringLiteral("zeta1"));
        QCOMPARE(w.Timer2->Interval(), 0);
        QCOMPARE(CountInFile(folder_->DatabasePath(), "zeta2"), 0);
        QCOMPARE(FileRows(folder_->DatabasePath()).size(), kWords.size() + 2);
    }

    void cancelDeletesNothing()
    {
        Varin2& v2 = Dictionary();
        AddUserEntry(*v2.Data1, "zeta", kSeo);
        ShowOnly(*v2.Data1, "zeta");
        v2.Command7_Click();
        boxes_->answers = {kIdCancel};
        forms().Varin5().Command2_Click();
        QCOMPARE(boxes_->calls.size(), 1);
        QCOMPARE(CountInFile(folder_->DatabasePath(), "zeta"), 1);
    }

    // A look-up moves the cursor while the window is open (the clipboard
    // capture, the refresh): the entry shown is the one deleted, or, when it
    // has gone meanwhile, none.
    void cursorMovedUnderTheWindow_data()
    {
        QTest::addColumn<bool>("shownGone");
        QTest::newRow("shown entry still there") << false;
        QTest::newRow("shown entry gone") << true;
    }
    void cursorMovedUnderTheWindow()
    {
        QFETCH(bool, shownGone);
        Varin2& v2 = Dictionary();
        AddUserEntry(*v2.Data1, "yak", kSeo);
        AddUserEntry(*v2.Data1, "yam", kSeo);
        ShowOnly(*v2.Data1, "yak");
        v2.Command7_Click();
        Varin5& w = forms().Varin5();
        QCOMPARE(w.Text2->text(), QStringLiteral("yak"));
        if (shownGone) {
            // Another copy of the program deletes it from the file.
            WordStore other;
            other.Open(folder_->DatabasePath());
            ShowOnly(other, "yak");
            other.Delete();
        }
        v2.Text->setText("yam");
        QCOMPARE(v2.Text2->text(), QStringLiteral("yam"));
        w.Command2_Click();
        QCOMPARE(CountInFile(folder_->DatabasePath(), "yam"), 1);
        QCOMPARE(CountInFile(folder_->DatabasePath(), "yak"), 0);
        if (shownGone) {
            QCOMPARE(boxes_->calls.last().prompt, Varin5Text::kGone.arg("yak"));
            QVERIFY(!w.Timer2->Armed());
        } else {
            QCOMPARE(boxes_->calls.size(), 1);
            QVERIFY(w.Timer2->Armed());
        }
        QVERIFY(!AnyFailureReport(boxes_->calls));
    }

    void browsingMovesTheDictionaryCursor()
    {
        Varin2& v2 = Dictionary();
        ShowOnly(*v2.Data1, "ca");   // cat, catalog
        v2.Command7_Click();
        Varin5& w = forms().Varin5();
        w.Command4->click();
        QCOMPARE(w.Text2->text(), QStringLiteral("catalog"));
        QCOMPARE(v2.Text2->text(), QStringLiteral("catalog"));
        w.Command6->click();          // ">>"
        QCOMPARE(w.Text2->text(), QStringLiteral("cat"));
        w.Command3->click();          // ">" before the first: empty fields
        QVERIFY(v2.Data1->AtBOF());
        QCOMPARE(w.Text2->text(), QString());
        w.Command3->click();          // back on the first, fields unchanged
        QCOMPARE(v2.Data1->Position(), 0);
        QCOMPARE(w.Text2->text(), QString());
        w.Command5->click();          // "<<"
        QCOMPARE(w.Text2->text(), QStringLiteral("catalog"));
        w.Command4->click();          // "<" after the last
        QVERIFY(v2.Data1->AtEOF());
        QCOMPARE(w.Text2->text(), QString());
        w.Command4->click();
        QCOMPARE(v2.Data1->Position(), 1);
        QCOMPARE(w.Text2->text(), QString());
        // Deleting with the fields empty: the nothing-selected notice only.
        w.Command2->click();
        QCOMPARE(boxes_->calls.size(), 1);
        QCOMPARE(boxes_->calls[0].prompt, Varin5Text::kNothingSelected);
        QCOMPARE(boxes_->calls[0].flags, kMbOk);
        QCOMPARE(FileRows(folder_->DatabasePath()).size(), kWords.size());
    }

    void emptyResultIsHarmless()
    {
        Varin2& v2 = Dictionary();
        ShowOnly(*v2.Data1, "nothing like this");
        QCOMPARE(v2.Data1->RowCount(), 0);
        v2.Command7_Click();
        Varin5& w = forms().Varin5();
        QCOMPARE(w.Text1->text(), QString());
        QCOMPARE(w.Text2->text(), QString());
        QCOMPARE(w.Text3->text(), QString());
        for (QPushButton* b : {w.Command3, w.Command4, w.Command5, w.Command6})
            b->click();
        w.Command2->click();
        w.Timer2->Fire();
        QVERIFY(!AnyFailureReport(boxes_->calls));
        QCOMPARE(boxes_->calls.size(), 1);
        QCOMPARE(boxes_->calls[0].prompt, Varin5Text::kNothingSelected);
        w.Command1->click();
        QVERIFY(!w.isVisible());
        QVERIFY(!AnyFailureReport(boxes_->calls));
    }

    void deleteCloseRewindsAndArmsRefresh()
    {
        Varin2& v2 = Dictionary();
        v2.Text->setText("door");
        v2.Data1->MoveLast();
        v2.Command7_Click();
        Varin5& w = forms().Varin5();
        QTest::keyClick(w.Text2, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
        QCOMPARE(v2.Text->text(), QString());
        QCOMPARE(v2.Timer8->Interval(), 100);
        // The empty search's look-up: the whole table, no entry current.
        QCOMPARE(v2.Data1->RowCount(), kWords.size());
        QVERIFY(v2.Data1->AtBOF());
    }
};

QTEST_MAIN(DeleteTest)
#include "delete_test.moc"
