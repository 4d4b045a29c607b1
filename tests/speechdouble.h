// A speech engine that speaks nothing and writes down every operation, in
// order, the way the windows call them: "A.new", "A.Rate -1", "A.Volume 100",
// "A.Speak word 1", "A.release", "B.Speak word", "B.Pitch 204", "B.Speed 140",
// "B.Voice 7", "B.Stop", "B.Pause", "B.Resume". Installed for its lifetime.
#pragma once

#include "components/speech.h"

#include <QStringList>
#include <memory>

class SpeechRecorder {
public:
    SpeechRecorder();
    ~SpeechRecorder();
    // The log so far, emptied.
    QStringList Take();
    QStringList log;
    // When set, every operation of that engine ("A" or "B") throws after
    // being logged, as a missing engine would.
    bool failA = false, failB = false;

    // Tells the engine's word listener (not logged) that a word of a text it
    // was given is being heard, as the real engines do: only a text spoken
    // since the last stop, not while engine B is paused, and for engine A only
    // by the voice object that spoke it while it lives. False when refused.
    bool Hear(const QString& engine, const QString& text, qsizetype start, qsizetype length);

    // What the engines hold; the double's own.
    struct Engine {
        WordListener listener;
        QStringList spoken;
        bool held = false;
    };
    Engine a, b;
};
