// What the windows need of speech synthesis. Engine A is a voice object made
// afresh for every use; releasing it ends whatever it was still saying.
// Engine B is one engine shared by the dictionary window and the reader, with
// eighteen voices, a pitch and a speed, that can be stopped, paused and
// resumed. Every call returns at once: speech is made and played elsewhere.
// A call that cannot be carried out throws RuntimeError; the windows skip it.
#pragma once

#include <QString>
#include <chrono>
#include <functional>
#include <memory>

// A word of a text being heard: where it stands in the text as it was handed
// to Speak, in UTF-16 units. A length of 0 at the text's end: the whole text
// has been heard.
struct SpokenWord {
    QString text;   // the text handed to Speak (shared, not copied)
    qsizetype start = 0;
    qsizetype length = 0;
    // When the word's first sample was heard; a listener sees how late it is told.
    std::chrono::steady_clock::time_point heard;
};
// Told on the window's thread as each word begins to be heard: not while the
// speech is held, never after a stop or the voice's release. Engines without
// word progress never call it.
using WordListener = std::function<void(const SpokenWord&)>;

// Engine A: the window's member `spt`, replaced before every use.
class VoiceObject {
public:
    virtual ~VoiceObject() = default;   // stops its speech
    virtual void SetRate(int rate) = 0;       // -10 (slowest) to 10
    virtual void SetVolume(int volume) = 0;   // 0 to 100
    virtual void Speak(const QString& text, int flags) = 0;   // flags 1: asynchronous
    virtual void SetWordListener(WordListener) {}             // optional: the words as they are heard
};

// Engine B: `DirectSS1`.
class SharedSpeech {
public:
    virtual ~SharedSpeech() = default;
    virtual void Speak(const QString& text) = 0;
    virtual void SetPitch(int pitch) = 0;     // 84 to 334, as the pitch lists give it
    virtual void SetSpeed(int speed) = 0;     // 35 to 245, as the speed sliders give it
    virtual void SelectVoice(int voice) = 0;  // 1 to 18
    virtual void Stop() = 0;                  // ends speech and discards what waits
    virtual void Pause() = 0;                 // holds speech in progress
    virtual void Resume() = 0;                // continues held speech
    virtual void SetWordListener(WordListener) {}   // optional: the words as they are heard
};

// Both engines of the program.
class SpeechEngine {
public:
    virtual ~SpeechEngine() = default;
    virtual std::unique_ptr<VoiceObject> NewVoice() = 0;
    virtual SharedSpeech& EngineB() = 0;
};

// The program's engines. Until one is installed, a silent pair stands in.
SpeechEngine& Speech();
// Installs the engines (tests install a recording double); nullptr restores
// the silent pair.
void SetSpeech(std::unique_ptr<SpeechEngine> engine);
