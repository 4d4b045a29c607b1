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
};
