// The eSpeak NG engines, heard through a recording output.
#include "audiorecorder.h"
#include "components/espeak.h"
#include "runtime/runtime.h"

#include <QElapsedTimer>
#include <QSet>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const QString kLong = QStringLiteral(
    "The quick brown fox jumps over the lazy dog. A dictionary lists the words of a language. "
    "Each entry gives a word and its meaning. Some entries also give an example. "
    "Reading aloud helps the learner hear how a word sounds. The end.");

// Waits, letting events run, until the stream has samples or time is up.
bool WaitForAudio(const RecordingAudio& audio, int stream, int timeoutMs = 3000)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        if (audio.StreamCount() > stream && audio.Samples(stream) > 0)
            return true;
        QThread::msleep(1);
    }
    return false;
}

qsizetype SpokenB(int voice, int pitch, int speed, const QString& text, QByteArray* pcm = nullptr)
{
    auto audio = std::make_shared<RecordingAudio>();
    EspeakEngine engine(audio);
    engine.EngineB().SelectVoice(voice);
    engine.EngineB().SetPitch(pitch);
    engine.EngineB().SetSpeed(speed);
    engine.EngineB().Speak(text);
    if (!EspeakEngine::WaitUntilIdle(10000) || audio->StreamCount() != 1)
        return -1;
    if (pcm)
        *pcm = audio->At(0).pcm;
    return audio->Samples(0);
}

// The voice's fundamental frequency in Hz: the median over the loud 40 ms
// frames of the shortest period whose autocorrelation comes near the best.
double Pitch(const QByteArray& pcm, int rate = 22050)
{
    const auto* s = reinterpret_cast<const qint16*>(pcm.constData());
    const qsizetype n = pcm.size() / 2;
    const int win = rate / 25, minLag = rate / 500, maxLag = rate / 30;
    std::vector<double> found;
    for (qsizetype at = 0; at + win + maxLag < n; at += win) {
        double energy = 0;
        for (int i = 0; i < win; ++i)
            energy += double(s[at + i]) * s[at + i];
        if (energy / win < 1e6)
            continue;
        std::vector<double> corr(maxLag + 1, 0);
        double best = 0;
        for (int lag = minLag; lag <= maxLag; ++lag) {
            double c = 0, e1 = 0, e2 = 0;
            for (int i = 0; i < win; ++i) {
                const double a = s[at + i], b = s[at + i + lag];
                c += a * b, e1 += a * a, e2 += b * b;
            }
            corr[lag] = c / std::sqrt(e1 * e2 + 1);
            best = std::max(best, corr[lag]);
        }
        if (best < 0.5)
            continue;
        for (int lag = minLag; lag <= maxLag; ++lag)
            if (corr[lag] > 0.9 * best) {
                found.push_back(double(rate) / lag);
                break;
            }
    }
    if (found.empty())
        return 0;
    std::sort(found.begin(), found.end());
    return found[found.size() / 2];
}

}  // namespace

class EspeakTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(EspeakEngine::Available()); }

    void mappings_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("pitch lowest") << "pitch" << 84 << 0;
        QTest::newRow("pitch default") << "pitch" << 204 << 48;
        QTest::newRow("pitch highest") << "pitch" << 334 << 100;
        QTest::newRow("speed slowest") << "speed" << 35 << 80;
        QTest::newRow("speed middle") << "speed" << 140 << 175;
        QTest::newRow("speed fastest") << "speed" << 245 << 350;
        QTest::newRow("speed beyond") << "speed" << 900 << 350;
        QTest::newRow("rate normal") << "rate" << 0 << 175;
        QTest::newRow("rate dictionary slowest") << "rate" << -3 << 126;
        QTest::newRow("rate dictionary fastest") << "rate" << 1 << 195;
        QTest::newRow("rate -10 at eSpeak's floor") << "rate" << -10 << 80;
        QTest::newRow("rate 10 at eSpeak's ceiling") << "rate" << 10 << 450;
    }
    void mappings()
    {
        QFETCH(QString, what);
        QFETCH(int, value);
        QFETCH(int, expected);
        const int got = what == "pitch" ? EspeakPitch(value) : what == "speed" ? EspeakSpeedWpm(value) : EspeakRateWpm(value);
        QCOMPARE(got, expected);
    }

    void nineteenVoicesAllDifferent()
    {
        QSet<QString> names;
        for (int i = 0; i <= 18; ++i)
            names.insert(QString::fromStdString(EspeakVoiceName(i)));
        QCOMPARE(names.size(), 19);
    }

    void aWordYieldsAudio()
    {
        QByteArray pcm;
        const qsizetype n = SpokenB(7, 204, 140, QStringLiteral("dictionary"), &pcm);
        QVERIFY2(n > 22050 / 4, qPrintable(QString::number(n)));   // more than a quarter second
        QVERIFY(Rms(pcm) > 500);
    }

    void emptyTextIsSilentAndFine()
    {
        QCOMPARE(SpokenB(7, 204, 140, QStringLiteral("   ")), qsizetype(-1));   // no stream is even opened
    }

    void speedFiveShorterThanSpeedOne()
    {
        const qsizetype slow = SpokenB(7, 204, (1 + 1) * 35, kLong);
        const qsizetype fast = SpokenB(7, 204, (5 + 1) * 35, kLong);
        QVERIFY(slow > 0 && fast > 0);
        QVERIFY2(fast * 2 < slow, qPrintable(QStringLiteral("%1 vs %2").arg(fast).arg(slow)));
    }

    void higherPitchSoundsHigher()
    {
        QByteArray low, high;
        SpokenB(7, 84, 140, kLong, &low);
        SpokenB(7, 334, 140, kLong, &high);
        QVERIFY2(Pitch(high) > Pitch(low) * 1.5, qPrintable(QStringLiteral("%1 Hz vs %2 Hz").arg(Pitch(high)).arg(Pitch(low))));
    }

    void twoVoicesDiffer()
    {
        QByteArray a, b;
        SpokenB(1, 204, 140, QStringLiteral("dictionary"), &a);
        SpokenB(9, 204, 140, QStringLiteral("dictionary"), &b);
        QVERIFY(!a.isEmpty() && !b.isEmpty());
        QVERIFY(a != b);
        QVERIFY(Pitch(b) > Pitch(a) * 1.3);   // voice 9 is a woman's
    }

    void unknownVoiceIsRefusedAndTheOldOneStays()
    {
        auto audio = std::make_shared<RecordingAudio>();
        EspeakEngine engine(audio);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, engine.EngineB().SelectVoice(19));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, engine.EngineB().SelectVoice(0));
        engine.EngineB().Speak(QStringLiteral("word"));
        QVERIFY(EspeakEngine::WaitUntilIdle(5000));
        QVERIFY(audio->Samples(0) > 0);
    }

    void replacingTheVoiceObjectCutsItsSpeech()
    {
        auto audio = std::make_shared<RecordingAudio>();
        EspeakEngine engine(audio);
        std::unique_ptr<VoiceObject> spt = engine.NewVoice();
        const QString longText = kLong.repeated(50);
        spt->Speak(longText, 1);
        QVERIFY(WaitForAudio(*audio, 0));
        spt = engine.NewVoice();   // as the window does before every use
        const qsizetype cut = audio->Samples(0);
        QVERIFY(audio->At(0).closed);
        spt->Speak(QStringLiteral("next"), 1);
        QVERIFY(EspeakEngine::WaitUntilIdle(10000));
        QCOMPARE(audio->Samples(0), cut);   // nothing more after the release
        QVERIFY(cut < 22050 * 60);          // far from the whole text
        QCOMPARE(audio->StreamCount(), 2);
        QVERIFY(audio->Samples(1) > 0);
    }

    void stopEndsSpeechAndDiscardsWhatWaits()
    {
        auto audio = std::make_shared<RecordingAudio>();
        EspeakEngine engine(audio);
        SharedSpeech& b = engine.EngineB();
        b.Speak(kLong.repeated(50));
        b.Speak(kLong.repeated(50));
        QVERIFY(WaitForAudio(*audio, 0));
        b.Stop();
        QVERIFY(EspeakEngine::WaitUntilIdle(10000));
        const qsizetype stopped = audio->Samples(0);
        QVERIFY(stopped < 22050 * 60);
        QVERIFY(audio->At(0).events.contains(QStringLiteral("Discard")));
        b.Speak(QStringLiteral("again"));
        QVERIFY(EspeakEngine::WaitUntilIdle(5000));
        QVERIFY(audio->Samples(0) > stopped);
    }

    void pauseHoldsAndResumeContinuesTheSameSpeech()
    {
        const qsizetype uninterrupted = SpokenB(7, 204, 140, kLong);

        auto audio = std::make_shared<RecordingAudio>();
        EspeakEngine engine(audio);
        SharedSpeech& b = engine.EngineB();
        b.Speak(kLong);
        b.Pause();
        QVERIFY(EspeakEngine::WaitUntilIdle(5000));
        const qsizetype held = audio->StreamCount() ? audio->Samples(0) : 0;
        QThread::msleep(200);
        QCOMPARE(audio->StreamCount() ? audio->Samples(0) : 0, held);   // nothing more while held
        QVERIFY(held < uninterrupted / 2);
        b.Resume();
        QVERIFY(EspeakEngine::WaitUntilIdle(5000));
        // The same speech, all of it, once: eSpeak NG's output varies by a few
        // milliseconds from one run to the next.
        QVERIFY2(qAbs(audio->Samples(0) - uninterrupted) < uninterrupted / 100,
                 qPrintable(QStringLiteral("%1 vs %2").arg(audio->Samples(0)).arg(uninterrupted)));
    }

    void pauseMidwayHoldsTheStream()
    {
        auto audio = std::make_shared<RecordingAudio>();
        EspeakEngine engine(audio);
        SharedSpeech& b = engine.EngineB();
        b.Speak(kLong.repeated(20));
        QVERIFY(WaitForAudio(*audio, 0));
        b.Pause();
        QVERIFY(EspeakEngine::WaitUntilIdle(5000));
        const qsizetype held = audio->Samples(0);
        QThread::msleep(100);
        QCOMPARE(audio->Samples(0), held);
        b.Resume();
        QVERIFY(EspeakEngine::WaitUntilIdle(20000));
        QVERIFY(audio->Samples(0) > held);
        QCOMPARE(audio->At(0).events, (QStringList{"Hold 1", "Hold 0"}));
    }

    void noDeviceIsSilentAndNeverWaits()
    {
        auto audio = std::make_shared<RecordingAudio>();
        audio->device = false;
        EspeakEngine engine(audio);
        QElapsedTimer t;
        t.start();
        std::unique_ptr<VoiceObject> spt = engine.NewVoice();
        spt->SetRate(-1);
        spt->SetVolume(100);
        spt->Speak(kLong, 1);
        engine.EngineB().Speak(kLong);
        engine.EngineB().Pause();
        engine.EngineB().Resume();
        engine.EngineB().Stop();
        QVERIFY(t.elapsed() < 100);
        QVERIFY(EspeakEngine::WaitUntilIdle(2000));
        QCOMPARE(audio->StreamCount(), 0);
    }

    void aVoiceWithoutOutputHoldsUpNoOther()
    {
        auto audio = std::make_shared<RecordingAudio>();
        audio->refuse = 1;
        EspeakEngine engine(audio);
        std::unique_ptr<VoiceObject> spt = engine.NewVoice();
        spt->Speak(QStringLiteral("one"), 1);
        engine.EngineB().Speak(QStringLiteral("two"));
        QVERIFY(EspeakEngine::WaitUntilIdle(5000));
        QCOMPARE(audio->StreamCount(), 1);   // the one refused stays silent, the other speaks
        QVERIFY(audio->Samples(0) > 0);
    }

    void theSoundCardWithoutServerIsSilentAndNeverWaits()
    {
        // A server address where none listens, whatever this machine runs.
        const QByteArray before = qgetenv("PULSE_SERVER");
        qputenv("PULSE_SERVER", "unix:/nonexistent/varin/pulse/native");
        QElapsedTimer t;
        t.start();
        {
            EspeakEngine engine(MakeSpeakerOutput());
            std::unique_ptr<VoiceObject> spt = engine.NewVoice();
            spt->Speak(QStringLiteral("dictionary"), 1);
            engine.EngineB().Speak(kLong);
            engine.EngineB().Pause();
            engine.EngineB().Resume();
            QVERIFY(t.elapsed() < 3000);   // no call waited for a server
            engine.EngineB().Stop();
            QVERIFY(EspeakEngine::WaitUntilIdle(10000));
        }
        QVERIFY(t.elapsed() < 10000);
        if (before.isNull())
            qunsetenv("PULSE_SERVER");
        else
            qputenv("PULSE_SERVER", before);
    }
};

QTEST_GUILESS_MAIN(EspeakTest)
#include "espeak_test.moc"
