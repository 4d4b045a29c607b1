// What the word store's tests share: a small table, a second connection to
// the file as another copy would hold, and the look-up in every way at once.
#pragma once

#include "components/wordstore.h"
#include "dictionary/lookup.h"
#include "testkit.h"

#include <QStringList>
#include <sqlite3.h>

inline QStringList Englishes(const WordStore& store)
{
    QStringList out;
    for (int i = 0; i < store.RowCount(); ++i)
        out << store.At(i).English;
    return out;
}

inline const QList<Pair> kThree = {{"apple", "سێو"}, {"bread", "نان"}, {"cat", "پشیلە"}};

// A second connection to the file, as another copy of the program would hold.
struct OtherCopy {
    sqlite3* db = nullptr;
    explicit OtherCopy(const QString& path)
    {
        sqlite3_open(path.toUtf8(), &db);
        Exec(QByteArray("PRAGMA key='") + WordStore::kPassword + "';");
    }
    ~OtherCopy() { sqlite3_close(db); }
    int Exec(const QByteArray& sql) { return sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr); }
    qint64 Count(const QByteArray& where = "1")
    {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT count(*) FROM Data WHERE " + where, -1, &st, nullptr);
        const qint64 n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
        sqlite3_finalize(st);
        return n;
    }
};

// A file encrypted with the program's key, made by running sql on it: any
// table shape the tool would never make. false when SQLite refused.
inline bool MakeKeyedFile(const QString& path, const QByteArray& sql)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8(), &db);
    const QByteArray all = QByteArray("PRAGMA key='") + WordStore::kPassword + "';" + sql;
    const bool ok = sqlite3_exec(db, all.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// Every mode, both ways of answering: the English found for the text.
inline QStringList FoundEverywhere(WordStore& store, const QString& text)
{
    QStringList seen;
    for (bool indexed : {true, false}) {
        store.SetIndexed(indexed);
        for (int mode : {25, 50, 75, 100}) {
            store.Query(*BuildLookupQuery(text, mode));
            seen << QStringLiteral("%1/%2:").arg(indexed).arg(mode) + Englishes(store).join(u',');
        }
    }
    store.SetIndexed(true);
    return seen;
}

inline QStringList Expected(const QString& found)
{
    QStringList out;
    for (bool indexed : {true, false})
        for (int mode : {25, 50, 75, 100})
            out << QStringLiteral("%1/%2:").arg(indexed).arg(mode) + found;
    return out;
}
