#include "varin1.h"

#include "about/texts.h"
#include "dictionary/varin2.h"
#include "runtime/accessibility.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>
#include <cmath>

namespace {

constexpr int kDesignWidth = 11940;
constexpr int kDesignHeight = 8250;
constexpr int kLoadWidth = 6645;
constexpr int kLetterTop = 7825;

QPushButton* MakeButton(QWidget* parent, const QString& caption, const QString& tip,
                        int left, int top, int width, int height)
{
    auto* b = new QPushButton(caption, parent);
    b->setToolTip(tip);
    b->setFont(KurdishFont(9, true));
    PlaceTwips(b, left, top, width, height);
    return b;
}

QLineEdit* MakeCounter(QWidget* parent, const char* name, const char* value)
{
    auto* field = new QLineEdit(QString::fromLatin1(value), parent);
    field->setObjectName(QString::fromLatin1(name));
    field->hide();
    return field;
}

}  // namespace

Varin1::Varin1() : Form(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("Varin1"));
    // Closing unloads the window: it is destroyed, and the next reference
    // builds it again from the design.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, false);
    setWindowTitle(QStringLiteral(" "));
    BuildControls();
    setWidth(kDesignWidth);
}

void Varin1::BuildControls()
{
    setFixedHeight(Twips(kDesignHeight));

    Picture1 = new PictureBox(this, QStringLiteral(":/images/about-background.png"));
    Picture1->Place(0, 0, 6630, 8280);
    SFlash1 = new MoviePlayer(Picture1);
    PlaceTwips(SFlash1, 840, 840, 4935, 6615);
    Pi2 = new PictureBox(Picture1, QStringLiteral(":/images/about-middle.png"));
    Pi2->Place(870, 2760, 3660, 480);
    Pi2->hide();
    Pi9 = new PictureBox(this, QStringLiteral(":/images/about-upper.png"));
    Pi9->Place(880, 920, 4920, 1755);
    Pi9->hide();
    Pi1 = new PictureBox(this, QStringLiteral(":/images/about-lower.png"));
    Pi1->Place(900, 6720, 3300, 720);
    Pi1->hide();
    Command2 = MakeButton(this, Varin1Text::kCommand2, Varin1Text::kCommand2Tip, 4560, 6720, 1125, 375);
    Command2->setEnabled(false);
    Command1 = MakeButton(this, Varin1Text::kCommand1, Varin1Text::kCommand1Tip, 4560, 7080, 1125, 345);
    Command1->setEnabled(false);

    Picture4 = new PictureBox(this, QStringLiteral(":/images/about-banner-top.png"));
    Picture4->Place(6720, -330, 5895, 615);
    Picture2 = new PictureBox(this, QStringLiteral(":/images/about-letter.png"));
    Picture2->Place(6760, 7800, 5475, 19290);
    Picture3 = new PictureBox(this, QStringLiteral(":/images/about-banner-bottom.png"));
    Picture3->Place(6840, 7890, 5910, 615);
    Command3 = MakeButton(this, Varin1Text::kCommand3, QString(), 11040, 7920, 1215, 375);

    // Front to back: the top banner; the buttons; Pi1; Pi9; the background
    // (inside it Pi2 over the movie); the bottom banner; the letter. So the
    // letter passes behind both banners.
    for (QWidget* w : std::initializer_list<QWidget*>{Picture2, Picture3, Picture1, Pi9, Pi1, Command3,
                                                       Command2, Command1, Picture4})
        w->raise();
    Pi2->raise();

    using namespace Varin1Name;
    SetAccessible({
        {this, kWindow, kWindowAbout}, {Picture1, kPicture1}, {SFlash1, kSFlash1, kSFlash1About},
        {Pi2, kPi2}, {Pi9, kPi9}, {Pi1, kPi1}, {Command1, kCommand1},
        {Command3, kCommand3, kCommand3About}, {Picture4, kPicture4},
        {Picture2, kPicture2, kPicture2About}, {Picture3, kPicture3},
    });
    SetAccessibleRole({Picture1, Pi2, Pi9, Pi1, Picture4, Picture2, Picture3}, QAccessible::Graphic);
    SetAccessibleRole({SFlash1}, QAccessible::Animation);

    T10 = MakeCounter(this, "T10", "0");
    T1 = MakeCounter(this, "T1", "15");
    TT1 = MakeCounter(this, "TT1", "0");
    Red = MakeCounter(this, "Red", "0");

    const auto timer = [this](void (Varin1::*tick)(), const char* name) {
        auto* t = new FormTimer(this);
        connect(t, &FormTimer::Timer, this, [this, tick, name] { Unguarded(name, [this, tick] { (this->*tick)(); }); });
        return t;
    };
    Tim = timer(&Varin1::Tim_Timer, "Tim_Timer");
    Timer10 = timer(&Varin1::Timer10_Timer, "Timer10_Timer");
    Timer8 = timer(&Varin1::Timer8_Timer, "Timer8_Timer");
    Timer1 = timer(&Varin1::Timer1_Timer, "Timer1_Timer");
    Timer9 = timer(&Varin1::Timer9_Timer, "Timer9_Timer");
    Timer12 = timer(&Varin1::Timer12_Timer, "Timer12_Timer");
    Timer2 = timer(&Varin1::Timer2_Timer, "Timer2_Timer");
    Timer13 = timer(&Varin1::Timer13_Timer, "Timer13_Timer");
    Timer14 = timer(&Varin1::Timer14_Timer, "Timer14_Timer");

    const auto click = [this](QPushButton* b, void (Varin1::*handler)(), const char* name) {
        connect(b, &QPushButton::clicked, this,
                [this, handler, name] { Unguarded(name, [this, handler] { (this->*handler)(); }); });
    };
    click(Command1, &Varin1::Command1_Click, "Command1_Click");
    click(Command2, &Varin1::Command2_Click, "Command2_Click");
    click(Command3, &Varin1::Command3_Click, "Command3_Click");
}

void Varin1::Form_Load()
{
    setWidth(kLoadWidth);
    SFlash1->setMovie(QCoreApplication::applicationDirPath() + QStringLiteral("/Data/By.swf"));
    Skin1.ApplySkin(this);
    // The skin's light ground would show as seams beside the pictures; this
    // window wears the navy of its pictures instead, and its buttons show
    // when they cannot be used (during the animations). Polished first: a
    // second sheet set before that is ignored.
    ensurePolished();
    setStyleSheet(styleSheet()
                  + QStringLiteral("#Varin1 { background: #0d2645; }"
                                   " QPushButton:disabled { color: #8c9cae; background: #dfe6ed; }"));
    Tim->setInterval(1000);
}

int Varin1::Count(const QLineEdit* field)
{
    return LeadingNumber(field->text());
}

void Varin1::SetCount(QLineEdit* field, int value)
{
    field->setText(QString::number(value));
}

double Varin1::Left() const
{
    // A move by the user or the window system wins over the kept fraction.
    return x() == placedX_ ? left_ : x() * 15.0;
}

void Varin1::setLeft(double twips)
{
    left_ = twips;
    placedX_ = static_cast<int>(std::lround(twips / 15.0));
    move(placedX_, y());
}

void Varin1::setWidth(int twips)
{
    width_ = twips;
    setFixedWidth(std::max(1, static_cast<int>(std::lround(twips / 15.0))));
}

void Varin1::ShowModal(QWidget* owner)
{
    setWindowModality(Qt::ApplicationModal);
    if (owner) {
        winId();
        if (QWindow* handle = windowHandle())
            handle->setTransientParent(owner->window()->windowHandle());
        const QRect o = owner->window()->frameGeometry();
        move(o.center() - QPoint(width() / 2, height() / 2));
    } else {
        CentreOnScreen(this);
    }
    setLeft(x() * 15.0);
    show();
}

// The opening: Pi9 is uncovered from the top down; at 1000 twips Pi1 starts
// to slide in from behind x 5780; once it stands at 925 the middle picture
// shows and the buttons wake.

void Varin1::Tim_Timer()
{
    Timer10->setInterval(10);
    Tim->setInterval(0);
}

void Varin1::Timer10_Timer()
{
    Pi9->show();
    Pi9->setHeight(Count(T10) + 50);
    SetCount(T10, Count(T10) + 25);
    if (Pi9->Height() == 1750)
        Timer10->setInterval(0);
    if (Pi9->Height() == 1000)
        Timer8->setInterval(10);
}

void Varin1::Timer8_Timer()
{
    Pi1->show();
    Pi1->Place(9000 - Count(T1) - 3260, Pi1->Top(), Count(T1) + 40, Pi1->Height());
    if (Count(T1) == 3265) {
        Timer8->setInterval(0);
        Timer1->setInterval(10);
    }
    SetCount(T1, Count(T1) + 50);
}

void Varin1::Timer1_Timer()
{
    Pi1->show();
    Pi1->setLeft(9000 - Count(T1) - 3260);
    if (Count(T1) > 4800) {
        Timer1->setInterval(0);
        Pi2->show();
        Command1->setEnabled(true);
        Command2->setEnabled(true);
    }
    SetCount(T1, Count(T1) + 50);
}

void Varin1::Command1_Click()
{
    forms().Varin2().Timer2->setInterval(800);
    close();
}

// The thanks letter: the window slides left, widens over the right panel and
// the letter scrolls up between the banners.

void Varin1::Command2_Click()
{
    Picture2->setTop(kLetterTop);
    SetCount(TT1, 0);
    SetCount(Red, 0);
    Timer9->setInterval(10);
    Command1->setEnabled(false);
    Command2->setEnabled(false);
}

void Varin1::Timer9_Timer()
{
    ResumeNext({
        [this] { SetCount(Red, Count(Red) + 300); },
        [this] { setLeft(Left() - Count(Red) / 40.0); },
        [this] {
            if (ResumeNextTest([this] { return Count(Red) > 7800; }))
                ResumeNext({
                    [this] { SetCount(Red, 0); },
                    [this] { Timer9->setInterval(0); },
                    [this] { Timer12->setInterval(30); },
                });
        },
    });
}

void Varin1::Timer12_Timer()
{
    ResumeNext({
        [this] { SetCount(Red, Count(Red) + 50); },
        [this] { setWidth(Width() + Count(Red) - 10); },
        [this] {
            if (ResumeNextTest([this] { return Count(Red) > 700; }))
                ResumeNext({
                    [this] { SetCount(Red, 0); },
                    [this] { Timer12->setInterval(0); },
                    [this] { Timer2->setInterval(50); },
                });
        },
    });
}

void Varin1::Timer2_Timer()
{
    Picture2->setTop(kLetterTop - Count(TT1));
    SetCount(TT1, Count(TT1) + 60);
    if (Count(TT1) > 20000)
        Timer2->setInterval(0);
}

// Back from the letter: the slide right covers 2250 of the 2835 twips the
// slide left went, so each full letter leaves the window 585 twips further
// left, as it always has.

void Varin1::Command3_Click()
{
    Timer13->setInterval(10);
    Timer2->setInterval(0);
}

void Varin1::Timer13_Timer()
{
    SetCount(Red, Count(Red) + 300);
    setLeft(Left() + Count(Red) / 40.0);
    if (Count(Red) > 7000) {
        SetCount(Red, 0);
        Timer13->setInterval(0);
        Timer14->setInterval(30);
    }
}

void Varin1::Timer14_Timer()
{
    SetCount(Red, Count(Red) + 50);
    setWidth(Width() - (Count(Red) - 8));
    if (Count(Red) > 650) {
        SetCount(Red, 0);
        Timer14->setInterval(0);
        Picture2->setTop(kLetterTop);
        setWidth(6680);
        Command1->setEnabled(true);
        Command2->setEnabled(true);
    }
}
