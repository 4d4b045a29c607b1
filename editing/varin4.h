// The add-word window: a pair of the user's own, stored after a confirmation.
#pragma once

#include "runtime/forms.h"
#include "runtime/runtime.h"

class Varin4 : public Form {
    Q_OBJECT
public:
    Varin4();

    SkinComponent Skin1;

protected:
    void Form_Load() override;
};
