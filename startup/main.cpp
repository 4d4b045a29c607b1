#include "dictionary/varin2.h"
#include "runtime/application.h"
#include "runtime/forms.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (!DisplayAvailable()) {
        std::fprintf(stderr, "VarinDic: no display to open a window on (DISPLAY is not set)\n");
        return 1;
    }
    VarinApplication app(argc, argv);

    // Until the splash takes over the start, open the dictionary directly.
    Varin2& dictionary = forms().Varin2();
    dictionary.show();
    dictionary.Timer2->setInterval(100);
    return app.exec();
}
