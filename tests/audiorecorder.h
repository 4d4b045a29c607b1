// An audio output that plays nothing and keeps every stream's samples and
// what was done to it ("Discard", "Hold 1", "Hold 0", "Close"), for tests and
// the benchmark. Streams take everything at once: nothing waits to be heard.
#pragma once

#include "components/audio.h"

#include <QByteArray>
#include <QMutex>
#include <QStringList>
#include <chrono>
#include <memory>
#include <vector>

class RecordingAudio : public AudioOutput {
public:
    using Clock = std::chrono::steady_clock;
    struct Stream {
        int rate = 0;
        QByteArray pcm;            // 16-bit mono samples
        QStringList events;
        bool closed = false;
    };

    std::unique_ptr<AudioStream> Open(int sampleRate) override;

    // When false, there is no device: Open gives nothing. Otherwise the first
    // `refuse` calls give nothing, as a sink that fails to start.
    bool device = true;
    int refuse = 0;

    int StreamCount() const;
    Stream At(int index) const;     // a copy
    qsizetype Samples(int index) const;
    // The samples of all streams written since the last Mark, in stream order.
    void Mark();
    QByteArray SinceMark() const;
    // When the first samples after the last Mark arrived; nullopt when none did.
    bool FirstSinceMark(Clock::time_point* when) const;

private:
    friend class RecordedStream;
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
