// A speech engine that speaks nothing and writes down every operation, in
// order, the way the windows call them: "A.new", "A.Rate -1", "A.Volume 100",
// "A.Speak word 1", "A.release", "B.Speak word", "B.Pitch 204", "B.Speed 140",
// "B.Voice 7", "B.Stop", "B.Pause", "B.Resume". Installed for its lifetime.
//
// It also keeps engine B's texts with the settings each was spoken with. As
// the real engine does, a text takes engine B's voice, pitch and speed as
// they stand once the handler that gave it has gone back to the event loop
// (a paused engine: once it is resumed); a stop or a new text before then
// cuts it, and a new text also ends the one being spoken.
#pragma once

#include "components/speech.h"

#include <QList>
#include <QObject>
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
    // being logged, as a missing engine would, and changes nothing.
    bool failA = false, failB = false;

    struct Settings {
        int voice = 0, pitch = 0, speed = 0;
        bool operator==(const Settings&) const = default;
    };
    struct Spoken {
        QString text;
        Settings given;     // in force when the text was handed over
        Settings heard;     // in force when it was spoken; all 0 until then
        bool spoken = false;
        bool cut = false;   // stopped or replaced before it was spoken
    };
    QList<Spoken> spoken;
    Settings engineB{7, 204, 140};   // engine B's settings now
    bool held = false;

    // Engine B's side of the bookkeeping above.
    void SpeakB(const QString& text);
    void Settle(qsizetype index);
    void CutPending();

private:
    std::unique_ptr<QObject> context_;
};
