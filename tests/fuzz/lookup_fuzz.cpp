// One look-up pass on any text and mode, answered twice over a small store:
// from the in-memory indexes and by SQL row by row. The two must agree.
//
// Input: the first byte picks the match mode (25, 50, 75, 100) by its two
// low bits and, by its third, the keyboard look; the rest is the typed text,
// UTF-8.
#include "components/wordstore.h"
#include "dictionary/lookup.h"

#include <QProcess>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

// English and Kurdish words sharing starts, ends and letter forms.
const char* const kWords = "apple\tسێو\tnoun\n"
                           "apples\tسێوەکان\tnoun\n"
                           "pineapple\tئەناناس\tnoun\n"
                           "Book\tکتێب\tnoun\n"
                           "bookcase\tکتێبخانە\tnoun\n"
                           "don't\tمەکە\tphrase\n"
                           "school\tقوتابخانە\tnoun\n"
                           "water\tئاو\tnoun\n"
                           "ambition\tئاوات\tnoun\n"
                           "a_b%c\tيكى\tnoun\n"
                           "mine\tهی من\tpronoun\n"
                           "Bible\tکتێبی پیرۆز\tnoun\n"
                           "book\tکتێب، پەرتووک\tnoun\n"
                           "deaf\tکەڕ\tadjective\n"
                           "donkey\tکەر\tnoun\n"
                           "rose\tگوڵ، وردە\tnoun\n";

WordStore& Store()
{
    static QTemporaryDir dir;
    static WordStore* store = [] {
        const QString list = dir.filePath(QStringLiteral("words.tsv"));
        QFile f(list);
        if (!f.open(QIODevice::WriteOnly) || f.write(kWords) < 0)
            std::abort();
        f.close();
        const QString db = dir.filePath(QStringLiteral("Data/DataBase.mdb"));
        if (QProcess::execute(QStringLiteral(VARIN_MAKEDB), {list, db}) != 0)
            std::abort();
        auto* s = new WordStore;
        s->Open(db);
        return s;
    }();
    return *store;
}

QStringList Result(WordStore& store, const LookupQuery& query, bool indexed)
{
    store.SetIndexed(indexed);
    store.Query(query);
    QStringList rows;
    for (int i = 0; i < store.RowCount(); ++i)
        rows << store.At(i).English;
    return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const int mode = 25 * (1 + data[0] % 4);
    const bool keyboard = data[0] & 4;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const auto query = BuildLookupQuery(text, mode, keyboard);
    if (!query)
        return 0;
    WordStore& store = Store();
    if (Result(store, *query, true) != Result(store, *query, false))
        std::abort();
    return 0;
}
