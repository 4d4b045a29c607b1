// The text reader: a text typed or loaded from a file, read aloud with the
// chosen voice, pitch and speed.
#pragma once

#include "runtime/forms.h"
#include "runtime/runtime.h"

class QComboBox;

class Varin3 : public Form {
    Q_OBJECT
public:
    Varin3();

    QComboBox *Combo1, *Combo4;   // pitch and voice lists, filled by the dictionary window's load
    SkinComponent Skin1;

protected:
    void Form_Load() override;
};
