#include "textedits.h"

#include <algorithm>

Span MapThroughEdits(Span span, const std::vector<TextEdit>& edits)
{
    qsizetype start = span.start, end = span.start + span.length;
    for (const TextEdit& e : edits) {
        const qsizetype removedEnd = qsizetype(e.position) + e.removed;
        const qsizetype shift = qsizetype(e.added) - e.removed;
        // The start: after an edit wholly before it (typing at the start
        // itself comes before the word); into the added text when its
        // characters were removed.
        if (removedEnd <= start && !(e.removed == 0 && e.position > start))
            start += shift;
        else if (e.position < start)
            start = e.position + e.added;
        // The end: edits at or after it leave it; one reaching over it ends
        // the span where the removal began.
        if (removedEnd <= end && e.position < end && !(e.removed == 0 && e.position == end))
            end += shift;
        else if (e.position < end && removedEnd > end)
            end = e.position;
        end = std::max(end, start);
    }
    return {start, end - start};
}
