// Starts the program as a user does (splash, hand-over, dictionary window),
// lets the start settle, then prints the processor time the process uses over
// ten seconds of doing nothing, while the clipboard capture (every second)
// and the mirror of the entry fields (every 100 ms) go on ticking.
// Run from the folder that holds Data/DataBase.mdb (build/bin):
//   QT_QPA_PLATFORM=offscreen ./idle_bench
// or on a real X server (DISPLAY set), where reading the clipboard is a round
// trip to its owner:  xclip -selection clipboard <<<word; ./idle_bench
#include "components/audio.h"
#include "components/espeak.h"
#include "dictionary/varin2.h"
#include "runtime/application.h"
#include "runtime/forms.h"
#include "runtime/previnstance.h"
#include "startup/module1.h"
#include "startup/varin0.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace {

double ProcessCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void RunFor(int ms)
{
    QTimer::singleShot(ms, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

}  // namespace

int main(int argc, char** argv)
{
    // The settings of a new user, never the real user's.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    if (!DisplayAvailable()) {
        std::fprintf(stderr, "idle_bench: no display; set QT_QPA_PLATFORM=offscreen\n");
        return 1;
    }
    VarinApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    // Nobody sits at the bench to answer a box (another copy running, say):
    // each is printed and answered OK.
    SetMsgBoxPresenter([](const MsgBoxCall& call) {
        std::printf("idle box: %s\n", qPrintable(call.prompt.simplified()));
        return kIdOk;
    });
    PrevInstance();
    // The program's own engines, idle or not, are part of what it costs.
    SetSpeech(std::make_unique<EspeakEngine>(MakeSpeakerOutput()));
    forms().Varin0().show();

    // Splash: fade in, one second held, load, fade out, one second, hand-over;
    // then the first clipboard capture three seconds after the load.
    RunFor(8000);
    Varin2& w = forms().Varin2();
    std::printf("idle platform=%s window_shown=%d capture_ms=%d mirror_ms=%d timer8_ms=%d\n",
                qPrintable(QGuiApplication::platformName()), w.isVisible(), w.Timer3->Interval(),
                w.Timer2->Interval(), w.Timer8->Interval());

    const double before = ProcessCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    RunFor(10000);
    const double cpu = ProcessCpuSeconds() - before;
    const double seconds = wall.elapsed() / 1000.0;
    std::printf("idle cpu_pct=%.3f (cpu %.3f s over %.1f s)\n", 100.0 * cpu / seconds, cpu, seconds);
    std::fflush(stdout);
    // Straight out: no close handler, so no settings are written.
    std::_Exit(0);
}
