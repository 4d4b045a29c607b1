#include "forms.h"

#include "about/varin1.h"
#include "dictionary/varin2.h"
#include "editing/varin4.h"
#include "editing/varin5.h"
#include "reader/varin3.h"
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

namespace {

// Creates the window on first reference and runs its load before returning.
template <typename W, typename Slot>
W& Reference(Slot& slot)
{
    if (!slot) {
        W* w = new W();
        slot = w;
        w->Load();
    }
    return *slot;
}

}  // namespace

::Varin0& Forms::Varin0() { return Reference<::Varin0>(varin0_); }
::Varin1& Forms::Varin1() { return Reference<::Varin1>(varin1_); }
::Varin2& Forms::Varin2() { return Reference<::Varin2>(varin2_); }
::Varin3& Forms::Varin3() { return Reference<::Varin3>(varin3_); }
::Varin4& Forms::Varin4() { return Reference<::Varin4>(varin4_); }
::Varin5& Forms::Varin5() { return Reference<::Varin5>(varin5_); }

bool Forms::IsLoaded(const char* formName) const
{
    const std::pair<const char*, const QWidget*> windows[] = {
        {"Varin0", varin0_}, {"Varin1", varin1_.data()}, {"Varin2", varin2_},
        {"Varin3", varin3_}, {"Varin4", varin4_},        {"Varin5", varin5_},
    };
    for (const auto& [name, window] : windows)
        if (std::strcmp(formName, name) == 0)
            return window != nullptr;
    return false;
}

namespace {

template <typename W>
void Destroy(W*& window)
{
    delete window;
    window = nullptr;
}

}  // namespace

void Forms::Unload()
{
    delete varin1_.data();
    Destroy(varin0_);
    Destroy(varin2_);
    Destroy(varin3_);
    Destroy(varin4_);
    Destroy(varin5_);
}
