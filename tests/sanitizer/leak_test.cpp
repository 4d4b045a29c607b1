// The sanitized build still fails a program whose own code leaks, while the
// leaks of the system libraries in tests/lsan.supp pass: a small program of
// ours is run with a short and with a deep configuration folder (the deep
// one makes fontconfig leak as it reads its configuration).
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class LeakTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;

private slots:
    void leaksOfOursFailTheRun_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<bool>("deep");
        QTest::addColumn<bool>("fails");
        QTest::newRow("no leak of ours, short folder") << "" << false << false;
        QTest::newRow("no leak of ours, deep folder") << "" << true << false;
        QTest::newRow("a leak of ours, short folder") << "leak" << false << true;
        QTest::newRow("a leak of ours, deep folder") << "leak" << true << true;
    }
    void leaksOfOursFailTheRun()
    {
        QFETCH(QString, argument);
        QFETCH(bool, deep);
        QFETCH(bool, fails);
        QString config = dir_.filePath(QStringLiteral("c"));
        if (deep)
            config += u'/' + QString(160 - config.size(), u'd');
        QVERIFY(QDir().mkpath(config));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=1"));
        env.remove(QStringLiteral("LSAN_OPTIONS"));
        QProcess leaker;
        leaker.setProcessEnvironment(env);
        leaker.setProcessChannelMode(QProcess::MergedChannels);
        leaker.start(QCoreApplication::applicationDirPath() + QStringLiteral("/varin-leaker"),
                     argument.isEmpty() ? QStringList() : QStringList{argument});
        QVERIFY(leaker.waitForFinished(240000));
        const QString out = QString::fromLocal8Bit(leaker.readAll());
        QCOMPARE(leaker.exitStatus(), QProcess::NormalExit);
        QVERIFY2(out.contains(QStringLiteral("font families")), qPrintable(out));
        if (!fails) {
            QVERIFY2(leaker.exitCode() == 0 && !out.contains(QStringLiteral("LeakSanitizer")), qPrintable(out));
            return;
        }
        QVERIFY2(leaker.exitCode() != 0, qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("ERROR: LeakSanitizer: detected memory leaks")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("LoseABlockOfOurOwn")), qPrintable(out));
        // Ours and nothing else: what the system libraries lost is left out.
        QVERIFY2(out.contains(QStringLiteral("SUMMARY: AddressSanitizer: 4242 byte(s) leaked in 1 allocation(s).")),
                 qPrintable(out));
        if (deep)
            QVERIFY2(out.contains(QRegularExpression(QStringLiteral("Suppressions used:[\\s\\S]*libfontconfig"))),
                     qPrintable(out));
    }
};

QTEST_GUILESS_MAIN(LeakTest)
#include "leak_test.moc"
