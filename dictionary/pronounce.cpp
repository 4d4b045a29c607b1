// The dictionary window speaks: the current entry whenever it changes, what
// was typed on the speak button, and the entry again when a voice or pitch is
// picked. Item 0 of the voice list is engine A, a voice object made afresh for
// every word, so a new word cuts off the last; items 1 to 18 are engine B's
// voices. A missing or failing engine only silences the step it fails in.
// The Kurdish of the current entry is heard on Enter or a double-click in its
// field; the engines read Arabic script with their Kurdish voice.
#include "varin2.h"

#include "texts.h"
#include "runtime/accessibility.h"
#include "startup/module1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace {

VoiceObject& Voice(const std::unique_ptr<VoiceObject>& spt)
{
    if (!spt)
        throw RuntimeError(QStringLiteral("no voice object"));
    return *spt;
}

// The pitch list's text as a whole number; no selection is no number.
int Pitch(const QString& item)
{
    bool ok = false;
    const int pitch = item.trimmed().toInt(&ok);
    if (!ok)
        throw RuntimeError(QStringLiteral("no pitch chosen"));
    return pitch;
}

// Engine A, in the order the voice object is used: a fresh object (the old
// one falls silent as it goes), its rate and volume, then the text.
void SpeakWithNewVoice(std::unique_ptr<VoiceObject>& spt, int speed, const QString& text)
{
    ResumeNext({
        [&] { spt = Speech().NewVoice(); },
        [&] { Voice(spt).SetRate(speed - 4); },
        [&] { Voice(spt).SetVolume(100); },
        [&] { Voice(spt).Speak(text, 1); },
    });
}

int EngineBSpeed(int speed)
{
    return (speed + 1) * 35;
}

QString CheckCaption(const QCheckBox* box)
{
    return box->isChecked() ? Varin2Text::kYes : Varin2Text::kNo;
}

// A double-click in the Kurdish field speaks it; the field still selects the
// word clicked, as a double-click does.
class KurdishFieldClicks : public QObject {
public:
    explicit KurdishFieldClicks(Varin2* w) : QObject(w), w_(w) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonDblClick)
            Unguarded("Text1_DblClick", [this] { w_->Text1_DblClick(); });
        return false;
    }

private:
    Varin2* w_;
};

}  // namespace

void Varin2::ConnectSpeech()
{
    connect(Command1, &QPushButton::clicked, this, [this] { Unguarded("Command1_Click", [this] { Command1_Click(); }); });
    // Only the user's pick: the load calls the handlers itself when it restores a choice.
    connect(Combo1, &QComboBox::activated, this, [this] { Unguarded("Combo1_Click", [this] { Combo1_Click(); }); });
    connect(Combo4, &QComboBox::activated, this, [this] { Unguarded("Combo4_Click", [this] { Combo4_Click(); }); });
    connect(Check1, &QCheckBox::toggled, this, [this] { Check1_Click(); });
    connect(Check2, &QCheckBox::toggled, this, [this] { Check2_Click(); });
    connect(Timer0, &FormTimer::Timer, this, [this] { Unguarded("Timer0_Timer", [this] { Timer0_Timer(); }); });
    connect(Timer1, &FormTimer::Timer, this, [this] { Timer1_Timer(); });
    Check1_Click();
    Check2_Click();
    connect(Text1, &QLineEdit::returnPressed, this, [this] { Unguarded("Text1_KeyDown", [this] { Text1_KeyDown(Qt::Key_Return); }); });
    Text1->installEventFilter(new KurdishFieldClicks(this));
    SetAccessibleAction(Text1, Varin2Name::kText1About,
                        [this] { Unguarded("Text1_DblClick", [this] { Text1_DblClick(); }); });
}

void Varin2::PronounceCurrentWord()
{
    // The first two seconds after the load speak nothing while the search
    // field is empty: the start-up fills the grid before anyone has asked.
    if (Timer1->Armed() && Text->text().isEmpty())
        return;
    SpeakWithChosenVoice(Text2->text());
}

void Varin2::PronounceCurrentKurdish()
{
    // What the Kurdish field shows, with the chosen voice and speed: its
    // Arabic script is read by the engine's Kurdish voice.
    SpeakWithChosenVoice(Text1->text());
}

void Varin2::SpeakWithChosenVoice(const QString& text)
{
    const int speed = Slider1->value();
    ResumeNext({[] { Speech().EngineB().Stop(); }});
    if (Combo4->currentIndex() == 0) {
        SpeakWithNewVoice(spt, speed, text);
    } else {
        ResumeNext({
            [&] { Speech().EngineB().SetSpeed(EngineBSpeed(speed)); },
            [&] { Speech().EngineB().Speak(text); },
        });
    }
}

void Varin2::Text1_KeyDown(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        PronounceCurrentKurdish();
}

void Varin2::Text1_DblClick()
{
    PronounceCurrentKurdish();
}

void Varin2::Command1_Click()
{
    // Speaks what was typed, not the entry found for it.
    const int speed = Slider1->value();
    const QString typed = Text->text();
    ResumeNext({
        [] { Speech().EngineB().Stop(); },
        [&] {
            if (typed.isEmpty())
                UnicodeMsgBox(Varin2Text::kNothingTyped, kMbRtlReading, DictionaryName(), QString(), -1);
        },
    });
    if (Check1->isChecked()) {
        if (Combo4->currentIndex() == 0) {
            SpeakWithNewVoice(spt, speed, typed);
        } else {
            // The speed is set after the text, so it holds for what comes later.
            ResumeNext({
                [&] { Speech().EngineB().Speak(typed); },
                [&] { Speech().EngineB().SetSpeed(EngineBSpeed(speed)); },
            });
        }
    }
    ResumeNext({[this] { Text1->setText(Text3->text()); }});
}

void Varin2::Combo1_Click()
{
    // A voice of engine B takes the chosen voice and pitch and says the entry
    // at once; engine A says it a moment later, from Timer0.
    const int voice = Combo4->currentIndex();
    if (voice <= 0) {
        Timer0->setInterval(100);
        return;
    }
    ResumeNext({
        [&] { Speech().EngineB().SelectVoice(voice); },
        [this] { Speech().EngineB().SetPitch(Pitch(Combo1->currentText())); },
        [this] { PronounceCurrentWord(); },
    });
}

void Varin2::Combo4_Click()
{
    Combo1_Click();   // both lists act alike
}

void Varin2::Check1_Click()
{
    Check1->setText(CheckCaption(Check1));
}

void Varin2::Check2_Click()
{
    Check2->setText(CheckCaption(Check2));
}

void Varin2::Timer0_Timer()
{
    PronounceCurrentWord();
    Timer0->setInterval(0);
}

void Varin2::Timer1_Timer()
{
    Timer1->setInterval(0);
}
