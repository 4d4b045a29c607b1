// A desktop of a test's own: a real X server (Xvfb) on a display it picks
// itself, a PulseAudio server with one null sink, whose monitor a recorder
// listens to, and other programs (clipboard owners, key senders) as
// processes of their own. Everything lives in one temporary runtime folder
// (XDG_RUNTIME_DIR, HOME, the sound server's socket) and everything started
// is stopped again, also when the test process dies.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <chrono>
#include <memory>
#include <mutex>
#include <sys/types.h>
#include <thread>
#include <vector>

using DesktopClock = std::chrono::steady_clock;

// A program run beside the test, with its input and output as pipes.
class Child {
public:
    // Starts `program` (found on PATH or beside the test) with `args`.
    Child(const QString& program, const QStringList& args);
    ~Child();   // killed, if it still runs
    bool Running() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    void Write(const QByteArray& bytes);
    void CloseInput();
    // The next line it printed, waiting up to `ms`; empty on none.
    QByteArray ReadLine(int ms);
    // Lines printed so far, without waiting.
    QList<QByteArray> LinesSoFar();
    void Kill();
    int Wait();   // exit code, -1 when killed by a signal

private:
    friend class Desktop;
    friend class MonitorRecorder;
    Child() = default;
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1;
    QByteArray pending_;
};

// Runs a program to its end and returns its exit code (-1 when it could not
// be started or died of a signal).
int RunToEnd(const QString& program, const QStringList& args);

class Desktop {
public:
    // Starts the X server and points DISPLAY, XDG_RUNTIME_DIR, HOME and the
    // sound clients at this desktop; before the application object exists.
    Desktop();
    ~Desktop();
    bool Ready() const { return xvfb_ != nullptr; }
    QString Error() const { return error_; }
    QString Folder() const { return dir_.path(); }

    // The sound server, with the null sink "varin" as its default.
    bool StartSound();
    void KillSound();   // as a crash: no goodbye to its clients
    bool SoundRunning() const { return pulse_ != nullptr; }

private:
    QTemporaryDir dir_;
    QString error_;
    std::unique_ptr<Child> xvfb_, pulse_;
};

// Listens to the null sink's monitor with parec and notes when each block
// of samples came.
class MonitorRecorder {
public:
    static constexpr int kRate = 22050;
    MonitorRecorder();
    ~MonitorRecorder();
    bool Start();   // false when the recorder did not start
    void Stop();
    // When the first sample louder than `threshold` was heard after `since`
    // (the time each sample reached the monitor, reckoned back from when its
    // block came); false when none was within `ms` of waiting.
    // `came`, when given, is when the block holding it reached the recorder.
    bool FirstLoudAfter(DesktopClock::time_point since, int ms, DesktopClock::time_point* when,
                        DesktopClock::time_point* came = nullptr, int threshold = 500);
    // Root mean square of what was heard after `since`.
    double RmsAfter(DesktopClock::time_point since);

private:
    struct Block {
        DesktopClock::time_point came;
        std::vector<qint16> samples;
    };
    void Read();
    std::unique_ptr<Child> parec_;
    std::thread reader_;
    std::mutex mutex_;
    std::vector<Block> blocks_;
};

// Sends keys as a keyboard does (XTEST, through xdotool) to the window that
// has the focus.
bool SendKeys(const QString& keys);
// Gives the keyboard focus to the X window.
bool FocusWindow(unsigned long window);

// main() of a desktop test: the desktop first, then the application on it.
#define VARIN_DESKTOP_MAIN(TestObject)                                    \
    int main(int argc, char** argv)                                       \
    {                                                                     \
        Desktop desktop;                                                  \
        if (!desktop.Ready())                                             \
            qFatal("no desktop: %s", qPrintable(desktop.Error()));        \
        VarinApplication app(argc, argv);                                 \
        TestObject tc(&desktop);                                          \
        return QTest::qExec(&tc, argc, argv);                             \
    }
