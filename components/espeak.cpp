#include "espeak.h"

#include "runtime/runtime.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr int kAheadMs = EspeakEngine::kAheadMs;
// A text is synthesised a sentence at a time, and no more than this many
// characters at once, so the first words play at once and a stop takes effect
// between two pieces at the latest.
constexpr qsizetype kMaxPiece = 240;
// eSpeak NG hands over its samples every this many milliseconds of audio.
constexpr int kBufferMs = 40;

struct Utterance {
    QString text;
    qsizetype pos = 0;
    EspeakVoice voice;
};

// One speaker: engine B, or one voice object of engine A.
struct Channel {
    std::mutex m;
    std::shared_ptr<AudioOutput> output;
    std::unique_ptr<AudioStream> stream;   // opened when it first speaks
    std::deque<Utterance> queue;
    quint64 generation = 0;                // a stop makes everything older void
    bool held = false;
    bool closed = false;
};

bool IsSentenceEnd(QChar c)
{
    return c == u'.' || c == u'!' || c == u'?' || c == u';' || c == u':' || c == u'\n' || c == u'\x061F'
           || c == u'\x06D4';
}

// Where the piece that starts at `pos` ends: after its sentence, or at a
// space or comma before the limit.
qsizetype PieceEnd(const QString& text, qsizetype pos)
{
    const qsizetype limit = std::min(text.size(), pos + kMaxPiece);
    for (qsizetype i = pos; i < limit; ++i)
        if (IsSentenceEnd(text[i]) && (i + 1 == text.size() || text[i + 1].isSpace() || text[i] == u'\n'))
            return i + 1;
    if (limit == text.size())
        return limit;
    for (QChar stop : {QChar(u','), QChar(u' ')})
        for (qsizetype i = limit - 1; i > pos + kMaxPiece / 3; --i)
            if (text[i] == stop || (stop == u' ' && text[i].isSpace()))
                return i + 1;
    qsizetype end = limit;
    if (text[end - 1].isHighSurrogate())
        --end;
    return end;
}

// The one thread that owns eSpeak NG.
class Synthesizer {
public:
    static Synthesizer& Get()
    {
        static Synthesizer instance;
        return instance;
    }

    void Add(const std::shared_ptr<Channel>& ch)
    {
        std::lock_guard lock(m_);
        channels_.push_back(ch);
    }

    void Wake()
    {
        { std::lock_guard lock(m_); }   // the thread is either waiting or will look again
        cv_.notify_all();
    }

    bool Available()
    {
        std::unique_lock lock(m_);
        idle_.wait(lock, [this] { return state_ != kStarting; });
        return state_ == kReady;
    }

    bool WaitUntilIdle(int timeoutMs, bool aheadCounts)
    {
        std::unique_lock lock(m_);
        return idle_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return state_ != kStarting && !busy_ && !AnyWork(aheadCounts); });
    }

    ~Synthesizer()
    {
        {
            std::lock_guard lock(m_);
            quit_ = true;
            cv_.notify_all();
        }
        thread_.join();
    }

private:
    enum State { kStarting, kReady, kFailed };

    Synthesizer() : thread_([this] { Run(); }) {}

    static int Callback(short* wav, int count, espeak_EVENT*)
    {
        Synthesizer& s = Get();
        if (!s.current_)
            return 0;   // the warm-up: heard by no one
        Channel& ch = *s.current_;
        std::lock_guard lock(ch.m);
        if (ch.closed || ch.generation != s.currentGeneration_)
            return 1;   // stopped or released: abandon the rest of the piece
        if (wav && count > 0 && ch.stream)
            ch.stream->Write(wav, count);
        return 0;
    }

    bool Initialise()
    {
        espeak_ng_InitializePath(nullptr);
        espeak_ng_ERROR_CONTEXT context = nullptr;
        if (espeak_ng_Initialize(&context) != ENS_OK) {
            espeak_ng_ClearErrorContext(&context);
            return false;
        }
        if (espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, kBufferMs, nullptr) != ENS_OK)
            return false;
        sampleRate_ = espeak_ng_GetSampleRate();
        espeak_SetSynthCallback(&Synthesizer::Callback);
        // The first word would otherwise wait for the default voice to load.
        voiceName_ = EspeakVoiceName(7);
        espeak_SetVoiceByName(voiceName_.c_str());
        espeak_Synth("a", 2, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
        return sampleRate_ > 0;
    }

    // Under m_: whether a channel has text left that it may synthesise now;
    // with `aheadCounts`, one that is far enough ahead of its listener may not.
    bool AnyWork(bool aheadCounts = false)
    {
        for (auto& weak : channels_)
            if (auto ch = weak.lock()) {
                std::lock_guard lock(ch->m);
                if (!ch->closed && !ch->held && !ch->queue.empty()
                    && !(aheadCounts && ch->stream && ch->stream->QueuedMs() >= kAheadMs))
                    return true;
            }
        return false;
    }

    struct Job {
        std::shared_ptr<Channel> channel;
        quint64 generation = 0;
        QByteArray text;
        EspeakVoice voice;
    };

    enum class Next {
        kJob,     // a piece to synthesise
        kAgain,   // look again at once
        kLater,   // some are far enough ahead: look again in a moment
        kIdle,    // nothing to do until woken
    };

    // Under m_: the next piece to synthesise, from the channel that has least
    // left to play.
    Next NextJob(Job& job)
    {
        bool throttled = false;
        std::erase_if(channels_, [](const std::weak_ptr<Channel>& w) { return w.expired(); });
        std::shared_ptr<Channel> pick;
        int least = INT_MAX;
        for (auto& weak : channels_) {
            auto ch = weak.lock();
            if (!ch)
                continue;
            std::lock_guard lock(ch->m);
            if (ch->closed || ch->held || ch->queue.empty())
                continue;
            if (state_ != kReady) {
                ch->queue.clear();   // no synthesiser: silence
                continue;
            }
            const int queued = ch->stream ? ch->stream->QueuedMs() : 0;
            if (queued >= kAheadMs) {
                throttled = true;
                continue;
            }
            if (queued < least) {
                least = queued;
                pick = ch;
            }
        }
        if (!pick)
            return throttled ? Next::kLater : Next::kIdle;
        std::lock_guard lock(pick->m);
        if (!pick->stream && !(pick->stream = pick->output->Open(sampleRate_))) {
            pick->queue.clear();   // nothing to play on: silence
            return Next::kAgain;
        }
        Utterance& u = pick->queue.front();
        const qsizetype end = PieceEnd(u.text, u.pos);
        job.channel = pick;
        job.generation = pick->generation;
        job.text = QStringView(u.text).mid(u.pos, end - u.pos).toUtf8();
        job.voice = u.voice;
        u.pos = end;
        if (u.pos >= u.text.size())
            pick->queue.pop_front();
        return Next::kJob;
    }

    void Synthesise(const Job& job)
    {
        if (job.voice.name != voiceName_) {
            if (espeak_SetVoiceByName(job.voice.name.c_str()) == EE_OK)
                voiceName_ = job.voice.name;
            else if (espeak_SetVoiceByName("en") == EE_OK)
                voiceName_ = "en";
        }
        espeak_SetParameter(espeakRATE, job.voice.wpm, 0);
        espeak_SetParameter(espeakVOLUME, job.voice.volume, 0);
        espeak_SetParameter(espeakPITCH, job.voice.pitch, 0);
        espeak_SetParameter(espeakRANGE, job.voice.range, 0);
        current_ = job.channel.get();
        currentGeneration_ = job.generation;
        espeak_Synth(job.text.constData(), size_t(job.text.size()) + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                     nullptr, nullptr);
        current_ = nullptr;
    }

    void Run()
    {
        const bool ok = Initialise();
        std::unique_lock lock(m_);
        state_ = ok ? kReady : kFailed;
        idle_.notify_all();
        while (!quit_) {
            Job job;
            const Next next = NextJob(job);
            if (next == Next::kAgain)
                continue;
            if (next != Next::kJob) {
                busy_ = false;
                idle_.notify_all();
                if (next == Next::kLater)
                    cv_.wait_for(lock, std::chrono::milliseconds(20));
                else
                    cv_.wait(lock);
                continue;
            }
            busy_ = true;
            lock.unlock();
            Synthesise(job);
            job.channel.reset();
            lock.lock();
        }
    }

    std::mutex m_;
    std::condition_variable cv_, idle_;
    std::vector<std::weak_ptr<Channel>> channels_;
    State state_ = kStarting;
    bool busy_ = false, quit_ = false;
    int sampleRate_ = 22050;
    // The synthesis thread's own.
    std::string voiceName_;
    Channel* current_ = nullptr;
    quint64 currentGeneration_ = 0;
    std::thread thread_;
};

std::shared_ptr<Channel> NewChannel(const std::shared_ptr<AudioOutput>& output)
{
    auto ch = std::make_shared<Channel>();
    ch->output = output;
    Synthesizer::Get().Add(ch);
    return ch;
}

void Enqueue(Channel& ch, const QString& text, const EspeakVoice& voice)
{
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); }))
        return;   // nothing to say
    {
        std::lock_guard lock(ch.m);
        ch.queue.push_back({text, 0, voice});
    }
    Synthesizer::Get().Wake();
}

void Close(Channel& ch)
{
    std::unique_ptr<AudioStream> stream;
    {
        std::lock_guard lock(ch.m);
        ch.closed = true;
        ++ch.generation;
        ch.queue.clear();
        stream = std::move(ch.stream);
    }
    // Released outside the lock; the synthesis thread sees the channel closed.
}

// Engine A's voice object. Its channel lives as long as it does.
class EspeakVoiceObject : public VoiceObject {
public:
    explicit EspeakVoiceObject(const std::shared_ptr<AudioOutput>& output) : ch_(NewChannel(output)) {}
    ~EspeakVoiceObject() override { Close(*ch_); }
    void SetRate(int rate) override { rate_ = std::clamp(rate, -10, 10); }
    void SetVolume(int volume) override { volume_ = std::clamp(volume, 0, 100); }
    // Speech is always asynchronous: no window waits for a voice to finish.
    void Speak(const QString& text, int) override
    {
        Enqueue(*ch_, text, EspeakVoiceOf(0, EspeakRateWpm(rate_), volume_, 50));
    }

private:
    std::shared_ptr<Channel> ch_;
    int rate_ = 0, volume_ = 100;
};

}  // namespace

// Engine B: one channel that keeps its voice, pitch and speed between calls.
// Each text takes the settings that stand when it is handed over.
class EspeakEngine::Shared : public SharedSpeech {
public:
    explicit Shared(const std::shared_ptr<AudioOutput>& output) : ch_(NewChannel(output)) {}
    ~Shared() override { Close(*ch_); }
    void Speak(const QString& text) override
    {
        Enqueue(*ch_, text, EspeakVoiceOf(voice_, EspeakSpeedWpm(speed_), 100, EspeakPitch(pitch_)));
    }
    void SetPitch(int pitch) override { pitch_ = pitch; }
    void SetSpeed(int speed) override { speed_ = speed; }
    void SelectVoice(int voice) override
    {
        if (voice < 1 || voice > 18)
            throw RuntimeError(QStringLiteral("engine B has no voice %1").arg(voice));
        voice_ = voice;
    }
    void Stop() override
    {
        {
            std::lock_guard lock(ch_->m);
            ++ch_->generation;
            ch_->queue.clear();
            ch_->held = false;
            if (ch_->stream) {
                ch_->stream->Discard();
                ch_->stream->Hold(false);
            }
        }
        Synthesizer::Get().Wake();
    }
    void Pause() override
    {
        std::lock_guard lock(ch_->m);
        if (ch_->held)
            return;
        ch_->held = true;
        if (ch_->stream)
            ch_->stream->Hold(true);
    }
    void Resume() override
    {
        {
            std::lock_guard lock(ch_->m);
            if (!ch_->held)
                return;
            ch_->held = false;
            if (ch_->stream)
                ch_->stream->Hold(false);
        }
        Synthesizer::Get().Wake();
    }

private:
    std::shared_ptr<Channel> ch_;
    int voice_ = 7, pitch_ = 204, speed_ = 140;
};

namespace {

struct Style {
    const char* name;   // language, then variant
    int pitchShift;     // added to the chosen pitch, on eSpeak NG's 0 to 100
    int range;
};

// Eighteen voices a listener tells apart: eSpeak NG's male, female and
// special variants over four English accents, each with a pitch and a lilt of
// its own (a shift of 10 is about a tenth higher or lower).
const Style kStyles[] = {
    {"en-us", 0, 50},                                                      // engine A
    {"en+m1", -16, 40},  {"en-gb-x-rp+m2", 14, 60}, {"en+m3", 0, 70},     {"en-029+m4", -8, 80},
    {"en+m5", 24, 50},   {"en-gb-scotland+m6", 6, 35}, {"en-us+m3", 0, 50}, {"en+m7", -24, 45},
    {"en+f1", -12, 55},  {"en-us+f2", 4, 40},       {"en+f3", -4, 75},     {"en-gb-scotland+f4", 12, 60},
    {"en+f5", 20, 85},   {"en+croak", 10, 30},      {"en-us+klatt", -4, 65}, {"en+whisper", 0, 50},
    {"en+m8", 18, 90},   {"en+Storm", -10, 20},
};

}  // namespace

EspeakVoice EspeakVoiceOf(int item, int wpm, int volume, int pitch)
{
    const Style& style = kStyles[std::clamp(item, 0, 18)];
    return {style.name, wpm, volume, std::clamp(pitch + style.pitchShift, 0, 100), style.range};
}

std::string EspeakVoiceName(int item)
{
    return kStyles[std::clamp(item, 0, 18)].name;
}

int EspeakRateWpm(int rate)
{
    // The voice object's rate runs from -10, a third of the normal speed, to
    // 10, three times it, in even steps of the factor 3^(1/10); eSpeak NG
    // speaks 175 words a minute normally and takes 80 to 450.
    const double wpm = 175.0 * std::pow(3.0, std::clamp(rate, -10, 10) / 10.0);
    return std::clamp(int(std::lround(wpm)), 80, 450);
}

int EspeakSpeedWpm(int speed)
{
    // Engine B's speeds run from 35 to 245 with 140 in the middle. The middle
    // is eSpeak NG's normal 175 words a minute; the lower half stretches down
    // to its slowest, 80, the upper half up to twice the normal, 350.
    const int s = std::clamp(speed, 35, 245);
    const int wpm = s <= 140 ? 80 + (s - 35) * 95 / 105 : 175 + (s - 140) * 175 / 105;
    return std::clamp(wpm, 80, 450);
}

int EspeakPitch(int pitch)
{
    // The pitch list's 84 to 334 cover eSpeak NG's whole 0 to 100 evenly, so
    // the list's default 204 lands near the voice's own pitch, 50.
    return std::clamp((pitch - 84) * 100 / 250, 0, 100);
}

EspeakEngine::EspeakEngine(std::shared_ptr<AudioOutput> output)
    : output_(std::move(output)), engineB_(std::make_unique<Shared>(output_))
{
}

EspeakEngine::~EspeakEngine() = default;

std::unique_ptr<VoiceObject> EspeakEngine::NewVoice()
{
    return std::make_unique<EspeakVoiceObject>(output_);
}

SharedSpeech& EspeakEngine::EngineB()
{
    return *engineB_;
}

bool EspeakEngine::Available()
{
    return Synthesizer::Get().Available();
}

bool EspeakEngine::WaitUntilIdle(int timeoutMs)
{
    return Synthesizer::Get().WaitUntilIdle(timeoutMs, false);
}

bool EspeakEngine::WaitUntilResting(int timeoutMs)
{
    return Synthesizer::Get().WaitUntilIdle(timeoutMs, true);
}
