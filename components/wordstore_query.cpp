// The store's result and cursor: the look-up's queries, answered from the
// indexes or by SQL, and the moves.
#include "textmatch.h"
#include "wordstore_sqlite.h"

#include <algorithm>

namespace {
const char* const kColumnName[2] = {"English", "\"كوردى\""};
}  // namespace

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
    // English has no keyboard index: its letters are all on every keyboard.
    const int which = !query.keyboard ? column : column == 1 ? 2 : -1;
    // A query only reads the rows: it waits for the one index it uses, not
    // for the keyboard index still being built behind the Kurdish one.
    if (which >= 0)
        WaitForIndex(which, true);
    if (!indexed_ || which < 0 || !index_[which])
        return EvaluateSql(query, column);
    const WordIndex& index = *index_[which];
    std::vector<int> rows = index.Match(index.Folded(query.pattern));
    if (!query.text.isEmpty()) {
        const std::vector<int> exact = index.Exact(index.Folded(query.text));
        std::stable_partition(rows.begin(), rows.end(),
                              [&](int r) { return std::binary_search(exact.begin(), exact.end(), r); });
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
        sql += QStringLiteral(" order by %1(%2, ?2) desc, rowid")
                   .arg(query.keyboard ? QStringLiteral("varin_keyboard_exact") : QStringLiteral("varin_exact"),
                        QString::fromUtf8(kColumnName[column]));
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
// delete. Everything on the window's thread that changes the rows or uses an
// index waits for its build first.
void WordStore::StartIndexing()
{
    WaitForIndexes();
    indexProblemTold_ = false;
    for (int which = 0; which < kIndexes; ++which)
        index_[which] = std::make_unique<WordIndex>(which == 2 ? FoldForKeyboard : FoldForMatch);
    // One worker a column: they touch nothing in common, and the rows do not
    // change until WaitForIndexes. The Kurdish worker builds the keyboard
    // index after the Kurdish one, so the first look-ups need not wait for it.
    const auto build = [this, hook = indexBuildHook_](int which) {
        const int column = ColumnOf(which);
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
        index_[which]->Build(values, present);
    };
    indexing_[0] = std::async(std::launch::async, build, 0);
    auto kurdish = std::make_shared<std::promise<void>>();
    indexing_[1] = kurdish->get_future();
    indexing_[2] = std::async(std::launch::async, [build, kurdish] {
        try {
            build(1);
            kurdish->set_value();
        } catch (...) {
            kurdish->set_exception(std::current_exception());
        }
        build(2);
    });
}

void WordStore::WaitForIndexes(bool tell)
{
    for (int which = 0; which < kIndexes; ++which)
        WaitForIndex(which, tell);
}

void WordStore::WaitForIndex(int which, bool tell)
{
    if (!indexing_[which].valid())
        return;
    QString problem;
    try {
        indexing_[which].get();
    } catch (const std::exception& e) {
        problem = QString::fromLocal8Bit(e.what());
    } catch (...) {
        problem = QStringLiteral("unknown failure");
    }
    if (problem.isNull())
        return;
    // A half-built index would answer wrongly: drop it, and the look-ups
    // it served run as SQL on the file from now on.
    index_[which].reset();
    if (!indexProblemTold_) {
        indexProblemTold_ = true;
        const QString message = QStringLiteral("the look-up index could not be built (%1); looking up in the file instead").arg(problem);
        qWarning("%s", qPrintable(message));
        if (tell)
            emit IndexFailed(message);
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
