#include "speechdouble.h"

#include "runtime/runtime.h"

namespace {

class RecordingVoice : public VoiceObject {
public:
    explicit RecordingVoice(SpeechRecorder& r) : r_(r)
    {
        // A new voice object starts silent and told to no one.
        r_.a = {};
    }
    ~RecordingVoice() override
    {
        r_.log << QStringLiteral("A.release");
        r_.a = {};   // its speech ends with it
    }
    void SetRate(int rate) override { Log(QStringLiteral("A.Rate %1").arg(rate)); }
    void SetVolume(int volume) override { Log(QStringLiteral("A.Volume %1").arg(volume)); }
    void Speak(const QString& text, int flags) override
    {
        Log(QStringLiteral("A.Speak %1 %2").arg(text).arg(flags));
        r_.a.spoken << text;
    }
    void SetWordListener(WordListener listener) override { r_.a.listener = std::move(listener); }

private:
    void Log(const QString& op)
    {
        r_.log << op;
        if (r_.failA)
            throw RuntimeError(QStringLiteral("engine A is missing"));
    }
    SpeechRecorder& r_;
};

class RecordingShared : public SharedSpeech {
public:
    explicit RecordingShared(SpeechRecorder& r) : r_(r) {}
    void Speak(const QString& text) override
    {
        Log(QStringLiteral("B.Speak ") + text);
        r_.b.spoken << text;
    }
    void SetPitch(int pitch) override { Log(QStringLiteral("B.Pitch %1").arg(pitch)); }
    void SetSpeed(int speed) override { Log(QStringLiteral("B.Speed %1").arg(speed)); }
    void SelectVoice(int voice) override { Log(QStringLiteral("B.Voice %1").arg(voice)); }
    void Stop() override
    {
        r_.b.spoken.clear();
        r_.b.held = false;
        Log(QStringLiteral("B.Stop"));
    }
    void Pause() override
    {
        r_.b.held = true;
        Log(QStringLiteral("B.Pause"));
    }
    void Resume() override
    {
        r_.b.held = false;
        Log(QStringLiteral("B.Resume"));
    }
    void SetWordListener(WordListener listener) override { r_.b.listener = std::move(listener); }

private:
    void Log(const QString& op)
    {
        r_.log << op;
        if (r_.failB)
            throw RuntimeError(QStringLiteral("engine B is missing"));
    }
    SpeechRecorder& r_;
};

class RecordingEngine : public SpeechEngine {
public:
    explicit RecordingEngine(SpeechRecorder& r) : r_(r), shared_(r) {}
    std::unique_ptr<VoiceObject> NewVoice() override
    {
        r_.log << QStringLiteral("A.new");
        if (r_.failA)
            throw RuntimeError(QStringLiteral("engine A is missing"));
        return std::make_unique<RecordingVoice>(r_);
    }
    SharedSpeech& EngineB() override { return shared_; }

private:
    SpeechRecorder& r_;
    RecordingShared shared_;
};

}  // namespace

SpeechRecorder::SpeechRecorder()
{
    SetSpeech(std::make_unique<RecordingEngine>(*this));
}

SpeechRecorder::~SpeechRecorder()
{
    SetSpeech(nullptr);
}

QStringList SpeechRecorder::Take()
{
    QStringList taken;
    taken.swap(log);
    return taken;
}

bool SpeechRecorder::Hear(const QString& engine, const QString& text, qsizetype start, qsizetype length)
{
    Engine& e = engine == QLatin1String("A") ? a : b;
    const qsizetype at = e.spoken.indexOf(text);
    if (!e.listener || e.held || at < 0)
        return false;
    // Texts are heard in the order they were given; one heard to its end is
    // done. The listener gets the very text that was handed over.
    const QString given = e.spoken[at];
    e.spoken.erase(e.spoken.begin(), e.spoken.begin() + at);
    if (length == 0 && start >= text.size())
        e.spoken.removeFirst();
    const WordListener listener = e.listener;
    listener({given, start, length, std::chrono::steady_clock::now()});
    return true;
}
