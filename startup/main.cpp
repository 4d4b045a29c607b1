#include "runtime/application.h"
#include "runtime/forms.h"
#include "runtime/previnstance.h"
#include "startup/varin0.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (!DisplayAvailable()) {
        std::fprintf(stderr, "VarinDic: no display to open a window on (DISPLAY is not set)\n");
        return 1;
    }
    const QByteArray platform =
        ChoosePlatform(qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY"));
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
    VarinApplication app(argc, argv);

    // Take this copy's share of the instance lock at once, so that a copy
    // started a moment later already sees this one.
    PrevInstance();

    // The splash is the first window; its timers lead on to the dictionary.
    forms().Varin0().show();
    return app.exec();
}
