// The text reader: a text typed or loaded from a file, read aloud with the
// voice, pitch and speed chosen here. It is opened by the dictionary window's
// reader button in that window's place and is only ever hidden, never closed.
#pragma once

#include "components/speech.h"
#include "reader/commondialog.h"
#include "reader/textfile.h"
#include "runtime/forms.h"
#include "runtime/runtime.h"

#include <memory>

class QComboBox;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QTextDocument;
class SpokenHighlight;
class WordPopup;

class Varin3 : public Form {
    Q_OBJECT
public:
    Varin3();
    ~Varin3() override;

    // Controls.
    QGroupBox *Frame1, *Frame2, *Frame3, *Frame4, *Frame5;   // text, buttons, speed, voice, pitch
    QPlainTextEdit* Text1;                // the text to read
    QPushButton* cmdopen;                 // load a text file
    QPushButton* cmdspeak;                // read the whole text aloud
    QPushButton* Command3;                // pause
    QPushButton* cmdpause;                // stop reading
    QPushButton* cmdclear;                // empty the text
    QPushButton* Command1;                // close the reader
    QSlider* Slider1;                     // reading speed, 0 to 20
    QComboBox *Combo1, *Combo4;           // pitch and voice lists, filled by the dictionary window's load
    CommonDialog CommonDialog1;           // the open-file dialog
    WordPopup* WordPopup1;                // a word's entries, on a double-click or F2 in Text1
    SpokenHighlight* Highlight1;          // the word being heard, marked in Text1
    SkinComponent Skin1;

    // Engine A, replaced before every use; releasing it ends its speech.
    std::unique_ptr<VoiceObject> spt;

    // Handlers.
    void cmdopen_Click();
    void cmdspeak_Click();
    void Command3_Click();
    void cmdpause_Click();
    void cmdclear_Click();
    void Command1_Click();
    void Text1_KeyDown(int keyCode);
    void Combo1_Click();
    void Combo4_Click();
    void Slider1_Change();
    // Answers a close request; true refuses it.
    bool Form_QueryUnload();

    // True while a chosen file is still being read; its text replaces Text1's
    // when it is ready, so a large book never freezes the window.
    bool Loading() const { return loading_; }

signals:
    // A load ended: the text is shown, or the notice of why not was given.
    void LoadFinished();

protected:
    void Form_Load() override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    // Aligns the text box to the right for a Kurdish text, to the left for an English one.
    void FollowTextDirection();
    void NewVoice();
    VoiceObject& Voice();
    // Reads the chosen file away from the window's thread; the text then
    // replaces Text1's, or a notice says why it cannot.
    void LoadFile(const QString& path);
    void ShowLoaded(const QString& path, const TextFile& file, std::unique_ptr<QTextDocument> document);
    void NotifyNotLoaded(const QString& path, const TextFile& file);

    // Each load gets a number; only the latest one's text is shown, and
    // clearing the text drops a load still under way.
    int loadTicket_ = 0;
    bool loading_ = false;
};

// Selects the item of a drop-down list that has this text and runs the list's
// handler, as setting the list's text does. A text the list does not hold
// changes nothing; returns whether an item was selected.
bool SetListText(QComboBox* list, const QString& text, const std::function<void()>& clickHandler);
