#include "lookup.h"

#include "varin2.h"

int MatchModeNumber(int sliderValue)
{
    return (sliderValue + 1) * 25;
}

LookupColumn LookupColumnFor(const QString& text)
{
    if (QString::compare(text, QStringLiteral("{"), Qt::CaseSensitive) < 0)
        return LookupColumn::English;
    if (QString::compare(text, QStringLiteral("~"), Qt::CaseSensitive) > 0)
        return LookupColumn::Kurdish;
    return LookupColumn::None;
}

std::optional<LookupQuery> BuildLookupQuery(const QString& text, int modeNumber, bool keyboard)
{
    const LookupColumn column = LookupColumnFor(text);
    if (column == LookupColumn::None || (keyboard && column != LookupColumn::Kurdish))
        return std::nullopt;
    // The database engine reads a pattern only up to a NUL (one can come in
    // with pasted or captured text), so the typed text ends there for both
    // ways of answering, and the mode's wildcards stay on it.
    const QString typed = text.left(text.indexOf(QChar(0)) < 0 ? text.size() : text.indexOf(QChar(0)));
    QString pattern;
    switch (modeNumber) {
    case 25: pattern = u'%' + typed + u'%'; break;
    case 50: pattern = u'%' + typed; break;
    case 75: pattern = typed + u'%'; break;
    case 100: pattern = typed; break;
    default: return std::nullopt;
    }
    const QString sql = keyboard ? QStringLiteral("select * from Data where varin_keyboard_like(?, كوردى)")
                        : column == LookupColumn::English
                            ? QStringLiteral("select * from Data where English like ?")
                            : QStringLiteral("select * from Data where كوردى like ?");
    return LookupQuery{column, sql, pattern, typed, keyboard};
}

void LookupPasses(QString text, const std::function<bool(QString&)>& pass)
{
    for (int i = 0; i < 11; ++i) {
        if (pass(text))
            return;
        // Cutting an empty text fails; the remaining passes repeat the same query.
        if (!text.isEmpty())
            text.chop(1);
    }
}

WordLookup LookUpWord(WordStore& store, const QString& word, int modeNumber, int limit)
{
    WordLookup out;
    LookupPasses(word, [&](QString& s) {
        if (s.startsWith(u' '))
            s.remove(0, 1);
        // Cut to nothing, the word has no start with entries: the whole
        // table that an empty search lists is no answer for it.
        if (s.isEmpty())
            return true;
        // As typed, then (Kurdish only) as a keyboard without ە ێ ۆ ڵ ڕ types it.
        for (const bool keyboard : {false, true}) {
            const auto q = BuildLookupQuery(s, modeNumber, keyboard);
            if (!q)
                continue;
            try {
                out.entries = store.Find(*q, limit);
            } catch (const StoreError&) {
                continue;   // a rejected query finds nothing; the text is cut as for no rows
            }
            if (!out.entries.empty())
                break;
        }
        out.found = out.entries.empty() ? QString() : s;
        return !out.entries.empty();
    });
    return out;
}

// The look-up, in resume-next mode: up to eleven passes, each cutting one
// character from the end of the text until the grid has rows. A Kurdish text
// that finds nothing is looked up once more as a keyboard without ە ێ ۆ ڵ ڕ
// types it before it is cut, so "کتیب" finds کتێب rather than کت; a text
// that finds entries as typed is answered as typed. The search field itself
// is never changed; only the local copy is cut.
void Varin2::Text_Change()
{
    LookupPasses(Text->text(), [this](QString& s) {
        const int mode = LeadingNumber(TE3->Caption());
        if (mode == 25 || mode == 50 || mode == 75 || mode == 100) {
            ResumeNext({
                [&] {
                    if (s.startsWith(u' '))
                        s.remove(0, 1);
                },
                [&] {
                    if (LookupColumnFor(s) != LookupColumn::None)
                        if (const auto q = BuildLookupQuery(s, mode))
                            Data1->Query(*q);
                },
                [&] {
                    if (Data1->RowCount() == 0)
                        if (const auto q = BuildLookupQuery(s, mode, true))
                            Data1->Query(*q);
                },
                [&] {
                    if (s.isEmpty())
                        Data1->MovePrevious();   // no entry current for an empty search
                },
            });
        }
        return Data1->RowCount() != 0;
    });
}
