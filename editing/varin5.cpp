#include "varin5.h"

#include "modal.h"
#include "texts.h"
#include "dictionary/varin2.h"
#include "startup/module1.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kWidth = 9105;

QLabel* MakeLabel(QWidget* parent, const QString& text, Qt::Alignment align)
{
    auto* l = new QLabel(text, parent);
    l->setFont(KurdishFont(8.25));
    l->setAlignment(align | Qt::AlignAbsolute | Qt::AlignVCenter);   // Kurdish text would flip a plain right
    return l;
}

QLineEdit* MakeField(QWidget* parent, int top)
{
    auto* f = new QLineEdit(parent);
    f->setFont(KurdishFont(8.25, true));
    // The fields show the entry the delete acts on; typing would only make
    // them disagree with it.
    f->setReadOnly(true);
    PlaceTwips(f, 120, top, kWidth - 240, 375);
    return f;
}

QPushButton* MakeButton(QWidget* parent, const QString& caption, const QString& tip, int left, int width)
{
    auto* b = new QPushButton(caption, parent);
    b->setToolTip(tip);
    b->setFont(KurdishFont(8.25, true));
    b->setAutoDefault(false);
    PlaceTwips(b, left, 1860, width, 420);
    return b;
}

WordStore& Store() { return *forms().Varin2().Data1; }

}  // namespace

Varin5::Varin5() : Form(nullptr, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                                     | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Varin5"));
    setWindowTitle(Varin5Text::kCaption);
    setFixedSize(Twips(kWidth), Twips(2460));

    SkinLabel1 = MakeLabel(this, Varin5Text::kSkinLabel1, Qt::AlignLeft);
    SkinLabel3 = MakeLabel(this, Varin5Text::kSkinLabel3, Qt::AlignRight);
    PlaceLabelPair(SkinLabel1, SkinLabel3, 120, kWidth);
    Text1 = MakeField(this, 405);
    Text1->setLayoutDirection(Qt::RightToLeft);
    SkinLabel2 = MakeLabel(this, Varin5Text::kSkinLabel2, Qt::AlignLeft);
    SkinLabel4 = MakeLabel(this, Varin5Text::kSkinLabel4, Qt::AlignRight);
    PlaceLabelPair(SkinLabel2, SkinLabel4, 900, kWidth);
    Text2 = MakeField(this, 1185);
    Text3 = new QLineEdit(this);
    Text3->hide();

    // The button row: close at the left; at the right the four moves, then delete.
    Command1 = MakeButton(this, EditingText::kClose, EditingText::kCloseTip, 120, 1215);
    const int deleteLeft = kWidth - 120 - 1215;
    Command2 = MakeButton(this, Varin5Text::kCommand2, Varin5Text::kCommand2, deleteLeft, 1215);
    const int squares = deleteLeft - 120 - 4 * 420;
    Command5 = MakeButton(this, QStringLiteral("<<"), Varin5Text::kCommand5Tip, squares, 420);
    Command4 = MakeButton(this, QStringLiteral("<"), Varin5Text::kCommand4Tip, squares + 420, 420);
    Command3 = MakeButton(this, QStringLiteral(">"), Varin5Text::kCommand3Tip, squares + 840, 420);
    Command6 = MakeButton(this, QStringLiteral(">>"), Varin5Text::kCommand6Tip, squares + 1260, 420);
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Command2);
    setTabOrder(Command2, Command4);
    setTabOrder(Command4, Command3);
    setTabOrder(Command3, Command5);
    setTabOrder(Command5, Command6);
    setTabOrder(Command6, Command1);
    setFocusProxy(Command2);

    Timer2 = new FormTimer(this);

    connect(Command2, &QPushButton::clicked, this, [this] { Handle("Command2_Click", &Varin5::Command2_Click); });
    connect(Command6, &QPushButton::clicked, this, [this] { Handle("Command6_Click", &Varin5::Command6_Click); });
    connect(Command5, &QPushButton::clicked, this, [this] { Handle("Command5_Click", &Varin5::Command5_Click); });
    connect(Command3, &QPushButton::clicked, this, [this] { Handle("Command3_Click", &Varin5::Command3_Click); });
    connect(Command4, &QPushButton::clicked, this, [this] { Handle("Command4_Click", &Varin5::Command4_Click); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Timer2, &FormTimer::Timer, this, [this] { Handle("Timer2_Timer", &Varin5::Timer2_Timer); });
    CloseOnEscape({Command1, Command2, Command3, Command4, Command5, Command6, Text1, Text2},
                  [this] { Command1_Click(); });
}

void Varin5::Handle(const char* name, void (Varin5::*handler)())
{
    Unguarded(name, [this, handler] { (this->*handler)(); });
}

void Varin5::Form_Load()
{
    Skin1.ApplySkin(this);
}

void Varin5::closeEvent(QCloseEvent* event)
{
    bool cancel = false;
    Form_QueryUnload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

void Varin5::Form_QueryUnload(bool& cancel)
{
    // Only the close button and Escape hide the window.
    cancel = true;
}

void Varin5::ShowCurrentEntry()
{
    Varin2& v2 = forms().Varin2();
    Text1->setText(v2.Text3->text());
    Text2->setText(v2.Text2->text());
    Text3->setText(v2.Text5->text());
    const WordStore& store = *v2.Data1;
    shown_ = store.Position() >= 0;
    shownId_ = shown_ ? store.Current().Id : 0;
}

// Every move below first makes sure there is an entry to move to: with an
// empty result the buttons do nothing.

void Varin5::Command6_Click()
{
    if (Store().RowCount() == 0)
        return;
    Store().MoveFirst();
    ShowCurrentEntry();
}

void Varin5::Command5_Click()
{
    if (Store().RowCount() == 0)
        return;
    Store().MoveLast();
    ShowCurrentEntry();
}

void Varin5::Command3_Click()
{
    WordStore& store = Store();
    if (store.RowCount() == 0)
        return;
    if (store.AtBOF()) {
        store.MoveFirst();
        return;
    }
    store.MovePrevious();
    ShowCurrentEntry();
}

void Varin5::Command4_Click()
{
    WordStore& store = Store();
    if (store.RowCount() == 0)
        return;
    if (store.AtEOF()) {
        store.MoveLast();
        return;
    }
    store.MoveNext();
    ShowCurrentEntry();
}

void Varin5::Command2_Click()
{
    if (Text1->text().isEmpty() && Text2->text().isEmpty()) {
        UnicodeMsgBox(Varin5Text::kNothingSelected, kMbOk, EditingText::kTitle, QString(), -1);
        return;
    }
    const QString english = Text2->text();
    const int answer = UnicodeMsgBox(Varin5Text::kAskBefore + english + Varin5Text::kAskAfter, kMbOkCancel,
                                     EditingText::kTitle, QString(), -1);
    if (answer != kIdOk)
        return;
    if (!Text3->text().isEmpty()) {
        UnicodeMsgBox(Varin5Text::kRefused, kMbRtlReading, EditingText::kTitle, QString(), -1);
        return;
    }
    // The fields show an entry the cursor may since have left (a look-up can
    // run while the window is open): delete that entry, by its identity, and
    // only if it is still there and still a user's.
    if (!shown_) {
        UnicodeMsgBox(Varin5Text::kNothingSelected, kMbOk, EditingText::kTitle, QString(), -1);
        return;
    }
    WordStore::DeleteOutcome outcome;
    try {
        outcome = Store().DeleteUserEntry(shownId_);
    } catch (const StoreError& e) {
        UnicodeMsgBox(Varin5Text::kDeleteFailed.arg(english, e.message()), kMbRtlReading | kMbIconError,
                      EditingText::kTitle, QString(), -1);
        return;
    }
    switch (outcome) {
    case WordStore::DeleteOutcome::Deleted:
        shown_ = false;
        Timer2->setInterval(100);
        break;
    case WordStore::DeleteOutcome::Gone:
        shown_ = false;
        UnicodeMsgBox(Varin5Text::kGone.arg(english), kMbRtlReading, EditingText::kTitle, QString(), -1);
        break;
    case WordStore::DeleteOutcome::BuiltIn:
        UnicodeMsgBox(Varin5Text::kRefused, kMbRtlReading, EditingText::kTitle, QString(), -1);
        break;
    }
}

void Varin5::Timer2_Timer()
{
    // Back to the entry before the deleted one; from the first entry that is
    // before the first, and the fields empty.
    WordStore& store = Store();
    if (!store.AtBOF())
        store.MovePrevious();
    ShowCurrentEntry();
    Timer2->setInterval(0);
}

void Varin5::Command1_Click()
{
    Varin2& v2 = forms().Varin2();
    ResumeNext({
        [this] { hide(); },
        [&] { v2.Data1->MoveFirst(); },
        [&] { v2.Text->setText(QString()); },
        [&] { v2.Timer8->setInterval(100); },
    });
}

// The dictionary window's delete button.
void Varin2::Command7_Click()
{
    ::Varin5& w = forms().Varin5();
    w.move(w.x(), y() + Twips(1300));
    w.move(x() + Twips(900), w.y());
    w.ShowCurrentEntry();
    ShowModally(&w);
}
