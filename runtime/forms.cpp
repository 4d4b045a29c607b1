#include "forms.h"

#include "dictionary/varin2.h"
#include "startup/varin0.h"

#include <cstring>

void Form::Load()
{
    if (loaded_)
        return;
    loaded_ = true;
    Form_Load();
}

Forms& forms()
{
    static Forms instance;
    return instance;
}

::Varin0& Forms::Varin0()
{
    if (!varin0_) {
        varin0_ = new ::Varin0();
        varin0_->Load();
    }
    return *varin0_;
}

::Varin2& Forms::Varin2()
{
    if (!varin2_) {
        varin2_ = new ::Varin2();
        varin2_->Load();
    }
    return *varin2_;
}

bool Forms::IsLoaded(const char* formName) const
{
    if (std::strcmp(formName, "Varin0") == 0)
        return varin0_ != nullptr;
    if (std::strcmp(formName, "Varin2") == 0)
        return varin2_ != nullptr;
    return false;
}

void Forms::Unload()
{
    delete varin0_;
    varin0_ = nullptr;
    delete varin2_;
    varin2_ = nullptr;
}
