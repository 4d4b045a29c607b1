// The about window: credits, the opening animation and the thanks letter.
#pragma once

#include "runtime/forms.h"
#include "runtime/runtime.h"

class Varin1 : public Form {
    Q_OBJECT
public:
    Varin1();

    SkinComponent Skin1;

protected:
    void Form_Load() override;
};
