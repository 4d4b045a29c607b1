#include "audio.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QByteArray>
#include <QMediaDevices>
#include <QMutex>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <utility>
#include <vector>

namespace {

// What a stream and the audio thread share. The samples wait here until the
// sink has room for them.
struct Line {
    int rate = 22050;
    mutable QMutex mutex;
    QByteArray waiting;          // written, not yet handed to the sink
    quint64 epoch = 0;           // counts discards
    std::atomic<int> inSink{0};  // bytes the sink holds, as last seen
    std::atomic<bool> dead{false};
    // Audio thread only.
    QAudioSink* sink = nullptr;
    QIODevice* io = nullptr;
    bool held = false;
    bool closed = false;
    bool fresh = false;   // started, nothing written yet
};

// Lives on the audio thread: finds the device, keeps the sinks and feeds them
// every few milliseconds while anything waits.
class Hub : public QObject {
public:
    Hub() : pump_(this)
    {
        pump_.setInterval(10);
        connect(&pump_, &QTimer::timeout, this, &Hub::Pump);
    }
    ~Hub() override
    {
        // A sink's destructor runs the event loop: nothing queued for the hub
        // may act on it while it goes.
        dying_ = true;
        for (auto& line : std::exchange(lines_, {}))
            if (QAudioSink* sink = std::exchange(line->sink, nullptr)) {
                sink->stop();
                delete sink;
            }
    }

    void Probe()
    {
        device_ = QMediaDevices::defaultAudioOutput();
        hasDevice_ = !device_.isNull();
        missing = !hasDevice_;
    }
    std::atomic<bool> missing{false};   // read from any thread

    void Add(const std::shared_ptr<Line>& line)
    {
        if (dying_)
            return;
        lines_.push_back(line);
        Pump();
    }

    void Kick()
    {
        if (dying_)
            return;
        if (!pump_.isActive())
            pump_.start();
        Pump();
    }

    void Discard(const std::shared_ptr<Line>& line)
    {
        // A sink is never started twice: a restarted one asks the sound server
        // for the buffer it was given last time, shorter each time. Stopping
        // disconnects its stream, so it falls silent at once; it is deleted
        // later, because its destructor runs the event loop.
        if (QAudioSink* sink = std::exchange(line->sink, nullptr)) {
            sink->stop();
            sink->deleteLater();
        }
        line->io = nullptr;
        line->inSink = 0;
    }

    void Hold(const std::shared_ptr<Line>& line, bool held)
    {
        line->held = held;
        if (!line->sink)
            return;
        if (held && line->sink->state() != QAudio::StoppedState)
            line->sink->suspend();
        else if (!held && line->sink->state() == QAudio::SuspendedState)
            line->sink->resume();
        Pump();
    }

    void Close(const std::shared_ptr<Line>& line)
    {
        line->closed = true;
        Discard(line);
        std::erase(lines_, line);
    }

private:
    QAudioSink* NewSink(int rate)
    {
        QAudioFormat format;
        format.setSampleRate(rate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        if (!device_.isFormatSupported(format))
            return nullptr;
        return new QAudioSink(device_, format);
    }

    void Fail(Line& line)
    {
        line.dead = true;
        QMutexLocker lock(&line.mutex);
        line.waiting.clear();
    }

    void Pump()
    {
        if (dying_)
            return;
        bool busy = false;
        for (auto& ref : lines_) {
            Line& line = *ref;
            if (line.dead || line.closed)
                continue;
            QMutexLocker lock(&line.mutex);
            const bool empty = line.waiting.isEmpty();
            lock.unlock();
            if (empty || line.held) {
                if (line.io && !line.held)
                    line.inSink = int(line.sink->bufferSize() - line.sink->bytesFree());
                continue;
            }
            if (!hasDevice_ || (!line.sink && !(line.sink = NewSink(line.rate)))) {
                Fail(line);
                continue;
            }
            if (!line.io) {
                line.io = line.sink->start();
                line.fresh = true;
                if (!line.io) {
                    Fail(line);
                    continue;
                }
            }
            if (line.sink->error() == QAudio::FatalError || line.sink->error() == QAudio::IOError
                || line.sink->error() == QAudio::OpenError) {
                Fail(line);
                continue;
            }
            // The sink is fed without holding the line: the synthesis thread
            // never waits for the sound server.
            lock.relock();
            const QByteArray piece = line.waiting.left(line.sink->bytesFree() & ~qsizetype(1));
            const quint64 epoch = line.epoch;
            lock.unlock();
            const bool starting = line.fresh || line.sink->state() == QAudio::IdleState;
            const qint64 written = piece.isEmpty() ? 0 : line.io->write(piece);
            lock.relock();
            if (written > 0 && line.epoch == epoch)
                line.waiting.remove(0, written);
            busy = busy || !line.waiting.isEmpty();
            lock.unlock();
            if (written > 0 && starting) {
                // The sound server holds a new or starved stream back until
                // its buffer is full; a word must not wait for that. Resuming
                // a stream starts it at once.
                line.sink->suspend();
                line.sink->resume();
                line.fresh = false;
            }
            line.inSink = int(line.sink->bufferSize() - line.sink->bytesFree());
        }
        if (!busy)
            pump_.stop();
        else if (!pump_.isActive())
            pump_.start();
    }

    QAudioDevice device_;
    bool hasDevice_ = false;
    bool dying_ = false;
    QTimer pump_;
    std::vector<std::shared_ptr<Line>> lines_;
};

class SpeakerStream : public AudioStream {
public:
    SpeakerStream(Hub* hub, std::shared_ptr<Line> line) : hub_(hub), line_(std::move(line))
    {
        QMetaObject::invokeMethod(hub_, [hub = hub_, line = line_] { hub->Add(line); });
    }
    ~SpeakerStream() override
    {
        {
            QMutexLocker lock(&line_->mutex);
            line_->waiting.clear();
        }
        QMetaObject::invokeMethod(hub_, [hub = hub_, line = line_] { hub->Close(line); });
    }
    void Write(const qint16* samples, int count) override
    {
        if (line_->dead || count <= 0)
            return;
        bool wasEmpty;
        {
            QMutexLocker lock(&line_->mutex);
            wasEmpty = line_->waiting.isEmpty();
            line_->waiting.append(reinterpret_cast<const char*>(samples), qsizetype(count) * 2);
        }
        if (wasEmpty)
            QMetaObject::invokeMethod(hub_, [hub = hub_] { hub->Kick(); });
    }
    int QueuedMs() const override
    {
        if (line_->dead)
            return 0;
        QMutexLocker lock(&line_->mutex);
        const qint64 bytes = line_->waiting.size() + line_->inSink;
        return int(bytes * 1000 / (2 * qint64(line_->rate)));
    }
    void Discard() override
    {
        {
            QMutexLocker lock(&line_->mutex);
            line_->waiting.clear();
            ++line_->epoch;
            line_->inSink = 0;
        }
        QMetaObject::invokeMethod(hub_, [hub = hub_, line = line_] { hub->Discard(line); });
    }
    void Hold(bool held) override
    {
        QMetaObject::invokeMethod(hub_, [hub = hub_, line = line_, held] { hub->Hold(line, held); });
    }

private:
    Hub* hub_;
    std::shared_ptr<Line> line_;
};

class SpeakerOutput : public AudioOutput {
public:
    SpeakerOutput()
    {
        thread_.setObjectName(QStringLiteral("speech audio"));
        hub_ = new Hub;
        hub_->moveToThread(&thread_);
        thread_.start();
        // Asking the sound server for its device can take a while; never on a window's thread.
        QMetaObject::invokeMethod(hub_, [hub = hub_] { hub->Probe(); });
    }
    ~SpeakerOutput() override
    {
        // The hub and its sinks end on their own thread, before it stops.
        QMetaObject::invokeMethod(hub_, [hub = hub_] { delete hub; }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }
    std::unique_ptr<AudioStream> Open(int sampleRate) override
    {
        // Once the device is known to be missing, nothing is made to play.
        if (hub_->missing)
            return nullptr;
        auto line = std::make_shared<Line>();
        line->rate = sampleRate;
        return std::make_unique<SpeakerStream>(hub_, std::move(line));
    }

private:
    QThread thread_;
    Hub* hub_;
};

}  // namespace

std::shared_ptr<AudioOutput> MakeSpeakerOutput()
{
    return std::make_shared<SpeakerOutput>();
}
