#include "audiorecorder.h"

#include <QFile>
#include <QThread>
#include <QtEndian>
#include <algorithm>
#include <cmath>

class RecordedStream : public AudioStream {
public:
    RecordedStream(RecordingAudio& owner, std::shared_ptr<RecordingAudio::Stream> s) : owner_(owner), s_(std::move(s)) {}
    ~RecordedStream() override
    {
        QMutexLocker lock(&owner_.mutex_);
        s_->events << QStringLiteral("Close");
        s_->closed = true;
        s_->queued = s_->silent = 0;   // silent at once
    }
    void Write(const qint16* samples, int count) override
    {
        if (count <= 0)
            return;
        QMutexLocker lock(&owner_.mutex_);
        if (!owner_.firstSeen_) {
            owner_.firstSeen_ = true;
            owner_.first_ = RecordingAudio::Clock::now();
        }
        s_->pcm.append(reinterpret_cast<const char*>(samples), qsizetype(count) * 2);
        if (!owner_.device) {
            // No device: what waited is lost with it, and this plays to no one.
            s_->silent += s_->queued + count;
            s_->queued = 0;
        } else {
            s_->queued += count;
        }
        if (owner_.playback_ == RecordingAudio::Playback::Instant && !s_->held)
            owner_.PlayLocked(*s_, s_->silent + s_->queued);
    }
    int QueuedMs() const override
    {
        QMutexLocker lock(&owner_.mutex_);
        return int((s_->queued + s_->silent) * 1000 / s_->rate);
    }
    void Discard() override
    {
        QMutexLocker lock(&owner_.mutex_);
        s_->events << QStringLiteral("Discard");
        s_->discardedAt << s_->pcm.size() / 2;
        s_->queued = s_->silent = 0;
    }
    void Hold(bool held) override
    {
        QMutexLocker lock(&owner_.mutex_);
        s_->events << (held ? QStringLiteral("Hold 1") : QStringLiteral("Hold 0"));
        s_->held = held;
        if (owner_.playback_ == RecordingAudio::Playback::Instant && !held)
            owner_.PlayLocked(*s_, s_->silent + s_->queued);
    }

private:
    RecordingAudio& owner_;
    std::shared_ptr<RecordingAudio::Stream> s_;
};

std::unique_ptr<AudioStream> RecordingAudio::Open(int sampleRate)
{
    QMutexLocker lock(&mutex_);
    if (!device)
        return nullptr;
    if (refuse > 0) {
        --refuse;
        return nullptr;
    }
    auto s = std::make_shared<Stream>();
    s->rate = sampleRate;
    streams_.push_back(s);
    return std::make_unique<RecordedStream>(*this, s);
}

void RecordingAudio::PlayLocked(Stream& s, qsizetype samples)
{
    // What plays to no one goes first: it was written first.
    const qsizetype lost = std::min(samples, s.silent);
    s.silent -= lost;
    const qsizetype heard = std::min(samples - lost, s.queued);
    const qsizetype from = s.pcm.size() / 2 - s.queued;
    s.played += s.pcm.mid(from * 2, heard * 2);
    s.queued -= heard;
}

void RecordingAudio::LoseDevice()
{
    QMutexLocker lock(&mutex_);
    device = false;
    for (auto& s : streams_) {
        s->silent += s->queued;
        s->queued = 0;
    }
}

void RecordingAudio::Play(int ms)
{
    QMutexLocker lock(&mutex_);
    for (auto& s : streams_)
        if (!s->closed && !s->held)
            PlayLocked(*s, qsizetype(ms) * s->rate / 1000);
}

int RecordingAudio::QueuedMs(int index) const
{
    QMutexLocker lock(&mutex_);
    const Stream& s = *streams_.at(index);
    return int((s.queued + s.silent) * 1000 / s.rate);
}

qsizetype RecordingAudio::Played(int index) const
{
    QMutexLocker lock(&mutex_);
    return streams_.at(index)->played.size() / 2;
}

int RecordingAudio::StreamCount() const
{
    QMutexLocker lock(&mutex_);
    return int(streams_.size());
}

RecordingAudio::Stream RecordingAudio::At(int index) const
{
    QMutexLocker lock(&mutex_);
    return *streams_.at(index);
}

qsizetype RecordingAudio::Samples(int index) const
{
    QMutexLocker lock(&mutex_);
    return streams_.at(index)->pcm.size() / 2;
}

void RecordingAudio::Mark()
{
    QMutexLocker lock(&mutex_);
    marks_.clear();
    for (auto& s : streams_)
        marks_.push_back(s->pcm.size());
    firstSeen_ = false;
}

QByteArray RecordingAudio::SinceMark() const
{
    QMutexLocker lock(&mutex_);
    QByteArray out;
    for (size_t i = 0; i < streams_.size(); ++i)
        out += streams_[i]->pcm.mid(i < marks_.size() ? marks_[i] : 0);
    return out;
}

bool RecordingAudio::FirstSinceMark(Clock::time_point* when) const
{
    QMutexLocker lock(&mutex_);
    if (firstSeen_ && when)
        *when = first_;
    return firstSeen_;
}

bool RecordingAudio::WaitFirstSinceMark(Clock::time_point* when, std::chrono::milliseconds timeout) const
{
    const auto end = Clock::now() + timeout;
    while (Clock::now() < end) {
        if (FirstSinceMark(when))
            return true;
        QThread::usleep(50);
    }
    return false;
}

bool WriteWav(const QString& path, const QByteArray& pcm, int rate)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    auto u32 = [](quint32 v) { QByteArray b(4, 0); qToLittleEndian(v, b.data()); return b; };
    auto u16 = [](quint16 v) { QByteArray b(2, 0); qToLittleEndian(v, b.data()); return b; };
    QByteArray h = "RIFF" + u32(36 + quint32(pcm.size())) + "WAVEfmt " + u32(16) + u16(1) + u16(1) + u32(quint32(rate))
                   + u32(quint32(rate) * 2) + u16(2) + u16(16) + "data" + u32(quint32(pcm.size()));
    return f.write(h) == h.size() && f.write(pcm) == pcm.size();
}

double Rms(const QByteArray& pcm)
{
    const auto* s = reinterpret_cast<const qint16*>(pcm.constData());
    const qsizetype n = pcm.size() / 2;
    double sum = 0;
    for (qsizetype i = 0; i < n; ++i)
        sum += double(s[i]) * s[i];
    return n ? std::sqrt(sum / double(n)) : 0.0;
}
