#include "varin4.h"

#include "runtime/accessibility.h"
#include "addrules.h"
#include "editwindow.h"
#include "texts.h"
#include "dictionary/varin2.h"
#include "startup/module1.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Varin4::Varin4()
{
    setObjectName(QStringLiteral("Varin4"));
    setWindowTitle(Varin4Text::kCaption);

    SkinLabel1 = MakeEditLabel(this, Varin4Text::kSkinLabel1, Qt::AlignLeft);
    SkinLabel3 = MakeEditLabel(this, Varin4Text::kSkinLabel3, Qt::AlignRight);
    PlaceLabelPair(SkinLabel1, SkinLabel3, 120, kEditWindowWidth);
    Text1 = MakeEditField(this, 405, false);
    Text1->setLayoutDirection(Qt::RightToLeft);   // Kurdish is typed from the right
    SkinLabel2 = MakeEditLabel(this, Varin4Text::kSkinLabel2, Qt::AlignLeft);
    SkinLabel4 = MakeEditLabel(this, Varin4Text::kSkinLabel4, Qt::AlignRight);
    PlaceLabelPair(SkinLabel2, SkinLabel4, 900, kEditWindowWidth);
    Text2 = MakeEditField(this, 1185, false);
    Command1 = MakeEditButton(this, EditingText::kClose, EditingText::kCloseTip, 120, 1215);
    Command2 = MakeEditButton(this, Varin4Text::kCommand2, Varin4Text::kCommand2, kEditWindowWidth - 120 - 1215, 1215);
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Command1);
    setTabOrder(Command1, Command2);
    setFocusProxy(Text1);

    Timer1 = new FormTimer(this);

    // The add and the tick skip their own failing steps; Unguarded only
    // catches what nothing there expected.
    connect(Command2, &QPushButton::clicked, this, [this] { Unguarded("Command2_Click", [this] { Command2_Click(); }); });
    connect(Command1, &QPushButton::clicked, this, [this] { Unguarded("Command1_Click", [this] { Command1_Click(); }); });
    connect(Timer1, &FormTimer::Timer, this, [this] { Unguarded("Timer1_Timer", [this] { Timer1_Timer(); }); });
    CloseOnEscape({Text1, Text2, Command1, Command2, this},
                  [this] { Unguarded("KeyDown", [this] { Command1_Click(); }); });

    // A new entry whose commit fails is dropped by the store, wherever the
    // commit happened (the dictionary window's refresh commits it first and
    // skips failures); the store tells us, so the add is reported as failed.
    WordStore* store = forms().Varin2().Data1;
    connect(store, &WordStore::WriteFailed, this, [this](const QString& reason) {
        if (adding_ && failure_.isEmpty())
            failure_ = reason;
    });
    SetAccessible(Text1, EditingName::kKurdishField);
    SetAccessible(Text2, EditingName::kEnglishField);
}

void Varin4::Form_Load()
{
    ResumeNext({[this] { Skin1.ApplySkin(this); }});
}

void Varin4::Command2_Click()
{
    // An add still waiting for its tick is reported first, so every confirmed
    // pair gets its own notice.
    if (Timer1->Armed())
        Timer1->Fire();

    const QString english = Text2->text();
    const QString kurdish = Text1->text();
    int answer = 0;
    ResumeNext({
        [&] {
            if (AcceptsPair(english, kurdish))
                answer = UnicodeMsgBox(Varin4Text::kAskBefore + english + Varin4Text::kAskAfter, kMbOkCancel,
                                       EditingText::kTitle, QString(), -1);
        },
        [&] {
            if (RejectsPair(english, kurdish))
                UnicodeMsgBox(Varin4Text::kRejected, kMbRtlReading, EditingText::kTitle, QString(), -1);
        },
    });
    if (answer != kIdOk)
        return;

    Varin2& v2 = forms().Varin2();
    typed_ = english;
    failure_.clear();
    try {
        v2.Data1->AddNew();
    } catch (const std::exception& e) {
        // Nothing was started: say so now, and keep the user's text.
        AddFailed(QString::fromUtf8(e.what()));
        return;
    }
    adding_ = true;
    ResumeNext({
        [&] { Text2->setText(english.toLower()); },
        [&] { v2.Text2->setText(Text2->text()); },
        [&] { v2.Text3->setText(Text1->text()); },
        [&] { Timer1->setInterval(100); },
        [&] { v2.Timer8->setInterval(10); },
    });
}

void Varin4::Timer1_Timer()
{
    // The commit: the dictionary window's refresh has usually committed the
    // entry already, and then there is nothing pending here.
    if (adding_) {
        try {
            forms().Varin2().Data1->Update();
        } catch (const std::exception& e) {
            if (failure_.isEmpty())
                failure_ = QString::fromUtf8(e.what());
        }
    }
    const bool added = adding_ && failure_.isEmpty();
    const QString reason = failure_;
    adding_ = false;
    failure_.clear();
    if (!added) {
        Timer1->setInterval(0);
        if (!reason.isEmpty())
            AddFailed(reason);
        return;
    }
    // The entry is in the file now (each write is committed before the store
    // returns), so the notice never reports a word that a crash could lose.
    ResumeNext({
        [this] {
            UnicodeMsgBox(Varin4Text::kAddedBefore + Text2->text() + Varin4Text::kAddedAfter, kMbRtlReading,
                          EditingText::kTitle, QString(), -1);
        },
        [this] { Text2->setText(QString()); },
        [this] { Text1->setText(QString()); },
        [this] { Timer1->setInterval(0); },
    });
}

void Varin4::AddFailed(const QString& reason)
{
    // The user's text stays, as typed, so the add can be tried again.
    ResumeNext({
        [this] { Text2->setText(typed_); },
        [&] {
            UnicodeMsgBox(Varin4Text::kAddFailed.arg(typed_, reason), kMbRtlReading | kMbIconError,
                          EditingText::kTitle, QString(), -1);
        },
    });
}

void Varin4::Command1_Click()
{
    hide();
    Varin2& v2 = forms().Varin2();
    v2.Text->setText(QString());
    v2.Timer8->setInterval(100);
}

// The dictionary window's add button.
void Varin2::Command6_Click()
{
    ::Varin4& w = forms().Varin4();
    w.move(w.x(), y() + Twips(1300));
    w.move(x() + Twips(900), w.y());
    ShowModally(&w);
}
