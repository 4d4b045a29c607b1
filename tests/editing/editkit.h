// What the editing windows' tests share: entries put straight into the
// word store, a result narrowed to some of them, the file's own rows, and the
// fixture around each case.
#pragma once

#include "components/wordstore.h"
#include "dictionary/varin2.h"
#include "editing/editwindow.h"
#include "runtime/forms.h"
#include "testkit.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>

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

// How many rows of the file have this English.
inline int CountInFile(const QString& path, const QString& english)
{
    int n = 0;
    for (const auto& e : FileRows(path))
        n += e.English == english;
    return n;
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

// Around each case: a word folder of its own with the given entries, the
// notices recorded instead of shown, and the windows shown instead of waited
// for.
class EditFixture {
protected:
    DataFolder* folder_ = nullptr;
    MsgBoxRecorder* boxes_ = nullptr;

    Varin2& Dictionary()
    {
        Varin2& v2 = forms().Varin2();
        v2.show();
        return v2;
    }

    QTemporaryDir config_;

    void Init(const QList<Pair>& words)
    {
        folder_ = new DataFolder(words);
        boxes_ = new MsgBoxRecorder;
        SetModalShower([](QWidget* w) { w->show(); });
    }
    void Cleanup()
    {
        forms().Unload();
        SetModalShower({});
        delete boxes_;
        delete folder_;
    }
};
