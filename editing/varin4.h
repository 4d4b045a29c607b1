// The add-word window: a pair of the user's own, stored after a confirmation.
// It has no store of its own: it starts the new entry in the dictionary
// window's word store and fills it through that window's bound fields.
#pragma once

#include "editwindow.h"
#include "runtime/runtime.h"

class QLabel;
class QLineEdit;
class QPushButton;

class Varin4 : public EditWindow {
    Q_OBJECT
public:
    Varin4();

    QLineEdit* Text1;                  // Kurdish word, as the keyboard gives it
    QLineEdit* Text2;                  // English word; lower-cased when added
    QPushButton* Command2;             // add
    QPushButton* Command1;             // close
    QLabel *SkinLabel1, *SkinLabel3;   // above Text1: English and Kurdish hint
    QLabel *SkinLabel2, *SkinLabel4;   // above Text2: English and Kurdish hint
    FormTimer* Timer1;                 // commits the new entry and reports it
    SkinComponent Skin1;

    void Command2_Click();
    void Command1_Click();
    void Timer1_Timer();

protected:
    void Form_Load() override;

private:
    void AddFailed(const QString& reason);

    QString typed_;         // the English text as typed, for the add in flight
    bool adding_ = false;   // an entry was started and not yet reported
    QString failure_;       // why the store could not write it, if it could not
};
