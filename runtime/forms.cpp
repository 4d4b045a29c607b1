#include "forms.h"

#include "dictionary/varin2.h"

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
    if (std::strcmp(formName, "Varin2") == 0)
        return varin2_ != nullptr;
    return false;
}

void Forms::Unload()
{
    delete varin2_;
    varin2_ = nullptr;
}
