// The about window with the keyboard and a screen reader: what lies in its
// right panel can be reached only while the window is wide enough to show
// some of it. Keys go through the window system's way in (to whatever has
// the focus), as a user's do.
#include "about/varin1.h"
#include "aboutkit.h"
#include "dictionary/varin2.h"
#include "runtime/forms.h"
#include "testkit.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QList<Pair> kWords = {{QStringLiteral("apple"), QStringLiteral("سێو"), QStringLiteral("noun")}};

// The controls a screen reader meets in the window.
QList<QObject*> Reached(QWidget* window)
{
    QList<QObject*> out;
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(window);
    for (int i = 0; i < iface->childCount(); ++i)
        if (QAccessibleInterface* c = iface->child(i))
            out << c->object();
    return out;
}

// Where the window is in its life: each phase from the one before.
enum class Phase { Opening, Idle, Widening, Letter, Narrowed };

void Reach(Varin1& w, Phase phase)
{
    if (phase == Phase::Opening) {
        w.Tim->Fire();
        for (int i = 0; i < 45; ++i) {   // Pi9 growing, Pi1 starting to slide in
            w.Timer10->Fire();
            if (w.Timer8->Armed())
                w.Timer8->Fire();
        }
        return;
    }
    FinishOpening(w);
    if (phase == Phase::Idle)
        return;
    w.Command2->click();
    RunOut(w.Timer9);
    for (int i = 0; i < 12; ++i)   // the right panel does not show yet
        w.Timer12->Fire();
    if (phase == Phase::Widening)
        return;
    RunOut(w.Timer12);
    for (int i = 0; i < 10; ++i)
        w.Timer2->Fire();
    if (phase == Phase::Letter)
        return;
    w.Command3->click();
    RunOut(w.Timer13);
    RunOut(w.Timer14);
}

}  // namespace

class ReachTest : public QObject {
    Q_OBJECT
private:
    DataFolder* folder_ = nullptr;
    MsgBoxRecorder* boxes_ = nullptr;

    // Opened by the dictionary's about button, as the user opens it.
    Varin1& Open()
    {
        Varin2& dictionary = forms().Varin2();
        dictionary.show();
        dictionary.Command2->click();
        Varin1& w = forms().Varin1();
        w.activateWindow();
        if (!QTest::qWaitForWindowActive(&w))
            qWarning("the about window did not become active");
        return w;
    }

    static void Key(Varin1& w, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(w.windowHandle(), key, modifiers);
    }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(resources);
        folder_ = new DataFolder(kWords);
    }
    void init() { boxes_ = new MsgBoxRecorder; }
    void cleanup()
    {
        forms().Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete boxes_;
    }
    void cleanupTestCase() { delete folder_; }

    // Opening: the buttons that show are disabled, "OK" lies outside; so
    // nothing has the focus and a screen reader does not meet "OK" or the
    // right panel's pictures.
    void nothingOutOfSightOnOpening()
    {
        Varin1& w = Open();
        QVERIFY(w.isActiveWindow());
        QCOMPARE(QApplication::focusWidget(), nullptr);
        QCOMPARE(w.Command3->focusPolicy(), Qt::NoFocus);
        QVERIFY(w.Command3->isEnabled());   // as designed: only out of reach
        const QList<QObject*> reached = Reached(&w);
        for (QObject* outside : {static_cast<QObject*>(w.Command3), static_cast<QObject*>(w.Picture2),
                                 static_cast<QObject*>(w.Picture3), static_cast<QObject*>(w.Picture4)})
            QVERIFY2(!reached.contains(outside), qPrintable(outside->metaObject()->className()));
        QVERIFY(reached.contains(w.Command1) && reached.contains(w.Command2) && reached.contains(w.Picture1));
    }

    // Space, Enter and Tab while "OK" lies outside: it never gets the focus,
    // and no key sets off the way back.
    void keysWhileNarrow_data()
    {
        QTest::addColumn<Phase>("phase");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QStringList>("armed");   // after the keys
        const QList<int> space{Qt::Key_Space};
        const QList<int> enter{Qt::Key_Return, Qt::Key_Enter};
        const QList<int> tabs{Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Backtab};
        const QStringList opening{"Timer10", "Timer8"};
        QTest::newRow("opening, Space") << Phase::Opening << space << opening;
        QTest::newRow("opening, Enter") << Phase::Opening << enter << opening;
        QTest::newRow("opening, Tab then Space") << Phase::Opening << tabs + space << opening;
        QTest::newRow("idle, Tab round") << Phase::Idle << tabs << QStringList{};
        QTest::newRow("widening, Tab and Space") << Phase::Widening << QList<int>{Qt::Key_Tab, Qt::Key_Space}
                                                 << QStringList{"Timer12"};
        QTest::newRow("back from the letter, Tab round") << Phase::Narrowed << tabs << QStringList{};
    }
    void keysWhileNarrow()
    {
        QFETCH(Phase, phase);
        QFETCH(QList<int>, keys);
        QFETCH(QStringList, armed);
        Varin1& w = Open();
        Reach(w, phase);
        const int width = w.Width();
        QSet<QWidget*> focused;
        for (int key : keys) {
            Key(w, Qt::Key(key));
            focused << QApplication::focusWidget();
        }
        QVERIFY(!focused.contains(w.Command3));
        QCOMPARE(Armed(w), armed);   // no way back set off
        QCOMPARE(w.Width(), width);
        if (phase == Phase::Idle || phase == Phase::Narrowed) {
            // Tab goes round the buttons that show.
            QCOMPARE(focused, (QSet<QWidget*>{w.Command1, w.Command2}));
        }
    }

    // Widened, "OK" shows: Tab reaches it, Space presses it, and once the
    // window is narrow again it has let go of the focus and is out of reach.
    void okInReachWhileItShows()
    {
        Varin1& w = Open();
        Reach(w, Phase::Letter);
        QVERIFY(Reached(&w).contains(w.Command3));
        QCOMPARE(w.Command3->focusPolicy(), Qt::StrongFocus);
        for (int i = 0; i < 3 && QApplication::focusWidget() != w.Command3; ++i)
            Key(w, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.Command3);
        Key(w, Qt::Key_Space);
        QCOMPARE(Armed(w), QStringList{"Timer13"});

        RunOut(w.Timer13);
        RunOut(w.Timer14);
        QCOMPARE(w.Width(), 6680);
        QVERIFY(QApplication::focusWidget() != w.Command3);
        QCOMPARE(w.Command3->focusPolicy(), Qt::NoFocus);
        QVERIFY(!Reached(&w).contains(w.Command3));
        Key(w, Qt::Key_Space);
        QVERIFY(Armed(w).isEmpty());
        QCOMPARE(w.Width(), 6680);
    }

    // While the window widens, "OK" comes into reach with the first column
    // of it that shows, not before.
    void okComesIntoReachAsItShows()
    {
        Varin1& w = Open();
        Reach(w, Phase::Idle);
        w.Command2->click();
        RunOut(w.Timer9);
        while (w.Timer12->Armed()) {
            w.Timer12->Fire();
            const bool shows = w.width() > w.Command3->x();
            QCOMPARE(w.Command3->focusPolicy(), shows ? Qt::StrongFocus : Qt::NoFocus);
            QCOMPARE(Reached(&w).contains(w.Command3), shows);
        }
    }
};

QTEST_MAIN(ReachTest)
#include "reach_test.moc"
