// The dictionary window: search field, command buttons, the grid over the
// word store's result, the entry fields, and the speech and mode choices.
#pragma once

#include "components/speech.h"
#include "components/wordstore.h"
#include "dictionary/settings.h"
#include "runtime/forms.h"
#include "runtime/runtime.h"

#include <QAbstractTableModel>
#include <future>
#include <memory>

class ClipboardReader;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTableView;

// The grid's view of the store's result: its rows are the result's rows, its
// current row the store's cursor.
class ResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ResultModel(WordStore* store, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    WordStore* store_;
};

class Varin2 : public Form {
    Q_OBJECT
public:
    Varin2();

    // Controls, as every window reaches them.
    QGroupBox *Frame1, *Frame2, *Frame3;   // "Type", "Key", "Dictionary"
    QLineEdit* Text;                       // search field
    QLineEdit *Text1, *Text4;              // visible Kurdish and English of the current entry
    QLineEdit *Text2, *Text3, *Text5;      // hidden, bound to English, كوردى, Note
    QLineEdit *Text6, *Text7;              // hidden word counts
    QPushButton *Command1, *Command2, *Command3, *Command4, *Command6, *Command7;
    QTableView* DataGrid1;
    QLabel* Picture1;
    QCheckBox *Check1, *Check2;
    QComboBox *Combo1, *Combo4;
    QSlider *Slider1, *Slider3;
    FormLabel *TE3, *Label1, *Label, *Label3;
    QLabel* Label2;
    FormTimer *Timer0, *Timer1, *Timer2, *Timer3, *Timer8;
    WordStore* Data1;
    ResultModel* DataGrid1Model;
    SkinComponent Skin1;

    // Handlers.
    void Text_Change();
    void Slider3_Change();
    void Label3_Change();
    void Text2_Change();
    void DataGrid1_Click();
    void Command2_Click();
    void Timer2_Timer();
    void Command6_Click();   // opens the add-word window (editing/varin4.cpp)
    void Command7_Click();   // opens the delete-word window (editing/varin5.cpp)
    void Command3_Click();   // opens the reader in this window's place
    // Speech (pronounce.cpp). The list and check-box handlers also run when
    // the load restores the saved choices.
    void Command1_Click();
    void Combo1_Click();
    void Combo4_Click();
    void Check1_Click();
    void Check2_Click();
    void Timer0_Timer();
    void Timer1_Timer();
    // Enter or a double-click in the Kurdish field speaks it.
    void Text1_KeyDown(int key);
    void Text1_DblClick();
    // Typed characters (mapped) and keys of the search field; the clipboard capture.
    QString Text_KeyPress(const QString& typed);
    void Text_KeyDown(int key);
    void Timer3_Timer();
    // Counts and saved search word; save the choices; save and end.
    void Timer8_Timer();
    void SaveWindowSettings();   // throws RuntimeError when the file cannot be written
    void Command4_Click();

    // Speaks the current entry's English text (Text2).
    void PronounceCurrentWord();
    // Speaks the current entry's Kurdish, as the Kurdish field shows it.
    void PronounceCurrentKurdish();

    std::unique_ptr<VoiceObject> spt;   // engine A, replaced before every use

protected:
    void Form_Load() override;
    void closeEvent(QCloseEvent* event) override;   // the frame's close is "X"
    void showEvent(QShowEvent* event) override;     // tells of a store that did not open

private:
    void BuildControls();
    void NameControls();   // what a screen reader says (accessible.cpp)
    void OpenWordStore();
    void FollowCursor();
    void FillPitchLists();
    void FillVoiceLists();
    void ConnectSpeech();
    void SpeakWithChosenVoice(const QString& text);
    void ConnectKeyboard();
    void ConnectSettings();
    void RestoreFirstChoices();
    void RestoreListAndChecks();
    void RestoreVoiceAndSpeed();
    void EndProgram();

    QString storePath_;
    std::future<std::shared_ptr<WordStore::Table>> storeReading_;
    bool followingCursor_ = false;
    bool fillingBoundFields_ = false;   // the cursor, not a window, writes Text2/Text3/Text5
    SavedChoices saved_;       // read at load, applied as the lists are filled
    QString storeNotice_;      // shown once the window is
    bool ending_ = false;
    ClipboardReader* clipboard_ = nullptr;   // what Timer3 reads (keyboard.cpp)
};
