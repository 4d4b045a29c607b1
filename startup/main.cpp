#include "components/audio.h"
#include "components/espeak.h"
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

    // Both speech engines on eSpeak NG, heard through the sound card; without
    // one, or without eSpeak NG's data, the windows speak silently.
    SetSpeech(std::make_unique<EspeakEngine>(MakeSpeakerOutput()));

    // The splash is the first window; its timers lead on to the dictionary.
    forms().Varin0().show();
    const int code = app.exec();
    // The windows go while the application still stands: the dictionary's
    // word file is closed properly, back to one file with nothing pending
    // beside it, and no voice outlives the engines.
    forms().Unload();
    SetSpeech(nullptr);   // the sound card's thread ends while the application still stands
    return code;
}
