// A program of ours for the leak test of the sanitized build. It starts the
// way the dictionary does (a GUI application that asks for its fonts, where
// the system libraries under Qt leave their own allocations behind) and,
// with the argument "leak", also loses a block of its own in a handler run
// by the event loop, as the dictionary's code runs.
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

void* volatile kept = nullptr;

// Not inlined, so that the leak report names it.
__attribute__((noinline)) void LoseABlockOfOurOwn()
{
    kept = new char[4242];
    kept = nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    std::printf("%lld font families\n", static_cast<long long>(QFontDatabase::families().size()));
    std::fflush(stdout);   // a leak report ends the program without flushing
    const bool leak = argc > 1 && std::strcmp(argv[1], "leak") == 0;
    QTimer::singleShot(0, &app, [leak] {
        if (leak)
            LoseABlockOfOurOwn();
        QCoreApplication::quit();
    });
    return app.exec();
}
