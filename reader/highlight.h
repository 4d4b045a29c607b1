// The word being heard, highlighted in the reader's text box while the text
// is read aloud. It is a highlight of its own, drawn beside the user's caret
// and selection, which it never moves; the view scrolls to keep it in sight.
// It marks the words of the text as it was handed to the voice, in the box
// as the user has edited it since.
#pragma once

#include "components/speech.h"
#include "reader/textedits.h"

#include <QObject>
#include <QPointer>
#include <deque>

class QPlainTextEdit;
class QTextDocument;

class SpokenHighlight : public QObject {
    Q_OBJECT
public:
    explicit SpokenHighlight(QPlainTextEdit* box);

    // A text handed to a voice: its words are found in the box as it is now,
    // and as it is edited from now on.
    void Given(const QString& text);
    // The voices' listener: tells this highlight, and nothing once it is gone.
    WordListener Listener();
    // A word of a given text is being heard; the end of a text takes the highlight away.
    void Heard(const SpokenWord& word);
    // Stop, clear, close: no highlight, and no text is being heard.
    void Clear();

    // The highlighted span of the box's text now; empty when none is shown.
    Span Shown() const { return shown_; }
    // The last word told, and when it was first heard.
    const SpokenWord& LastHeard() const { return last_; }

private:
    struct GivenText {
        QString text;
        std::vector<TextEdit> edits;   // made in the box since it was given
    };
    void Follow(QTextDocument* document);
    void Show(Span span);
    void ScrollTo(int position);

    QPlainTextEdit* box_;
    QPointer<QTextDocument> document_;
    std::deque<GivenText> given_;
    Span shown_;
    SpokenWord last_;
};
