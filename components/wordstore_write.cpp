// The store's writes: each is on disk before the call returns, or changes
// nothing and says why.
#include "wordstore_sqlite.h"

#include <algorithm>

namespace {

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
    for (int which = 0; which < kIndexes; ++which) {
        const int column = ColumnOf(which);
        const QString& value = column == 0 ? e.English : e.Kurdish;
        if (value.size() > kLongestIndexed)
            index_[which].reset();   // that column is looked up through SQL from now on
        if (index_[which])
            index_[which]->Add(value, !r.isNull[column]);
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
