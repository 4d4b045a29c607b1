#include "speechdouble.h"

#include "runtime/runtime.h"

#include <QTimer>
#include <utility>

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
    void Speak(const QString& text) override
    {
        Log(QStringLiteral("B.Speak ") + text);
        r_.SpeakB(text);
    }
    void SetPitch(int pitch) override
    {
        Log(QStringLiteral("B.Pitch %1").arg(pitch));
        r_.engineB.pitch = pitch;
    }
    void SetSpeed(int speed) override
    {
        Log(QStringLiteral("B.Speed %1").arg(speed));
        r_.engineB.speed = speed;
    }
    void SelectVoice(int voice) override
    {
        Log(QStringLiteral("B.Voice %1").arg(voice));
        r_.engineB.voice = voice;
    }
    void Stop() override
    {
        Log(QStringLiteral("B.Stop"));
        r_.CutPending();
        r_.held = false;
    }
    void Pause() override
    {
        Log(QStringLiteral("B.Pause"));
        r_.held = true;
    }
    void Resume() override
    {
        Log(QStringLiteral("B.Resume"));
        if (!std::exchange(r_.held, false))
            return;   // nothing was held
        for (qsizetype i = 0; i < r_.spoken.size(); ++i)
            r_.Settle(i);
    }

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

SpeechRecorder::SpeechRecorder() : context_(std::make_unique<QObject>())
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

void SpeechRecorder::CutPending()
{
    for (Spoken& s : spoken)
        if (!s.spoken)
            s.cut = true;
}

void SpeechRecorder::SpeakB(const QString& text)
{
    CutPending();   // a new text replaces what was still to be said
    spoken.append({text, engineB, {}, false, false});
    const qsizetype index = spoken.size() - 1;
    QTimer::singleShot(0, context_.get(), [this, index] { Settle(index); });
}

void SpeechRecorder::Settle(qsizetype index)
{
    if (index >= spoken.size())
        return;
    Spoken& s = spoken[index];
    if (s.spoken || s.cut || held)
        return;   // already spoken, never to be, or waiting for the resume
    s.heard = engineB;
    s.spoken = true;
}
