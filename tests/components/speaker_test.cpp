// The real speaker output against a sound server that the test starts, stops
// and starts again itself (PulseAudio with null sinks), heard through the
// sinks' monitors.
#include "components/audio.h"
#include "components/espeak.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <cmath>
#include <memory>

namespace {

constexpr int kDeadlineMs = 20000;   // far beyond what a server or a word needs

// A PulseAudio server of the test's own, in a runtime folder of its own,
// with two null sinks, "one" (the default) and "two".
class SoundServer {
public:
    explicit SoundServer(const QString& dir) : dir_(dir) {}
    ~SoundServer() { Stop(); }
    QString Address() const { return QStringLiteral("unix:") + dir_ + QStringLiteral("/pulse/native"); }
    QProcessEnvironment Environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_);
        env.insert(QStringLiteral("HOME"), dir_);
        env.insert(QStringLiteral("PULSE_SERVER"), Address());
        return env;
    }
    bool Start()
    {
        server_ = std::make_unique<QProcess>();
        server_->setProcessEnvironment(Environment());
        server_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server_->start(QStringLiteral("pulseaudio"),
                       {"-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit", "--disable-shm=yes",
                        "--log-level=error", "-L", "module-null-sink sink_name=one", "-L",
                        "module-null-sink sink_name=two", "-L", "module-native-protocol-unix auth-anonymous=1", "-L", "module-cli-protocol-unix"});
        if (!server_->waitForStarted(kDeadlineMs))
            return false;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < kDeadlineMs) {
            if (Pactl({"set-default-sink", "one"}))
                return true;
            QThread::msleep(20);
        }
        return false;
    }
    void Stop()
    {
        if (!server_)
            return;
        server_->kill();
        server_->waitForFinished(kDeadlineMs);
        server_.reset();
    }
    bool Pactl(const QStringList& args, QByteArray* out = nullptr, const QString& program = QStringLiteral("pactl")) const
    {
        QProcess p;
        p.setProcessEnvironment(Environment());
        p.start(program, args);
        const bool ok = p.waitForFinished(kDeadlineMs) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        if (out)
            *out = p.readAllStandardOutput();
        return ok;
    }
    // Ends every playing stream, as another program (a mixer) may.
    bool KillStreams() const
    {
        QByteArray list;
        if (!Pactl({"list", "short", "sink-inputs"}, &list))
            return false;
        int killed = 0;
        for (const QByteArray& line : list.split('\n'))
            if (!line.trimmed().isEmpty() && Pactl({"kill-sink-input", QString::fromLatin1(line.split('\t').first())}, nullptr,
                                                QStringLiteral("pacmd")))
                ++killed;
        return killed > 0;
    }

private:
    QString dir_;
    std::unique_ptr<QProcess> server_;
};

// Records a sink's monitor and tells whether anything louder than silence
// arrived.
class Monitor {
public:
    Monitor(const SoundServer& server, const QString& sink)
    {
        rec_.setProcessEnvironment(server.Environment());
        rec_.start(QStringLiteral("parec"), {"-d", sink + QStringLiteral(".monitor"), "--latency-msec=20",
                                             "--format=s16le", "--rate=22050", "--channels=1", "--raw"});
        // Listening once the monitor's silence flows.
        rec_.waitForStarted(kDeadlineMs);
        QElapsedTimer t;
        t.start();
        while (pcm_.size() < 4410 && rec_.state() == QProcess::Running && t.elapsed() < kDeadlineMs) {
            rec_.waitForReadyRead(50);
            pcm_ += rec_.readAllStandardOutput();
        }
        checked_ = pcm_.size() / 2;
    }
    bool Listening()
    {
        if (pcm_.size() < 4410)
            qWarning("the monitor records nothing: %s", rec_.readAllStandardError().constData());
        return pcm_.size() >= 4410;
    }
    ~Monitor()
    {
        rec_.kill();
        rec_.waitForFinished(kDeadlineMs);
    }
    // Waits until a 20 ms stretch louder than a whisper arrives.
    bool Hears(int timeoutMs = kDeadlineMs)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            rec_.waitForReadyRead(50);
            pcm_ += rec_.readAllStandardOutput();
            const auto* s = reinterpret_cast<const qint16*>(pcm_.constData());
            const qsizetype n = pcm_.size() / 2;
            constexpr qsizetype kFrame = 441;
            for (; checked_ + kFrame <= n; checked_ += kFrame) {
                double sum = 0;
                for (qsizetype i = checked_; i < checked_ + kFrame; ++i)
                    sum += double(s[i]) * s[i];
                if (std::sqrt(sum / kFrame) > 300)
                    return true;
            }
        }
        return false;
    }
private:
    QProcess rec_;
    QByteArray pcm_;
    qsizetype checked_ = 0;
};

}  // namespace

class SpeakerTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<SoundServer> server_;

    static void Say(EspeakEngine& engine)
    {
        // As the dictionary says a word: stop, then speak.
        engine.EngineB().Stop();
        engine.EngineB().Speak(QStringLiteral("dictionary"));
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/varin-sound-XXXXXX"));
        QVERIFY(dir_->isValid());
        server_ = std::make_unique<SoundServer>(dir_->path());
        // The output under test finds this server and no other.
        qputenv("PULSE_SERVER", server_->Address().toUtf8());
    }
    void cleanup()
    {
        server_.reset();
        dir_.reset();
        qunsetenv("PULSE_SERVER");
    }

    void followsTheServer_data()
    {
        QTest::addColumn<QString>("story");
        QTest::newRow("the server first") << "up";
        QTest::newRow("the program before the server") << "late";
        QTest::newRow("the server restarted at once") << "restart 0";
        // Longer than Qt Multimedia waits before it gives up for good.
        QTest::newRow("the server away for five seconds") << "restart 5000";
        QTest::newRow("the server's stream killed") << "kill stream";
    }
    void followsTheServer()
    {
        QFETCH(QString, story);
        if (story != "late")
            QVERIFY(server_->Start());
        EspeakEngine engine(MakeSpeakerOutput());
        if (story == "late") {
            Say(engine);   // nowhere to go: silent, and nothing fails
            QVERIFY(EspeakEngine::WaitUntilIdle(kDeadlineMs));
            QVERIFY(server_->Start());
        }
        {
            Monitor one(*server_, QStringLiteral("one"));
            QVERIFY(one.Listening());
            Say(engine);
            QVERIFY2(one.Hears(), "the first word after the server is up");
        }
        if (story.startsWith("restart")) {
            server_->Stop();
            Say(engine);
            QVERIFY(EspeakEngine::WaitUntilIdle(kDeadlineMs));
            QThread::msleep(story.mid(8).toInt());
            QVERIFY(server_->Start());
        }
        if (story == "kill stream") {
            QVERIFY(EspeakEngine::WaitUntilIdle(kDeadlineMs));
            QThread::msleep(1000);   // the word is over
            QVERIFY(server_->KillStreams());
        }
        Monitor one(*server_, QStringLiteral("one"));
        QVERIFY(one.Listening());
        Say(engine);
        QVERIFY2(one.Hears(), "the next word");
    }

    void playsOnTheNewDefault()
    {
        QVERIFY(server_->Start());
        EspeakEngine engine(MakeSpeakerOutput());
        {
            Monitor one(*server_, QStringLiteral("one"));
            QVERIFY(one.Listening());
            Say(engine);
            QVERIFY(one.Hears());
        }
        QThread::msleep(1000);   // the word is over
        QVERIFY(server_->Pactl({"set-default-sink", "two"}));
        Monitor two(*server_, QStringLiteral("two"));
        QVERIFY(two.Listening());
        Say(engine);
        QVERIFY2(two.Hears(), "the word on the new default device");
    }
};

QTEST_GUILESS_MAIN(SpeakerTest)
#include "speaker_test.moc"
