#include "varin3.h"

#include "dictionary/texts.h"
#include "dictionary/varin2.h"
#include "runtime/accessibility.h"
#include "speed.h"
#include "startup/module1.h"
#include "texts.h"
#include "textfile.h"
#include "highlight.h"
#include "wordpopup.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPlainTextDocumentLayout>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTextDocument>
#include <QTextCursor>
#include <QTextOption>
#include <algorithm>
#include <QThread>
#include <QThreadPool>

namespace {

// The voice list's item that means engine A; every other item is a voice of engine B.
const QString kEngineAVoice = QStringLiteral("Microsoft Sam");
const QString kOpenTitle = QStringLiteral("Open File");
const QString kOpenFilter = QStringLiteral(
    "Text Files(*.txt,*.bat,*.inf*.ini,*.dic,*.log*.exc,*.scp,*.wtx*.ini,*.dic,*.log)"
    "|*.txt;*.inf;*.ini;*.dic;*.log;*.exc;*.scp;*.wtx"
    "|Batch Files(*.bat)|*.bat|Module Files(*.bas)|*.bas");
constexpr int kEscape = 27;

QGroupBox* MakeFrame(QWidget* parent, const QString& caption, int left, int top, int width, int height)
{
    auto* f = new QGroupBox(caption, parent);
    f->setFont(KurdishFont(8.25, true));
    // Kurdish captions stand at the right; the controls inside keep their
    // left-to-right order and the slider grows to the right.
    f->setLayoutDirection(Qt::RightToLeft);
    PlaceTwips(f, left, top, width, height);
    return f;
}

QPushButton* MakeButton(QWidget* parent, const QString& caption, const QString& tip, int slot)
{
    auto* b = new QPushButton(caption, parent);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    b->setFont(KurdishFont(8.25, true));
    PlaceTwips(b, 120 + slot * 750, 390, 735, 375);
    return b;
}

// The pitch list's text as engine B's pitch; an empty list choice is no pitch.
int PitchOf(const QString& text)
{
    if (text.trimmed().isEmpty())
        throw RuntimeError(QStringLiteral("no pitch chosen"));
    return LeadingNumber(text);
}

Qt::Alignment AlignmentFor(Qt::LayoutDirection direction)
{
    return direction == Qt::RightToLeft ? Qt::AlignRight : Qt::AlignLeft;
}

SharedSpeech& EngineB()
{
    return Speech().EngineB();
}

}  // namespace

bool SetListText(QComboBox* list, const QString& text, const std::function<void()>& clickHandler)
{
    const int index = list->findText(text, Qt::MatchExactly);
    if (index < 0)
        return false;
    list->setCurrentIndex(index);
    if (clickHandler)
        clickHandler();
    return true;
}

Varin3::Varin3()
    : Form(nullptr, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Varin3"));
    BuildControls();
}

Varin3::~Varin3() = default;

void Varin3::BuildControls()
{
    setFixedSize(Twips(10695), Twips(5850));

    Frame1 = MakeFrame(this, Varin3Text::kTextFrame, 120, 60, 10455, 4575);
    Text1 = new QPlainTextEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setToolTip(Varin3Text::kText1Tip);
    Text1->setFont(KurdishFont(12));
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The box reads the way its text does: Kurdish from the right, English
    // from the left; each line keeps the letter order of its own words.
    connect(Text1, &QPlainTextEdit::textChanged, this, &Varin3::FollowTextDirection);
    FollowTextDirection();
    PlaceTwips(Text1, 120, 240, 10215, 4215);
    Text1->installEventFilter(this);
    // The dictionary window's store and match mode, asked at each look-up.
    WordPopup1 = new WordPopup(Text1, [] {
        Varin2& dictionary = forms().Varin2();
        const int mode = LeadingNumber(dictionary.TE3->Caption());
        return WordSource{dictionary.Data1, mode == 25 || mode == 50 || mode == 100 ? mode : 75};
    });
    Highlight1 = new SpokenHighlight(Text1);

    // Left to right: close, clear, open, pause, stop, read.
    Frame2 = MakeFrame(this, Varin3Text::kButtonFrame, 120, 4695, 4725, 1035);
    Command1 = MakeButton(Frame2, Varin3Text::kCommand1, Varin3Text::kCommand1Tip, 0);
    cmdclear = MakeButton(Frame2, Varin3Text::kCmdClear, Varin3Text::kCmdClearTip, 1);
    cmdopen = MakeButton(Frame2, Varin3Text::kCmdOpen, Varin3Text::kCmdOpenTip, 2);
    Command3 = MakeButton(Frame2, Varin3Text::kCommand3, QString(), 3);
    cmdpause = MakeButton(Frame2, Varin3Text::kCmdPause, Varin3Text::kCmdPauseTip, 4);
    cmdspeak = MakeButton(Frame2, Varin3Text::kCmdSpeak, Varin3Text::kCmdSpeakTip, 5);

    Frame3 = MakeFrame(this, Varin3Text::kSpeedFrame, 4905, 4695, 2295, 1035);
    Slider1 = new QSlider(Qt::Horizontal, Frame3);
    Slider1->setRange(0, 20);
    Slider1->setValue(10);
    Slider1->setPageStep(2);
    Slider1->setTickPosition(QSlider::TicksBelow);
    Slider1->setTickInterval(1);
    Slider1->setToolTip(Varin3Text::kSlider1Tip);
    PlaceTwips(Slider1, 120, 330, 2055, 510);

    Frame4 = MakeFrame(this, Varin3Text::kVoiceFrame, 7260, 4695, 1935, 1035);
    Combo4 = new QComboBox(Frame4);
    Combo4->setFont(KurdishFont(8.25));
    PlaceTwips(Combo4, 120, 420, 1695, 345);

    Frame5 = MakeFrame(this, Varin3Text::kPitchFrame, 9255, 4695, 1320, 1035);
    Combo1 = new QComboBox(Frame5);
    PlaceTwips(Combo1, 120, 420, 1080, 345);

    for (QWidget* w : std::initializer_list<QWidget*>{Command1, cmdclear, cmdopen, Command3, cmdpause, cmdspeak,
                                                      Slider1, Combo4, Combo1})
        w->setLayoutDirection(Qt::LeftToRight);

    const auto on = [this](QPushButton* button, const char* name, void (Varin3::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, name, handler] { Unguarded(name, [&] { (this->*handler)(); }); });
    };
    on(cmdopen, "cmdopen_Click", &Varin3::cmdopen_Click);
    on(cmdspeak, "cmdspeak_Click", &Varin3::cmdspeak_Click);
    on(Command3, "Command3_Click", &Varin3::Command3_Click);
    on(cmdpause, "cmdpause_Click", &Varin3::cmdpause_Click);
    on(cmdclear, "cmdclear_Click", &Varin3::cmdclear_Click);
    on(Command1, "Command1_Click", &Varin3::Command1_Click);
    // A pick of the user is a click; the window's own selections call the handlers themselves.
    connect(Combo1, &QComboBox::activated, this, [this] { Unguarded("Combo1_Click", [this] { Combo1_Click(); }); });
    connect(Combo4, &QComboBox::activated, this, [this] { Unguarded("Combo4_Click", [this] { Combo4_Click(); }); });
    connect(Slider1, &QSlider::valueChanged, this, [this] { Unguarded("Slider1_Change", [this] { Slider1_Change(); }); });

    // A screen reader meets the window before its load gives it a title.
    setAccessibleName(Varin3Text::kCaption);
    SetAccessible({
        {Text1, Varin3Name::kText1, Varin3Name::kText1About},
        {Frame2, Varin2Name::kFrame2, QStringLiteral("Buttons")},
        {Frame5, Varin3Name::kFrame5, QStringLiteral("Pitch")},
        {Command3, Varin3Text::kCommand3, Varin3Name::kCommand3About},
        {Slider1, Varin3Name::kSlider1, Varin3Name::kSlider1About},
        {Combo1, Varin2Name::kCombo1, Varin2Name::kCombo1About},
        {Combo4, Varin2Name::kCombo4, Varin2Name::kCombo4About},
    });
    // The slider's tooltip shows its number once it moves; the description stays.
    SetSliderReading(Slider1, PositionReading());
}

void Varin3::FollowTextDirection()
{
    // The first letter that has a direction decides; only the start of the
    // text is copied, so a keystroke in a long book stays cheap.
    QTextDocument* doc = Text1->document();
    QTextCursor head(doc);
    head.setPosition(std::min(doc->characterCount() - 1, 4096), QTextCursor::KeepAnchor);
    const Qt::LayoutDirection direction = ReadingDirection(head.selectedText());
    QTextOption option = doc->defaultTextOption();
    if (option.alignment() == AlignmentFor(direction) && Text1->layoutDirection() == direction)
        return;
    option.setAlignment(AlignmentFor(direction));
    doc->setDefaultTextOption(option);
    Text1->setLayoutDirection(direction);
}

void Varin3::Form_Load()
{
    ResumeNext({
        [this] { setWindowTitle(Varin3Text::kCaption); },
        [this] { Skin1.ApplySkin(this); },
        [this] { Slider1->setValue(10); },
    });
}

void Varin3::NewVoice()
{
    spt = Speech().NewVoice();
    spt->SetWordListener(Highlight1->Listener());
}

VoiceObject& Varin3::Voice()
{
    if (!spt)
        throw RuntimeError(QStringLiteral("no voice object"));
    return *spt;
}

void Varin3::cmdopen_Click()
{
    Highlight1->Clear();
    ResumeNext({
        [] { EngineB().Stop(); },
        [this] { NewVoice(); },
        [this] {
            CommonDialog1.DialogTitle = kOpenTitle;
            CommonDialog1.Filter = kOpenFilter;
            CommonDialog1.FilterIndex = 1;
            // A cancel loads nothing: reading the file chosen last time again
            // would throw away whatever was typed since.
            if (CommonDialog1.ShowOpen(this))
                LoadFile(CommonDialog1.FileName);
        },
    });
}

namespace {

// What a worker hands the window: the file's problem, or its text already
// laid out as a document that lives on the window's thread.
struct LoadedText {
    TextFile file;
    std::unique_ptr<QTextDocument> document;
};

}  // namespace

void Varin3::LoadFile(const QString& path)
{
    const int ticket = ++loadTicket_;
    loading_ = true;
    QPointer<Varin3> self(this);
    QThread* const uiThread = thread();
    // The new text takes the text box's look.
    const QFont font = Text1->font();
    const QTextOption option = Text1->document()->defaultTextOption();
    // Reading, decoding and building the document of a 10 MB book takes a few
    // hundred milliseconds: done on a worker, the window stays responsive.
    QThreadPool::globalInstance()->start([self, ticket, path, uiThread, font, option] {
        auto loaded = std::make_shared<LoadedText>();
        loaded->file = ReadTextFile(path);
        if (loaded->file.problem == TextFile::None) {
            loaded->document = std::make_unique<QTextDocument>();
            loaded->document->setDefaultFont(font);
            QTextOption readingOption = option;
            readingOption.setAlignment(AlignmentFor(ReadingDirection(loaded->file.text)));
            loaded->document->setDefaultTextOption(readingOption);
            loaded->document->setUndoRedoEnabled(false);   // a loaded text starts with no undo history
            loaded->document->setPlainText(loaded->file.text);
            loaded->document->setUndoRedoEnabled(true);
            loaded->file.text.clear();
            loaded->document->moveToThread(uiThread);
        }
        // The worker keeps no reference, so the document is only ever
        // deleted on the window's thread, even when the result is dropped.
        QMetaObject::invokeMethod(
            qApp,
            [self, ticket, path, loaded = std::move(loaded)] {
                if (!self || ticket != self->loadTicket_)
                    return;   // closed, cleared or superseded by a later load
                self->ShowLoaded(path, loaded->file, std::move(loaded->document));
            },
            Qt::QueuedConnection);
    });
}

void Varin3::ShowLoaded(const QString& path, const TextFile& file, std::unique_ptr<QTextDocument> document)
{
    loading_ = false;
    if (file.problem != TextFile::None || !document) {
        NotifyNotLoaded(path, file);
        emit LoadFinished();
        return;
    }
    // The box deletes its own first document when it is replaced; a
    // document loaded earlier is ours.
    QTextDocument* previous = Text1->document();
    const bool previousIsOurs = previous->parent() == this;
    document->setDocumentLayout(new QPlainTextDocumentLayout(document.get()));
    document->setParent(this);
    Text1->setDocument(document.release());
    if (previousIsOurs)
        delete previous;
    FollowTextDirection();
    emit LoadFinished();
}

void Varin3::NotifyNotLoaded(const QString& path, const TextFile& file)
{
    QString ku, en;
    switch (file.problem) {
    case TextFile::Missing:
        ku = Varin3Text::kMissing;
        en = QStringLiteral("The file does not exist.");
        break;
    case TextFile::TooLarge:
        ku = Varin3Text::kTooLarge;
        en = QStringLiteral("The file is %1 MB; a text to read may be at most %2 MB.")
                 .arg(double(file.size) / (1024 * 1024), 0, 'f', 1)
                 .arg(kMaxTextFileBytes / (1024 * 1024));
        break;
    case TextFile::NotText:
        ku = Varin3Text::kNotText;
        en = QStringLiteral("The file holds binary data, not text.");
        break;
    default:
        ku = Varin3Text::kUnreadable;
        en = QStringLiteral("The file could not be read: %1.").arg(file.detail);
        break;
    }
    const QString name = QDir::toNativeSeparators(path);
    UnicodeMsgBox(Varin3Text::kNotOpened + u'\n' + name + u'\n' + ku + u'\n' + Varin3Text::kUnchanged
                      + QStringLiteral("\n\n") + Varin3Text::kNotOpenedEn + u'\n' + name + u'\n' + en + u'\n'
                      + Varin3Text::kUnchangedEn,
                  kMbRtlReading | kMbIconError, DictionaryName());
}

void Varin3::cmdspeak_Click()
{
    const QString text = Text1->toPlainText();
    const int v = Slider1->value();
    ResumeNext({
        [this] { NewVoice(); },
        [] { EngineB().Resume(); },
    });
    // Either engine marks the words of this text as they are heard.
    Highlight1->Given(text);
    ResumeNext({[this] { EngineB().SetWordListener(Highlight1->Listener()); }});
    if (Combo4->currentText() == kEngineAVoice) {
        ResumeNext({
            [] { EngineB().Stop(); },
            [&] { Voice().SetRate(ReaderRate(v)); },
            [&] { Voice().SetVolume(100); },
            [&] { Voice().Speak(text, 1); },
        });
        return;
    }
    // Engine B is resumed, not stopped: a paused reading gets the whole text again.
    ResumeNext({
        [this] {
            if (Combo4->currentIndex() > 0)
                EngineB().SelectVoice(Combo4->currentIndex());
        },
        [&] { EngineB().Speak(text); },
        [this] { EngineB().SetPitch(PitchOf(Combo1->currentText())); },
        [&] { EngineB().SetSpeed(ReaderSpeed(v)); },
    });
}

void Varin3::Command3_Click()
{
    ResumeNext({
        [] { EngineB().Pause(); },
        [this] { NewVoice(); },
    });
}

void Varin3::cmdpause_Click()
{
    Highlight1->Clear();
    ResumeNext({
        [] { EngineB().Stop(); },
        [this] { NewVoice(); },
    });
}

void Varin3::cmdclear_Click()
{
    // Each step on its own: a missing engine must not keep the text from being cleared.
    Highlight1->Clear();
    ResumeNext({
        [] { EngineB().Stop(); },
        [this] { NewVoice(); },
        [this] {
            ++loadTicket_;   // a file still being read is not wanted any more
            loading_ = false;
            Text1->clear();
        },
    });
}

void Varin3::Command1_Click()
{
    Highlight1->Clear();
    ResumeNext({
        [this] { NewVoice(); },
        [] { EngineB().Stop(); },
        [] { forms().Varin2().Timer2->setInterval(100); },
        [this] {
            // The dictionary window takes over the voice chosen here and, as
            // after any pick in its list, pronounces its current entry.
            QComboBox* list = forms().Varin2().Combo4;
            SetListText(list, Combo4->currentText(), [list] { emit list->activated(list->currentIndex()); });
        },
        [this] { hide(); },
        [] { forms().Varin2().show(); },
    });
}

void Varin3::Text1_KeyDown(int keyCode)
{
    if (keyCode == kEscape)
        Command1_Click();
}

void Varin3::Combo1_Click()
{
    ResumeNext({
        [this] {
            if (Combo4->currentIndex() > 0)
                EngineB().SelectVoice(Combo4->currentIndex());
        },
        [this] { EngineB().SetPitch(PitchOf(Combo1->currentText())); },
    });
}

void Varin3::Combo4_Click()
{
    Combo1_Click();   // both lists set voice and pitch alike
}

void Varin3::Slider1_Change()
{
    ResumeNext({[this] { Slider1->setToolTip(QString::number(Slider1->value())); }});
}

bool Varin3::Form_QueryUnload()
{
    return true;   // the reader is only ever hidden
}

void Varin3::closeEvent(QCloseEvent* event)
{
    if (Form_QueryUnload())
        event->ignore();
    else
        event->accept();
}

bool Varin3::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Text1 && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        Unguarded("Text1_KeyDown", [this] { Text1_KeyDown(kEscape); });
        return true;
    }
    return Form::eventFilter(watched, event);
}

// The dictionary window's reader button: the reader opens in its place, with
// its voice and pitch, while the dictionary window is hidden.
void Varin2::Command3_Click()
{
    ::Varin3& reader = forms().Varin3();
    reader.move(reader.x(), y());
    reader.move(x(), reader.y());
    Timer2->setInterval(0);   // the entry fields are not mirrored while the reader is open
    // An empty choice (a stored index that did not fit the list) leaves the reader's list as it was.
    SetListText(reader.Combo4, Combo4->currentText(), [&reader] { reader.Combo4_Click(); });
    SetListText(reader.Combo1, Combo1->currentText(), [&reader] { reader.Combo1_Click(); });
    hide();
    reader.show();
    reader.activateWindow();
}
