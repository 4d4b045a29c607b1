// Where synthesised speech goes: a stream of 16-bit mono samples per speaker.
// The program plays them through the sound card; tests and the benchmark hand
// the engines an output that keeps them instead.
#pragma once

#include <QtGlobal>
#include <memory>

// One voice's audio. Write and QueuedMs are called from the synthesis thread,
// Discard, Hold and the destructor from the window's; an implementation takes
// care of both.
class AudioStream {
public:
    virtual ~AudioStream() = default;                    // silent at once
    virtual void Write(const qint16* samples, int count) = 0;
    // Milliseconds written but not yet heard; the synthesiser stays this far
    // ahead of the listener and no further.
    virtual int QueuedMs() const = 0;
    virtual void Discard() = 0;            // drops what waits, silent at once
    virtual void Hold(bool held) = 0;      // pause and continue where it held
};

class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // A new stream at the given rate, or nullptr when there is nothing to play
    // on; the caller then stays silent.
    virtual std::unique_ptr<AudioStream> Open(int sampleRate) = 0;
};

// The desktop's sound server, on its current default device. With no
// server, or a stream that fails, speech is silent and nothing waits; the
// next audio reaches the server again once it is back.
std::shared_ptr<AudioOutput> MakeSpeakerOutput();
