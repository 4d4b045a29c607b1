// Where a span of a text stands after the text was edited: the reader
// highlights the word being heard in the text it handed to the voice, while
// the user may go on typing in the text box.
#pragma once

#include <QtGlobal>
#include <vector>

// One change of the text: at `position`, `removed` characters gave way to `added` ones.
struct TextEdit {
    int position = 0, removed = 0, added = 0;
};

struct Span {
    qsizetype start = 0, length = 0;
    bool operator==(const Span&) const = default;
};

// The span after the edits, in order. Text typed just before or after the
// span stays outside it; text typed inside it belongs to it; what is left of
// a span that was partly removed is kept, and a span removed whole comes
// back empty where it stood.
Span MapThroughEdits(Span span, const std::vector<TextEdit>& edits);
