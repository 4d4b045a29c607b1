// The splash on a real X server (an Xvfb of its own): each tick's opacity
// must have reached the server when the tick returns, not wait in the
// program's output buffer until something else happens to flush it. The
// server's copy is read by another X client, as a compositor would read it.
#include "dictionary/varin2.h"
#include "runtime/forms.h"
#include "runtime/previnstance.h"
#include "startup/varin0.h"
#include "testkit.h"

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <cstdio>

namespace {

const QList<Pair> kWords = {{QStringLiteral("apple"), QStringLiteral("سێو"), QStringLiteral("noun")}};

// An X server of the test's own, on a display number it picks itself.
class Xvfb {
public:
    Xvfb()
    {
        server_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                               QStringLiteral("0"), QStringLiteral("640x480x24"),
                                               QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (!server_.waitForStarted(10000))
            return;
        while (server_.state() == QProcess::Running && !server_.canReadLine())
            server_.waitForReadyRead(1000);
        const QByteArray number = server_.readLine().trimmed();
        if (!number.isEmpty())
            display_ = ':' + number;
    }
    ~Xvfb()
    {
        server_.terminate();
        if (!server_.waitForFinished(10000))
            server_.kill();
    }
    QByteArray Display() const { return display_; }

private:
    QProcess server_;
    QByteArray display_;
};

// The window's opacity as the X server holds it, 0 to 255; -1 when unset
// (or unreadable).
int ServerOpacity(WId window)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window),
                                          QStringLiteral("_NET_WM_WINDOW_OPACITY")});
    if (!xprop.waitForFinished(20000))
        return -1;
    const auto m = QRegularExpression(QStringLiteral("= (\\d+)")).match(QString::fromLatin1(xprop.readAll()));
    if (!m.hasMatch())
        return -1;
    return static_cast<int>(std::lround(m.captured(1).toDouble() / 4294967295.0 * 255.0));
}

}  // namespace

class SplashOnXTest : public QObject {
    Q_OBJECT
private:
    DataFolder* folder_ = nullptr;
    MsgBoxRecorder* boxes_ = nullptr;
    QTemporaryDir lockDir_;

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        UseInstanceLockPath(lockDir_.filePath(QStringLiteral("VarinDic.lock")));
        folder_ = new DataFolder(kWords);
        boxes_ = new MsgBoxRecorder;
    }
    void cleanupTestCase()
    {
        forms().Unload();
        delete boxes_;
        delete folder_;
    }

    // 0 at load, then 30, 55, ..., 255 and 225, 200, ..., 0: each value is
    // on the server as soon as its tick has run, with no event processed
    // in between.
    void eachTicksOpacityReachesTheServer()
    {
        Varin0& splash = forms().Varin0();
        // Each tick is given here, never by the clock: the wait for the
        // window to show runs the event loop.
        QCOMPARE(splash.Timer->Interval(), 20);
        splash.Timer->setInterval(0);
        splash.show();   // as the program does once the load returns
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        const WId window = splash.winId();
        QCOMPARE(ServerOpacity(window), 0);

        QList<int> sent, seen;
        const auto tick = [&](FormTimer* timer) {
            timer->Fire();
            timer->setInterval(0);
            sent << splash.Opacity();
            seen << ServerOpacity(window);
        };
        for (int n = 0; splash.FadeLevel < 250 && n < 20; ++n)
            tick(splash.Timer);
        QCOMPARE(splash.Timer3->Interval(), 1000);
        splash.Timer3->Fire();   // the dictionary window loads behind the opaque banner
        QCOMPARE(ServerOpacity(window), 255);
        QCOMPARE(splash.Timer2->Interval(), 20);
        for (int n = 0; splash.FadeLevel > 0 && n < 20; ++n)
            tick(splash.Timer2);

        QList<int> expected;
        for (int alpha = 30; alpha <= 255; alpha += 25)
            expected << alpha;
        for (int alpha = 225; alpha >= 0; alpha -= 25)
            expected << alpha;
        QCOMPARE(sent, expected);
        QCOMPARE(seen, expected);
    }
};

int main(int argc, char** argv)
{
    // The display must be there before the application connects to it.
    Xvfb server;
    if (server.Display().isEmpty()) {
        std::fprintf(stderr, "could not start Xvfb (tools/install-deps.sh installs it)\n");
        return 1;
    }
    qputenv("DISPLAY", server.Display());
    qputenv("QT_QPA_PLATFORM", "xcb");
    // That display has no session bus, and the user's (a screen reader, a
    // desktop portal) is none of the test's business.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    SplashOnXTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "splash_x11_test.moc"
