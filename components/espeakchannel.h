// A speaker's channel, the synthesis thread's and the engines' meeting point:
// the texts it has yet to say, the stream they are written to and the words
// synthesised but not yet heard; and the watch that tells the listeners which
// word is heard. Shared by the synthesis thread's files.
#pragma once

#include "audio.h"
#include "espeak.h"
#include "speech.h"
#include "wordprogress.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace espeak {

struct Utterance {
    QString text;
    qsizetype pos = 0;
    // How it is spoken; none for engine B, whose texts take the channel's
    // voice as each piece is synthesised.
    std::optional<EspeakVoice> voice;
    quint64 id = 0;
};

// One speaker: engine B, or one voice object of engine A.
struct Channel {
    std::mutex m;
    std::shared_ptr<AudioOutput> output;
    std::unique_ptr<AudioStream> stream;   // opened when it first speaks
    int rate = 22050;                      // the stream's
    std::deque<Utterance> queue;
    quint64 generation = 0;                // a stop makes everything older void
    bool held = false;
    bool closed = false;
    EspeakVoice voice;                     // for texts with no voice of their own
    quint64 lastId = 0;
    // The text whose pieces are being synthesised, from its first piece on,
    // and how many samples had been written when it began.
    std::optional<Utterance> current;
    qint64 written = 0;                    // samples written to the stream
    qint64 currentFrom = 0;
    // Word progress, kept only while a listener watches.
    bool watched = false;
    std::deque<WordMark> marks;            // words synthesised, not yet heard
    int inFlight = 0;                      // pieces being synthesised
};

bool Blank(const QString& text);

// Under ch.m.
void Append(Channel& ch, const QString& text, const std::optional<EspeakVoice>& voice);

// Under ch.m: ends what the channel says and drops what waits to be said.
void Silence(Channel& ch);

void Close(Channel& ch);

// Tells the listeners, on the window's thread, which word their voice is
// heard at: it looks every few milliseconds while a watched voice has words
// waiting to be heard or text left to say, and sleeps otherwise.
class WordWatch : public QObject {
public:
    static constexpr int kPollMs = 8;

    WordWatch();

    void Watch(const std::shared_ptr<Channel>& ch, WordListener listener);

    // A watched voice was given text.
    void Kick()
    {
        if (!watching_.empty() && !timer_.isActive())
            timer_.start();
    }

private:
    struct Watching {
        std::weak_ptr<Channel> channel;
        WordListener listener;
    };

    void Poll();

    std::vector<Watching> watching_;
    QTimer timer_;
};

}  // namespace espeak
