// Word progress of the eSpeak NG voices: each word of a text is told as its
// first sample is heard, at its place in the whole text, never while the
// voice is held, never after a stop or the voice's release.
#include "audiorecorder.h"
#include "components/espeak.h"
#include "components/wordprogress.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>

namespace {

struct Heard {
    QStringList words;   // as they stand in the text; "<end>" for its end
    std::vector<qsizetype> starts;
    void Tell(const SpokenWord& w)
    {
        words << (w.length == 0 ? QStringLiteral("<end>") : w.text.mid(w.start, w.length));
        starts.push_back(w.start);
    }
};

// Plays the audio in steps of 10 ms, letting the window's thread run, until
// `done` holds or the time is up.
bool PlayUntil(RecordingAudio& audio, const std::function<bool()>& done, int timeoutMs = 20000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < timeoutMs) {
        audio.Play(10);
        QTest::qWait(5);
    }
    return done();
}

const QString kText = QStringLiteral("One small step, for a man. Then another, and another? Yes: the last word");

}  // namespace

class WordProgressTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(EspeakEngine::Available()); }

    void wordInText_data()
    {
        QTest::addColumn<QString>("piece");
        QTest::addColumn<int>("pieceStart");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("spanLength");
        QTest::newRow("first word") << "Hello world" << 0 << 1 << 5 << 0 << 5;
        QTest::newRow("second word, in a later piece") << "Hello world" << 100 << 7 << 5 << 106 << 5;
        QTest::newRow("characters outside the first plane count once") << "a\U0001D400b word" << 0 << 5 << 4 << 5 << 4;
        QTest::newRow("Kurdish") << "ئەمە کتێبە" << 0 << 6 << 5 << 5 << 5;
        QTest::newRow("cut to the piece") << "Hello" << 0 << 3 << 10 << 2 << 3;
        QTest::newRow("past the piece") << "Hello" << 0 << 9 << 2 << 5 << 0;
        QTest::newRow("no position") << "Hello" << 0 << 0 << 2 << 0 << 2;
    }
    void wordInText()
    {
        QFETCH(QString, piece);
        QFETCH(int, pieceStart);
        QFETCH(int, position);
        QFETCH(int, length);
        QFETCH(int, start);
        QFETCH(int, spanLength);
        QCOMPARE(WordInText(piece, pieceStart, position, length), (TextSpan{start, spanLength}));
    }

    void wordByNumber_data()
    {
        QTest::addColumn<QString>("piece");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("word");
        const QString piece = QStringLiteral("ئەمە کتێبە، باشە");
        const QString sent = QStringLiteral("eme ktêbe, başe");
        QTest::newRow("first") << piece << sent << 1 << "ئەمە";
        QTest::newRow("second") << piece << sent << 5 << "کتێبە";
        QTest::newRow("after punctuation") << piece << sent << 12 << "باشە";
        QTest::newRow("inside a word counts as its start") << piece << sent << 7 << "کتێبە";
        QTest::newRow("non-joiner inside, and after the last letter")
            << QStringLiteral("ووشه‌كان ده‌") << QStringLiteral("wûşekan de") << 9 << "ده";
        QTest::newRow("more words sent than the piece has") << piece << QStringLiteral("a b c d") << 7 << "";
    }
    void wordByNumber()
    {
        QFETCH(QString, piece);
        QFETCH(QString, sent);
        QFETCH(int, position);
        QFETCH(QString, word);
        const TextSpan span = WordByNumber(piece, 10, sent, position);
        QCOMPARE(piece.mid(span.start - 10, span.length), word);
    }

    void takeHeard_data()
    {
        QTest::addColumn<qint64>("played");
        QTest::addColumn<QString>("heard");   // "" for none
        QTest::addColumn<int>("left");
        QTest::newRow("up to the first") << qint64(100) << "" << 3;
        QTest::newRow("the first's first sample") << qint64(101) << "a" << 2;
        QTest::newRow("past two: the later") << qint64(250) << "b" << 1;
        QTest::newRow("past all") << qint64(1000) << "c" << 0;
    }
    void takeHeard()
    {
        QFETCH(qint64, played);
        QFETCH(QString, heard);
        QFETCH(int, left);
        std::deque<WordMark> marks = {{100, {"a", 0, 1, {}}}, {200, {"b", 0, 1, {}}}, {300, {"c", 0, 1, {}}}};
        const auto got = TakeHeard(marks, played);
        QCOMPARE(got ? got->word.text : QString(), heard);
        QCOMPARE(int(marks.size()), left);
        QCOMPARE(PlayedSample(22050, 0, 22050), qint64(22050));
        QCOMPARE(PlayedSample(22050, 499, 22050), qint64(11025));   // 499 to 500 ms wait
        QCOMPARE(PlayedSample(100, 1000, 22050), qint64(0));
    }

    // Every word of a text of several pieces, in order, where it stands in
    // the whole text, and then its end, with either engine.
    void wordsAreToldAsTheyAreHeard_data()
    {
        QTest::addColumn<bool>("engineA");
        QTest::newRow("engine B") << false;
        QTest::newRow("engine A") << true;
    }
    void wordsAreToldAsTheyAreHeard()
    {
        QFETCH(bool, engineA);
        auto audio = std::make_shared<RecordingAudio>(RecordingAudio::Playback::Manual);
        EspeakEngine engine(audio);
        Heard heard;
        std::unique_ptr<VoiceObject> voice = engine.NewVoice();
        if (engineA) {
            voice->SetWordListener([&](const SpokenWord& w) { heard.Tell(w); });
            voice->Speak(kText, 1);
        } else {
            engine.EngineB().SetWordListener([&](const SpokenWord& w) { heard.Tell(w); });
            engine.EngineB().Speak(kText);
        }
        // Synthesised but not played: nothing is heard yet.
        QVERIFY(EspeakEngine::WaitUntilIdle(10000) || true);
        QTest::qWait(50);
        QCOMPARE(heard.words, QStringList());
        QVERIFY(PlayUntil(*audio, [&] { return heard.words.contains("<end>"); }));
        const QStringList expected = {"One", "small", "step", "for", "a", "man", "Then", "another", "and",
                                      "another", "Yes", "the", "last", "word", "<end>"};
        // Words heard between two looks are told as the later one: what is
        // told comes in the text's order, each at its place, the end last.
        QCOMPARE(heard.words.last(), QStringLiteral("<end>"));
        QCOMPARE(heard.starts.back(), kText.size());
        QVERIFY2(heard.words.size() > expected.size() / 2, qPrintable(heard.words.join(u' ')));
        qsizetype previous = -1;
        for (size_t i = 0; i + 1 < heard.starts.size(); ++i) {
            QVERIFY2(expected.contains(heard.words[int(i)]), qPrintable(heard.words[int(i)]));
            QCOMPARE(kText.mid(heard.starts[i], heard.words[int(i)].size()), heard.words[int(i)]);
            QVERIFY(heard.starts[i] > previous);
            previous = heard.starts[i];
        }
        engine.EngineB().SetWordListener({});
    }

    // A Kurdish text, read respelled by the Kurdish voice, is followed in
    // its own letters.
    void kurdishWordsAreFoundInTheirOwnLetters()
    {
        const QString text = QStringLiteral("ئەمە کتێبێکی باشە. ئاو و نان");
        auto audio = std::make_shared<RecordingAudio>(RecordingAudio::Playback::Manual);
        EspeakEngine engine(audio);
        Heard heard;
        engine.EngineB().SetWordListener([&](const SpokenWord& w) { heard.Tell(w); });
        engine.EngineB().Speak(text);
        QVERIFY(PlayUntil(*audio, [&] { return heard.words.contains("<end>"); }));
        engine.EngineB().SetWordListener({});
        const QStringList words = text.split(QRegularExpression(QStringLiteral("[\\s.]+")), Qt::SkipEmptyParts);
        heard.words.removeLast();
        QVERIFY2(heard.words.size() >= 3, qPrintable(heard.words.join(u' ')));
        for (const QString& w : heard.words)
            QVERIFY2(words.contains(w), qPrintable(w));
    }

    // Pause holds the words, resume goes on with them; stop ends them; a
    // released voice tells no more.
    void pauseStopAndRelease()
    {
        auto audio = std::make_shared<RecordingAudio>(RecordingAudio::Playback::Manual);
        EspeakEngine engine(audio);
        Heard heard;
        SharedSpeech& b = engine.EngineB();
        b.SetWordListener([&](const SpokenWord& w) { heard.Tell(w); });
        b.Speak(kText);
        QVERIFY(PlayUntil(*audio, [&] { return heard.words.size() >= 3; }));
        b.Pause();
        const QStringList atPause = heard.words;
        for (int i = 0; i < 30; ++i) {
            audio->Play(20);
            QTest::qWait(2);
        }
        QCOMPARE(heard.words, atPause);
        b.Resume();
        QVERIFY(PlayUntil(*audio, [&] { return heard.words.size() > atPause.size(); }));
        QCOMPARE(heard.words.mid(0, atPause.size()), atPause);
        b.Stop();
        const QStringList atStop = heard.words;
        for (int i = 0; i < 100; ++i) {
            audio->Play(50);
            QTest::qWait(1);
        }
        QCOMPARE(heard.words, atStop);
        QVERIFY(!heard.words.contains("<end>"));
        b.SetWordListener({});

        // Engine A: its release ends its words.
        Heard a;
        auto voice = engine.NewVoice();
        voice->SetWordListener([&](const SpokenWord& w) { a.Tell(w); });
        voice->Speak(kText, 1);
        QVERIFY(PlayUntil(*audio, [&] { return a.words.size() >= 2; }));
        voice.reset();
        const QStringList atRelease = a.words;
        for (int i = 0; i < 100; ++i) {
            audio->Play(50);
            QTest::qWait(1);
        }
        QCOMPARE(a.words, atRelease);
    }

    // The word is told within a poll of its first sample being heard, and
    // knows when that was.
    void toldOnTime()
    {
        auto audio = std::make_shared<RecordingAudio>(RecordingAudio::Playback::Manual);
        EspeakEngine engine(audio);
        std::vector<std::chrono::steady_clock::time_point> heardAt;
        engine.EngineB().SetWordListener([&](const SpokenWord& w) { heardAt.push_back(w.heard); });
        engine.EngineB().Speak(QStringLiteral("one two three"));
        QTest::qWait(100);
        QVERIFY(heardAt.empty());
        audio->Play(1);   // the first word's first sample
        QTRY_VERIFY(!heardAt.empty());
        QVERIFY(heardAt.front() <= std::chrono::steady_clock::now());
        engine.EngineB().SetWordListener({});
    }
};

QTEST_MAIN(WordProgressTest)
#include "wordprogress_test.moc"
