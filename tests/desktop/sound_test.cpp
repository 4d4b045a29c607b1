// Speech as a user hears it: keys typed into the real window on a real X
// server, the program's own engines and sound output, and a PulseAudio server
// of the test's own whose null sink is recorded from its monitor. The sound
// server goes away and comes back, or comes only after the program started.
#include "components/audio.h"
#include "components/espeak.h"
#include "components/speech.h"
#include "desktopkit.h"
#include "dictionary/varin2.h"
#include "runtime/application.h"
#include "runtime/forms.h"
#include "testkit.h"

#include <QLineEdit>
#include <QTest>

namespace {

const QList<Pair> kWords = {
    {"water", "ئاو"}, {"bread", "نان"}, {"house", "خانوو"}, {"school", "قوتابخانە"},
};

}  // namespace

class SoundTest : public QObject {
    Q_OBJECT
public:
    explicit SoundTest(Desktop* desktop) : desktop_(desktop) {}

private:
    Desktop* desktop_;
    DataFolder* folder_ = nullptr;
    MsgBoxRecorder* boxes_ = nullptr;
    MonitorRecorder monitor_;

    // The window as the program shows it, with the program's engines, its
    // first clipboard capture done (the clipboard is empty) so that it does
    // not empty the field later.
    Varin2& Shown()
    {
        SetSpeech(std::make_unique<EspeakEngine>(MakeSpeakerOutput()));
        Varin2& w = forms().Varin2();
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            qFatal("window not exposed");
        w.Timer3->Fire();
        w.activateWindow();
        if (!FocusWindow(w.winId()))
            qFatal("no focus");
        w.Text->setFocus();
        return w;
    }

    // Types `word` into the emptied search field with real key events.
    bool Typed(Varin2& w, const QString& word)
    {
        w.Text->clear();
        return SendKeys(word) && QTest::qWaitFor([&] { return w.Text->text() == word; }, 10000);
    }

    // Whether speech reached the sink after `since`: not silent, and loud
    // enough over the next second to be a word.
    bool HeardAfter(DesktopClock::time_point since)
    {
        DesktopClock::time_point first;
        if (!QTest::qWaitFor([&] { return monitor_.FirstLoudAfter(since, 0, &first); }, 15000))
            return false;
        QTest::qWait(1000);
        const double rms = monitor_.RmsAfter(first);
        qInfo("heard %.0f ms after the first key, loudness (RMS) %.0f",
              std::chrono::duration<double, std::milli>(first - since).count(), rms);
        return rms > 100;
    }

    bool Listening()
    {
        return desktop_->StartSound() && monitor_.Start();
    }

private slots:
    void init()
    {
        folder_ = new DataFolder(kWords);
        boxes_ = new MsgBoxRecorder;
    }
    void cleanup()
    {
        forms().Unload();
        SetSpeech(nullptr);
        monitor_.Stop();
        QVERIFY(boxes_->calls.isEmpty());
        delete boxes_;
        delete folder_;
    }

    void typedWordIsHeard()
    {
        QVERIFY(Listening());
        Varin2& w = Shown();
        const auto before = DesktopClock::now();
        QVERIFY(Typed(w, QStringLiteral("water")));
        QCOMPARE(w.Text2->text(), QStringLiteral("water"));
        QVERIFY(HeardAfter(before));
    }

    // The sound server dies (as at a crash or a device switch) and comes back:
    // the word typed after it is back is heard.
    void soundServerRestarted()
    {
        QVERIFY(Listening());
        Varin2& w = Shown();
        auto mark = DesktopClock::now();
        QVERIFY(Typed(w, QStringLiteral("bread")));
        QVERIFY(HeardAfter(mark));

        monitor_.Stop();
        desktop_->KillSound();
        QVERIFY(Typed(w, QStringLiteral("house")));   // nobody to hear it; nothing hangs
        QTest::qWait(500);
        QVERIFY(Listening());
        QTest::qWait(1000);
        mark = DesktopClock::now();
        QVERIFY(Typed(w, QStringLiteral("school")));
        QVERIFY(HeardAfter(mark));
    }

    // Started before the sound server (as at login): silent at first, then
    // the first word typed once the server is up is heard. CTest runs it in
    // a process of its own, where nothing has talked to a sound server before.
    void startedBeforeSoundServer()
    {
        desktop_->KillSound();
        Varin2& w = Shown();
        QVERIFY(Typed(w, QStringLiteral("water")));
        QTest::qWait(500);
        QVERIFY(Listening());
        QTest::qWait(1000);
        const auto mark = DesktopClock::now();
        QVERIFY(Typed(w, QStringLiteral("house")));
        QVERIFY(HeardAfter(mark));
    }
};

VARIN_DESKTOP_MAIN(SoundTest)
#include "sound_test.moc"
