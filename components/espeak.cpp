#include "espeak.h"

#include "runtime/runtime.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <climits>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
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
// A text of which the listener has heard no more than this is made again
// from its start when engine B's voice, pitch or speed change.
constexpr int kUnheardMs = 30;

struct Utterance {
    QString text;
    qsizetype pos = 0;
    // How it is spoken; none for engine B, whose texts take the channel's
    // voice as each piece is synthesised.
    std::optional<EspeakVoice> voice;
    quint64 id = 0;
};

// One speaker: engine B, or one voice object of engine A.
struct Channel {
    std::mutex m;
    std::shared_ptr<AudioOutput> output;
    std::unique_ptr<AudioStream> stream;   // opened when it first speaks
    int rate = 22050;                      // the stream's
    std::deque<Utterance> queue;
    quint64 generation = 0;                // a stop makes everything older void
    bool held = false;
    bool closed = false;
    EspeakVoice voice;                     // for texts with no voice of their own
    quint64 lastId = 0;
    // The text whose pieces are being synthesised, from its first piece on,
    // and how many samples had been written when it began.
    std::optional<Utterance> current;
    qint64 written = 0;
    qint64 currentFrom = 0;
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
        if (wav && count > 0 && ch.stream) {
            ch.stream->Write(wav, count);
            ch.written += count;
        }
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
        pick->rate = sampleRate_;
        Utterance& u = pick->queue.front();
        if (u.pos == 0) {
            pick->current = u;
            pick->currentFrom = pick->written;
        }
        const qsizetype end = PieceEnd(u.text, u.pos);
        job.channel = pick;
        job.generation = pick->generation;
        job.text = QStringView(u.text).mid(u.pos, end - u.pos).toUtf8();
        job.voice = u.voice ? *u.voice : pick->voice;
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

bool Blank(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

// Under ch.m.
void Append(Channel& ch, const QString& text, const std::optional<EspeakVoice>& voice)
{
    if (!Blank(text))
        ch.queue.push_back({text, 0, voice, ++ch.lastId});
}

// Under ch.m: ends what the channel says and drops what waits to be said.
void Silence(Channel& ch)
{
    ++ch.generation;
    ch.queue.clear();
    ch.current.reset();
    if (ch.stream)
        ch.stream->Discard();
}

void Enqueue(Channel& ch, const QString& text, const EspeakVoice& voice)
{
    if (Blank(text))
        return;   // nothing to say
    {
        std::lock_guard lock(ch.m);
        Append(ch, text, voice);
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
//
// Its settings hold for the speech in progress, not only for the next text:
// the callers hand over a text first and set pitch and speed after it, and
// the reading must come out at the speed just chosen. Each piece of a text
// takes the settings that stand when it is synthesised, and a text of which
// nothing has been heard yet is made again from its start when they change.
//
// Speak interrupts: a new text replaces what engine B is saying or still has
// to say, as a stop would, but keeps a pause. The callers stop it first
// where they want silence anyway; the reader's read button resumes a paused
// reading and hands over the whole text again, which then plays once, from
// its start, and never after the rest of the paused one.
class EspeakEngine::Shared : public SharedSpeech {
public:
    explicit Shared(const std::shared_ptr<AudioOutput>& output) : ch_(NewChannel(output))
    {
        std::lock_guard lock(ch_->m);
        ch_->voice = Voice();
    }
    ~Shared() override { Close(*ch_); }
    void Speak(const QString& text) override
    {
        {
            std::lock_guard lock(ch_->m);
            Silence(*ch_);
            Append(*ch_, text, std::nullopt);
        }
        Synthesizer::Get().Wake();
    }
    void SetPitch(int pitch) override { Retune(voice_, pitch, speed_); }
    void SetSpeed(int speed) override { Retune(voice_, pitch_, speed); }
    void SelectVoice(int voice) override
    {
        if (voice < 1 || voice > 18)
            throw RuntimeError(QStringLiteral("engine B has no voice %1").arg(voice));
        Retune(voice, pitch_, speed_);
    }
    void Stop() override
    {
        {
            std::lock_guard lock(ch_->m);
            Silence(*ch_);
            ch_->held = false;
            if (ch_->stream)
                ch_->stream->Hold(false);
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
    EspeakVoice Voice() const { return EspeakVoiceOf(voice_, EspeakSpeedWpm(speed_), 100, EspeakPitch(pitch_)); }

    void Retune(int voice, int pitch, int speed)
    {
        if (voice == voice_ && pitch == pitch_ && speed == speed_)
            return;
        voice_ = voice, pitch_ = pitch, speed_ = speed;
        {
            std::lock_guard lock(ch_->m);
            ch_->voice = Voice();
            if (!ch_->current || !ch_->stream)
                return;   // the next piece takes the new settings
            // Heard so far: what was made of it less what waits to be heard.
            const qint64 made = ch_->written - ch_->currentFrom;
            const qint64 waiting = qint64(ch_->stream->QueuedMs()) * ch_->rate / 1000;
            const bool unheard = made == 0 || made - waiting <= qint64(ch_->rate) * kUnheardMs / 1000;
            if (!unheard)
                return;   // partly heard: the rest takes the new settings
            // Nothing heard yet: the whole text in the new voice.
            Utterance again = *ch_->current;
            const bool queued = !ch_->queue.empty() && ch_->queue.front().id == again.id;
            ++ch_->generation;
            ch_->current.reset();
            ch_->stream->Discard();
            if (queued)
                ch_->queue.front().pos = 0;
            else
                ch_->queue.push_front(again);
        }
        Synthesizer::Get().Wake();
    }

    std::shared_ptr<Channel> ch_;
    int voice_ = 7, pitch_ = 204, speed_ = 140;
};

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
