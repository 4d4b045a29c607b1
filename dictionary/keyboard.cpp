#include "keyboard.h"

#include "varin2.h"

#include "components/clipboardreader.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

QChar MapKurdishKey(QChar typed)
{
    switch (typed.unicode()) {
    case 0x062B: return QChar(0x067E);   // ث -> پ
    case 0x0636: return QChar(0x0686);   // ض -> چ
    case 0x0630: return QChar(0x0698);   // ذ -> ژ
    case 0x0637: return QChar(0x06AF);   // ط -> گ
    default: return typed;
    }
}

QString MapKurdishKeys(const QString& typed)
{
    QString out = typed;
    for (QChar& c : out)
        c = MapKurdishKey(c);
    return out;
}

namespace {

bool IsLetterRange(QChar c)
{
    return c.unicode() >= 65 && c.unicode() <= 122;
}

bool EndsWord(QChar c)
{
    return !IsLetterRange(c) || (c.unicode() >= 91 && c.unicode() <= 96);
}

}  // namespace

QString ExtractClipboardWord(const QString& clipboardText)
{
    QString text = clipboardText.left(kClipboardTextConsidered);
    for (int i = 0; i < 10; ++i)
        if (!text.isEmpty() && !IsLetterRange(text.front()))
            text.remove(0, 1);
    qsizetype end = 0;
    while (end < text.size() && !EndsWord(text[end]))
        ++end;
    return text.left(end);
}

namespace {

// Watches the search field for what the user types and the keys that step
// through the result. Pasted and dropped text never passes through key or
// input-method events, so it keeps its letters.
class SearchFieldKeys : public QObject {
public:
    explicit SearchFieldKeys(Varin2* window) : QObject(window), window_(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (resending_)
            return false;
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            Unguarded("Text_KeyDown", [&] { window_->Text_KeyDown(key->key()); });
            const QString mapped = window_->Text_KeyPress(key->text());
            if (mapped != key->text()) {
                QKeyEvent typed(key->type(), key->key(), key->modifiers(), key->nativeScanCode(),
                                key->nativeVirtualKey(), key->nativeModifiers(), mapped,
                                key->isAutoRepeat(), key->count());
                Resend(watched, &typed);
                return true;
            }
        } else if (event->type() == QEvent::InputMethod) {
            // A character composed by an input method is typed too.
            auto* im = static_cast<QInputMethodEvent*>(event);
            const QString mapped = window_->Text_KeyPress(im->commitString());
            if (mapped != im->commitString()) {
                QInputMethodEvent typed(im->preeditString(), im->attributes());
                typed.setCommitString(mapped, im->replacementStart(), im->replacementLength());
                Resend(watched, &typed);
                return true;
            }
        }
        return false;
    }

private:
    void Resend(QObject* field, QEvent* typed)
    {
        resending_ = true;
        QCoreApplication::sendEvent(field, typed);
        resending_ = false;
    }

    Varin2* window_;
    bool resending_ = false;
};

}  // namespace

void Varin2::ConnectKeyboard()
{
    Text->installEventFilter(new SearchFieldKeys(this));
    // Fetched elsewhere, so that a clipboard owner that never answers holds
    // up no tick of this window.
    clipboard_ = new ClipboardReader(kClipboardTextConsidered, this);
    connect(Timer3, &FormTimer::Timer, this, [this] { Timer3_Timer(); });
}

QString Varin2::Text_KeyPress(const QString& typed)
{
    return MapKurdishKeys(typed);
}

void Varin2::Text_KeyDown(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        PronounceCurrentWord();
        break;
    case Qt::Key_Down:
        // On the last entry the cursor stays: it never leaves the result.
        if (Data1->RowCount() > 0 && (Data1->AtBOF() || (Data1->Position() >= 0 && Data1->Position() < Data1->RowCount() - 1)))
            Data1->MoveNext();
        break;
    case Qt::Key_Up:
        if (Data1->RowCount() > 0 && (Data1->AtEOF() || Data1->Position() > 0))
            Data1->MovePrevious();
        break;
    default: break;
    }
}

// One clipboard capture. Nothing here fails aloud: a step that fails is
// skipped and the capture goes on next second. The text is the one fetched
// last, so the tick never waits for the clipboard's owner.
void Varin2::Timer3_Timer()
{
    QString word;
    ResumeNext({
        [&] { word = ExtractClipboardWord(clipboard_->Text()); },
        [&] {
            if (word != Label3->Caption())
                Label3->setCaption(word);
        },
        [this] {
            if (Timer3->Interval() == 3000)
                Timer3->setInterval(1000);
        },
    });
}
