#include "speech.h"

namespace {

class SilentVoice : public VoiceObject {
public:
    void SetRate(int) override {}
    void SetVolume(int) override {}
    void Speak(const QString&, int) override {}
};

class SilentShared : public SharedSpeech {
public:
    void Speak(const QString&) override {}
    void SetPitch(int) override {}
    void SetSpeed(int) override {}
    void SelectVoice(int) override {}
    void Stop() override {}
    void Pause() override {}
    void Resume() override {}
};

class SilentSpeech : public SpeechEngine {
public:
    std::unique_ptr<VoiceObject> NewVoice() override { return std::make_unique<SilentVoice>(); }
    SharedSpeech& EngineB() override { return shared_; }

private:
    SilentShared shared_;
};

std::unique_ptr<SpeechEngine>& Installed()
{
    static std::unique_ptr<SpeechEngine> engine = std::make_unique<SilentSpeech>();
    return engine;
}

}  // namespace

SpeechEngine& Speech()
{
    return *Installed();
}

void SetSpeech(std::unique_ptr<SpeechEngine> engine)
{
    Installed() = engine ? std::move(engine) : std::make_unique<SilentSpeech>();
}
