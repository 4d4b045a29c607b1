#include "espeakchannel.h"

#include <algorithm>
#include <chrono>

namespace espeak {

bool Blank(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

void Append(Channel& ch, const QString& text, const std::optional<EspeakVoice>& voice)
{
    if (!Blank(text))
        ch.queue.push_back({text, 0, voice, ++ch.lastId});
}

void Silence(Channel& ch)
{
    ++ch.generation;
    ch.queue.clear();
    ch.marks.clear();
    ch.current.reset();
    if (ch.stream)
        ch.stream->Discard();
}

void Close(Channel& ch)
{
    std::unique_ptr<AudioStream> stream;
    {
        std::lock_guard lock(ch.m);
        ch.closed = true;
        ++ch.generation;
        ch.queue.clear();
        ch.marks.clear();
        stream = std::move(ch.stream);
    }
    // Released outside the lock; the synthesis thread sees the channel closed.
}

WordWatch::WordWatch()
{
    timer_.setInterval(kPollMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &WordWatch::Poll);
}

void WordWatch::Watch(const std::shared_ptr<Channel>& ch, WordListener listener)
{
    std::erase_if(watching_, [&](const Watching& w) { return w.channel.expired() || w.channel.lock() == ch; });
    {
        std::lock_guard lock(ch->m);
        ch->watched = bool(listener);
        if (!listener)
            ch->marks.clear();
    }
    if (listener)
        watching_.push_back({ch, std::move(listener)});
}

void WordWatch::Poll()
{
    bool active = false;
    // A listener may change who is watched; it is told from a copy.
    const std::vector<Watching> watching = watching_;
    for (const Watching& w : watching) {
        const auto ch = w.channel.lock();
        if (!ch)
            continue;
        std::optional<WordMark> heard;
        qint64 played = 0;
        int rate = 0;
        {
            std::lock_guard lock(ch->m);
            rate = ch->rate;
            if (ch->closed)
                continue;
            if (!ch->held) {
                played = PlayedSample(ch->written, ch->stream ? ch->stream->QueuedMs() : 0, rate);
                heard = TakeHeard(ch->marks, played);
            }
            active = active || !ch->marks.empty() || !ch->queue.empty() || ch->inFlight > 0;
        }
        if (heard) {
            heard->word.heard = std::chrono::steady_clock::now()
                                - std::chrono::microseconds((played - heard->sample) * 1000000 / rate);
            w.listener(heard->word);
        }
    }
    std::erase_if(watching_, [](const Watching& w) { return w.channel.expired(); });
    if (!active)
        timer_.stop();
}

}  // namespace espeak
