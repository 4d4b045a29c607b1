// Word progress of a voice. As eSpeak NG synthesises a piece of a text it
// reports where each word starts in the piece (counted in characters) and at
// which of the piece's samples; each word becomes a mark at the sample of the
// voice's stream where it begins, and waits there until the listener has
// heard that far.
#pragma once

#include "speech.h"

#include <QStringView>
#include <deque>
#include <optional>

struct WordMark {
    // The word's first sample, counting every sample ever written to the
    // stream from 0; heard once more than that many samples have been.
    qint64 sample = 0;
    SpokenWord word;
};

// The span, in the whole text, of a word that eSpeak NG reports in a piece of
// it: `position` is its 1-based number of the word's first character in the
// piece, `length` its length in characters, both counted in code points. A
// report that does not fit in the piece is cut to it.
struct TextSpan {
    qsizetype start = 0, length = 0;
    bool operator==(const TextSpan&) const = default;
};
TextSpan WordInText(QStringView piece, qsizetype pieceStart, int position, int length);

// The same for a piece that was handed over respelled (`sent`): the word
// that starts at `position` of the respelling is found in the piece by its
// number, words being runs of letters, digits, marks and non-joiners.
TextSpan WordByNumber(QStringView piece, qsizetype pieceStart, QStringView sent, int position);

// How many of the stream's samples have been heard: what was written, less
// what still waits to be heard.
qint64 PlayedSample(qint64 written, int queuedMs, int sampleRate);

// Takes the marks whose first sample has been heard; the last of them is the
// word heard now. Nothing when no mark has been reached yet.
std::optional<WordMark> TakeHeard(std::deque<WordMark>& marks, qint64 played);
