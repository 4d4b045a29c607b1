// The delete-word window: browse the result and delete what users added.
#pragma once

#include "runtime/forms.h"
#include "runtime/runtime.h"

class Varin5 : public Form {
    Q_OBJECT
public:
    Varin5();

    SkinComponent Skin1;

protected:
    void Form_Load() override;
};
