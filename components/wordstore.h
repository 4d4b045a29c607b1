// The word table behind the dictionary window, with the one cursor that every
// window works on. The file is an encrypted SQLite (SQLCipher) database; the
// table is held in memory as well, with an index a column (wordindex.h) that
// answers the look-up's LIKE patterns without a full scan and follows every
// add and delete, and a second one over Kurdish for the keyboard look.
// Writes go to the file first and are on disk before the call returns.
#pragma once

#include "runtime/runtime.h"
#include "wordindex.h"

#include <QObject>
#include <QString>
#include <climits>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <vector>

struct sqlite3;

enum class LookupColumn { None, English, Kurdish };

// A look-up query: the SQL text with the pattern bound as its one parameter,
// never pasted into it.
struct LookupQuery {
    LookupColumn column = LookupColumn::None;
    QString sql;
    QString pattern;
    QString text;   // as typed: the entries equal to it come first; "" keeps the table's order
    // The second look of a Kurdish text that found nothing: both sides folded
    // as FoldForKeyboard does, for a text typed without ە ێ ۆ ڵ ڕ.
    bool keyboard = false;
};

class StoreError : public RuntimeError {
public:
    enum Kind { Missing, Unreadable, NotADatabase, NoWordTable, Rejected, NoCurrentEntry, WriteFailed };
    StoreError(Kind kind, const QString& what) : RuntimeError(what), kind(kind) {}
    Kind kind;
};

class WordStore : public QObject {
    Q_OBJECT
public:
    struct Entry {
        QString English, Kurdish, Note;
        qint64 Id = 0;   // the row's identity in the file; 0 for no entry or one not yet added
    };
    enum class DeleteOutcome { Deleted, Gone, BuiltIn };
    enum class Field { English, Kurdish, Note };

    static const char* const kPassword;

    // The file to open: see WordFilePath().
    static QString ResolvePath();

    // Runs on each connection Read opens, once the table is read, before any
    // write; tests shrink the file's room through it to see a full disk.
    static void SetConnectionHook(std::function<void(sqlite3*)> hook);

    // Values longer than this (in characters) are never indexed: their
    // column is looked up through SQL instead, which stays linear in them.
    static constexpr qsizetype kLongestIndexed = 1024;

    explicit WordStore(QObject* parent = nullptr);
    ~WordStore() override;

    // Opens the file (never creates one, never writes to one it cannot read
    // whole) and makes the whole table the result.
    //
    // Writes (Update, Delete, DeleteUserEntry) throw StoreError(WriteFailed)
    // with a message that names the cause: the disk is full, another program
    // holds the file locked (after waiting up to kBusyWaitMs), the file is
    // read-only, or the path no longer names the file that was opened (it
    // was deleted or replaced while the program ran; writing on would put
    // the words into a file nobody will open again). A failed write changes
    // nothing in the file; every word committed before stays. The look-up
    // goes on answering from the table read at open and the words added since.
    void Open(const QString& path);
    static constexpr int kBusyWaitMs = 2000;

    // Open in two halves, so the slow one (key derivation, reading every row)
    // can run on another thread while the window builds its controls: Read
    // touches nothing of any store and may run anywhere; Adopt runs on the
    // store's thread. Read throws StoreError as Open does.
    struct Table;
    static std::shared_ptr<Table> Read(const QString& path);
    void Adopt(std::shared_ptr<Table> table);
    bool IsOpen() const;
    QString Path() const { return path_; }

    // The result: the entries whose column equals the text (as the look-up
    // compares: case and Kurdish letter forms aside), in whole or in one of
    // its synonyms, first; then the others that match the pattern, each part
    // in the table's order.
    void Query(const LookupQuery& query);   // throws StoreError(Rejected)
    void QueryAll();

    // The entries a query would make the result, in the same order, at most
    // `limit` of them, without touching the result, the cursor or a pending
    // new entry: a look-up on the side (the reader's word window) leaves the
    // dictionary window where it stands. Throws StoreError(Rejected) as Query does.
    std::vector<Entry> Find(const LookupQuery& query, int limit = INT_MAX);

    int RowCount() const { return static_cast<int>(result_.size()); }
    int RecordCount() const { return RowCount(); }

    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    void MoveTo(int row);
    bool AtBOF() const;
    bool AtEOF() const;
    int Position() const;                 // row of the current entry, or -1
    Entry Current() const;                // empty fields when there is none
    Entry At(int row) const;

    // A new entry is pending from AddNew until Update or a move commits it.
    // The commit is one INSERT, on disk before the call returns; when it
    // fails, the file is as it was, the pending entry is dropped, WriteFailed
    // is emitted (a move that commits may run where its throw goes unheard)
    // and StoreError(WriteFailed) is thrown.
    void AddNew();
    void SetField(Field field, const QString& value);  // on the pending new entry
    void Update();

    // Removes the current entry from the file, the result and the counts.
    // The cursor then stands in the entry's place, on no entry: MovePrevious
    // goes to the entry that stood before it (BOF when it was the first),
    // MoveNext to the one that followed it (EOF when it was the last).
    void Delete();

    // Deletes the entry with this identity only if it is still in the file
    // and its Note there is empty, checked and deleted in one transaction:
    // the entry a window shows may have left the result under it. Gone: no
    // such entry (it also leaves the result); BuiltIn: a Note, nothing
    // deleted. The cursor stays on its entry; on the deleted one it behaves
    // as after Delete. Throws StoreError(WriteFailed) when the file refuses.
    DeleteOutcome DeleteUserEntry(qint64 id);

    // false: every query runs as SQL on the file, row by row. The indexed way
    // must give exactly the same results; tests compare the two.
    void SetIndexed(bool indexed) { indexed_ = indexed; }

    // Runs on the builder's thread before each index is built, with the
    // column it is for (Kurdish has two), from the next Open on. Tests throw
    // from it to see a failed build.
    void SetIndexBuildHook(std::function<void(int column)> hook) { indexBuildHook_ = std::move(hook); }

signals:
    void ResultChanged();
    void CurrentChanged();
    void WriteFailed(const QString& message);   // a pending add could not be committed
    // An index could not be built (told once an open); its column is looked
    // up in the file instead, with the same results, only slower.
    void IndexFailed(const QString& message);

private:
    struct Row;

    void SetResult(std::vector<int> rows);
    std::vector<int> MatchRows(const LookupQuery& query);
    std::vector<int> EvaluateSql(const LookupQuery& query, int column);
    void StartIndexing();
    void WaitForIndexes(bool tell = true);
    void WaitForIndex(int which, bool tell);
    void CommitPending();
    void RemoveRow(int row);
    int RowOfId(qint64 id) const;
    void Require(bool ok, const char* what) const;
    QString FileChanged() const;   // why the path no longer names the open file; "" while it does

    struct Sqlite;
    std::unique_ptr<Sqlite> db_;
    QString path_;
    std::vector<Row> rows_;
    size_t readRows_ = 0;                // rows_ read at open, in rowid order
    std::map<qint64, int> addedIds_;     // rows added since, by rowid
    std::vector<int> result_;
    int pos_ = -1;                       // -1 before the first, size() after the last
    bool gap_ = false;                   // in the place of a deleted entry, before result_[pos_]
    std::unique_ptr<Entry> pending_;
    // English, Kurdish, Kurdish as a keyboard without its five letters types
    // it (FoldForKeyboard); none when its build failed.
    static constexpr int kIndexes = 3;
    static int ColumnOf(int index) { return index == 0 ? 0 : 1; }
    std::unique_ptr<WordIndex> index_[kIndexes];
    bool indexed_ = true;
    std::future<void> indexing_[kIndexes];
    std::function<void(int)> indexBuildHook_;
    bool indexProblemTold_ = false;
};
