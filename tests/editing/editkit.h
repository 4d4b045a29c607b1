// What the editing windows' tests share: entries put straight into the
// word store, a result narrowed to some of them, and the file's own rows.
#pragma once

#include "components/wordstore.h"

#include <QList>
#include <QString>

// The rows of the file itself, read by a store of its own.
inline QList<WordStore::Entry> FileRows(const QString& path)
{
    WordStore s;
    s.Open(path);
    QList<WordStore::Entry> out;
    for (int r = 0; r < s.RowCount(); ++r)
        out << s.At(r);
    return out;
}

// A user's entry, added straight through the store.
inline void AddUserEntry(WordStore& store, const QString& english, const QString& kurdish)
{
    store.AddNew();
    store.SetField(WordStore::Field::English, english);
    store.SetField(WordStore::Field::Kurdish, kurdish);
    store.Update();
}

inline void ShowOnly(WordStore& store, const QString& englishPrefix)
{
    store.Query({LookupColumn::English, QStringLiteral("select * from Data where English like ?"),
                 englishPrefix + QStringLiteral("%")});
}
