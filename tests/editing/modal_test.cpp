// The add-word and delete-word windows as their opening commands really show
// them: the command waits, the event loop running every timer, until the
// window is hidden. What the user does meanwhile runs from that loop, and so
// do questions that stay open while the window's own timers tick.
#include "components/wordstore.h"
#include "dictionary/varin2.h"
#include "editing/texts.h"
#include "editing/varin4.h"
#include "editing/varin5.h"
#include "editkit.h"
#include "runtime/forms.h"
#include "testkit.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

// Built in: every entry of the list has a Note.
const QList<Pair> kWords = {{"cat", "پشیلە"}, {"dog", "سەگ"}, {"yak0", "یاک"}};
const QString kSeo = QStringLiteral("سێو");

QStringList EnglishInFile(const QString& path)
{
    QStringList out;
    for (const WordStore::Entry& e : FileRows(path))
        out << e.English;
    return out;
}

// What the user does while an opening command waits: one step after the
// other, each from the event loop that is running then. Each step is logged
// with whether the command was still waiting when it ran.
class User : public QObject {
public:
    void Do(const QString& name, std::function<void()> step) { steps_.append({name, std::move(step)}); }
    void Start() { QTimer::singleShot(0, this, [this] { Next(); }); }

    bool waiting = false;
    QStringList log;

private:
    void Next()
    {
        if (steps_.isEmpty())
            return;
        auto [name, step] = steps_.takeFirst();
        log << (waiting ? name : name + QStringLiteral(" (after the command returned)"));
        step();
        QTimer::singleShot(10, this, [this] { Next(); });
    }

    QList<std::pair<QString, std::function<void()>>> steps_;
};

// Runs the opening command with the user's steps; a window left open by a
// fault is hidden after a long while, so the test fails instead of hanging.
void OpenWhile(User& user, QWidget* window, const std::function<void()>& command)
{
    bool rescued = false;
    QTimer rescue;
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, window, [&] {
        rescued = true;
        window->hide();
    });
    rescue.start(60000);
    user.Start();
    user.waiting = true;
    command();
    user.waiting = false;
    user.log << (rescued ? QStringLiteral("returned after the rescue") : QStringLiteral("returned"));
    QTest::qWait(100);   // steps still due run now, and show in the log
}

}  // namespace

class ModalTest : public QObject {
    Q_OBJECT
private:
    DataFolder* folder_ = nullptr;
    MsgBoxRecorder* boxes_ = nullptr;
    QTemporaryDir config_;

    Varin2& Dictionary()
    {
        Varin2& v2 = forms().Varin2();
        // The clipboard's capture would replace the result on a slow run;
        // here only the windows' own timers tick.
        v2.Timer3->setInterval(0);
        v2.show();
        return v2;
    }

private slots:
    // The dictionary window reads the user's settings as it loads; never this user's.
    void initTestCase() { qputenv("XDG_CONFIG_HOME", config_.path().toUtf8()); }
    void init()
    {
        folder_ = new DataFolder(kWords);
        boxes_ = new MsgBoxRecorder;
    }
    void cleanup()
    {
        forms().Unload();
        delete boxes_;
        delete folder_;
    }

    // The wait ends when the window is hidden, and only then: minimising it,
    // a refused close request or a notice inside it leave the command waiting.
    void openingCommandWaitsUntilHidden_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("steps");
        for (const char* window : {"add", "delete"}) {
            QTest::addRow("%s: close button", window) << window << QStringList{"close button"};
            QTest::addRow("%s: Escape", window) << window << QStringList{"Escape"};
            QTest::addRow("%s: minimised, restored, closed", window)
                << window << QStringList{"minimise", "restore", "close button"};
            QTest::addRow("%s: closed while minimised", window) << window << QStringList{"minimise", "Escape"};
            QTest::addRow("%s: close request refused", window)
                << window << QStringList{"close request", "close request", "close button"};
            QTest::addRow("%s: a notice inside", window) << window << QStringList{"notice", "close button"};
        }
    }
    void openingCommandWaitsUntilHidden()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, steps);
        Varin2& v2 = Dictionary();
        v2.Text->setText(QStringLiteral("dog"));
        EditWindow* w = window == "add" ? static_cast<EditWindow*>(&forms().Varin4())
                                        : static_cast<EditWindow*>(&forms().Varin5());
        QPushButton* close = window == "add" ? forms().Varin4().Command1 : forms().Varin5().Command1;
        QLineEdit* field = window == "add" ? forms().Varin4().Text2 : forms().Varin5().Text2;
        // The notice the window gives for nothing to act on, open a while.
        QPushButton* act = window == "add" ? forms().Varin4().Command2 : forms().Varin5().Command2;
        if (window == "delete")
            v2.Data1->MoveLast(), v2.Data1->MoveNext();   // no entry shown: the nothing-selected notice

        User user;
        QStringList shown;
        for (const QString& step : steps) {
            user.Do(step, [&, step] {
                if (step == "close button")
                    close->click();
                else if (step == "Escape")
                    QTest::keyClick(field, Qt::Key_Escape);
                else if (step == "minimise")
                    w->showMinimized();
                else if (step == "restore")
                    w->showNormal();
                else if (step == "close request")
                    w->close();
                else if (step == "notice") {
                    QElapsedTimer open;
                    open.start();
                    boxes_->openUntil = {[open](const MsgBoxCall&) { return open.elapsed() >= 50; }};
                    act->click();
                }
                shown << QStringLiteral("%1: %2").arg(step, w->isVisible() ? "shown" : "hidden");
            });
        }
        OpenWhile(user, w, [&] { window == "add" ? v2.Command6_Click() : v2.Command7_Click(); });

        QCOMPARE(user.log, steps + QStringList{"returned"});
        QVERIFY(!w->isVisible());
        QCOMPARE(w->windowModality(), Qt::ApplicationModal);
        // Every step but the last left the window open.
        for (int i = 0; i + 1 < steps.size(); ++i)
            QCOMPARE(shown[i], steps[i] + QStringLiteral(": shown"));
        // The close command ran: the dictionary's search emptied.
        QCOMPARE(v2.Text->text(), QString());
        QCOMPARE(boxes_->open, 0);
        QCOMPARE(boxes_->gaveUp, 0);
        QCOMPARE(boxes_->calls.size(), steps.contains("notice") ? 1 : 0);
    }

    // A user's entry X is deleted; at once the user asks to delete again,
    // while the fields still show X. The question stays open until the
    // after-delete tick has shown the entry Y before X. OK then deletes
    // nothing more: the entry the question named is gone. Y, a user's entry
    // or a built-in one, stays, and no refusal speaks of it.
    void secondDeleteWhileTheTickShowsTheEntryBefore_data()
    {
        QTest::addColumn<QString>("deleted");   // X
        QTest::addColumn<QString>("before");    // Y
        QTest::newRow("the entry before is a user's") << "yak2" << "yak1";
        QTest::newRow("the entry before is built in") << "yak1" << "yak0";
    }
    void secondDeleteWhileTheTickShowsTheEntryBefore()
    {
        QFETCH(QString, deleted);
        QFETCH(QString, before);
        Varin2& v2 = Dictionary();
        AddUserEntry(*v2.Data1, "yak1", kSeo);
        AddUserEntry(*v2.Data1, "yak2", kSeo);
        ShowOnly(*v2.Data1, "yak");   // yak0 (built in), yak1, yak2
        while (v2.Text2->text() != deleted)
            v2.Data1->MoveNext();
        Varin5& w = forms().Varin5();

        User user;
        user.Do("delete", [&] { w.Command2->click(); });
        user.Do("delete again", [&] {
            QCOMPARE(w.Text2->text(), deleted);   // the tick is still due
            boxes_->openUntil = {[&](const MsgBoxCall&) { return w.Text2->text() == before; }};
            w.Command2->click();
        });
        user.Do("close button", [&] { w.Command1->click(); });
        OpenWhile(user, &w, [&] { v2.Command7_Click(); });

        QCOMPARE(user.log, (QStringList{"delete", "delete again", "close button", "returned"}));
        QCOMPARE(boxes_->gaveUp, 0);
        const QString question = Varin5Text::kAskBefore + deleted + Varin5Text::kAskAfter;
        QCOMPARE(boxes_->calls.size(), 3);
        QCOMPARE(boxes_->calls[0].prompt, question);
        QCOMPARE(boxes_->calls[1].prompt, question);
        QCOMPARE(boxes_->calls[2].prompt, Varin5Text::kGone.arg(deleted));
        const QStringList left = EnglishInFile(folder_->DatabasePath());
        QVERIFY(!left.contains(deleted));
        QVERIFY2(left.contains(before), qPrintable(left.join(' ')));
        QCOMPARE(left.size(), kWords.size() + 1);
    }

    // The same question answered while a look-up has moved the cursor and the
    // fields have been shown again meanwhile (the tick of an earlier delete):
    // OK deletes the entry it named, by then no longer the one shown.
    void deleteNamedWhileAnotherIsShown()
    {
        Varin2& v2 = Dictionary();
        for (const char* e : {"yak1", "yak2", "yak3"})
            AddUserEntry(*v2.Data1, e, kSeo);
        ShowOnly(*v2.Data1, "yak");
        while (v2.Text2->text() != "yak3")
            v2.Data1->MoveNext();
        Varin5& w = forms().Varin5();

        User user;
        user.Do("delete yak3", [&] { w.Command2->click(); });
        user.Do("after the tick, delete yak2", [&] {
            QTRY_COMPARE(w.Text2->text(), QStringLiteral("yak2"));
            // While this question is open, the cursor moves to yak1 and the
            // fields show it (the window's browse, from a timer).
            QTimer::singleShot(0, &w, [&] { w.Command3->click(); });
            boxes_->openUntil = {[&](const MsgBoxCall&) { return w.Text2->text() == "yak1"; }};
            w.Command2->click();
        });
        user.Do("close button", [&] { w.Command1->click(); });
        OpenWhile(user, &w, [&] { v2.Command7_Click(); });

        QCOMPARE(boxes_->gaveUp, 0);
        QCOMPARE(boxes_->calls.size(), 2);
        QCOMPARE(boxes_->calls[1].prompt, Varin5Text::kAskBefore + "yak2" + Varin5Text::kAskAfter);
        const QStringList left = EnglishInFile(folder_->DatabasePath());
        QVERIFY(!left.contains("yak3"));
        QVERIFY(!left.contains("yak2"));
        QVERIFY(left.contains("yak1"));
    }
};

QTEST_MAIN(ModalTest)
#include "modal_test.moc"
