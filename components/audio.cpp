#include "audio.h"

#include <QByteArray>
#include <QCoreApplication>
#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <vector>

// The speaker talks to the desktop's sound server (PulseAudio, or PipeWire
// through its PulseAudio interface) directly with libpulse. Qt Multimedia's
// own connection to the server is made once per process: started before the
// server, or with the server still away three seconds after it went, it
// gives up for good and speech would stay silent until the program restarts.
// Here the connection is made again whenever there is something to say and
// none stands, and every stream plays on the server's current default
// device, which the server follows when the default changes.

namespace {

using Clock = std::chrono::steady_clock;

// The server keeps about this much of a stream; the rest waits here, so a
// stop or a pause takes effect at once.
constexpr int kServerMs = 100;
// A stream starts playing once this much has arrived.
constexpr int kStartMs = 10;
// With no server, the next attempt to reach it waits at least this long,
// unless a new speech begins (a discard or a new stream).
constexpr auto kRetryAfter = std::chrono::milliseconds(500);
// A server that takes longer than this to answer is taken for absent, so
// that speech waiting for it is not played long after it was asked for.
constexpr auto kAnswerWithin = std::chrono::seconds(2);

// One stream's audio. The window's thread and the synthesis thread append and
// discard under `mutex`; the main loop's thread hands it to the server.
struct Line {
    int rate = 22050;
    std::mutex mutex;
    QByteArray waiting;            // written, not yet handed to the server
    bool held = false;
    // Audio with nowhere to go plays to no one, in real time, so that the
    // synthesiser keeps its pace and a server that comes back mid-text plays
    // on from where the listener would be.
    Clock::duration silent{};      // left to "play" as of silentFrom
    Clock::time_point silentFrom;
    // Under the main loop's lock.
    pa_stream* stream = nullptr;
    bool closed = false;
    qint64 handed = 0;             // bytes handed to the server since the stream began or was flushed

    qint64 Bytes(Clock::duration d) const
    {
        return std::chrono::duration_cast<std::chrono::microseconds>(d).count() * rate / 1000000 * 2;
    }
    Clock::duration Duration(qint64 bytes) const { return std::chrono::microseconds(bytes / 2 * 1000000 / rate); }

    // Under `mutex`.
    Clock::duration SilentLeft(Clock::time_point now) const
    {
        if (held)
            return silent;
        return std::max(Clock::duration{}, silent - (now - silentFrom));
    }
    void Settle(Clock::time_point now)
    {
        silent = SilentLeft(now);
        silentFrom = now;
    }
    void Silence(Clock::time_point now)   // what waits plays to no one
    {
        Settle(now);
        silent += Duration(waiting.size());
        waiting.clear();
    }
};

// The connection to the sound server and its streams. Every member is used
// under the main loop's lock; the loop's callbacks already hold it.
class Pulse {
public:
    Pulse() : loop_(pa_threaded_mainloop_new())
    {
        if (loop_ && pa_threaded_mainloop_start(loop_) != 0) {
            pa_threaded_mainloop_free(loop_);
            loop_ = nullptr;
        }
    }
    ~Pulse()
    {
        if (!loop_)
            return;
        pa_threaded_mainloop_lock(loop_);
        for (auto* line : lines_)
            DropStream(*line, true);
        DropContext(true);
        pa_threaded_mainloop_unlock(loop_);
        pa_threaded_mainloop_stop(loop_);
        pa_threaded_mainloop_free(loop_);
    }
    Pulse(const Pulse&) = delete;
    Pulse& operator=(const Pulse&) = delete;

    // Runs f under the main loop's lock; without a loop (libpulse could not
    // start one), under a lock of its own, and f finds no server.
    template <typename F>
    void Locked(F f)
    {
        if (!loop_) {
            std::lock_guard lock(noLoop_);
            f();
            return;
        }
        pa_threaded_mainloop_lock(loop_);
        f();
        pa_threaded_mainloop_unlock(loop_);
    }

    void Add(Line& line)
    {
        lines_.push_back(&line);
        retryNow_ = true;
    }
    void Remove(Line& line)
    {
        line.closed = true;
        DropStream(line, true);
        std::erase(lines_, &line);
    }

    // Hands the server what it has room for, opening the stream, and the
    // connection, first when there are none.
    void Feed(Line& line)
    {
        if (line.closed)
            return;
        if (context_ && !Connected() && Clock::now() - lastAttempt_ > kAnswerWithin)
            DropContext(true);
        if (!Connected()) {
            Connect();
            if (!context_) {   // nothing to play on
                std::lock_guard lock(line.mutex);
                line.Silence(Clock::now());
                return;
            }
            if (!Connected())
                return;        // connecting: the audio waits for the answer
        }
        if (!line.stream && !OpenStream(line)) {
            std::lock_guard lock(line.mutex);
            line.Silence(Clock::now());
            return;
        }
        if (pa_stream_get_state(line.stream) != PA_STREAM_READY)
            return;            // the stream asks for its audio when it is ready
        const size_t room = pa_stream_writable_size(line.stream);
        if (room == size_t(-1))
            return;
        std::lock_guard lock(line.mutex);
        const qsizetype n = std::min<qsizetype>(line.waiting.size(), qsizetype(room)) & ~qsizetype(1);
        if (n <= 0)
            return;
        if (pa_stream_write(line.stream, line.waiting.constData(), size_t(n), nullptr, 0, PA_SEEK_RELATIVE) == 0) {
            line.waiting.remove(0, n);
            line.handed += n;
        }
    }

    void Flush(Line& line)
    {
        retryNow_ = true;
        line.handed = 0;
        if (line.stream && pa_stream_get_state(line.stream) == PA_STREAM_READY)
            Forget(pa_stream_flush(line.stream, nullptr, nullptr));
    }

    void Cork(Line& line, bool held)
    {
        if (line.stream && pa_stream_get_state(line.stream) == PA_STREAM_READY)
            Forget(pa_stream_cork(line.stream, held ? 1 : 0, nullptr, nullptr));
    }

    // What the server holds of the line and has not played yet.
    int ServerMs(Line& line)
    {
        if (!line.stream || pa_stream_get_state(line.stream) != PA_STREAM_READY)
            return 0;
        pa_usec_t usec = 0;
        int negative = 0;
        const int r = pa_stream_get_latency(line.stream, &usec, &negative);
        if (r == -PA_ERR_NODATA) {
            // Just after a start or a flush the server has not said where it
            // is: take what it was given as not played yet.
            return int(std::chrono::duration_cast<std::chrono::milliseconds>(line.Duration(line.handed)).count());
        }
        if (r != 0 || negative)
            return 0;
        return int(usec / 1000);
    }

private:
    static void Forget(pa_operation* op)
    {
        if (op)
            pa_operation_unref(op);
    }

    bool Connected() const { return context_ && pa_context_get_state(context_) == PA_CONTEXT_READY; }

    void Connect()
    {
        if (context_ || !loop_)
            return;
        const auto now = Clock::now();
        if (!retryNow_ && now - lastAttempt_ < kRetryAfter)
            return;
        retryNow_ = false;
        lastAttempt_ = now;
        const QByteArray name = QCoreApplication::applicationName().toUtf8();
        context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), name.isEmpty() ? "Varin" : name.constData());
        if (!context_)
            return;
        pa_context_set_state_callback(context_, &Pulse::OnContextState, this);
        // Never start a sound server of our own: the desktop runs one, or
        // there is none to be had.
        if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            DropContext(false);
    }

    void DropContext(bool disconnect)
    {
        if (!context_)
            return;
        pa_context_set_state_callback(context_, nullptr, nullptr);
        if (disconnect)
            pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
    }

    bool OpenStream(Line& line)
    {
        const pa_sample_spec format{PA_SAMPLE_S16LE, uint32_t(line.rate), 1};
        pa_stream* s = pa_stream_new(context_, "speech", &format, nullptr);
        if (!s)
            return false;
        pa_stream_set_state_callback(s, &Pulse::OnStreamState, &line);
        pa_stream_set_write_callback(s, &Pulse::OnWritable, this);
        pa_buffer_attr attr;
        attr.maxlength = uint32_t(-1);
        attr.tlength = uint32_t(line.Bytes(std::chrono::milliseconds(kServerMs)));
        attr.prebuf = uint32_t(line.Bytes(std::chrono::milliseconds(kStartMs)));
        attr.minreq = uint32_t(-1);
        attr.fragsize = uint32_t(-1);
        int flags = PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_ADJUST_LATENCY;
        {
            std::lock_guard lock(line.mutex);
            if (line.held)
                flags |= PA_STREAM_START_CORKED;
        }
        // No device named: the server's default, now and after it changes.
        if (pa_stream_connect_playback(s, nullptr, &attr, pa_stream_flags_t(flags), nullptr, nullptr) < 0) {
            pa_stream_set_state_callback(s, nullptr, nullptr);
            pa_stream_set_write_callback(s, nullptr, nullptr);
            pa_stream_unref(s);
            return false;
        }
        line.stream = s;
        line.handed = 0;
        return true;
    }

    static void DropStream(Line& line, bool disconnect)
    {
        pa_stream* s = std::exchange(line.stream, nullptr);
        if (!s)
            return;
        pa_stream_set_state_callback(s, nullptr, nullptr);
        pa_stream_set_write_callback(s, nullptr, nullptr);
        if (disconnect)
            pa_stream_disconnect(s);
        pa_stream_unref(s);
    }

    Line* LineOf(pa_stream* s)
    {
        for (auto* line : lines_)
            if (line->stream == s)
                return line;
        return nullptr;
    }

    static void OnContextState(pa_context* c, void* self)
    {
        auto& pulse = *static_cast<Pulse*>(self);
        switch (pa_context_get_state(c)) {
        case PA_CONTEXT_READY:
            for (auto* line : pulse.lines_)
                pulse.Feed(*line);
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED: {
            // The server went away (or never answered): its streams went
            // with it. What waited plays to no one; the next audio connects
            // again.
            const auto now = Clock::now();
            for (auto* line : pulse.lines_) {
                DropStream(*line, false);
                std::lock_guard lock(line->mutex);
                line->Silence(now);
            }
            pulse.DropContext(false);   // libpulse holds the context until this call returns
            pulse.retryNow_ = true;
            break;
        }
        default:
            break;
        }
    }

    static void OnStreamState(pa_stream* s, void* data)
    {
        auto& line = *static_cast<Line*>(data);
        const pa_stream_state_t state = pa_stream_get_state(s);
        if (state == PA_STREAM_READY) {
            // A pause or a resume may have come while the stream was made.
            bool held;
            {
                std::lock_guard lock(line.mutex);
                held = line.held;
            }
            Forget(pa_stream_cork(s, held ? 1 : 0, nullptr, nullptr));
        }
        if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED) {
            // A stream the server ended (its device gone, or killed): the
            // line opens a new one on the next audio.
            if (line.stream == s)
                DropStream(line, false);
            std::lock_guard lock(line.mutex);
            line.Silence(Clock::now());
        }
    }

    static void OnWritable(pa_stream* s, size_t, void* self)
    {
        auto& pulse = *static_cast<Pulse*>(self);
        if (Line* line = pulse.LineOf(s))
            pulse.Feed(*line);
    }

    pa_threaded_mainloop* loop_ = nullptr;
    std::mutex noLoop_;
    pa_context* context_ = nullptr;
    std::vector<Line*> lines_;
    Clock::time_point lastAttempt_;
    bool retryNow_ = true;
};

class SpeakerStream : public AudioStream {
public:
    SpeakerStream(std::shared_ptr<Pulse> pulse, int rate) : pulse_(std::move(pulse))
    {
        line_.rate = rate;
        line_.silentFrom = Clock::now();
        pulse_->Locked([this] { pulse_->Add(line_); });
    }
    ~SpeakerStream() override
    {
        pulse_->Locked([this] { pulse_->Remove(line_); });
    }
    void Write(const qint16* samples, int count) override
    {
        if (count <= 0)
            return;
        {
            std::lock_guard lock(line_.mutex);
            line_.waiting.append(reinterpret_cast<const char*>(samples), qsizetype(count) * 2);
        }
        pulse_->Locked([this] { pulse_->Feed(line_); });
    }
    int QueuedMs() const override
    {
        int server = 0;
        pulse_->Locked([&] { server = pulse_->ServerMs(line_); });
        std::lock_guard lock(line_.mutex);
        const auto left = line_.SilentLeft(Clock::now()) + line_.Duration(line_.waiting.size());
        return server + int(std::chrono::duration_cast<std::chrono::milliseconds>(left).count());
    }
    void Discard() override
    {
        {
            std::lock_guard lock(line_.mutex);
            line_.waiting.clear();
            line_.silent = {};
            line_.silentFrom = Clock::now();
        }
        pulse_->Locked([this] { pulse_->Flush(line_); });
    }
    void Hold(bool held) override
    {
        {
            std::lock_guard lock(line_.mutex);
            if (line_.held == held)
                return;
            line_.Settle(Clock::now());
            line_.held = held;
        }
        pulse_->Locked([this, held] {
            pulse_->Cork(line_, held);
            if (!held)
                pulse_->Feed(line_);
        });
    }

private:
    std::shared_ptr<Pulse> pulse_;
    mutable Line line_;
};

class SpeakerOutput : public AudioOutput {
public:
    std::unique_ptr<AudioStream> Open(int sampleRate) override
    {
        return std::make_unique<SpeakerStream>(pulse_, sampleRate);
    }

private:
    std::shared_ptr<Pulse> pulse_ = std::make_shared<Pulse>();
};

}  // namespace

std::shared_ptr<AudioOutput> MakeSpeakerOutput()
{
    return std::make_shared<SpeakerOutput>();
}
