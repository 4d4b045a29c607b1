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

// Far beyond what any wait here takes on a loaded machine: reaching it means
// something never happened.
constexpr int kDeadlineMs = 60000;

// Polls `done` (letting the synthesis thread work) until it holds or a
// deadline far beyond any machine's need passes.
template <typename F>
bool Eventually(F done, int timeoutMs = kDeadlineMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QThread::msleep(1);
    }
    return true;
}

// Manual playback: the synthesiser has filled its read-ahead, or has
// nothing left to say, and rests.
bool Filled()
{
    return EspeakEngine::WaitUntilResting(kDeadlineMs);
}

// Manual playback: plays until everything is synthesised and heard.
bool PlayToTheEnd(RecordingAudio& audio)
{
    return Eventually([&] {
        audio.Play(200);
        if (!EspeakEngine::WaitUntilIdle(0))
            return false;
        for (int i = 0; i < audio.StreamCount(); ++i)
            if (audio.QueuedMs(i) > 0 && !audio.At(i).closed && !audio.At(i).held)
                return false;
        return true;
    }, 2 * kDeadlineMs);
}

qsizetype SpokenB(int voice, int pitch, int speed, const QString& text, QByteArray* pcm = nullptr)
{
    auto audio = std::make_shared<RecordingAudio>();
    EspeakEngine engine(audio);
    engine.EngineB().SelectVoice(voice);
    engine.EngineB().SetPitch(pitch);
    engine.EngineB().SetSpeed(speed);
    engine.EngineB().Speak(text);
    if (!EspeakEngine::WaitUntilIdle(kDeadlineMs) || audio->StreamCount() != 1)
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
        QVERIFY(EspeakEngine::WaitUntilIdle(kDeadlineMs));
        QVERIFY(audio->Samples(0) > 0);
    }

    void readAheadFollowsTheListener()
    {
        // The listener hears nothing until the test plays: the synthesiser
        // fills its read-ahead, waits, and goes on as the audio is heard.
        auto audio = std::make_shared<RecordingAudio>(RecordingAudio::Playback::Manual);
        EspeakEngine engine(audio);
        engine.EngineB().Speak(kLong.repeated(3));
        int fullest = 0;
        for (int round = 0; round < 1000; ++round) {
            QVERIFY(Filled());
            const RecordingAudio::Stream s = audio->At(0);
            const int ahead = int((s.pcm.size() - s.played.size()) / 2 * 1000 / s.rate);
            fullest = std::max(fullest, ahead);
            // One piece, a sentence of this text, may start just below the limit.
            QVERIFY2(ahead <= EspeakEngine::kAheadMs + 6000, qPrintable(QString::number(ahead)));
            if (EspeakEngine::WaitUntilIdle(0))
                break;
            audio->Play(500);
        }
        QVERIFY2(fullest >= EspeakEngine::kAheadMs, qPrintable(QString::number(fullest)));
        QVERIFY(PlayToTheEnd(*audio));
        const RecordingAudio::Stream s = audio->At(0);
        QCOMPARE(s.played, s.pcm);   // all of it heard, in order
        QVERIFY(s.pcm.size() / 2 > qsizetype(3) * 22050 * 10);
    }

    void stopLetsNothingOlderReachTheSink_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("engine B stopped") << "stop";
        QTest::newRow("engine B stopped while paused") << "pause, stop";
        QTest::newRow("engine A's voice object replaced") << "replace";
    }
    void stopLetsNothingOlderReachTheSink()
    {
        QFETCH(QString, how);
        auto audio = std::make_shared<RecordingAudio>(RecordingAudio::Playback::Manual);
        EspeakEngine engine(audio);
        SharedSpeech& b = engine.EngineB();
        std::unique_ptr<VoiceObject> spt = engine.NewVoice();
        const QString longText = kLong.repeated(50);
        if (how == "replace")
            spt->Speak(longText, 1);
        else
            b.Speak(longText);
        QVERIFY(Filled());
        audio->Play(700);
        if (how == "pause, stop") {
            b.Pause();
            audio->Play(700);   // held: nothing plays
        }
        const qsizetype heard = audio->Played(0);
        QCOMPARE(heard, qsizetype(22050 * 700 / 1000));
        if (how == "replace") {
            spt = engine.NewVoice();
            spt->Speak(QStringLiteral("again"), 1);
        } else {
            b.Stop();
            b.Speak(QStringLiteral("again"));
        }
        QVERIFY(PlayToTheEnd(*audio));
        const RecordingAudio::Stream s = audio->At(0);
        if (how == "replace") {
            QVERIFY(s.closed);
            QCOMPARE(s.played.size() / 2, heard);   // the old voice says nothing more
            QCOMPARE(audio->StreamCount(), 2);
            QVERIFY(audio->Played(1) > 0);
            QCOMPARE(audio->At(1).played, audio->At(1).pcm);
        } else {
            // What reached the sink: what it had played before the stop, then
            // the new speech, and nothing that was written before the stop.
            QVERIFY(!s.discardedAt.isEmpty());
            const qsizetype at = s.discardedAt.last();
            QVERIFY(at * 2 < s.pcm.size());   // the new speech was written after it
            QVERIFY(at < 22050 * 20);   // far from the whole text
            QCOMPARE(s.played, s.pcm.left(heard * 2) + s.pcm.mid(at * 2));
        }
    }

    void pauseHoldsAndResumeContinuesTheSameSpeech()
    {
        const qsizetype uninterrupted = SpokenB(7, 204, 140, kLong);

        // Nothing is heard until the test plays, so however fast the machine,
        // the synthesiser is at most its read-ahead and one piece into the
        // text when the pause comes.
        auto audio = std::make_shared<RecordingAudio>(RecordingAudio::Playback::Manual);
        EspeakEngine engine(audio);
        SharedSpeech& b = engine.EngineB();
        b.Speak(kLong);
        b.Pause();
        QVERIFY(EspeakEngine::WaitUntilIdle(kDeadlineMs));   // the piece under way is finished
        const qsizetype held = audio->StreamCount() ? audio->Samples(0) : 0;
        QVERIFY2(held < uninterrupted / 2, qPrintable(QStringLiteral("%1 of %2").arg(held).arg(uninterrupted)));
        audio->Play(5000);
        QThread::msleep(50);
        QCOMPARE(audio->StreamCount() ? audio->Samples(0) : 0, held);   // nothing more is made
        QCOMPARE(audio->StreamCount() ? audio->Played(0) : 0, qsizetype(0));   // nor heard
        b.Resume();
        QVERIFY(PlayToTheEnd(*audio));
        // The same speech, all of it, once: eSpeak NG's output varies by a few
        // milliseconds from one run to the next.
        QVERIFY2(qAbs(audio->Played(0) - uninterrupted) < uninterrupted / 100,
                 qPrintable(QStringLiteral("%1 vs %2").arg(audio->Played(0)).arg(uninterrupted)));
        QCOMPARE(audio->At(0).played, audio->At(0).pcm);
    }

    void pauseMidwayHoldsTheStream()
    {
        auto audio = std::make_shared<RecordingAudio>(RecordingAudio::Playback::Manual);
        EspeakEngine engine(audio);
        SharedSpeech& b = engine.EngineB();
        b.Speak(kLong.repeated(20));
        QVERIFY(Filled());
        audio->Play(1000);
        b.Pause();
        QVERIFY(EspeakEngine::WaitUntilIdle(kDeadlineMs));
        const qsizetype written = audio->Samples(0), heard = audio->Played(0);
        audio->Play(2000);
        QThread::msleep(50);
        QCOMPARE(audio->Samples(0), written);
        QCOMPARE(audio->Played(0), heard);
        b.Resume();
        audio->Play(1000);
        QCOMPARE(audio->Played(0), heard + 22050);   // it goes on where it held
        QVERIFY(Eventually([&] { return audio->Samples(0) > written; }));
        b.Stop();
        QCOMPARE(audio->At(0).events, (QStringList{"Hold 1", "Hold 0", "Discard", "Hold 0"}));
    }

    void settingsGivenAfterTheTextHoldForIt_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("speed, slower to faster") << "speed" << 70 << 210;
        QTest::newRow("speed, faster to slower") << "speed" << 210 << 70;
        QTest::newRow("pitch, lower to higher") << "pitch" << 84 << 334;
        QTest::newRow("voice, a man's to a woman's") << "voice" << 1 << 9;
    }
    void settingsGivenAfterTheTextHoldForIt()
    {
        // The callers' order: the text, then the settings it is to be read with.
        QFETCH(QString, setting);
        QFETCH(int, from);
        QFETCH(int, to);
        const auto spoken = [&](int value, QByteArray* pcm) {
            return setting == "speed"   ? SpokenB(7, 204, value, kLong, pcm)
                   : setting == "pitch" ? SpokenB(7, value, 140, kLong, pcm)
                                        : SpokenB(value, 204, 140, kLong, pcm);
        };
        QByteArray before, after;
        const qsizetype old = spoken(from, &before), wanted = spoken(to, &after);

        auto audio = std::make_shared<RecordingAudio>(RecordingAudio::Playback::Manual);
        EspeakEngine engine(audio);
        SharedSpeech& b = engine.EngineB();
        const auto set = [&](int value) {
            if (setting == "speed") b.SetSpeed(value);
            else if (setting == "pitch") b.SetPitch(value);
            else b.SelectVoice(value);
        };
        set(from);
        b.Speak(kLong);
        QVERIFY(Filled());   // however far synthesis got, nothing was heard yet
        set(to);
        QVERIFY(PlayToTheEnd(*audio));
        const QByteArray heard = audio->At(0).played;
        QVERIFY2(qAbs(heard.size() / 2 - wanted) < wanted / 100,
                 qPrintable(QStringLiteral("%1, wanted %2, before %3").arg(heard.size() / 2).arg(wanted).arg(old)));
        if (setting == "speed")
            QVERIFY(qAbs(old - wanted) > wanted / 2);
        // From its first words on.
        const QByteArray start = heard.left(22050 * 2 * 2);
        const double got = Pitch(start), want = Pitch(after.left(start.size())), was = Pitch(before.left(start.size()));
        if (setting != "speed")
            QVERIFY2(qAbs(got - want) < want / 20 && want > was * 1.3,
                     qPrintable(QStringLiteral("%1 Hz, wanted %2 Hz, before %3 Hz").arg(got).arg(want).arg(was)));
    }

    void aChangeMidwayTakesTheRest()
    {
        const qsizetype slow = SpokenB(7, 204, 70, kLong), fast = SpokenB(7, 204, 210, kLong);
        auto audio = std::make_shared<RecordingAudio>(RecordingAudio::Playback::Manual);
        EspeakEngine engine(audio);
        SharedSpeech& b = engine.EngineB();
        b.SetSpeed(70);
        b.Speak(kLong);
        QVERIFY(Filled());
        audio->Play(2000);   // heard: it goes on, faster, with what is not made yet
        b.SetSpeed(210);
        QVERIFY(PlayToTheEnd(*audio));
        const qsizetype heard = audio->Played(0);
        QVERIFY2(heard < slow * 9 / 10 && heard > fast * 11 / 10,
                 qPrintable(QStringLiteral("%1 between %2 and %3").arg(heard).arg(fast).arg(slow)));
        QCOMPARE(audio->At(0).played, audio->At(0).pcm.left(audio->At(0).played.size()));
    }

    void pauseThenReadPlaysTheTextOnce()
    {
        // The reader's read button after its pause button: resume, then the
        // whole text again. The new text replaces the rest of the paused one.
        const qsizetype once = SpokenB(7, 204, 140, kLong);
        auto audio = std::make_shared<RecordingAudio>(RecordingAudio::Playback::Manual);
        EspeakEngine engine(audio);
        SharedSpeech& b = engine.EngineB();
        b.Speak(kLong);
        QVERIFY(Filled());
        audio->Play(2000);
        b.Pause();
        audio->Play(2000);
        b.Resume();
        b.SelectVoice(7);
        b.Speak(kLong);
        b.SetPitch(204);
        b.SetSpeed(140);
        QVERIFY(PlayToTheEnd(*audio));
        const qsizetype heard = audio->Played(0) - 22050 * 2;
        QVERIFY2(qAbs(heard - once) < once / 100, qPrintable(QStringLiteral("%1 vs %2").arg(heard).arg(once)));
    }

    void speechFollowsTheDevice_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("no device at the first word") << "absent";
        QTest::newRow("a stream that fails to start") << "refused";
        QTest::newRow("the device lost mid-speech and back") << "lost";
    }
    void speechFollowsTheDevice()
    {
        QFETCH(QString, what);
        auto audio = std::make_shared<RecordingAudio>(RecordingAudio::Playback::Manual);
        if (what == "absent")
            audio->device = false;
        if (what == "refused")
            audio->refuse = 1;
        EspeakEngine engine(audio);
        SharedSpeech& b = engine.EngineB();
        b.Speak(what == "lost" ? kLong.repeated(10) : QStringLiteral("one"));
        QVERIFY(Filled());
        qsizetype heard = 0;
        if (what == "lost") {
            audio->Play(500);
            heard = audio->Played(0);
            audio->LoseDevice();
            audio->Play(4000);   // what waited plays to no one
            QCOMPARE(audio->Played(0), heard);
            QVERIFY(Filled());   // and the synthesiser keeps the listener's pace
        } else {
            QVERIFY(EspeakEngine::WaitUntilIdle(kDeadlineMs));
            QCOMPARE(audio->StreamCount(), 0);   // silent, and nothing kept for later
        }
        audio->device = true;
        b.Stop();
        b.Speak(QStringLiteral("two"));
        QVERIFY(PlayToTheEnd(*audio));
        QCOMPARE(audio->StreamCount(), 1);
        const RecordingAudio::Stream s = audio->At(0);
        // The next word is heard, and only it.
        const qsizetype from = s.discardedAt.isEmpty() ? 0 : s.discardedAt.last();
        QVERIFY(s.pcm.size() / 2 - from > 22050 / 5);
        QCOMPARE(s.played, s.pcm.left(heard * 2) + s.pcm.mid(from * 2));
    }

    void callsNeverWaitForSpeech_data()
    {
        QTest::addColumn<bool>("device");
        QTest::newRow("no device") << false;
        QTest::newRow("a device that never plays") << true;
    }
    void callsNeverWaitForSpeech()
    {
        // The clock never moves: a call that waited for speech to be heard
        // would never return.
        QFETCH(bool, device);
        auto audio = std::make_shared<RecordingAudio>(RecordingAudio::Playback::Manual);
        audio->device = device;
        EspeakEngine engine(audio);
        const auto full = [&] {
            for (int i = 0; i < audio->StreamCount(); ++i)
                if (audio->QueuedMs(i) >= EspeakEngine::kAheadMs)
                    return true;
            return false;
        };
        QElapsedTimer t;
        t.start();
        std::unique_ptr<VoiceObject> spt;
        for (int i = 0; i < 3; ++i) {
            spt = engine.NewVoice();
            spt->SetRate(-1);
            spt->SetVolume(100);
            spt->Speak(kLong.repeated(10), 1);
            engine.EngineB().Speak(kLong.repeated(10));
            if (device)
                QVERIFY(Eventually(full));   // the calls below come while audio waits unheard
            engine.EngineB().Pause();
            engine.EngineB().Resume();
            engine.EngineB().SetSpeed(70);
            engine.EngineB().Stop();
        }
        spt.reset();
        QVERIFY(t.elapsed() < kDeadlineMs);
        QVERIFY(EspeakEngine::WaitUntilIdle(kDeadlineMs));
        if (!device)
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
        QVERIFY(EspeakEngine::WaitUntilIdle(kDeadlineMs));
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
            engine.EngineB().Stop();
            QVERIFY(EspeakEngine::WaitUntilIdle(kDeadlineMs));
        }
        QVERIFY(t.elapsed() < kDeadlineMs);
        if (before.isNull())
            qunsetenv("PULSE_SERVER");
        else
            qputenv("PULSE_SERVER", before);
    }
};

QTEST_GUILESS_MAIN(EspeakTest)
#include "espeak_test.moc"
