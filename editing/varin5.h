// The delete-word window: browse the dictionary window's result and delete
// the entries users added. It has no cursor of its own: every move acts on
// the dictionary window's word store, and the window shows that window's
// bound fields.
#pragma once

#include "editwindow.h"
#include "runtime/runtime.h"

#include <QtGlobal>

class QLabel;
class QLineEdit;
class QPushButton;

class Varin5 : public EditWindow {
    Q_OBJECT
public:
    Varin5();

    QLineEdit* Text1;                  // Kurdish text of the shown entry
    QLineEdit* Text2;                  // English text of the shown entry
    QLineEdit* Text3;                  // hidden: Note of the shown entry
    QPushButton* Command2;             // delete
    QPushButton* Command5;             // "<<" to the last entry
    QPushButton* Command4;             // "<" to the next entry
    QPushButton* Command3;             // ">" to the previous entry
    QPushButton* Command6;             // ">>" to the first entry
    QPushButton* Command1;             // close
    QLabel *SkinLabel1, *SkinLabel3;   // above Text1: English and Kurdish caption
    QLabel *SkinLabel2, *SkinLabel4;   // above Text2: English and Kurdish caption
    FormTimer* Timer2;                 // after a delete, shows the entry before it
    SkinComponent Skin1;

    void Command2_Click();
    void Command6_Click();
    void Command5_Click();
    void Command3_Click();
    void Command4_Click();
    void Command1_Click();
    void Timer2_Timer();

    // Copies the dictionary window's current entry into the fields.
    void ShowCurrentEntry();

protected:
    void Form_Load() override;

private:
    void Handle(const char* name, void (Varin5::*handler)());

    bool shown_ = false;   // the fields hold an entry of the store
    qint64 shownId_ = 0;   // which one: the delete acts on this entry, not on the cursor
};
