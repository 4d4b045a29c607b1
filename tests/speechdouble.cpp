#include "speechdouble.h"

#include "runtime/runtime.h"

namespace {

class RecordingVoice : public VoiceObject {
public:
    explicit RecordingVoice(SpeechRecorder& r) : r_(r) {}
    ~RecordingVoice() override { r_.log << QStringLiteral("A.release"); }
    void SetRate(int rate) override { Log(QStringLiteral("A.Rate %1").arg(rate)); }
    void SetVolume(int volume) override { Log(QStringLiteral("A.Volume %1").arg(volume)); }
    void Speak(const QString& text, int flags) override { Log(QStringLiteral("A.Speak %1 %2").arg(text).arg(flags)); }

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
    void Speak(const QString& text) override { Log(QStringLiteral("B.Speak ") + text); }
    void SetPitch(int pitch) override { Log(QStringLiteral("B.Pitch %1").arg(pitch)); }
    void SetSpeed(int speed) override { Log(QStringLiteral("B.Speed %1").arg(speed)); }
    void SelectVoice(int voice) override { Log(QStringLiteral("B.Voice %1").arg(voice)); }
    void Stop() override { Log(QStringLiteral("B.Stop")); }
    void Pause() override { Log(QStringLiteral("B.Pause")); }
    void Resume() override { Log(QStringLiteral("B.Resume")); }

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
