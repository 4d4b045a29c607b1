// An audio output that plays into memory, for tests and the benchmarks. Each
// stream keeps what it was given (`pcm`), what reached the sink (`played`)
// and what was done to it ("Discard", "Hold 1", "Hold 0", "Close"). Like a
// sound card it queues what it is given and plays it in order: a held stream
// plays nothing, a discard drops what waits, a closed stream falls silent,
// and audio written while there is no device plays to no one.
//
// How fast the queue plays is the test's choice. `Instant` is a sink that
// takes everything at once, so nothing waits to be heard. `Manual` plays
// only when the test calls Play: the synthesiser's read-ahead limit holds it
// back as a listener would, and no result depends on the machine's speed.
#pragma once

#include "components/audio.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <memory>
#include <vector>

class RecordingAudio : public AudioOutput {
public:
    using Clock = std::chrono::steady_clock;
    enum class Playback { Instant, Manual };
    struct Stream {
        int rate = 0;
        QByteArray pcm;            // every 16-bit mono sample written
        QByteArray played;         // the part of it that reached the sink
        QStringList events;
        QList<qsizetype> discardedAt;   // how many samples had been written at each discard
        bool closed = false;
        bool held = false;
        qsizetype queued = 0;      // samples written, not yet played
        qsizetype silent = 0;      // samples playing to no one
    };

    explicit RecordingAudio(Playback playback = Playback::Instant) : playback_(playback) {}
    std::unique_ptr<AudioStream> Open(int sampleRate) override;

    // When false, there is no device: Open gives nothing, and what an open
    // stream is given plays to no one. Otherwise the first `refuse` calls of
    // Open give nothing, as a stream that fails to start.
    std::atomic<bool> device{true};
    std::atomic<int> refuse{0};
    // The device goes away, as a sound server that stops: what waits is lost
    // and nothing more is heard until `device` is set again.
    void LoseDevice();

    // Manual playback: every stream that is not held plays `ms` milliseconds
    // of what waits.
    void Play(int ms);
    // Milliseconds that stream `index` has queued, as the synthesiser sees it.
    int QueuedMs(int index) const;

    int StreamCount() const;
    Stream At(int index) const;     // a copy
    qsizetype Samples(int index) const;   // written
    qsizetype Played(int index) const;
    // The samples of all streams written since the last Mark, in stream order.
    void Mark();
    QByteArray SinceMark() const;
    // When the first samples after the last Mark arrived; false when none did.
    bool FirstSinceMark(Clock::time_point* when) const;
    // The same, waiting up to `timeout` for them to come (the benchmarks' first
    // audio); false when none came in that time.
    bool WaitFirstSinceMark(Clock::time_point* when, std::chrono::milliseconds timeout) const;

private:
    friend class RecordedStream;
    void PlayLocked(Stream& s, qsizetype samples);
    const Playback playback_;
    mutable QMutex mutex_;
    std::vector<std::shared_ptr<Stream>> streams_;
    std::vector<qsizetype> marks_;
    bool firstSeen_ = false;
    Clock::time_point first_;
};

// Writes 16-bit mono samples as a WAV file.
bool WriteWav(const QString& path, const QByteArray& pcm, int rate);
// Root mean square of 16-bit samples.
double Rms(const QByteArray& pcm);
