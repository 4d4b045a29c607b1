#include "runtime/application.h"
#include "runtime/runtime.h"
#include "testkit.h"

#include <QApplication>
#include <QEventLoop>
#include <QTest>
#include <limits>

class RuntimeTest : public QObject {
    Q_OBJECT
private slots:
    void resumeNextSkipsOnlyTheFailingStep()
    {
        QStringList ran;
        ResumeNext({
            [&] { ran << "1"; },
            [&] { throw RuntimeError("boom"); ran << "never"; },
            [&] { ran << "3"; },
        });
        QCOMPARE(ran, QStringList({"1", "3"}));
        // A failing test of a conditional step lets its body run.
        QVERIFY(ResumeNextTest([]() -> bool { throw RuntimeError("no"); }));
        QVERIFY(!ResumeNextTest([] { return false; }));
    }

    void unguardedFailureIsReportedAndTheProgramGoesOn()
    {
        MsgBoxRecorder boxes;
        bool escaped = false;
        try {
            Unguarded("Command9_Click", [] { throw RuntimeError("disk full"); });
        } catch (...) {
            escaped = true;
        }
        QVERIFY(!escaped);
        QCOMPARE(boxes.calls.size(), 1);
        QVERIFY(boxes.calls[0].prompt.contains("Command9_Click"));
        QVERIFY(boxes.calls[0].prompt.contains("disk full"));
        QVERIFY(boxes.calls[0].flags & kMbRtlReading);
    }

    // Twips round to the nearest pixel; the windows' sizes must come out exact.
    void twips_data()
    {
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("zero") << 0 << 0;
        QTest::newRow("just under half a pixel") << 7 << 0;
        QTest::newRow("just over half a pixel") << 8 << 1;
        QTest::newRow("one pixel") << 15 << 1;
        QTest::newRow("rounds down") << 22 << 1;
        QTest::newRow("rounds up") << 23 << 2;
        QTest::newRow("field width, rounds up") << 3415 << 228;
        QTest::newRow("odd width, rounds down") << 1325 << 88;
        QTest::newRow("dictionary width") << 10935 << 729;
        QTest::newRow("dictionary height") << 5820 << 388;
        QTest::newRow("splash width") << 4590 << 306;
        // Above and left of a window's corner the same nearest pixel.
        QTest::newRow("just under half a pixel above") << -7 << 0;
        QTest::newRow("just over half a pixel above") << -8 << -1;
        QTest::newRow("one pixel above") << -15 << -1;
        QTest::newRow("above, rounds towards 0") << -22 << -1;
        QTest::newRow("above, rounds away from 0") << -23 << -2;
        QTest::newRow("about window's top banner") << -330 << -22;
        QTest::newRow("letter scrolled out of sight") << -12155 << -810;
    }
    void twips()
    {
        QFETCH(int, twips);
        QFETCH(int, pixels);
        QCOMPARE(Twips(twips), pixels);
    }

    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("plain") << "12" << 12;
        QTest::newRow("negative") << "-1" << -1;
        QTest::newRow("trailing text") << "7abc" << 7;
        QTest::newRow("no number") << "abc" << 0;
        QTest::newRow("decimal rounds") << "2.7" << 3;
        QTest::newRow("half to even") << "2.5" << 2;
        QTest::newRow("leading spaces") << "  3" << 3;
        // Beyond an int the number stays beyond it, never wrapped to a small one.
        QTest::newRow("beyond int, would wrap to 12") << "4294967308" << std::numeric_limits<int>::max();
        QTest::newRow("below int, would wrap to 0") << "-4294967296" << std::numeric_limits<int>::min();
        QTest::newRow("400 digits") << QString(400, u'9') << std::numeric_limits<int>::max();
        QTest::newRow("minus 400 digits") << QStringLiteral("-") + QString(400, u'9') << std::numeric_limits<int>::min();
        QTest::newRow("fraction too small to hold") << QStringLiteral("0.") + QString(400, u'0') + QStringLiteral("1") << 0;
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(int, number);
        QCOMPARE(LeadingNumber(text), number);
    }

    void platformChoice_data()
    {
        QTest::addColumn<QByteArray>("chosen");
        QTest::addColumn<QByteArray>("x11");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("platform");
        QTest::newRow("X only: Qt's own choice") << QByteArray() << QByteArray(":0") << QByteArray() << QByteArray();
        QTest::newRow("Wayland with Xwayland: X") << QByteArray() << QByteArray(":0") << QByteArray("wayland-0")
                                                 << QByteArray("xcb");
        QTest::newRow("Wayland alone: Qt's own choice")
            << QByteArray() << QByteArray() << QByteArray("wayland-0") << QByteArray();
        QTest::newRow("the user's choice stands")
            << QByteArray("wayland") << QByteArray(":0") << QByteArray("wayland-0") << QByteArray();
    }
    void platformChoice()
    {
        QFETCH(QByteArray, chosen);
        QFETCH(QByteArray, x11);
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, platform);
        QCOMPARE(ChoosePlatform(chosen, x11, wayland), platform);
    }

    void timerIntervalArmsAndDisarms()
    {
        FormTimer t;
        QVERIFY(!t.Armed());
        t.setInterval(20);
        QVERIFY(t.Armed());
        int ticks = 0;
        connect(&t, &FormTimer::Timer, [&] { ++ticks; });
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= 2, 2000);
        t.setInterval(0);
        const int seen = ticks;
        QTest::qWait(100);
        QCOMPARE(ticks, seen);
    }

    // A modal box inside a tick runs a nested event loop: the same timer must
    // not tick again meanwhile, other timers must.
    void noSecondTickWhileTheFirstRuns()
    {
        FormTimer slow, other;
        int slowTicks = 0, otherTicks = 0, nested = 0;
        connect(&slow, &FormTimer::Timer, [&] {
            ++slowTicks;
            if (slowTicks > 1)
                return;
            QEventLoop modal;   // what a message box does
            QTimer::singleShot(300, &modal, &QEventLoop::quit);
            modal.exec();
            nested = otherTicks;
            slow.setInterval(0);
        });
        connect(&other, &FormTimer::Timer, [&] { ++otherTicks; });
        slow.setInterval(10);
        other.setInterval(10);
        QTRY_VERIFY_WITH_TIMEOUT(nested > 0, 3000);
        QCOMPARE(slowTicks, 1);
        QVERIFY(nested >= 3);

        // Fired directly inside its own tick, it is not delivered either.
        FormTimer direct;
        int directTicks = 0;
        connect(&direct, &FormTimer::Timer, [&] {
            ++directTicks;
            direct.Fire();
        });
        direct.Fire();
        QCOMPARE(directTicks, 1);
    }

    void labelChangeOnlyOnANewCaption()
    {
        FormLabel label(QStringLiteral("a"));
        int changes = 0;
        connect(&label, &FormLabel::Change, [&] { ++changes; });
        label.setCaption(QStringLiteral("a"));
        label.setCaption(QStringLiteral("b"));
        QCOMPARE(changes, 1);
        QCOMPARE(label.Caption(), QStringLiteral("b"));
    }

    void messageBoxResolution_data()
    {
        QTest::addColumn<qint32>("flags");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<qint32>("resolvedFlags");
        QTest::addColumn<QString>("resolvedTitle");
        QTest::newRow("empty title") << 0 << "" << "" << 0 << "Varin Dictionary Zeradi 2010 v2.5";
        QTest::newRow("spaces are a title") << 0 << "   " << "" << 0 << "   ";
        QTest::newRow("icon name replaces stock icon") << 0x10 << "t" << "ICON" << 0x80 << "t";
        QTest::newRow("icon keeps rtl and buttons") << (0x100000 | 0x1 | 0x30) << "t" << "ICON" << (0x100000 | 0x1 | 0x80)
                                                    << "t";
        QTest::newRow("no icon: flags unchanged") << (0x100000 | 0x40) << "t" << "" << (0x100000 | 0x40) << "t";
    }
    void messageBoxResolution()
    {
        QFETCH(qint32, flags);
        QFETCH(QString, title);
        QFETCH(QString, icon);
        QFETCH(qint32, resolvedFlags);
        QFETCH(QString, resolvedTitle);
        const MsgBoxCall call = ResolveMsgBoxCall(QStringLiteral("p"), flags, title, icon, -1);
        QCOMPARE(call.flags, resolvedFlags);
        QCOMPARE(call.title, resolvedTitle);
    }
};

QTEST_MAIN(RuntimeTest)
#include "runtime_test.moc"
