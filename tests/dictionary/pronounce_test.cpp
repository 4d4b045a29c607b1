// The dictionary window's pronunciation, against the recording engine: which
// engine operations each handler makes, in which order.
#include "dictionary/texts.h"
#include "dictionary/varin2.h"
#include "reader/varin3.h"
#include "runtime/forms.h"
#include "speechdouble.h"
#include "testkit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QTest>

namespace {

const QList<Pair> kWords = {{"hello", "سڵاو"}, {"help", "یارمەتی"}, {"cat", "پشیلە"}};

// Sets a field without running its change handler.
void Quietly(QLineEdit* field, const QString& text)
{
    const bool was = field->blockSignals(true);
    field->setText(text);
    field->blockSignals(was);
}

const QStringList kEngineA = {"A.new", "A.release", "A.Rate -1", "A.Volume 100"};

}  // namespace

class PronounceTest : public QObject {
    Q_OBJECT
private:
    DataFolder* folder_ = nullptr;
    MsgBoxRecorder* boxes_ = nullptr;
    SpeechRecorder* speech_ = nullptr;

    // The window after its load, with a current entry "hello" and nothing logged.
    Varin2& Window(int voice, const QString& typed, bool guard = false)
    {
        Varin2& w = forms().Varin2();
        w.Timer0->setInterval(0);   // the load's restore of the pitch list armed it
        w.Timer1->setInterval(guard ? 2000 : 0);
        w.Slider1->setValue(3);
        w.Combo1->setCurrentIndex(12);
        w.Combo4->setCurrentIndex(voice);
        Quietly(w.Text, typed);
        Quietly(w.Text2, QStringLiteral("hello"));
        Quietly(w.Text3, QStringLiteral("سڵاو"));
        Quietly(w.Text1, QString());
        speech_->Take();
        return w;
    }

private slots:
    void init()
    {
        folder_ = new DataFolder(kWords);
        boxes_ = new MsgBoxRecorder;
        speech_ = new SpeechRecorder;
    }
    void cleanup()
    {
        forms().Unload();   // the window's voice object goes before the recorder
        delete speech_;
        delete boxes_;
        delete folder_;
    }

    void loadFillsTheListsAndMakesTheVoiceObject()
    {
        Varin2& w = forms().Varin2();
        // The restore selects the saved items as a user would: the pitch
        // (step 3) while no voice is chosen yet defers to Timer0, then the
        // voice object (step 4), then voice 7 (step 7) sets engine B, and the
        // start-up guard keeps the empty search field silent.
        QCOMPARE(speech_->Take(), QStringList({"A.new", "B.Voice 7", "B.Pitch 204"}));
        QCOMPARE(w.Timer0->Interval(), 100);
        QVERIFY(w.spt);
        QCOMPARE(w.Combo4->count(), 19);
        QCOMPARE(w.Combo4->itemText(0), QStringLiteral("Microsoft Sam"));
        QCOMPARE(w.Combo4->itemText(7), Varin2Text::kVoicePrefix + "7");
        QCOMPARE(w.Combo1->count(), 26);
        QCOMPARE(w.Combo1->itemText(12), QStringLiteral("204"));
        QCOMPARE(forms().Varin3().Combo4->count(), 19);
        QCOMPARE(forms().Varin3().Combo1->count(), 26);
        QVERIFY(w.Timer1->Armed());
    }

    void handlers_data()
    {
        QTest::addColumn<QString>("handler");
        QTest::addColumn<int>("voice");
        QTest::addColumn<bool>("check1");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("guard");
        QTest::addColumn<int>("speed");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("boxes");

        const QStringList bHello = {"B.Stop", "B.Speed 140", "B.Speak hello"};
        QTest::newRow("pronounce, voice 7") << "Pronounce" << 7 << true << "he" << false << 3 << bHello << 0;
        QTest::newRow("pronounce, voice 0") << "Pronounce" << 0 << true << "he" << false << 3
                                            << QStringList{"B.Stop"} + kEngineA + QStringList{"A.Speak hello 1"} << 0;
        QTest::newRow("pronounce, no voice chosen") << "Pronounce" << -1 << true << "he" << false << 3 << bHello << 0;
        QTest::newRow("pronounce, slowest") << "Pronounce" << 7 << true << "he" << false << 1
                                            << QStringList{"B.Stop", "B.Speed 70", "B.Speak hello"} << 0;
        QTest::newRow("pronounce, fastest, voice 0") << "Pronounce" << 0 << true << "he" << false << 5
                                                     << QStringList{"B.Stop", "A.new", "A.release", "A.Rate 1",
                                                                    "A.Volume 100", "A.Speak hello 1"} << 0;
        QTest::newRow("pronounce does not depend on Check1") << "Pronounce" << 7 << false << "he" << false << 3 << bHello << 0;
        QTest::newRow("start-up guard, empty search field") << "Pronounce" << 7 << true << "" << true << 3
                                                            << QStringList{} << 0;
        QTest::newRow("start-up guard, something typed") << "Pronounce" << 7 << true << "he" << true << 3 << bHello << 0;
        QTest::newRow("after the guard, empty search field") << "Pronounce" << 7 << true << "" << false << 3 << bHello << 0;

        QTest::newRow("speak button, voice 7") << "Command1" << 7 << true << "cat" << false << 3
                                               << QStringList{"B.Stop", "B.Speak cat", "B.Speed 140"} << 0;
        QTest::newRow("speak button, voice 0") << "Command1" << 0 << true << "cat" << false << 3
                                               << QStringList{"B.Stop"} + kEngineA + QStringList{"A.Speak cat 1"} << 0;
        QTest::newRow("speak button, Check1 off") << "Command1" << 7 << false << "cat" << false << 3
                                                  << QStringList{"B.Stop"} << 0;
        QTest::newRow("speak button, nothing typed") << "Command1" << 7 << true << "" << false << 3
                                                     << QStringList{"B.Stop", "B.Speak ", "B.Speed 140"} << 1;
        QTest::newRow("speak button, nothing typed, Check1 off") << "Command1" << 0 << false << "" << false << 3
                                                                 << QStringList{"B.Stop"} << 1;

        const QStringList pick7 = QStringList{"B.Voice 7", "B.Pitch 204"} + bHello;
        QTest::newRow("voice list, voice 7") << "Combo4" << 7 << true << "he" << false << 3 << pick7 << 0;
        QTest::newRow("pitch list, voice 7") << "Combo1" << 7 << true << "he" << false << 3 << pick7 << 0;
        QTest::newRow("voice list, voice 18") << "Combo4" << 18 << true << "he" << false << 3
                                              << QStringList{"B.Voice 18", "B.Pitch 204"} + bHello << 0;
        QTest::newRow("voice list, voice 0: later") << "Combo4" << 0 << true << "he" << false << 3 << QStringList{} << 0;
        QTest::newRow("voice list, nothing chosen: later") << "Combo4" << -1 << true << "he" << false << 3
                                                           << QStringList{} << 0;
    }
    void handlers()
    {
        QFETCH(QString, handler);
        QFETCH(int, voice);
        QFETCH(bool, check1);
        QFETCH(QString, typed);
        QFETCH(bool, guard);
        QFETCH(int, speed);
        QFETCH(QStringList, expected);
        QFETCH(int, boxes);

        Varin2& w = Window(voice, typed, guard);
        w.Check1->setChecked(check1);
        w.Slider1->setValue(speed);
        if (handler == "Pronounce")
            w.PronounceCurrentWord();
        else if (handler == "Command1")
            w.Command1_Click();
        else if (handler == "Combo4")
            w.Combo4_Click();
        else
            w.Combo1_Click();
        QCOMPARE(speech_->Take(), expected);
        QCOMPARE(boxes_->calls.size(), boxes);
        if (boxes) {
            const MsgBoxCall& box = boxes_->calls.first();
            QCOMPARE(box.prompt, Varin2Text::kNothingTyped);
            QCOMPARE(box.flags, kMbRtlReading);
            QCOMPARE(box.title, DictionaryName());
        }
        if (handler == "Command1")
            QCOMPARE(w.Text1->text(), QStringLiteral("سڵاو"));   // the entry shows, spoken or not
        QCOMPARE(w.Timer0->Interval(), handler.startsWith("Combo") && voice <= 0 ? 100 : 0);
    }

    void theSpeakButtonSpeaksAtTheSliderSpeed_data()
    {
        QTest::addColumn<int>("slider");
        QTest::addColumn<int>("speed");
        QTest::newRow("slowest") << 1 << 70;
        QTest::newRow("fastest") << 5 << 210;
    }
    void theSpeakButtonSpeaksAtTheSliderSpeed()
    {
        // The button sets engine B's speed after the text; the text is still
        // spoken at it, not at the speed the engine had before.
        QFETCH(int, slider);
        QFETCH(int, speed);
        Varin2& w = Window(7, QStringLiteral("cat"));
        w.PronounceCurrentWord();   // speed 140, from the slider's 3
        QCoreApplication::processEvents();
        w.Slider1->setValue(slider);
        speech_->spoken.clear();
        w.Command1_Click();
        QCoreApplication::processEvents();
        QCOMPARE(speech_->spoken.size(), 1);
        const SpeechRecorder::Spoken& said = speech_->spoken.first();
        QCOMPARE(said.text, QStringLiteral("cat"));
        QCOMPARE(said.given.speed, 140);
        QVERIFY(said.spoken);
        QCOMPARE(said.heard.speed, speed);
    }

    void engineAIsPickedAMomentLater()
    {
        Varin2& w = Window(0, QStringLiteral("he"));
        w.Combo4_Click();
        QVERIFY(speech_->Take().isEmpty());
        w.Timer0->Fire();
        QCOMPARE(speech_->Take(), QStringList{"B.Stop"} + kEngineA + QStringList{"A.Speak hello 1"});
        QCOMPARE(w.Timer0->Interval(), 0);
    }

    void aPitchListWithoutChoiceSkipsOnlyThePitch()
    {
        Varin2& w = Window(7, QStringLiteral("he"));
        w.Combo1->setCurrentIndex(-1);
        w.Combo4_Click();
        QCOMPARE(speech_->Take(), (QStringList{"B.Voice 7", "B.Stop", "B.Speed 140", "B.Speak hello"}));
    }

    void failingStepsAreSkipped_data()
    {
        QTest::addColumn<int>("voice");
        QTest::addColumn<bool>("failA");
        QTest::addColumn<bool>("failB");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("engine B missing") << 7 << false << true
                                          << QStringList{"B.Voice 7", "B.Pitch 204", "B.Stop", "B.Speed 140", "B.Speak hello"};
        // With no voice object to be had, the old one keeps speaking.
        QTest::newRow("engine A missing") << 0 << true << false
                                          << QStringList{"B.Stop", "A.new", "A.Rate -1", "A.Volume 100", "A.Speak hello 1"};
    }
    void failingStepsAreSkipped()
    {
        QFETCH(int, voice);
        QFETCH(bool, failA);
        QFETCH(bool, failB);
        QFETCH(QStringList, expected);
        Varin2& w = Window(voice, QStringLiteral("he"));
        speech_->failA = failA;
        speech_->failB = failB;
        if (voice == 0) {
            w.Combo4_Click();
            w.Timer0->Fire();
        } else {
            w.Combo4_Click();
        }
        QCOMPARE(speech_->Take(), expected);
        QVERIFY(boxes_->calls.isEmpty());
        speech_->failA = speech_->failB = false;
    }

    void checkBoxCaptions()
    {
        Varin2& w = forms().Varin2();
        for (bool on : {true, false, true}) {
            w.Check1->setChecked(on);
            w.Check2->setChecked(!on);
            QCOMPARE(w.Check1->text(), on ? Varin2Text::kYes : Varin2Text::kNo);
            QCOMPARE(w.Check2->text(), on ? Varin2Text::kNo : Varin2Text::kYes);
        }
    }

    void theStartUpGuardEndsAfterItsTick()
    {
        Varin2& w = forms().Varin2();
        QCOMPARE(w.Timer1->Interval(), 2000);
        w.Timer1->Fire();
        QCOMPARE(w.Timer1->Interval(), 0);
    }

    void typingSpeaksTheEntryFound()
    {
        Varin2& w = Window(7, QString());
        w.Text->setText(QStringLiteral("ca"));   // the look-up moves to "cat"
        QCOMPARE(speech_->Take(), (QStringList{"B.Stop", "B.Speed 140", "B.Speak cat"}));
        w.DataGrid1_Click();
        QCOMPARE(speech_->Take(), (QStringList{"B.Stop", "B.Speed 140", "B.Speak cat"}));
    }

    void theUserPickingAVoiceSpeaks()
    {
        Varin2& w = Window(7, QStringLiteral("he"));
        w.Combo4->setCurrentIndex(3);
        QVERIFY(speech_->Take().isEmpty());   // a choice made by code is not a click
        emit w.Combo4->activated(3);
        QCOMPARE(speech_->Take(), (QStringList{"B.Voice 3", "B.Pitch 204", "B.Stop", "B.Speed 140", "B.Speak hello"}));
    }
};

QTEST_MAIN(PronounceTest)
#include "pronounce_test.moc"
