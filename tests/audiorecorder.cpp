#include "audiorecorder.h"

#include <QFile>
#include <QtEndian>
#include <cmath>

class RecordedStream : public AudioStream {
public:
    RecordedStream(RecordingAudio& owner, std::shared_ptr<RecordingAudio::Stream> s) : owner_(owner), s_(std::move(s)) {}
    ~RecordedStream() override { Log(QStringLiteral("Close")); QMutexLocker lock(&owner_.mutex_); s_->closed = true; }
    void Write(const qint16* samples, int count) override
    {
        QMutexLocker lock(&owner_.mutex_);
        if (!owner_.firstSeen_) {
            owner_.firstSeen_ = true;
            owner_.first_ = RecordingAudio::Clock::now();
        }
        s_->pcm.append(reinterpret_cast<const char*>(samples), qsizetype(count) * 2);
    }
    int QueuedMs() const override { return 0; }
    void Discard() override { Log(QStringLiteral("Discard")); }
    void Hold(bool held) override { Log(held ? QStringLiteral("Hold 1") : QStringLiteral("Hold 0")); }

private:
    void Log(const QString& e)
    {
        QMutexLocker lock(&owner_.mutex_);
        s_->events << e;
    }
    RecordingAudio& owner_;
    std::shared_ptr<RecordingAudio::Stream> s_;
};

std::unique_ptr<AudioStream> RecordingAudio::Open(int sampleRate)
{
    QMutexLocker lock(&mutex_);
    if (!device || refuse > 0) {
        --refuse;
        return nullptr;
    }
    auto s = std::make_shared<Stream>();
    s->rate = sampleRate;
    streams_.push_back(s);
    return std::make_unique<RecordedStream>(*this, s);
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
