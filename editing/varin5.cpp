#include "varin5.h"

#include "runtime/accessibility.h"
#include "editwindow.h"
#include "texts.h"
#include "dictionary/varin2.h"
#include "startup/module1.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

WordStore& Store() { return *forms().Varin2().Data1; }

}  // namespace

Varin5::Varin5()
{
    setObjectName(QStringLiteral("Varin5"));
    setWindowTitle(Varin5Text::kCaption);

    SkinLabel1 = MakeEditLabel(this, Varin5Text::kSkinLabel1, Qt::AlignLeft);
    SkinLabel3 = MakeEditLabel(this, Varin5Text::kSkinLabel3, Qt::AlignRight);
    PlaceLabelPair(SkinLabel1, SkinLabel3, 120, kEditWindowWidth);
    // The fields show the entry the delete acts on; typing would only make
    // them disagree with it.
    Text1 = MakeEditField(this, 405, true);
    Text1->setReadOnly(true);
    Text1->setLayoutDirection(Qt::RightToLeft);
    SkinLabel2 = MakeEditLabel(this, Varin5Text::kSkinLabel2, Qt::AlignLeft);
    SkinLabel4 = MakeEditLabel(this, Varin5Text::kSkinLabel4, Qt::AlignRight);
    PlaceLabelPair(SkinLabel2, SkinLabel4, 900, kEditWindowWidth);
    Text2 = MakeEditField(this, 1185, true);
    Text2->setReadOnly(true);
    Text3 = new QLineEdit(this);
    Text3->hide();

    // The button row: close at the left; at the right the four moves, then delete.
    Command1 = MakeEditButton(this, EditingText::kClose, EditingText::kCloseTip, 120, 1215);
    const int deleteLeft = kEditWindowWidth - 120 - 1215;
    Command2 = MakeEditButton(this, Varin5Text::kCommand2, Varin5Text::kCommand2, deleteLeft, 1215);
    const int squares = deleteLeft - 120 - 4 * 420;
    Command5 = MakeEditButton(this, QStringLiteral("<<"), Varin5Text::kCommand5Tip, squares, 420);
    Command4 = MakeEditButton(this, QStringLiteral("<"), Varin5Text::kCommand4Tip, squares + 420, 420);
    Command3 = MakeEditButton(this, QStringLiteral(">"), Varin5Text::kCommand3Tip, squares + 840, 420);
    Command6 = MakeEditButton(this, QStringLiteral(">>"), Varin5Text::kCommand6Tip, squares + 1260, 420);
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
    // The close skips its own failing steps.
    connect(Command1, &QPushButton::clicked, this, [this] { Unguarded("Command1_Click", [this] { Command1_Click(); }); });
    connect(Timer2, &FormTimer::Timer, this, [this] { Handle("Timer2_Timer", &Varin5::Timer2_Timer); });
    CloseOnEscape({Command1, Command2, Command3, Command4, Command5, Command6, Text1, Text2},
                  [this] { Command1_Click(); });
    SetAccessible(Text1, EditingName::kKurdishField);
    SetAccessible(Text2, EditingName::kEnglishField);
}

void Varin5::Handle(const char* name, void (Varin5::*handler)())
{
    Unguarded(name, [this, handler] { (this->*handler)(); });
}

void Varin5::Form_Load()
{
    Skin1.ApplySkin(this);
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
    // The entry the question names is the one deleted: what the fields show
    // now. Timers go on while the question is open (the after-delete tick
    // shows the entry before, a look-up moves the cursor), so nothing is read
    // from the fields or the cursor once it is answered.
    const QString english = Text2->text();
    const QString note = Text3->text();
    const bool named = shown_;
    const qint64 namedId = shownId_;
    const int answer = UnicodeMsgBox(Varin5Text::kAskBefore + english + Varin5Text::kAskAfter, kMbOkCancel,
                                     EditingText::kTitle, QString(), -1);
    if (answer != kIdOk)
        return;
    if (!note.isEmpty()) {
        UnicodeMsgBox(Varin5Text::kRefused, kMbRtlReading, EditingText::kTitle, QString(), -1);
        return;
    }
    // The fields show an entry the cursor may since have left (a look-up can
    // run while the window is open): delete that entry, by its identity, and
    // only if it is still there and still a user's.
    if (!named) {
        // The fields still show an entry that was just deleted, or found gone.
        UnicodeMsgBox(Varin5Text::kGone.arg(english), kMbRtlReading, EditingText::kTitle, QString(), -1);
        return;
    }
    WordStore::DeleteOutcome outcome;
    try {
        outcome = Store().DeleteUserEntry(namedId);
    } catch (const StoreError& e) {
        UnicodeMsgBox(Varin5Text::kDeleteFailed.arg(english, e.message()), kMbRtlReading | kMbIconError,
                      EditingText::kTitle, QString(), -1);
        return;
    }
    // The fields may show another entry by now; only the named one is gone.
    const auto forgetNamed = [&] {
        if (shownId_ == namedId)
            shown_ = false;
    };
    switch (outcome) {
    case WordStore::DeleteOutcome::Deleted:
        forgetNamed();
        Timer2->setInterval(100);
        break;
    case WordStore::DeleteOutcome::Gone:
        forgetNamed();
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
