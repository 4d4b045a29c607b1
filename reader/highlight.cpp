#include "highlight.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

namespace {


// A warm marker colour that keeps black and coloured text readable, unlike
// the selection's.
QColor HighlightColour()
{
    return QColor(255, 214, 102);
}

}  // namespace

SpokenHighlight::SpokenHighlight(QPlainTextEdit* box) : QObject(box), box_(box)
{
    Follow(box->document());
}

void SpokenHighlight::Follow(QTextDocument* document)
{
    if (document_ == document)
        return;
    if (document_)
        disconnect(document_, nullptr, this, nullptr);
    document_ = document;
    given_.clear();
    shown_ = {};
    connect(document, &QTextDocument::contentsChange, this, [this](int position, int removed, int added) {
        for (GivenText& g : given_)
            g.edits.push_back({position, removed, added});
        if (shown_.length > 0)
            shown_ = MapThroughEdits(shown_, {{position, removed, added}});
    });
}

void SpokenHighlight::Given(const QString& text)
{
    // A loaded file brings a document of its own; texts given before it are gone.
    Follow(box_->document());
    given_.push_back({text, {}});
}

WordListener SpokenHighlight::Listener()
{
    QPointer<SpokenHighlight> self(this);
    return [self](const SpokenWord& word) {
        if (self)
            self->Heard(word);
    };
}

void SpokenHighlight::Heard(const SpokenWord& word)
{
    if (box_->document() != document_)
        return Clear();
    // Texts are heard in the order they were given: one heard now ends those before it.
    // The very string handed over, else one equal to it (an engine may have
    // copied it).
    auto it = std::find_if(given_.begin(), given_.end(), [&](const GivenText& g) { return g.text.isSharedWith(word.text); });
    if (it == given_.end())
        it = std::find_if(given_.begin(), given_.end(), [&](const GivenText& g) { return g.text == word.text; });
    if (it == given_.end())
        return;   // a text of another window, or one given before a stop
    given_.erase(given_.begin(), it);
    last_ = word;
    if (word.length == 0) {
        given_.pop_front();   // heard to its end
        Show({});
        return;
    }
    Show(MapThroughEdits({word.start, word.length}, given_.front().edits));
}

void SpokenHighlight::Clear()
{
    given_.clear();
    Show({});
}

void SpokenHighlight::Show(Span span)
{
    const int end = box_->document()->characterCount() - 1;
    span.start = std::clamp<qsizetype>(span.start, 0, end);
    span.length = std::clamp<qsizetype>(span.length, 0, end - span.start);
    if (span == shown_ && (span.length > 0) == !box_->extraSelections().isEmpty())
        return;
    shown_ = span;
    if (span.length == 0) {
        box_->setExtraSelections({});
        return;
    }
    QTextEdit::ExtraSelection mark;
    mark.cursor = QTextCursor(box_->document());
    mark.cursor.setPosition(int(span.start));
    mark.cursor.setPosition(int(span.start + span.length), QTextCursor::KeepAnchor);
    mark.format.setBackground(HighlightColour());
    mark.format.setForeground(Qt::black);
    box_->setExtraSelections({mark});
    ScrollTo(int(span.start));
}

void SpokenHighlight::ScrollTo(int position)
{
    QTextCursor at(box_->document());
    at.setPosition(position);
    const QRect word = box_->cursorRect(at);
    if (box_->viewport()->rect().contains(word))
        return;
    // The box scrolls by visual lines: the word's line goes near the top,
    // with a line of what was read before it above.
    const QTextBlock block = at.block();
    const QTextLayout* layout = block.layout();
    const int lineInBlock = layout && layout->lineCount() > 0
                                ? std::max(0, layout->lineForTextPosition(position - block.position()).lineNumber())
                                : 0;
    QScrollBar* bar = box_->verticalScrollBar();
    bar->setValue(std::max(0, block.firstLineNumber() + lineInBlock - 1));
}
