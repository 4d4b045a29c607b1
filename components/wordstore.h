// The word table behind the dictionary window, with the one cursor that every
// window works on. The file is an encrypted SQLite (SQLCipher) database; the
// table is held in memory as well, with indexes that answer the look-up's
// LIKE patterns without a full scan. Writes go to the file first and are
// committed before the call returns.
#pragma once

#include "runtime/runtime.h"

#include <QObject>
#include <QString>
#include <future>
#include <memory>
#include <vector>

enum class LookupColumn { None, English, Kurdish };

// A look-up query: the SQL text with the pattern bound as its one parameter,
// never pasted into it.
struct LookupQuery {
    LookupColumn column = LookupColumn::None;
    QString sql;
    QString pattern;
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
    };
    enum class Field { English, Kurdish, Note };

    static const char* const kPassword;

    // The file to open: see WordFilePath().
    static QString ResolvePath();

    explicit WordStore(QObject* parent = nullptr);
    ~WordStore() override;

    // Opens the file (never creates one) and makes the whole table the result.
    void Open(const QString& path);

    // Open in two halves, so the slow one (key derivation, reading every row)
    // can run on another thread while the window builds its controls: Read
    // touches nothing of any store and may run anywhere; Adopt runs on the
    // store's thread. Read throws StoreError as Open does.
    struct Table;
    static std::shared_ptr<Table> Read(const QString& path);
    void Adopt(std::shared_ptr<Table> table);
    bool IsOpen() const;
    QString Path() const { return path_; }

    void Query(const LookupQuery& query);   // throws StoreError(Rejected)
    void QueryAll();

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

    void AddNew();
    void SetField(Field field, const QString& value);  // on the pending new entry
    void Update();
    void Delete();

    // false: every query runs as SQL on the file, row by row. The indexed way
    // must give exactly the same results; tests compare the two.
    void SetIndexed(bool indexed) { indexed_ = indexed; }

signals:
    void ResultChanged();
    void CurrentChanged();

private:
    struct Row;
    struct ColumnIndex;

    void SetResult(std::vector<int> rows);
    std::vector<int> Evaluate(int column, const QString& foldedPattern);
    std::vector<int> EvaluateSql(const LookupQuery& query);
    bool Live(int row, int column) const;
    void BuildSorted(int column);
    void BuildReversed(int column);
    void BuildSuffixes(int column);
    void StartIndexing();
    void WaitForIndexes();
    void CommitPending();
    void Require(bool ok, const char* what) const;

    struct Sqlite;
    std::unique_ptr<Sqlite> db_;
    QString path_;
    std::vector<Row> rows_;
    std::vector<int> result_;
    int pos_ = -1;                       // -1 before the first, size() after the last
    std::unique_ptr<Entry> pending_;
    std::unique_ptr<ColumnIndex> index_[2];
    bool indexed_ = true;
    std::future<void> indexing_[2];
};
