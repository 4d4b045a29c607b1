#include "varin0.h"

#include "dictionary/varin2.h"
#include "module1.h"
#include "runtime/accessibility.h"
#include "runtime/previnstance.h"
#include "texts.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPainter>

Varin0::Varin0() : Form(nullptr, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(QStringLiteral(" "));
    SetAccessible(this, DictionaryName(), Varin0Name::kWindowAbout);
    banner_ = QPixmap(QStringLiteral(":/images/banner.png"));

    Timer = new FormTimer(this);
    Timer3 = new FormTimer(this);
    Timer2 = new FormTimer(this);
    Timer1 = new FormTimer(this);
    connect(Timer, &FormTimer::Timer, this, &Varin0::Timer_Timer);
    connect(Timer3, &FormTimer::Timer, this, [this] { Unguarded("Timer3_Timer", [this] { Timer3_Timer(); }); });
    connect(Timer2, &FormTimer::Timer, this, [this] { Unguarded("Timer2_Timer", [this] { Timer2_Timer(); }); });
    connect(Timer1, &FormTimer::Timer, this, [this] { Unguarded("Timer1_Timer", [this] { Timer1_Timer(); }); });
}

void Varin0::Form_Load()
{
    // The outer size is the banner's (there is no border): height, then width.
    resize(width(), Twips(1215));
    resize(Twips(4590), height());
    // Centred on its owner; the first window has none, so on the screen.
    CentreOnScreen(this);

    // A second copy is told so, and starts all the same.
    if (PrevInstance())
        UnicodeMsgBox(Varin0Text::kAlreadyRunning, kMbRtlReading, DictionaryName(), QString(), -1);

    Skin1.ApplySkin(this);
    // Qt gives any top-level window a constant alpha; no style bit to set first.
    SetOpacity(0);
    Timer->setInterval(20);
}

void Varin0::paintEvent(QPaintEvent*)
{
    QPainter(this).drawPixmap(rect(), banner_);
}

void Varin0::SetOpacity(int alpha)
{
    opacity_ = alpha;
    setWindowOpacity(alpha / 255.0);
    // The platform buffers the request until something else flushes it (on
    // X, the next event from the server, and a still banner brings none), so
    // the steps would reach the compositor in bursts and the fade not be
    // seen. Each step goes to the window system at its own tick.
    if (isVisible())
        QGuiApplication::sync();
}

void Varin0::Timer_Timer()
{
    // The fade-in skips whatever step fails and goes on.
    ResumeNext({
        [this] { FadeLevel += 25; },
        [this] { SetOpacity(FadeLevel + 5); },
    });
    if (FadeLevel == 250)
        ResumeNext({
            [this] { Timer3->setInterval(1000); },
            [this] { Timer->setInterval(0); },
        });
}

void Varin0::Timer3_Timer()
{
    // The fade-out is armed before the dictionary window loads, so it starts
    // as soon as that load returns.
    Timer2->setInterval(20);
    Timer3->setInterval(0);
    // First reference to the dictionary window: it is created and loaded
    // here, hidden, while the banner covers the wait.
    forms().Varin2().Timer2->setInterval(100);
}

void Varin0::Timer2_Timer()
{
    FadeLevel -= 25;
    SetOpacity(FadeLevel);
    if (FadeLevel == 0) {
        Timer2->setInterval(0);
        Timer1->setInterval(1000);
    }
}

void Varin0::Timer1_Timer()
{
    ::Varin2& dictionary = forms().Varin2();
    // One space until Timer8 puts back the saved search word.
    dictionary.Text->setText(QStringLiteral(" "));
    Timer1->setInterval(0);
    // Hidden, not closed: the splash stays loaded for the rest of the run.
    hide();
    dictionary.show();
    dictionary.Timer8->setInterval(1);
}
