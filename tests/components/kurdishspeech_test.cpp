// Kurdish in Arabic script read by the eSpeak NG engines: with the Kurdish
// voice, never as English letter names, in order with the English around it,
// and silent when eSpeak NG's data has no Kurdish voice.
#include "audiorecorder.h"
#include "components/espeak.h"

#include <espeak-ng/speak_lib.h>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

const QString kParagraph = QStringLiteral(
    "ئەم فەرهەنگە وشەکانی زمانی ئینگلیزی بە کوردی دەڵێت. هەر وشەیەک مانای خۆی هەیە، "
    "و خوێنەر دەتوانێت گوێی لێ بگرێت. ئێستا کتێبێک بخوێنەوە!");

// One engine B speech of the text; its samples, or -1 when no stream opened.
qsizetype SpokenB(const QString& text, int speed = 140, int voice = 7)
{
    auto audio = std::make_shared<RecordingAudio>();
    EspeakEngine engine(audio);
    engine.EngineB().SelectVoice(voice);
    engine.EngineB().SetSpeed(speed);
    engine.EngineB().Speak(text);
    if (!EspeakEngine::WaitUntilIdle(20000) || audio->StreamCount() != 1)
        return -1;
    return audio->Samples(0);
}

double Seconds(qsizetype samples) { return samples / 22050.0; }

bool WaitForAudio(const RecordingAudio& audio)
{
    for (int i = 0; i < 3000; ++i) {
        if (audio.StreamCount() > 0 && audio.Samples(0) > 0)
            return true;
        QThread::msleep(1);
    }
    return false;
}

// eSpeak NG's data as installed, without the Kurdish voice and its
// dictionary: every other file is a link to the real one.
bool DataWithoutKurdish(const QString& root)
{
    const char* path = nullptr;
    espeak_Info(&path);
    const QString real = QString::fromLocal8Bit(path);
    const QString copy = root + QStringLiteral("/espeak-ng-data");
    QDirIterator it(real, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDirIterator::Subdirectories);
    bool ok = QDir().mkpath(copy);
    while (it.hasNext()) {
        const QFileInfo file(it.next());
        const QString rel = QDir(real).relativeFilePath(file.filePath());
        if (rel == QLatin1String("ku_dict") || (rel.startsWith(QLatin1String("lang/")) && file.fileName() == QLatin1String("ku")))
            continue;
        if (file.isDir())
            ok &= QDir().mkpath(copy + '/' + rel);
        else
            ok &= QFile::link(file.absoluteFilePath(), copy + '/' + rel);
    }
    return ok && QFileInfo::exists(copy + QStringLiteral("/en_dict"));
}

}  // namespace

class KurdishSpeechTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(EspeakEngine::Available()); }

    // What eSpeak NG makes of a text: the Kurdish voice for Arabic script,
    // the chosen voice for the rest, in the text's order.
    void phonemes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("inOrder");
        QTest::newRow("a Kurdish word") << u"ئاو"_qs << QStringList{"'aw"};
        QTest::newRow("Kurdish with the Arabic letter forms") << u"كوردى"_qs << QStringList{"kURd'i"};
        QTest::newRow("English stays English") << u"water"_qs << QStringList{"w'O:t"};
        QTest::newRow("English, Kurdish, English") << u"water ئاو house"_qs << QStringList{"w'O:t", "'aw", "h'aUs"};
        QTest::newRow("Kurdish, English") << u"کتێب (book)"_qs << QStringList{"kIt'eb", "b'Uk"};
        QTest::newRow("Kurdish digits read in Kurdish") << u"٣ کتێب"_qs << QStringList{"s'e", "kIt'eb"};
        QTest::newRow("a paragraph") << kParagraph << QStringList{"ERhEng", "kURd'i", "Iteb'ek"};
    }
    void phonemes()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, inOrder);
        for (int item : {0, 7, 9}) {
            const QString ph = EspeakEngine::Phonemes(text, item);
            QVERIFY2(!ph.contains(QLatin1String("(en)")) && !ph.contains(QLatin1String("ar@bIk")), qPrintable(ph));
            QVERIFY2(!ph.contains(QLatin1String("tipa")), qPrintable(ph));   // the Kurdish voice naming a letter
            qsizetype at = 0;
            for (const QString& part : inOrder) {
                at = ph.indexOf(part, at);
                QVERIFY2(at >= 0, qPrintable(QStringLiteral("%1 not in order in %2").arg(part, ph)));
            }
        }
    }

    // The word itself, not three letter names (2.75 s).
    void aKurdishWordTakesAWordsTime()
    {
        const double s = Seconds(SpokenB(u"ئاو"_qs));
        QVERIFY2(s > 0.2 && s < 1.0, qPrintable(QString::number(s)));
    }

    // Every run is spoken: the mixed text lasts as long as its parts.
    void aMixedTextIsSpokenWhole()
    {
        const qsizetype en = SpokenB(u"The dictionary speaks."_qs);
        const qsizetype ku = SpokenB(kParagraph);
        const qsizetype both = SpokenB(u"The dictionary speaks. "_qs + kParagraph);
        QVERIFY(en > 0 && ku > 0);
        QVERIFY2(qAbs(both - (en + ku)) < (en + ku) / 10,
                 qPrintable(QStringLiteral("%1 vs %2 + %3").arg(both).arg(en).arg(ku)));
    }

    void theChosenSpeedAppliesToKurdish()
    {
        const qsizetype slow = SpokenB(kParagraph, (1 + 1) * 35);
        const qsizetype fast = SpokenB(kParagraph, (5 + 1) * 35);
        QVERIFY(slow > 0 && fast > 0);
        QVERIFY2(fast * 2 < slow, qPrintable(QStringLiteral("%1 vs %2").arg(fast).arg(slow)));
    }

    // The reader's order: the text first, then the speed it is read at,
    // which holds for the Kurdish runs as for the English.
    void aSpeedGivenAfterTheTextHoldsForKurdish()
    {
        const QString text = u"Now in Kurdish: "_qs + kParagraph;
        const qsizetype slow = SpokenB(text, 70), fast = SpokenB(text, 210);
        auto audio = std::make_shared<RecordingAudio>(RecordingAudio::Playback::Manual);
        EspeakEngine engine(audio);
        SharedSpeech& b = engine.EngineB();
        b.SetSpeed(70);
        b.Speak(text);
        QVERIFY(EspeakEngine::WaitUntilResting(60000));   // nothing heard yet
        b.SetSpeed(210);
        QElapsedTimer t;
        t.start();
        while (!EspeakEngine::WaitUntilIdle(0) || audio->QueuedMs(0) > 0) {
            QVERIFY(t.elapsed() < 120000);
            audio->Play(200);
            QThread::msleep(1);
        }
        const qsizetype heard = audio->Played(0);
        QVERIFY2(qAbs(heard - fast) < fast / 50 && slow > fast * 2,
                 qPrintable(QStringLiteral("%1, wanted %2, slow %3").arg(heard).arg(fast).arg(slow)));
    }

    void engineASpeaksKurdishToo()
    {
        auto audio = std::make_shared<RecordingAudio>();
        EspeakEngine engine(audio);
        std::unique_ptr<VoiceObject> spt = engine.NewVoice();
        spt->Speak(u"ئاو"_qs, 1);
        QVERIFY(EspeakEngine::WaitUntilIdle(10000));
        const double s = Seconds(audio->Samples(0));
        QVERIFY2(s > 0.2 && s < 1.0, qPrintable(QString::number(s)));
    }

    // Pause holds the reading wherever it is, resume goes on with the same
    // reading, English and Kurdish, once.
    void pauseAndResumeActOnTheWholeReading()
    {
        const QString text = (u"One. "_qs + kParagraph + u" Two. "_qs).repeated(3);
        const qsizetype uninterrupted = SpokenB(text);
        auto audio = std::make_shared<RecordingAudio>();
        EspeakEngine engine(audio);
        SharedSpeech& b = engine.EngineB();
        b.Speak(text);
        QVERIFY(WaitForAudio(*audio));
        b.Pause();
        QVERIFY(EspeakEngine::WaitUntilIdle(10000));
        const qsizetype held = audio->Samples(0);
        QThread::msleep(100);
        QCOMPARE(audio->Samples(0), held);
        QVERIFY(held < uninterrupted);
        b.Resume();
        QVERIFY(EspeakEngine::WaitUntilIdle(20000));
        QVERIFY2(qAbs(audio->Samples(0) - uninterrupted) < uninterrupted / 100,
                 qPrintable(QStringLiteral("%1 vs %2").arg(audio->Samples(0)).arg(uninterrupted)));
    }

    // Stop ends the reading: no later run, Kurdish or English, is spoken.
    void stopEndsTheWholeReading()
    {
        auto audio = std::make_shared<RecordingAudio>();
        EspeakEngine engine(audio);
        SharedSpeech& b = engine.EngineB();
        const QString text = (kParagraph + u" and then English. "_qs).repeated(40);
        b.Speak(text);
        QVERIFY(WaitForAudio(*audio));
        b.Stop();
        QVERIFY(EspeakEngine::WaitUntilIdle(10000));
        const qsizetype stopped = audio->Samples(0);
        QThread::msleep(100);
        QCOMPARE(audio->Samples(0), stopped);
        QVERIFY(Seconds(stopped) < 60);   // far from the whole text
    }

    // Without the Kurdish voice, Kurdish is silent, never spelled out in
    // English; English around it is still heard. Runs in a copy of this
    // program whose eSpeak NG finds data without the voice.
    void withoutTheKurdishVoiceKurdishIsSilent()
    {
        if (qEnvironmentVariableIsSet("KURDISH_TEST_WITHOUT_VOICE")) {
            QVERIFY(EspeakEngine::Phonemes(u"ئاو"_qs, 7).trimmed().isEmpty());
            QCOMPARE(SpokenB(u"ئاو کتێب"_qs), qsizetype(0));
            const qsizetype en = SpokenB(u"The dictionary speaks."_qs);
            const qsizetype mixed = SpokenB(u"The dictionary ئاو speaks."_qs);
            QVERIFY2(qAbs(mixed - en) < en / 5, qPrintable(QStringLiteral("%1 vs %2").arg(mixed).arg(en)));
            const QString ph = EspeakEngine::Phonemes(u"The dictionary ئاو speaks."_qs, 7);
            QVERIFY2(!ph.contains(QLatin1String("ar@bIk")), qPrintable(ph));
            return;
        }
        QTemporaryDir dir;
        QVERIFY(DataWithoutKurdish(dir.path()));
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ESPEAK_DATA_PATH"), dir.path());
        env.insert(QStringLiteral("KURDISH_TEST_WITHOUT_VOICE"), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("withoutTheKurdishVoiceKurdishIsSilent")});
        QVERIFY(child.waitForFinished(120000));
        const QByteArray out = child.readAll();
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, out.constData());
        QVERIFY2(out.contains("PASS   : KurdishSpeechTest::withoutTheKurdishVoiceKurdishIsSilent()"), out.constData());
    }
};

QTEST_GUILESS_MAIN(KurdishSpeechTest)
#include "kurdishspeech_test.moc"
