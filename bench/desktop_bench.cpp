// The dictionary on a desktop of its own: an X server (Xvfb) and a PulseAudio
// server with a null sink recorded from its monitor, both started here, the
// real window with the program's engines and sound output, keys typed as a
// keyboard does (XTEST, through xdotool), clipboard owners in other processes.
// Prints
//   desktop keystroke_to_grid_ms p50=… p99=…    key event to the grid painted with the new result
//   desktop keystroke_to_sound_ms p50=… p99=…   key event to the first loud sample at the sink
//                                               (and to when the recorder got the block holding it)
//   desktop clipboard_hung_owner_stall_ms=…     longest wait for the window's answer to a ping
//                                               while an owner that never answers holds the clipboard
//   desktop clipboard_20mb_cpu_pct=…            processor use with 20 MB copied
// Key times are the X server's own time stamps of the key events, which
// Xvfb takes from the same monotonic clock as this process (checked first).
// Run from the folder that holds Data/DataBase.mdb (build/bin): ./desktop_bench
#include "components/audio.h"
#include "components/espeak.h"
#include "components/speech.h"
#include "desktopkit.h"
#include "dictionary/varin2.h"
#include "runtime/application.h"
#include "runtime/forms.h"
#include "startup/module1.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <xcb/xcb.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <poll.h>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

using Clock = DesktopClock;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// The monotonic clock in milliseconds, as the X server counts them (32 bits).
uint32_t MonotonicMs()
{
    return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count());
}

// When an X time stamp was, on this process's clock.
Clock::time_point FromServerTime(uint32_t stamp)
{
    const int32_t ago = int32_t(MonotonicMs() - stamp);
    return Clock::now() - std::chrono::milliseconds(ago);
}

void Percentiles(const char* name, std::vector<double> v, int misses)
{
    if (v.empty()) {
        std::printf("desktop %s none measured (misses=%d)\n", name, misses);
        return;
    }
    std::sort(v.begin(), v.end());
    const auto at = [&](double q) { return v[std::min<size_t>(v.size() - 1, size_t(q * v.size()))]; };
    std::printf("desktop %s p50=%.1f p99=%.1f (n=%zu max=%.1f misses=%d)\n", name, at(0.5), at(0.99), v.size(),
                v.back(), misses);
    std::fflush(stdout);
}

// Processor seconds of each thread of this process, by thread id and name.
std::map<QString, double> ThreadCpuSeconds()
{
    std::map<QString, double> out;
    const long tick = sysconf(_SC_CLK_TCK);
    for (const QString& tid : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(tid));
        QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(tid));
        if (!stat.open(QIODevice::ReadOnly) || !comm.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> f = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (f.size() > 12)
            out[tid + QLatin1Char(':') + QString::fromUtf8(comm.readAll().trimmed())] =
                (f[11].toDouble() + f[12].toDouble()) / tick;
    }
    return out;
}

double ProcessCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// A second X client of the bench's own.
class XClient {
public:
    XClient()
    {
        c_ = xcb_connect(nullptr, nullptr);
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    }
    ~XClient() { xcb_disconnect(c_); }

    xcb_atom_t Atom(const char* name)
    {
        auto* r = xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : 0;
        std::free(r);
        return a;
    }

    // Whether the server's time stamps are this process's monotonic
    // milliseconds: a property change, stamped by the server, between two
    // readings of the clock.
    bool ServerClockIsMonotonic()
    {
        const xcb_window_t w = xcb_generate_id(c_);
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, w, root_, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
        const uint32_t before = MonotonicMs();
        xcb_change_property(c_, XCB_PROP_MODE_APPEND, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0, nullptr);
        xcb_flush(c_);
        uint32_t stamp = 0;
        while (xcb_generic_event_t* e = xcb_wait_for_event(c_)) {
            const bool got = (e->response_type & 0x7f) == XCB_PROPERTY_NOTIFY;
            if (got)
                stamp = reinterpret_cast<xcb_property_notify_event_t*>(e)->time;
            std::free(e);
            if (got)
                break;
        }
        const uint32_t after = MonotonicMs();
        xcb_destroy_window(c_, w);
        xcb_flush(c_);
        std::printf("desktop server_clock before=%u stamp=%u after=%u\n", before, stamp, after);
        return int32_t(stamp - before) >= -1 && int32_t(after - stamp) >= -1;
    }

    // Pings the window as a window manager does (_NET_WM_PING, answered by
    // the window's own event loop) until `stop`; how long each answer took.
    std::vector<double> LongestPing(xcb_window_t window, const std::atomic<bool>& stop)
    {
        std::vector<double> answers;
        // The window answers to the root window, for whoever listens there.
        const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
        const xcb_atom_t protocols = Atom("WM_PROTOCOLS"), ping = Atom("_NET_WM_PING");
        longest_ = 0;
        const auto first = Clock::now();
        for (uint32_t n = 1; !stop; ++n) {
            xcb_client_message_event_t m{};
            m.response_type = XCB_CLIENT_MESSAGE;
            m.format = 32;
            m.window = window;
            m.type = protocols;
            m.data.data32[0] = ping;
            m.data.data32[1] = n;
            m.data.data32[2] = window;
            const auto sent = Clock::now();
            xcb_send_event(c_, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&m));
            xcb_flush(c_);
            bool answered = false;
            while (!answered) {
                xcb_generic_event_t* e = xcb_poll_for_event(c_);
                if (!e) {
                    if (xcb_connection_has_error(c_) || Clock::now() - sent > std::chrono::seconds(30))
                        return {};   // no answer at all: the window is gone or never answers pings
                    pollfd p{xcb_get_file_descriptor(c_), POLLIN, 0};
                    poll(&p, 1, 100);
                    continue;
                }
                if ((e->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                    auto* r = reinterpret_cast<xcb_client_message_event_t*>(e);
                    answered = r->window == root_ && r->data.data32[0] == ping && r->data.data32[1] == n;
                }
                std::free(e);
            }
            answers.push_back(Ms(Clock::now() - sent));
            if (answers.back() >= longest_) {
                longest_ = answers.back();
                longestAt_ = Ms(sent - first);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return answers;
    }

    double longestAt_ = 0;   // when the longest answer was asked for, ms after the first ping

private:
    double longest_ = 0;
    xcb_connection_t* c_;
    xcb_window_t root_;
};

// Notes the server time of every key the search field gets, and when the
// grid was painted after it.
class KeyWatch : public QObject {
public:
    explicit KeyWatch(Varin2& w) : w_(w)
    {
        w.Text->installEventFilter(this);
        w.DataGrid1->viewport()->installEventFilter(this);
    }
    std::atomic<int> keys{0};
    std::atomic<int> painted{0};
    Clock::time_point keyAt, paintedAt;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == w_.Text && event->type() == QEvent::KeyPress) {
            keyAt = FromServerTime(uint32_t(static_cast<QKeyEvent*>(event)->timestamp()));
            waitingPaint_ = true;
            ++keys;
        } else if (waitingPaint_ && event->type() == QEvent::Paint) {
            // Painted, and flushed to the screen once this update is over.
            waitingPaint_ = false;
            QMetaObject::invokeMethod(
                this, [this] {
                    paintedAt = Clock::now();
                    ++painted;
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    Varin2& w_;
    bool waitingPaint_ = false;
};

bool Key(const QString& name)
{
    return RunToEnd(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("0"), name})
           == 0;
}

// Runs `work` on a thread of its own while the window's event loop runs.
void WhileRunning(const std::function<void()>& work)
{
    std::atomic<bool> done{false};
    std::thread t([&] {
        work();
        done = true;
    });
    while (!done)
        QTest::qWait(5);
    t.join();
}

bool WaitFor(const std::function<bool()>& ready, int ms)
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (!ready()) {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void KeystrokeToGrid(Varin2& w, KeyWatch& watch)
{
    const QStringList words{"water", "house", "school", "friend", "language", "book", "dictionary", "bread"};
    std::vector<double> ms;
    int misses = 0;
    WhileRunning([&] {
        for (int round = 0; round < 3; ++round)
            for (const QString& word : words) {
                QStringList keys;
                for (QChar c : word)
                    keys << QString(c);
                for (int i = 0; i < word.size(); ++i)
                    keys << QStringLiteral("BackSpace");
                for (const QString& k : keys) {
                    const int painted = watch.painted;
                    if (!Key(k) || !WaitFor([&] { return watch.painted > painted; }, 2000)) {
                        ++misses;
                        continue;
                    }
                    if (round > 0)   // the first round warms up
                        ms.push_back(Ms(watch.paintedAt - watch.keyAt));
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                }
            }
    });
    Percentiles("keystroke_to_grid_ms", ms, misses);
}

void KeystrokeToSound(Varin2& w, KeyWatch& watch, MonitorRecorder& monitor)
{
    std::vector<double> ms, cameMs;
    int misses = 0, unchanged = 0;
    // Only a change of the entry's English text is spoken.
    std::atomic<int> changes{0};
    const auto counting = QObject::connect(w.Text2, &QLineEdit::textChanged, [&] { ++changes; });
    w.Text->setText(QStringLiteral("b"));
    WhileRunning([&] {
        for (int i = 0; i < 32; ++i) {
            // Silence first, so that what is heard next is the new entry.
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            const int keys = watch.keys, changed = changes;
            if (!Key(QStringLiteral("Down")) || !WaitFor([&] { return watch.keys > keys; }, 2000)) {
                ++misses;
                continue;
            }
            const auto key = watch.keyAt;
            Clock::time_point heard, came;
            if (!monitor.FirstLoudAfter(key, 3000, &heard, &came)) {
                if (changes == changed)
                    ++unchanged;   // the next entry has the same English text
                else
                    ++misses;
                continue;
            }
            if (i > 1) {
                ms.push_back(Ms(heard - key));
                cameMs.push_back(Ms(came - key));
            }
        }
    });
    QObject::disconnect(counting);
    // The sample's own time, reckoned back from its place in the block the
    // recorder got; and, as an upper bound, when that block came.
    Percentiles("keystroke_to_sound_ms", ms, misses);
    Percentiles("keystroke_to_recorded_block_ms", cameMs, misses);
    if (unchanged)
        std::printf("desktop   (%d keys moved to an entry with the same English text: nothing new to say)\n", unchanged);
}

}  // namespace

int main(int argc, char** argv)
{
    Desktop desktop;
    if (!desktop.Ready() || !desktop.StartSound()) {
        std::fprintf(stderr, "desktop_bench: %s\n", qPrintable(desktop.Ready() ? QStringLiteral("no sound server") : desktop.Error()));
        return 1;
    }
    VarinApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    SetMsgBoxPresenter([](const MsgBoxCall& call) {
        std::printf("desktop box: %s\n", qPrintable(call.prompt.simplified()));
        return kIdOk;
    });
    MonitorRecorder monitor;
    XClient x;
    const bool serverClock = x.ServerClockIsMonotonic();
    if (!monitor.Start() || !serverClock) {
        std::fprintf(stderr, "desktop_bench: %s\n", serverClock ? "no recorder (parec)" : "the X server's clock is not this one's");
        return 1;
    }
    SetSpeech(std::make_unique<EspeakEngine>(MakeSpeakerOutput()));
    Varin2& w = forms().Varin2();
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return 1;
    w.Timer3->Fire();   // the first capture (of an empty clipboard) is done
    w.activateWindow();
    FocusWindow(w.winId());
    w.Text->setFocus();
    QTest::qWait(500);
    std::printf("desktop entries=%d platform=%s\n", w.Data1->RecordCount(), qPrintable(QGuiApplication::platformName()));
    std::fflush(stdout);
    KeyWatch watch(w);

    KeystrokeToGrid(w, watch);
    KeystrokeToSound(w, watch, monitor);
    monitor.Stop();

    // A never-answering owner holds the clipboard for twelve seconds, while
    // a key is typed every 300 ms and the window is pinged all the time; the
    // same first with an owner that answers, for comparison.
    for (const bool hangs : {false, true}) {
        Child hung(QStringLiteral("varin-clipowner"), hangs ? QStringList{"hang"} : QStringList{"answer", "word"});
        if (hung.ReadLine(10000) != "owner")
            return 1;
        std::atomic<bool> stop{false};
        std::vector<double> answers;
        std::thread pinger([&] { answers = x.LongestPing(w.winId(), stop); });
        WhileRunning([&] {
            for (int i = 0; i < 40; ++i) {
                Key(i % 2 ? QStringLiteral("BackSpace") : QStringLiteral("a"));
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
            }
        });
        stop = true;
        QTest::qWait(50);
        pinger.join();
        int asked = 0;
        for (const QByteArray& line : hung.LinesSoFar())
            asked += line == "request";
        std::sort(answers.begin(), answers.end());
        const double longest = answers.empty() ? -1 : answers.back();
        const double p99 = answers.empty() ? -1 : answers[answers.size() * 99 / 100];
        const long over50 = std::count_if(answers.begin(), answers.end(), [](double a) { return a > 50; });
        if (hangs)
            std::printf("desktop clipboard_hung_owner_stall_ms=%.1f (pings=%zu p99=%.1f over_50ms=%ld at=%.0fms owner_asked=%d)\n",
                        longest, answers.size(), p99, over50, x.longestAt_, asked);
        else
            std::printf("desktop answering_owner_stall_ms=%.1f (pings=%zu p99=%.1f over_50ms=%ld at=%.0fms, for comparison)\n",
                        longest, answers.size(), p99, over50, x.longestAt_);
        std::fflush(stdout);
    }

    // Processor use over ten seconds with a small word copied, then with 20 MB.
    for (const int mb : {0, 20}) {
        const QString file = desktop.Folder() + QStringLiteral("/copied.txt");
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write(mb ? "house " : "water");
        if (mb)
            f.write(QByteArray(mb << 20, 'x'));
        f.close();
        Child xclip(QStringLiteral("xclip"),
                    {QStringLiteral("-quiet"), QStringLiteral("-selection"), QStringLiteral("clipboard"),
                     QStringLiteral("-i"), file});
        const QString word = mb ? QStringLiteral("house") : QStringLiteral("water");
        if (!QTest::qWaitFor([&] { return w.Text->text() == word; }, 15000)) {
            std::printf("desktop %d MB copied: not captured\n", mb);
            continue;
        }
        QTest::qWait(2000);
        const double before = ProcessCpuSeconds();
        const auto threadsBefore = ThreadCpuSeconds();
        const auto start = Clock::now();
        // The event loop itself, not QTest::qWait, which wakes every 10 ms.
        QEventLoop idle;
        QTimer::singleShot(10000, &idle, &QEventLoop::quit);
        idle.exec();
        const double seconds = Ms(Clock::now() - start) / 1000.0;
        const double pct = 100.0 * (ProcessCpuSeconds() - before) / seconds;
        QString threads;
        for (const auto& [name, cpu] : ThreadCpuSeconds()) {
            const auto was = threadsBefore.find(name);
            const double used = cpu - (was == threadsBefore.end() ? 0 : was->second);
            if (used > 0)
                threads += QStringLiteral(" %1=%2").arg(name).arg(100.0 * used / seconds, 0, 'f', 2);
        }
        if (mb)
            std::printf("desktop clipboard_20mb_cpu_pct=%.3f\n", pct);
        else
            std::printf("desktop clipboard_word_cpu_pct=%.3f (a five-letter word copied, for comparison)\n", pct);
        std::printf("desktop   by thread (pct):%s\n", qPrintable(threads));
        std::fflush(stdout);
    }
    // The window goes without its close handler, so nothing is saved.
    forms().Unload();
    SetSpeech(nullptr);
    return 0;
}
