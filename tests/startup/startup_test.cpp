#include "dictionary/varin2.h"
#include "runtime/forms.h"
#include "runtime/previnstance.h"
#include "startup/module1.h"
#include "startup/varin0.h"
#include "testkit.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <memory>
#include <vector>

namespace {

const QString kAlreadyRunning = QStringLiteral("  فه\u200Cرهه\u200Cنگى ڤارين له\u200Cكار دايه .....!!!!! ");
const QString kDictionaryName = QStringLiteral("فه\u200Cرهه\u200Cنكَى  ڤارين");

const QList<Pair> kWords = {
    {QStringLiteral("apple"), QStringLiteral("سێو"), QStringLiteral("noun")},
    {QStringLiteral("book"), QStringLiteral("کتێب"), QStringLiteral("noun")},
};

// A copy of the dictionary as far as the instance lock can tell: the helper
// program holding its share of the lock.
class RunningCopy {
public:
    explicit RunningCopy(const QString& lockPath)
    {
        process_.start(QCoreApplication::applicationDirPath() + QStringLiteral("/varin-lockholder"), {lockPath});
        if (process_.waitForReadyRead(10000))
            answer_ = QString::fromLatin1(process_.readLine()).trimmed();
    }
    ~RunningCopy()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(10000);
        }
    }
    // What it found when it started: "other" or "alone"; empty if it never said.
    QString Answer() const { return answer_; }
    // Ends it the hard way, as a crash would: no chance to clean anything up.
    bool Crash()
    {
        ::kill(static_cast<pid_t>(process_.processId()), SIGKILL);
        return process_.waitForFinished(10000) && process_.exitStatus() == QProcess::CrashExit;
    }

private:
    QProcess process_;
    QString answer_;
};

QList<int> Range(int from, int to, int step)
{
    QList<int> values;
    for (int v = from; step > 0 ? v <= to : v >= to; v += step)
        values << v;
    return values;
}

}  // namespace

// How a test answers the real message box.
enum Answer { PressOk = QMessageBox::Ok, PressCancel = QMessageBox::Cancel, Escape = -1, ClosedAnyOtherWay = 0 };

class StartupTest : public QObject {
    Q_OBJECT
private:
    DataFolder* folder_ = nullptr;
    QTemporaryDir lockDir_;
    int lockFiles_ = 0;

    // A lock file no process has touched yet; this process holds nothing.
    QString FreshLock()
    {
        const QString path = lockDir_.filePath(QStringLiteral("VarinDic-%1.lock").arg(++lockFiles_));
        UseInstanceLockPath(path);
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(lockDir_.isValid());
        folder_ = new DataFolder(kWords);
    }
    void init()
    {
        // No test must see a copy that happens to run on this machine.
        FreshLock();
    }
    void cleanup()
    {
        forms().Unload();
        SetMsgBoxPresenter({});
    }
    void cleanupTestCase()
    {
        forms().Unload();
        delete folder_;
    }

    // The banner fades in, holds while the dictionary window loads behind it,
    // fades out, stays transparent and then hands over.
    void fadeLoadAndHandOver()
    {
        MsgBoxRecorder boxes;
        Varin0& splash = forms().Varin0();
        const QPointer<Varin0> alive(&splash);

        QCOMPARE(splash.size(), QSize(306, 81));
        QCOMPARE(splash.windowFlags() & Qt::FramelessWindowHint, Qt::FramelessWindowHint);
        const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY((splash.geometry().center() - screenCentre).manhattanLength() <= 2);
        QCOMPARE(splash.Timer->Interval(), 20);
        QVERIFY(!splash.Timer3->Armed() && !splash.Timer2->Armed() && !splash.Timer1->Armed());
        QVERIFY(!forms().IsLoaded("Varin2"));
        splash.show();   // as the program does once the load returns

        QList<int> opacity{splash.Opacity()};
        QList<int> levels;
        const auto tick = [&](FormTimer* timer) {
            timer->Fire();
            opacity << splash.Opacity();
            levels << splash.FadeLevel;
            // The alpha really reaches the window, not only our record of it.
            QVERIFY(qAbs(splash.windowOpacity() - splash.Opacity() / 255.0) < 0.01);
        };

        for (int n = 0; splash.Timer->Armed() && n < 20; ++n) {
            tick(splash.Timer);
            QVERIFY2(!forms().IsLoaded("Varin2"), "the dictionary loads only after the hold");
        }
        QCOMPARE(opacity, QList<int>{0} + Range(30, 255, 25));
        QCOMPARE(levels, Range(25, 250, 25));
        QCOMPARE(splash.Timer3->Interval(), 1000);

        // The hold's tick loads the dictionary window, hidden, while the banner
        // is fully opaque, with the fade-out already armed.
        splash.Timer3->Fire();
        QVERIFY(forms().IsLoaded("Varin2"));
        Varin2& dictionary = forms().Varin2();
        QVERIFY(!dictionary.isVisible());
        QCOMPARE(splash.Opacity(), 255);
        QVERIFY(!splash.Timer3->Armed());
        QCOMPARE(splash.Timer2->Interval(), 20);
        QCOMPARE(dictionary.Timer2->Interval(), 100);

        opacity.clear();
        levels.clear();
        for (int n = 0; splash.Timer2->Armed() && n < 20; ++n) {
            tick(splash.Timer2);
            QVERIFY(!dictionary.isVisible());
        }
        QCOMPARE(opacity, Range(225, 0, -25));
        QCOMPARE(levels, Range(225, 0, -25));
        QCOMPARE(splash.Timer1->Interval(), 1000);
        QVERIFY2(splash.isVisible(), "transparent, but still shown during the pause");
        QVERIFY(!dictionary.isVisible());

        splash.Timer1->Fire();
        QCOMPARE(dictionary.Text->text(), QStringLiteral(" "));
        QCOMPARE(dictionary.Timer8->Interval(), 1);
        QVERIFY(dictionary.isVisible());
        QVERIFY(!splash.isVisible());
        QVERIFY(!splash.Timer->Armed() && !splash.Timer3->Armed() && !splash.Timer2->Armed()
                && !splash.Timer1->Armed());
        // Hidden, not closed: still loaded, still the same window.
        QVERIFY(alive);
        QVERIFY(forms().IsLoaded("Varin0"));
        QCOMPARE(&forms().Varin0(), &splash);
        QVERIFY(boxes.calls.isEmpty());
    }

    // Copies are started (and some of them killed) before this one; it warns
    // exactly when one of them still runs.
    void secondCopyNotice_data()
    {
        QTest::addColumn<int>("crashed");   // copies started first, then killed
        QTest::addColumn<int>("running");   // copies started after those, still running
        QTest::addColumn<bool>("notice");
        QTest::newRow("alone") << 0 << 0 << false;
        QTest::newRow("another copy running") << 0 << 1 << true;
        QTest::newRow("the other copy crashed") << 1 << 0 << false;
        QTest::newRow("first copy crashed, second still runs") << 1 << 1 << true;
    }
    void secondCopyNotice()
    {
        QFETCH(int, crashed);
        QFETCH(int, running);
        QFETCH(bool, notice);

        const QString lock = FreshLock();
        std::vector<std::unique_ptr<RunningCopy>> copies;
        for (int i = 0; i < crashed + running; ++i) {
            copies.push_back(std::make_unique<RunningCopy>(lock));
            QCOMPARE(copies.back()->Answer(), i == 0 ? QStringLiteral("alone") : QStringLiteral("other"));
        }
        for (int i = 0; i < crashed; ++i)
            QVERIFY(copies[i]->Crash());

        struct Seen {
            MsgBoxCall call;
            bool timerArmed;
            bool splashShown;
        };
        QList<Seen> seen;
        SetMsgBoxPresenter([&](const MsgBoxCall& call) {
            const Varin0& splash = forms().Varin0();   // the one being loaded
            seen.append({call,
                         splash.Timer->Armed() || splash.Timer3->Armed() || splash.Timer2->Armed()
                             || splash.Timer1->Armed(),
                         splash.isVisible()});
            return kIdOk;
        });

        Varin0& splash = forms().Varin0();
        QCOMPARE(seen.size(), notice ? 1 : 0);
        if (notice) {
            QCOMPARE(seen[0].call.prompt, kAlreadyRunning);
            QCOMPARE(seen[0].call.flags, 0x100000);
            QCOMPARE(seen[0].call.title, kDictionaryName);
            QVERIFY(seen[0].call.iconName.isEmpty());
            QVERIFY2(!seen[0].call.owner, "nothing is active yet to own the box");
            QVERIFY2(!seen[0].timerArmed, "the notice comes before any timer is armed");
            QVERIFY(!seen[0].splashShown);
        }
        // Either way this copy goes on with its own start.
        QCOMPARE(splash.Opacity(), 0);
        QCOMPARE(splash.Timer->Interval(), 20);
    }

    // Copies started at the same instant: exactly one finds itself alone,
    // every other one sees a copy running, round after round.
    void copiesStartedTogether()
    {
        for (int round = 0; round < 20; ++round) {
            const QString lock = FreshLock();
            UseInstanceLockPath(lockDir_.filePath(QStringLiteral("unused")));   // this process holds nothing
            std::vector<std::unique_ptr<QProcess>> copies;
            for (int i = 0; i < 6; ++i) {
                copies.push_back(std::make_unique<QProcess>());
                copies.back()->start(QCoreApplication::applicationDirPath() + QStringLiteral("/varin-lockholder"),
                                     {lock});
            }
            QStringList answers;
            for (auto& copy : copies) {   // all of them still running while they answer
                QVERIFY(copy->waitForReadyRead(10000));
                answers << QString::fromLatin1(copy->readLine()).trimmed();
            }
            for (auto& copy : copies) {
                copy->kill();
                copy->waitForFinished(10000);
            }
            QVERIFY2(answers.count(QStringLiteral("alone")) == 1, qPrintable(answers.join(' ')));
            QCOMPARE(answers.count(QStringLiteral("other")), 5);
        }
    }

    // The real box, answered as a user would: a button, Escape, or a box
    // closed without a button (its event loop ended under it).
    void realMessageBox_data()
    {
        QTest::addColumn<qint32>("flags");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<Qt::LayoutDirection>("direction");
        QTest::addColumn<int>("icon");
        const QString english = QStringLiteral("Add the word?");
        // Zero-width non-joiners inside the words must reach the box intact.
        const QString kurdish = QStringLiteral("ووشه\u200Cكه زياد بكريت\u200C؟");
        const int none = QMessageBox::NoIcon;
        QTest::newRow("OK of OK and Cancel") << 1 << english << int(PressOk) << 1 << 2 << Qt::LeftToRight << none;
        QTest::newRow("Cancel of OK and Cancel")
            << 1 << english << int(PressCancel) << 2 << 2 << Qt::LeftToRight << none;
        QTest::newRow("Escape on OK and Cancel") << 1 << english << int(Escape) << 2 << 2 << Qt::LeftToRight << none;
        QTest::newRow("OK and Cancel closed without a button")
            << 1 << english << int(ClosedAnyOtherWay) << 2 << 2 << Qt::LeftToRight << none;
        QTest::newRow("Escape on a notice") << 0 << english << int(Escape) << 1 << 1 << Qt::LeftToRight << none;
        QTest::newRow("right-to-left notice")
            << 0x100000 << kurdish << int(PressOk) << 1 << 1 << Qt::RightToLeft << none;
        QTest::newRow("error icon") << (0x100000 | 0x10) << kurdish << int(PressOk) << 1 << 1 << Qt::RightToLeft
                                    << int(QMessageBox::Critical);
    }
    void realMessageBox()
    {
        QFETCH(qint32, flags);
        QFETCH(QString, prompt);
        QFETCH(int, answer);
        QFETCH(int, result);
        QFETCH(int, buttons);
        QFETCH(Qt::LayoutDirection, direction);
        QFETCH(int, icon);

        struct {
            bool shown = false;
            QString text, title;
            int buttons = 0;
            Qt::LayoutDirection direction = Qt::LeftToRight;
            int icon = -1;
        } seen;
        QTimer user;
        user.setInterval(10);
        connect(&user, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            user.stop();
            seen.shown = true;
            seen.text = box->text();
            seen.title = box->windowTitle();
            seen.buttons = box->buttons().size();
            seen.direction = box->layoutDirection();
            seen.icon = box->icon();
            if (answer == Escape)
                QTest::keyClick(box, Qt::Key_Escape);
            else if (QAbstractButton* button = box->button(QMessageBox::StandardButton(answer)))
                button->click();
            else
                box->done(0);
        });
        user.start();

        QCOMPARE(UnicodeMsgBox(prompt, flags, kDictionaryName), result);
        QVERIFY(seen.shown);
        QCOMPARE(seen.text, prompt);
        QCOMPARE(seen.title, kDictionaryName);
        QCOMPARE(seen.buttons, buttons);
        QCOMPARE(seen.direction, direction);
        QCOMPARE(seen.icon, icon);
    }

    // A window that is destroyed when it closes may own an open box: the box
    // goes with it, and the call answers Cancel without touching it again.
    void boxOutlivedByItsOwner()
    {
        auto* owner = new QWidget;
        owner->show();
        QTimer::singleShot(50, owner, [owner] { delete owner; });
        QCOMPARE(UnicodeMsgBox(QStringLiteral("Delete?"), kMbOkCancel, kDictionaryName, QString(),
                               static_cast<qintptr>(owner->winId())),
                 kIdCancel);
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
