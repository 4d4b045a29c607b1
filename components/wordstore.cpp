#include "wordstore.h"

#include "textmatch.h"
#include "wordfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <sqlite3.h>
#include <sys/stat.h>

const char* const WordStore::kPassword = "731pomad731";

struct WordStore::Row {
    Entry entry;                       // entry.Id is the rowid
    bool isNull[2] = {false, false};   // English, Kurdish
    bool deleted = false;
};

struct WordStore::Sqlite {
    sqlite3* db = nullptr;
    bool writeAhead = false;
    // The file as it was opened: its path must still name it at each write.
    dev_t device = 0;
    ino_t inode = 0;
    ~Sqlite()
    {
        // Back to a single file when no other copy has it open: the file is
        // whole by itself between runs. Never wait for the other copy here.
        if (writeAhead) {
            sqlite3_busy_timeout(db, 0);
            sqlite3_exec(db, "PRAGMA journal_mode = DELETE;", nullptr, nullptr, nullptr);
        }
        sqlite3_close(db);
    }
};

namespace {

struct Statement {
    sqlite3_stmt* stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

QString ColumnText(sqlite3_stmt* stmt, int col, bool* isNull = nullptr)
{
    if (isNull)
        *isNull = sqlite3_column_type(stmt, col) == SQLITE_NULL;
    const auto* p = static_cast<const char16_t*>(sqlite3_column_text16(stmt, col));
    return p ? QString::fromUtf16(p, sqlite3_column_bytes16(stmt, col) / 2) : QString();
}

// LIKE as the look-up needs it, on both paths: case and Kurdish letter forms
// do not matter. like(pattern, value), as SQLite calls it.
void LikeFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto text = [](sqlite3_value* v) {
        const auto* p = static_cast<const char16_t*>(sqlite3_value_text16(v));
        return QString::fromUtf16(p, sqlite3_value_bytes16(v) / 2);
    };
    sqlite3_result_int(ctx, LikeMatch(FoldForMatch(text(argv[1])), FoldForMatch(text(argv[0]))));
}

// The value as the look-up compares it, for the order of a result: the
// entries equal to the text come first.
void FoldFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* p = static_cast<const char16_t*>(sqlite3_value_text16(argv[0]));
    const QString folded = FoldForMatch(QString::fromUtf16(p, sqlite3_value_bytes16(argv[0]) / 2));
    sqlite3_result_text16(ctx, folded.utf16(), static_cast<int>(folded.size() * 2), SQLITE_TRANSIENT);
}

const char* const kColumnName[2] = {"English", "\"كوردى\""};

std::function<void(sqlite3*)>& ConnectionHook()
{
    static std::function<void(sqlite3*)> hook;
    return hook;
}

// What went wrong with the last write on db, in words a user can act on,
// SQLite's own text after them for the developer.
QString WriteProblem(sqlite3* db)
{
    const QString detail = QString::fromUtf8(sqlite3_errmsg(db));
    switch (sqlite3_errcode(db) & 0xff) {
    case SQLITE_FULL:
        return QStringLiteral("the disk is full; nothing was written, every word saved before is kept (%1)").arg(detail);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("another program holds the word file locked; nothing was written, try again once it "
                              "lets go (%1)")
            .arg(detail);
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        return QStringLiteral("the word file cannot be written; nothing was written (%1)").arg(detail);
    case SQLITE_IOERR:
        return QStringLiteral("the disk refused the write; nothing was written (%1)").arg(detail);
    default:
        return QStringLiteral("the word file refused the write; nothing was written (%1)").arg(detail);
    }
}

}  // namespace

QString WordStore::ResolvePath()
{
    return WordFilePath();
}

void WordStore::SetConnectionHook(std::function<void(sqlite3*)> hook)
{
    ConnectionHook() = std::move(hook);
}

WordStore::WordStore(QObject* parent) : QObject(parent) {}
WordStore::~WordStore()
{
    WaitForIndexes(false);   // a failed build is of no interest now, and must not escape
}

bool WordStore::IsOpen() const
{
    return db_ != nullptr;
}

struct WordStore::Table {
    QString path;
    std::unique_ptr<Sqlite> db;
    std::vector<Row> rows;
};

std::shared_ptr<WordStore::Table> WordStore::Read(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw StoreError(StoreError::Missing, QStringLiteral("file not found"));
    if (!info.isFile() || !info.isReadable())
        throw StoreError(StoreError::Unreadable, QStringLiteral("the file cannot be read"));

    auto table = std::make_shared<Table>();
    table->path = path;
    table->db = std::make_unique<Sqlite>();
    sqlite3*& db = table->db->db;
    // Never SQLITE_OPEN_CREATE: a missing file must not turn into an empty one.
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db);
        db = nullptr;
        rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    }
    if (rc != SQLITE_OK)
        throw StoreError(StoreError::Unreadable, QString::fromUtf8(sqlite3_errstr(rc)));

    const QByteArray key = QByteArrayLiteral("PRAGMA key = '") + kPassword + "';";
    sqlite3_exec(db, key.constData(), nullptr, nullptr, nullptr);
    rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw StoreError(StoreError::NotADatabase,
                         QStringLiteral("not a word database of this program (wrong key or damaged file)"));
    // Two copies of the program may run; a write waits for the other's rather
    // than failing at once, but never longer than this: the window waits too.
    sqlite3_busy_timeout(db, kBusyWaitMs);

    // The whole table is read before anything is written: a file that is not
    // one of ours, or is damaged further in, is left exactly as it was.
    {
        Statement st;
        const QString sql = QStringLiteral("SELECT rowid, English, \"كوردى\", Note FROM Data ORDER BY rowid");
        if (sqlite3_prepare16_v2(db, sql.utf16(), -1, &st.stmt, nullptr) != SQLITE_OK)
            throw StoreError(StoreError::NoWordTable,
                             QStringLiteral("the file holds no word table of this program (%1)")
                                 .arg(QString::fromUtf8(sqlite3_errmsg(db))));
        while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) {
            Row r;
            r.entry.Id = sqlite3_column_int64(st.stmt, 0);
            r.entry.English = ColumnText(st.stmt, 1, &r.isNull[0]);
            r.entry.Kurdish = ColumnText(st.stmt, 2, &r.isNull[1]);
            r.entry.Note = ColumnText(st.stmt, 3);
            table->rows.push_back(std::move(r));
        }
        if (rc != SQLITE_DONE)
            throw StoreError(StoreError::NotADatabase,
                             QStringLiteral("the file is damaged (%1)").arg(QString::fromUtf8(sqlite3_errmsg(db))));
    }
    struct stat opened {};
    if (::stat(QFile::encodeName(path).constData(), &opened) == 0) {
        table->db->device = opened.st_dev;
        table->db->inode = opened.st_ino;
    }

    // A word the user added must survive a crash or power cut right after the
    // notice: every commit is synced. While the program runs, commits go to a
    // write-ahead log beside the file, one sync each instead of the rollback
    // journal's several, so an add or delete is on disk in a few ms.
    if (!sqlite3_db_readonly(db, "main")) {
        Statement mode;
        if (sqlite3_prepare_v2(db, "PRAGMA journal_mode = WAL;", -1, &mode.stmt, nullptr) == SQLITE_OK
            && sqlite3_step(mode.stmt) == SQLITE_ROW)
            table->db->writeAhead =
                qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(mode.stmt, 0)), "wal") == 0;
    }
    sqlite3_exec(db, "PRAGMA synchronous = FULL;", nullptr, nullptr, nullptr);
    sqlite3_create_function(db, "like", 2, SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr, LikeFunction, nullptr,
                            nullptr);
    sqlite3_create_function(db, "varin_fold", 1, SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr, FoldFunction,
                            nullptr, nullptr);
    if (ConnectionHook())
        ConnectionHook()(db);
    return table;
}

void WordStore::Adopt(std::shared_ptr<Table> table)
{
    WaitForIndexes();
    pending_.reset();
    path_ = table->path;
    db_ = std::move(table->db);
    rows_ = std::move(table->rows);
    readRows_ = rows_.size();
    addedIds_.clear();
    StartIndexing();
    QueryAll();
}

void WordStore::Open(const QString& path)
{
    // Whatever was open is gone first, so a failed open leaves an empty store.
    WaitForIndexes();
    db_.reset();
    pending_.reset();
    result_.clear();
    pos_ = -1;
    rows_.clear();
    readRows_ = 0;
    addedIds_.clear();
    index_[0].reset();
    index_[1].reset();
    path_ = path;
    Adopt(Read(path));
}

void WordStore::Require(bool ok, const char* what) const
{
    if (!ok)
        throw StoreError(StoreError::NoCurrentEntry, QString::fromLatin1(what));
}

// SQLite writes through the handle it opened: were the file deleted or
// replaced, the words would go into a file nobody opens again (and a
// replacement could later take in this copy's write-ahead log). So each
// write first checks that the path still names the opened file.
QString WordStore::FileChanged() const
{
    struct stat now {};
    if (::stat(QFile::encodeName(path_).constData(), &now) != 0)
        return QStringLiteral("the word file was deleted or moved while the dictionary was running; nothing was "
                              "written. Start the dictionary again");
    if (now.st_dev != db_->device || now.st_ino != db_->inode)
        return QStringLiteral("the word file was replaced by another while the dictionary was running; nothing "
                              "was written. Start the dictionary again to use the file there now");
    return {};
}

// The rows read at open are in rowid order. SQLite may give a new row the
// rowid of a deleted one that was the last, so the rows added since are
// found through a map of their own, and a dead row never answers.
int WordStore::RowOfId(qint64 id) const
{
    if (const auto added = addedIds_.find(id); added != addedIds_.end())
        return added->second;
    const auto end = rows_.begin() + readRows_;
    const auto it = std::lower_bound(rows_.begin(), end, id, [](const Row& r, qint64 v) { return r.entry.Id < v; });
    return it != end && it->entry.Id == id && !it->deleted ? static_cast<int>(it - rows_.begin()) : -1;
}

void WordStore::SetResult(std::vector<int> rows)
{
    pending_.reset();
    result_ = std::move(rows);
    pos_ = result_.empty() ? -1 : 0;
    gap_ = false;
    emit ResultChanged();
    emit CurrentChanged();
}

void WordStore::QueryAll()
{
    std::vector<int> all;
    all.reserve(rows_.size());
    for (int i = 0; i < static_cast<int>(rows_.size()); ++i)
        if (!rows_[i].deleted)
            all.push_back(i);
    SetResult(std::move(all));
}

void WordStore::Query(const LookupQuery& query)
{
    CommitPending();
    SetResult(MatchRows(query));
}

std::vector<WordStore::Entry> WordStore::Find(const LookupQuery& query, int limit)
{
    const std::vector<int> rows = MatchRows(query);
    std::vector<Entry> out;
    out.reserve(std::min<size_t>(rows.size(), size_t(std::max(limit, 0))));
    for (size_t i = 0; i < rows.size() && out.size() < size_t(std::max(limit, 0)); ++i)
        out.push_back(rows_[rows[i]].entry);
    return out;
}

std::vector<int> WordStore::MatchRows(const LookupQuery& query)
{
    if (!db_ || query.column == LookupColumn::None)
        throw StoreError(StoreError::Rejected, QStringLiteral("no word table is open"));
    const int column = query.column == LookupColumn::English ? 0 : 1;
    WaitForIndexes();
    if (!indexed_ || !index_[column])
        return EvaluateSql(query, column);
    std::vector<int> rows = index_[column]->Match(FoldForMatch(query.pattern));
    if (!query.text.isEmpty()) {
        const QString exact = FoldForMatch(query.text);
        std::stable_partition(rows.begin(), rows.end(), [&](int r) { return index_[column]->Equals(r, exact); });
    }
    return rows;
}

std::vector<int> WordStore::EvaluateSql(const LookupQuery& query, int column)
{
    // The look-up's texts all read "select * from Data where ..."; the result
    // here is kept as rows of the table, so ask for their row ids, in the
    // table's order after the entries equal to the text.
    const QString star = QStringLiteral("select * ");
    if (!query.sql.startsWith(star))
        throw StoreError(StoreError::Rejected, QStringLiteral("not a look-up query"));
    QString sql = QStringLiteral("select rowid ") + query.sql.mid(star.size());
    if (!query.text.isEmpty())
        sql += QStringLiteral(" order by varin_fold(%1) = varin_fold(?2) desc, rowid")
                   .arg(QString::fromUtf8(kColumnName[column]));
    else
        sql += QStringLiteral(" order by rowid");
    Statement st;
    if (sqlite3_prepare16_v2(db_->db, sql.utf16(), -1, &st.stmt, nullptr) != SQLITE_OK)
        throw StoreError(StoreError::Rejected, QString::fromUtf8(sqlite3_errmsg(db_->db)));
    const auto bind = [&](int i, const QString& v) {
        sqlite3_bind_text16(st.stmt, i, v.utf16(), static_cast<int>(v.size() * 2), SQLITE_TRANSIENT);
    };
    bind(1, query.pattern);
    if (!query.text.isEmpty())
        bind(2, query.text);
    std::vector<int> out;
    int rc;
    while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) {
        const int row = RowOfId(sqlite3_column_int64(st.stmt, 0));
        if (row >= 0)
            out.push_back(row);
    }
    if (rc != SQLITE_DONE)
        throw StoreError(StoreError::Rejected, QString::fromUtf8(sqlite3_errmsg(db_->db)));
    return out;
}

// The indexes are built on worker threads as soon as the table is read, so
// the first keystroke finds them ready; after that they follow each add and
// delete. Everything on the window's thread that reads or changes the rows or
// the indexes waits for the build first.
void WordStore::StartIndexing()
{
    WaitForIndexes();
    indexProblemTold_ = false;
    for (int column : {0, 1}) {
        index_[column] = std::make_unique<WordIndex>();
        // One worker a column: they touch nothing in common, and the rows
        // do not change until WaitForIndexes.
        indexing_[column] = std::async(std::launch::async, [this, column, hook = indexBuildHook_] {
            if (hook)
                hook(column);
            std::vector<QString> values;
            std::vector<bool> present;
            values.reserve(rows_.size());
            present.reserve(rows_.size());
            for (const Row& r : rows_) {
                values.push_back(column == 0 ? r.entry.English : r.entry.Kurdish);
                present.push_back(!r.deleted && !r.isNull[column]);
                // The suffix sort is quadratic in a value's length when it
                // repeats itself: one such value in a damaged or hostile file
                // would hold up the first look-up for hours.
                if (present.back() && values.back().size() > kLongestIndexed)
                    throw RuntimeError(QStringLiteral("row %1 holds a value of %2 characters")
                                           .arg(r.entry.Id)
                                           .arg(values.back().size()));
            }
            index_[column]->Build(values, present);
        });
    }
}

void WordStore::WaitForIndexes(bool tell)
{
    for (int column : {0, 1}) {
        if (!indexing_[column].valid())
            continue;
        QString problem;
        try {
            indexing_[column].get();
        } catch (const std::exception& e) {
            problem = QString::fromLocal8Bit(e.what());
        } catch (...) {
            problem = QStringLiteral("unknown failure");
        }
        if (problem.isNull())
            continue;
        // A half-built index would answer wrongly: drop it, and that column's
        // look-ups run as SQL on the file from now on.
        index_[column].reset();
        if (!indexProblemTold_) {
            indexProblemTold_ = true;
            const QString message = QStringLiteral("the look-up index could not be built (%1); looking up in the file instead").arg(problem);
            qWarning("%s", qPrintable(message));
            if (tell)
                emit IndexFailed(message);
        }
    }
}

void WordStore::CommitPending()
{
    if (pending_)
        Update();
}

void WordStore::MoveFirst()
{
    CommitPending();
    Require(!result_.empty(), "no entry to move to");
    pos_ = 0;
    gap_ = false;
    emit CurrentChanged();
}

void WordStore::MoveLast()
{
    CommitPending();
    Require(!result_.empty(), "no entry to move to");
    pos_ = RowCount() - 1;
    gap_ = false;
    emit CurrentChanged();
}

void WordStore::MoveNext()
{
    CommitPending();
    Require(!AtEOF(), "already after the last entry");
    if (gap_)
        gap_ = false;   // the entry that followed the deleted one stands at pos_
    else
        ++pos_;
    emit CurrentChanged();
}

void WordStore::MovePrevious()
{
    CommitPending();
    Require(!AtBOF(), "already before the first entry");
    gap_ = false;
    --pos_;
    emit CurrentChanged();
}

void WordStore::MoveTo(int row)
{
    CommitPending();
    Require(row >= 0 && row < RowCount(), "no such entry");
    if (pos_ == row && !gap_)
        return;
    pos_ = row;
    gap_ = false;
    emit CurrentChanged();
}

bool WordStore::AtBOF() const
{
    return result_.empty() || (!gap_ && pos_ < 0);
}

bool WordStore::AtEOF() const
{
    return result_.empty() || (!gap_ && pos_ >= RowCount());
}

int WordStore::Position() const
{
    return pending_ || gap_ || AtBOF() || AtEOF() ? -1 : pos_;
}

WordStore::Entry WordStore::Current() const
{
    if (pending_)
        return *pending_;
    const int p = Position();
    return p < 0 ? Entry{} : rows_[result_[p]].entry;
}

WordStore::Entry WordStore::At(int row) const
{
    if (row < 0 || row >= RowCount())
        return {};
    return rows_[result_[row]].entry;
}

void WordStore::AddNew()
{
    CommitPending();
    pending_ = std::make_unique<Entry>();
    emit CurrentChanged();
}

void WordStore::SetField(Field field, const QString& value)
{
    if (!pending_)
        return;
    switch (field) {
    case Field::English: pending_->English = value; break;
    case Field::Kurdish: pending_->Kurdish = value; break;
    case Field::Note: pending_->Note = value; break;
    }
}

void WordStore::Update()
{
    if (!pending_)
        return;
    const Entry e = *pending_;
    const auto fail = [this](const QString& message) {
        // Not kept pending: every later move would fail on it again. A move
        // in resume-next mode swallows the throw, so the signal tells.
        pending_.reset();
        emit CurrentChanged();
        emit WriteFailed(message);
        throw StoreError(StoreError::WriteFailed, message);
    };
    if (!db_)
        fail(QStringLiteral("no word table is open"));
    if (const QString changed = FileChanged(); !changed.isEmpty())
        fail(changed);
    Statement st;
    const QString sql = QStringLiteral("INSERT INTO Data (English, \"كوردى\", Note) VALUES (?1, ?2, ?3)");
    sqlite3_prepare16_v2(db_->db, sql.utf16(), -1, &st.stmt, nullptr);
    const auto bind = [&](int i, const QString& v) {
        if (v.isEmpty())
            sqlite3_bind_null(st.stmt, i);
        else
            sqlite3_bind_text16(st.stmt, i, v.utf16(), static_cast<int>(v.size() * 2), SQLITE_TRANSIENT);
    };
    bind(1, e.English);
    bind(2, e.Kurdish);
    bind(3, e.Note);
    // One statement in autocommit: in the file whole, or not at all.
    if (!st.stmt || sqlite3_step(st.stmt) != SQLITE_DONE)
        fail(WriteProblem(db_->db));

    WaitForIndexes();
    Row r;
    r.entry = e;
    r.entry.Id = sqlite3_last_insert_rowid(db_->db);
    r.isNull[0] = e.English.isEmpty();
    r.isNull[1] = e.Kurdish.isEmpty();
    for (int column : {0, 1}) {
        const QString& value = column == 0 ? e.English : e.Kurdish;
        if (value.size() > kLongestIndexed)
            index_[column].reset();   // that column is looked up through SQL from now on
        if (index_[column])
            index_[column]->Add(value, !r.isNull[column]);
    }
    addedIds_[r.entry.Id] = static_cast<int>(rows_.size());
    rows_.push_back(std::move(r));
    pending_.reset();
    result_.push_back(static_cast<int>(rows_.size()) - 1);
    pos_ = RowCount() - 1;
    gap_ = false;
    emit ResultChanged();
    emit CurrentChanged();
}

void WordStore::RemoveRow(int row)
{
    WaitForIndexes();
    rows_[row].deleted = true;
    if (const auto added = addedIds_.find(rows_[row].entry.Id); added != addedIds_.end() && added->second == row)
        addedIds_.erase(added);
    for (auto& index : index_)
        if (index)
            index->Remove(row);
    const auto it = std::find(result_.begin(), result_.end(), row);
    if (it != result_.end()) {
        const int k = static_cast<int>(it - result_.begin());
        result_.erase(it);
        if (k == pos_ && !gap_)
            gap_ = true;     // in the deleted entry's place until the next move
        else if (k < pos_)
            --pos_;
        if (result_.empty()) {
            pos_ = -1;
            gap_ = false;
        }
    }
    emit ResultChanged();
    emit CurrentChanged();
}

void WordStore::Delete()
{
    const int p = Position();
    Require(p >= 0, "no current entry to delete");
    if (const QString changed = FileChanged(); !changed.isEmpty())
        throw StoreError(StoreError::WriteFailed, changed);
    Statement st;
    sqlite3_prepare_v2(db_->db, "DELETE FROM Data WHERE rowid = ?1", -1, &st.stmt, nullptr);
    sqlite3_bind_int64(st.stmt, 1, rows_[result_[p]].entry.Id);
    if (!st.stmt || sqlite3_step(st.stmt) != SQLITE_DONE)
        throw StoreError(StoreError::WriteFailed, WriteProblem(db_->db));
    RemoveRow(result_[p]);
}

WordStore::DeleteOutcome WordStore::DeleteUserEntry(qint64 id)
{
    if (!db_)
        throw StoreError(StoreError::WriteFailed, QStringLiteral("no word table is open"));
    if (const QString changed = FileChanged(); !changed.isEmpty())
        throw StoreError(StoreError::WriteFailed, changed);
    sqlite3* db = db_->db;
    const auto failed = [db] { return StoreError(StoreError::WriteFailed, WriteProblem(db)); };
    // IMMEDIATE: no other copy can change the row between the test of its
    // Note and the delete.
    if (sqlite3_exec(db, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw failed();
    DeleteOutcome outcome = DeleteOutcome::Deleted;
    try {
        Statement look;
        if (sqlite3_prepare_v2(db, "SELECT Note FROM Data WHERE rowid = ?1", -1, &look.stmt, nullptr) != SQLITE_OK)
            throw failed();
        sqlite3_bind_int64(look.stmt, 1, id);
        const int rc = sqlite3_step(look.stmt);
        if (rc == SQLITE_DONE)
            outcome = DeleteOutcome::Gone;
        else if (rc != SQLITE_ROW)
            throw failed();
        else if (sqlite3_column_type(look.stmt, 0) != SQLITE_NULL && sqlite3_column_bytes(look.stmt, 0) > 0)
            outcome = DeleteOutcome::BuiltIn;
        if (outcome == DeleteOutcome::Deleted) {
            Statement del;
            sqlite3_prepare_v2(db, "DELETE FROM Data WHERE rowid = ?1", -1, &del.stmt, nullptr);
            sqlite3_bind_int64(del.stmt, 1, id);
            if (!del.stmt || sqlite3_step(del.stmt) != SQLITE_DONE)
                throw failed();
        }
        if (sqlite3_exec(db, outcome == DeleteOutcome::Deleted ? "COMMIT;" : "ROLLBACK;", nullptr, nullptr,
                         nullptr)
            != SQLITE_OK)
            throw failed();
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK;", nullptr, nullptr, nullptr);
        throw;
    }
    if (outcome != DeleteOutcome::BuiltIn) {
        // Gone from the file (another copy deleted it): gone from here too.
        const int row = RowOfId(id);
        if (row >= 0)
            RemoveRow(row);
    }
    return outcome;
}
