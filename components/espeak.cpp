#include "espeak.h"

#include "espeakchannel.h"
#include "espeakpieces.h"
#include "runtime/runtime.h"
#include "sorani.h"
#include "wordprogress.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <algorithm>
#include <climits>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

using espeak::Append;
using espeak::Blank;
using espeak::Channel;
using espeak::Close;
using espeak::KurdishVoice;
using espeak::PieceEnd;
using espeak::RunEnd;
using espeak::Silence;
using espeak::Utterance;
using espeak::WordWatch;

namespace {

constexpr int kAheadMs = EspeakEngine::kAheadMs;
// eSpeak NG hands over its samples every this many milliseconds of audio.
constexpr int kBufferMs = 40;
// A text of which the listener has heard no more than this is made again
// from its start when engine B's voice, pitch or speed change.
constexpr int kUnheardMs = 30;

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

    // Runs a task on the synthesis thread, between two pieces, and waits for
    // it. For tests and benchmarks.
    void Call(const std::function<void()>& task)
    {
        std::packaged_task<void()> job(task);
        auto done = job.get_future();
        {
            std::lock_guard lock(m_);
            tasks_.push_back(std::move(job));
        }
        cv_.notify_all();
        done.get();
    }

    // On the synthesis thread: the phonemes eSpeak NG makes of the text, each
    // run of one script with the voice that speaks it.
    std::string Phonemes(const QString& text, const EspeakVoice& voice)
    {
        std::string out;
        if (state_ != kReady)
            return out;
        for (qsizetype pos = 0; pos < text.size();) {
            bool arabic = false;
            const qsizetype end = RunEnd(text, pos, text.size(), &arabic);
            const QString run = text.mid(pos, end - pos);
            pos = end;
            if (!UseVoice(arabic ? KurdishVoice(voice) : voice, arabic))
                continue;
            const QByteArray utf8 = (arabic ? SoraniToLatin(run) : run).toUtf8();
            const void* p = utf8.constData();
            while (p)
                if (const char* ph = espeak_TextToPhonemes(&p, espeakCHARS_UTF8, 0))
                    out += std::string(ph) + ' ';
        }
        return out;
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

    static int Callback(short* wav, int count, espeak_EVENT* events)
    {
        Synthesizer& s = Get();
        if (!s.current_)
            return 0;   // the warm-up: heard by no one
        Channel& ch = *s.current_;
        std::lock_guard lock(ch.m);
        if (ch.closed || ch.generation != s.currentGeneration_)
            return 1;   // stopped or released: abandon the rest of the piece
        if (ch.watched && ch.stream && s.job_)
            s.MarkWords(ch, events);
        if (wav && count > 0 && ch.stream) {
            ch.stream->Write(wav, count);
            ch.written += count;
        }
        return 0;
    }

    // Under the channel's lock: the words that start in this stretch of the
    // piece, each at the stream's sample where it begins. eSpeak NG counts a
    // word's place in characters of the piece and its sample from the
    // piece's first.
    void MarkWords(Channel& ch, const espeak_EVENT* e)
    {
        const QStringView piece = QStringView(job_->utterance).mid(job_->pieceStart, job_->pieceLength);
        // A Kurdish piece is read respelled in Latin letters: its words are
        // found by their number, the respelling keeping them apart as they were.
        const QString sent = job_->kurdish ? QString::fromUtf8(job_->text) : QString();
        for (; e && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
            if (e->type != espeakEVENT_WORD)
                continue;
            const TextSpan span = job_->kurdish
                                      ? WordByNumber(piece, job_->pieceStart, sent, e->text_position)
                                      : WordInText(piece, job_->pieceStart, e->text_position, e->length);
            if (span.length > 0)
                ch.marks.push_back({pieceBase_ + e->sample, {job_->utterance, span.start, span.length, {}}});
        }
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
        // The Kurdish voice too, so the first Kurdish word does not wait for
        // it either; without it Kurdish stays silent.
        if ((kurdish_ = espeak_SetVoiceByName("ku") == EE_OK))
            espeak_Synth("a", 2, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
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
        // Where the piece stands in its text, for the words' places.
        QString utterance;
        qsizetype pieceStart = 0, pieceLength = 0;
        bool last = false;   // the text's last piece
        bool kurdish = false;
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
        const qsizetype end = RunEnd(u.text, u.pos, PieceEnd(u.text, u.pos), &job.kurdish);
        job.channel = pick;
        job.generation = pick->generation;
        const QStringView piece = QStringView(u.text).mid(u.pos, end - u.pos);
        job.text = job.kurdish ? SoraniToLatin(piece).toUtf8() : piece.toUtf8();
        const EspeakVoice voice = u.voice ? *u.voice : pick->voice;
        job.voice = job.kurdish ? KurdishVoice(voice) : voice;
        job.utterance = u.text;
        job.pieceStart = u.pos;
        job.pieceLength = end - u.pos;
        job.last = end >= u.text.size();
        ++pick->inFlight;
        u.pos = end;
        if (u.pos >= u.text.size())
            pick->queue.pop_front();
        return Next::kJob;
    }

    // Selects the voice and its settings; false when Kurdish is asked for and
    // the Kurdish voice is missing: an English voice would only spell it out.
    bool UseVoice(const EspeakVoice& voice, bool kurdish)
    {
        if (kurdish && !kurdish_)
            return false;
        if (voice.name != voiceName_) {
            if (espeak_SetVoiceByName(voice.name.c_str()) == EE_OK)
                voiceName_ = voice.name;
            else if (espeak_SetVoiceByName(kurdish ? "ku" : "en") == EE_OK)
                voiceName_ = kurdish ? "ku" : "en";
            else if (kurdish)
                return false;
        }
        espeak_SetParameter(espeakRATE, voice.wpm, 0);
        espeak_SetParameter(espeakVOLUME, voice.volume, 0);
        espeak_SetParameter(espeakPITCH, voice.pitch, 0);
        espeak_SetParameter(espeakRANGE, voice.range, 0);
        return true;
    }

    void Synthesise(const Job& job)
    {
        if (UseVoice(job.voice, job.kurdish)) {
            current_ = job.channel.get();
            currentGeneration_ = job.generation;
            job_ = &job;
            {
                std::lock_guard lock(job.channel->m);
                pieceBase_ = job.channel->written;
            }
            espeak_Synth(job.text.constData(), size_t(job.text.size()) + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                         nullptr, nullptr);
        }
        {
            // The end of the text is a mark of its own, at its last sample.
            Channel& ch = *job.channel;
            std::lock_guard lock(ch.m);
            --ch.inFlight;
            if (job.last && ch.watched && ch.stream && !ch.closed && ch.generation == job.generation)
                ch.marks.push_back({std::max<qint64>(0, ch.written - 1), {job.utterance, job.utterance.size(), 0, {}}});
        }
        job_ = nullptr;
        current_ = nullptr;
    }

    void Run()
    {
        const bool ok = Initialise();
        std::unique_lock lock(m_);
        state_ = ok ? kReady : kFailed;
        idle_.notify_all();
        while (!quit_) {
            if (!tasks_.empty()) {
                auto task = std::move(tasks_.front());
                tasks_.pop_front();
                lock.unlock();
                task();
                lock.lock();
                continue;
            }
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
    std::deque<std::packaged_task<void()>> tasks_;
    State state_ = kStarting;
    bool busy_ = false, quit_ = false;
    int sampleRate_ = 22050;
    // The synthesis thread's own.
    std::string voiceName_;
    bool kurdish_ = false;   // the Kurdish voice could be loaded
    Channel* current_ = nullptr;
    quint64 currentGeneration_ = 0;
    const Job* job_ = nullptr;
    qint64 pieceBase_ = 0;   // the stream's samples before the piece being synthesised
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
    if (Blank(text))
        return;   // nothing to say
    {
        std::lock_guard lock(ch.m);
        Append(ch, text, voice);
    }
    Synthesizer::Get().Wake();
}

// Engine A's voice object. Its channel lives as long as it does.
class EspeakVoiceObject : public VoiceObject {
public:
    EspeakVoiceObject(const std::shared_ptr<AudioOutput>& output, QPointer<WordWatch> watch)
        : ch_(NewChannel(output)), watch_(std::move(watch))
    {
    }
    ~EspeakVoiceObject() override { Close(*ch_); }
    void SetRate(int rate) override { rate_ = std::clamp(rate, -10, 10); }
    void SetVolume(int volume) override { volume_ = std::clamp(volume, 0, 100); }
    // Speech is always asynchronous: no window waits for a voice to finish.
    void Speak(const QString& text, int) override
    {
        Enqueue(*ch_, text, EspeakVoiceOf(0, EspeakRateWpm(rate_), volume_, 50));
        if (watch_)
            watch_->Kick();
    }
    void SetWordListener(WordListener listener) override
    {
        if (watch_)
            watch_->Watch(ch_, std::move(listener));
    }

private:
    std::shared_ptr<Channel> ch_;
    QPointer<WordWatch> watch_;   // gone with the engine; the voice then tells no one
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
    Shared(const std::shared_ptr<AudioOutput>& output, QPointer<WordWatch> watch)
        : ch_(NewChannel(output)), watch_(std::move(watch))
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
        if (watch_)
            watch_->Kick();
    }
    void SetWordListener(WordListener listener) override
    {
        if (watch_)
            watch_->Watch(ch_, std::move(listener));
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
        if (watch_)
            watch_->Kick();
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
            ch_->marks.clear();   // its words come again with the new audio
            ch_->stream->Discard();
            if (queued)
                ch_->queue.front().pos = 0;
            else
                ch_->queue.push_front(again);
        }
        Synthesizer::Get().Wake();
    }

    std::shared_ptr<Channel> ch_;
    QPointer<WordWatch> watch_;
    int voice_ = 7, pitch_ = 204, speed_ = 140;
};

namespace {
QPointer<WordWatch> Watcher(const std::unique_ptr<QObject>& watch)
{
    return static_cast<WordWatch*>(watch.get());
}
}  // namespace

EspeakEngine::EspeakEngine(std::shared_ptr<AudioOutput> output)
    : output_(std::move(output)), watch_(new WordWatch), engineB_(std::make_unique<Shared>(output_, Watcher(watch_)))
{
}

EspeakEngine::~EspeakEngine() = default;

std::unique_ptr<VoiceObject> EspeakEngine::NewVoice()
{
    return std::make_unique<EspeakVoiceObject>(output_, Watcher(watch_));
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

QString EspeakEngine::Phonemes(const QString& text, int item)
{
    Synthesizer& s = Synthesizer::Get();
    std::string out;
    s.Call([&] { out = s.Phonemes(text, EspeakVoiceOf(item, 175, 100, 50)); });
    return QString::fromStdString(out);
}
