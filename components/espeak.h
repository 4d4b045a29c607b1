// Both speech engines on the eSpeak NG library. The library is not
// re-entrant, so one synthesis thread owns it for the life of the process;
// engines hand it texts and it writes the samples to their audio streams a
// sentence at a time, staying a few seconds ahead of the listener. No call
// here waits for synthesis or playback.
#pragma once

#include "audio.h"
#include "speech.h"

#include <memory>
#include <string>

// How one utterance is spoken, in eSpeak NG's own units.
struct EspeakVoice {
    std::string name;   // "en-us+m3": language, then variant
    int wpm = 175;      // words a minute, 80 to 450
    int volume = 100;   // 0 to 200, 100 being the voice's own loudness
    int pitch = 50;     // 0 to 100, 50 being the voice's own pitch
    int range = 50;     // 0 (monotone) to 100: how far the pitch moves
};

// The voices behind the voice list: item 0 is engine A's voice, items 1 to 18
// engine B's. `pitch` is on eSpeak NG's 0 to 100; each voice speaks it a
// little higher or lower, the way voices differ.
EspeakVoice EspeakVoiceOf(int item, int wpm, int volume, int pitch);
std::string EspeakVoiceName(int item);

// Engine A's rate, -10 to 10, in words a minute.
int EspeakRateWpm(int rate);
// Engine B's speed, 35 to 245, in words a minute.
int EspeakSpeedWpm(int speed);
// Engine B's pitch, 84 to 334, on eSpeak NG's 0 to 100.
int EspeakPitch(int pitch);

class EspeakEngine : public SpeechEngine {
public:
    explicit EspeakEngine(std::shared_ptr<AudioOutput> output);
    ~EspeakEngine() override;
    std::unique_ptr<VoiceObject> NewVoice() override;
    SharedSpeech& EngineB() override;

    // The synthesiser stays this far ahead of what the listener hears, and
    // no further than one more piece of text: enough to ride over a busy
    // moment, little enough that a long text costs no memory.
    static constexpr int kAheadMs = 3000;

    // Whether the library could be loaded; false means every voice is silent.
    // Waits for the synthesis thread to have tried.
    static bool Available();
    // Waits until nothing that is not held remains to be synthesised; false
    // when that takes longer than the given time. For tests and benchmarks.
    static bool WaitUntilIdle(int timeoutMs);
    // Waits until the synthesiser rests: what is left is held, or waits for
    // the listener to catch up with the read-ahead. For tests.
    static bool WaitUntilResting(int timeoutMs);

private:
    class Shared;
    std::shared_ptr<AudioOutput> output_;
    std::unique_ptr<Shared> engineB_;
};
