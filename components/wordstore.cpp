#include "wordstore.h"

#include "textmatch.h"
#include "wordfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <sqlite3.h>

const char* const WordStore::kPassword = "731pomad731";

struct WordStore::Row {
    qint64 rowid = 0;
    Entry entry;
    QString folded[2];       // English, Kurdish, as the look-up compares them
    bool isNull[2] = {false, false};
    bool deleted = false;
};

// Per column: values in sorted order (begins with, equals), reversed values in
// sorted order (ends with), and a suffix array (contains).
struct WordStore::ColumnIndex {
    std::vector<int> sorted;
    std::vector<QString> reversed;       // by row
    std::vector<int> sortedReversed;
    std::u16string text;                 // every value, each ended by a 0
    std::vector<quint32> suffixes;       // offsets into text, sorted
    std::vector<qint32> suffixRow;       // row of each suffix, same order
};

struct WordStore::Sqlite {
    sqlite3* db = nullptr;
    ~Sqlite() { sqlite3_close(db); }
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

bool ContainsWildcard(QStringView s)
{
    return s.contains(u'%') || s.contains(u'_');
}

QString Reversed(const QString& s)
{
    QString r(s);
    std::reverse(r.begin(), r.end());
    return r;
}

// Rows in a key range of a sorted index, back in table order.
template <typename It>
std::vector<int> InTableOrder(It first, It last)
{
    std::vector<int> rows(first, last);
    std::sort(rows.begin(), rows.end());
    return rows;
}

}  // namespace

QString WordStore::ResolvePath()
{
    return WordFilePath();
}

WordStore::WordStore(QObject* parent) : QObject(parent) {}
WordStore::~WordStore()
{
    WaitForIndexes();
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
    // Two copies of the program may run; a write waits for the other's rather than failing at once.
    sqlite3_busy_timeout(db, 2000);
    sqlite3_create_function(db, "like", 2, SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr, LikeFunction, nullptr,
                            nullptr);

    Statement st;
    const QString sql = QStringLiteral("SELECT rowid, English, \"كوردى\", Note FROM Data ORDER BY rowid");
    if (sqlite3_prepare16_v2(db, sql.utf16(), -1, &st.stmt, nullptr) != SQLITE_OK)
        throw StoreError(StoreError::NoWordTable, QStringLiteral("the file holds no word table"));
    while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) {
        Row r;
        r.rowid = sqlite3_column_int64(st.stmt, 0);
        r.entry.English = ColumnText(st.stmt, 1, &r.isNull[0]);
        r.entry.Kurdish = ColumnText(st.stmt, 2, &r.isNull[1]);
        r.entry.Note = ColumnText(st.stmt, 3);
        r.folded[0] = FoldForMatch(r.entry.English);
        r.folded[1] = FoldForMatch(r.entry.Kurdish);
        table->rows.push_back(std::move(r));
    }
    if (rc != SQLITE_DONE)
        throw StoreError(StoreError::NotADatabase, QString::fromUtf8(sqlite3_errmsg(db)));
    return table;
}

void WordStore::Adopt(std::shared_ptr<Table> table)
{
    WaitForIndexes();
    pending_.reset();
    path_ = table->path;
    db_ = std::move(table->db);
    rows_ = std::move(table->rows);
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

void WordStore::SetResult(std::vector<int> rows)
{
    pending_.reset();
    result_ = std::move(rows);
    pos_ = result_.empty() ? -1 : 0;
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
    if (!db_ || query.column == LookupColumn::None)
        throw StoreError(StoreError::Rejected, QStringLiteral("no word table is open"));
    const int column = query.column == LookupColumn::English ? 0 : 1;
    SetResult(indexed_ ? Evaluate(column, FoldForMatch(query.pattern)) : EvaluateSql(query));
}

std::vector<int> WordStore::EvaluateSql(const LookupQuery& query)
{
    // The look-up's texts all read "select * from Data where ..."; the result
    // here is kept as rows of the table, so ask for their row ids.
    const QString star = QStringLiteral("select * ");
    if (!query.sql.startsWith(star))
        throw StoreError(StoreError::Rejected, QStringLiteral("not a look-up query"));
    const QString sql = QStringLiteral("select rowid ") + query.sql.mid(star.size());
    Statement st;
    if (sqlite3_prepare16_v2(db_->db, sql.utf16(), -1, &st.stmt, nullptr) != SQLITE_OK)
        throw StoreError(StoreError::Rejected, QString::fromUtf8(sqlite3_errmsg(db_->db)));
    sqlite3_bind_text16(st.stmt, 1, query.pattern.utf16(), static_cast<int>(query.pattern.size() * 2),
                        SQLITE_TRANSIENT);
    std::vector<int> out;
    while (sqlite3_step(st.stmt) == SQLITE_ROW) {
        const qint64 rowid = sqlite3_column_int64(st.stmt, 0);
        const auto it = std::lower_bound(rows_.begin(), rows_.end(), rowid,
                                         [](const Row& r, qint64 id) { return r.rowid < id; });
        if (it != rows_.end() && it->rowid == rowid)
            out.push_back(static_cast<int>(it - rows_.begin()));
    }
    std::sort(out.begin(), out.end());
    return out;
}

bool WordStore::Live(int row, int column) const
{
    return !rows_[row].deleted && !rows_[row].isNull[column];
}

void WordStore::BuildSorted(int column)
{
    ColumnIndex& ix = *index_[column];
    const int n = static_cast<int>(rows_.size());
    const auto folded = [&](int r) -> const QString& { return rows_[r].folded[column]; };
    ix.sorted.clear();
    for (int r = 0; r < n; ++r)
        if (Live(r, column))
            ix.sorted.push_back(r);
    std::sort(ix.sorted.begin(), ix.sorted.end(), [&](int a, int b) { return folded(a) < folded(b); });
}

void WordStore::BuildReversed(int column)
{
    ColumnIndex& ix = *index_[column];
    const int n = static_cast<int>(rows_.size());
    ix.reversed.assign(n, QString());
    ix.sortedReversed.clear();
    for (int r = 0; r < n; ++r)
        if (Live(r, column)) {
            ix.reversed[r] = Reversed(rows_[r].folded[column]);
            ix.sortedReversed.push_back(r);
        }
    std::sort(ix.sortedReversed.begin(), ix.sortedReversed.end(),
              [&](int a, int b) { return ix.reversed[a] < ix.reversed[b]; });
}

void WordStore::BuildSuffixes(int column)
{
    ColumnIndex& ix = *index_[column];
    const int n = static_cast<int>(rows_.size());
    ix.text.clear();
    std::vector<std::pair<quint64, quint32>> keyed;
    std::vector<qint32> rowOfOffset;
    for (int r = 0; r < n; ++r) {
        if (!Live(r, column))
            continue;
        const QString& v = rows_[r].folded[column];
        for (qsizetype i = 0; i < v.size(); ++i) {
            rowOfOffset.push_back(r);
            ix.text.push_back(v[i].unicode());
        }
        rowOfOffset.push_back(-1);
        ix.text.push_back(0);
    }
    ix.text.append(4, u'\0');
    // Sort by the first four characters first; only ties compare further.
    for (quint32 off = 0; off < rowOfOffset.size(); ++off) {
        if (rowOfOffset[off] < 0)
            continue;
        quint64 k = 0;
        for (int j = 0; j < 4; ++j)
            k = (k << 16) | ix.text[off + j];
        keyed.emplace_back(k, off);
    }
    const char16_t* t = ix.text.data();
    std::sort(keyed.begin(), keyed.end(), [t](const auto& a, const auto& b) {
        if (a.first != b.first)
            return a.first < b.first;
        if ((a.first & 0xFFFF) == 0 || (a.first >> 16 & 0xFFFF) == 0 || (a.first >> 32 & 0xFFFF) == 0
            || (a.first >> 48) == 0)
            return false;   // both end within the key: equal
        const char16_t* x = t + a.second + 4;
        const char16_t* y = t + b.second + 4;
        while (*x && *x == *y)
            ++x, ++y;
        return *x < *y;
    });
    ix.suffixes.resize(keyed.size());
    ix.suffixRow.resize(keyed.size());
    for (size_t i = 0; i < keyed.size(); ++i) {
        ix.suffixes[i] = keyed[i].second;
        ix.suffixRow[i] = rowOfOffset[keyed[i].second];
    }
}

// The indexes are built on a worker thread as soon as the table is read, so
// the first keystroke finds them ready. Everything that reads or changes the
// rows or the indexes on the window's thread waits for that build first.
void WordStore::StartIndexing()
{
    WaitForIndexes();
    for (int column : {0, 1}) {
        index_[column] = std::make_unique<ColumnIndex>();
        // One worker a column: they touch nothing in common.
        indexing_[column] = std::async(std::launch::async, [this, column] {
            BuildSorted(column);
            BuildReversed(column);
            BuildSuffixes(column);
        });
    }
}

void WordStore::WaitForIndexes()
{
    for (auto& f : indexing_)
        if (f.valid())
            f.get();
}

std::vector<int> WordStore::Evaluate(int column, const QString& pattern)
{
    // Leading and trailing runs of '%' decide the kind of match; what lies
    // between them is a plain text unless it holds a wildcard itself.
    qsizetype lead = 0, trail = 0;
    while (lead < pattern.size() && pattern[lead] == u'%')
        ++lead;
    while (trail < pattern.size() - lead && pattern[pattern.size() - 1 - trail] == u'%')
        ++trail;
    const QString inner = pattern.mid(lead, pattern.size() - lead - trail);
    const int n = static_cast<int>(rows_.size());

    if (ContainsWildcard(inner) || (inner.isEmpty() && lead + trail > 0)) {
        std::vector<int> out;
        for (int r = 0; r < n; ++r)
            if (Live(r, column) && LikeMatch(rows_[r].folded[column], pattern))
                out.push_back(r);
        return out;
    }

    // Every change of the rows starts a fresh build; once it is done, the
    // indexes are complete.
    WaitForIndexes();
    const ColumnIndex& ix = *index_[column];
    const auto folded = [&](int r) -> const QString& { return rows_[r].folded[column]; };

    if (lead == 0 || trail == 0) {
        const bool endsWith = lead > 0;
        const std::vector<int>& order = endsWith ? ix.sortedReversed : ix.sorted;
        const QString key = endsWith ? Reversed(inner) : inner;
        const auto value = [&](int r) -> const QString& { return endsWith ? ix.reversed[r] : folded(r); };
        const auto first = std::lower_bound(order.begin(), order.end(), key,
                                            [&](int r, const QString& k) { return value(r) < k; });
        auto last = first;
        if (trail > 0 || lead > 0)
            while (last != order.end() && value(*last).startsWith(key))
                ++last;
        else
            while (last != order.end() && value(*last) == key)
                ++last;
        return InTableOrder(first, last);
    }

    // Contains: the suffixes that start with the text, one row per value.
    const char16_t* t = ix.text.data();
    const auto* k = reinterpret_cast<const char16_t*>(inner.utf16());
    const qsizetype klen = inner.size();
    // -1, 0, 1: suffix below, starting with, above the text.
    const auto cmp = [&](quint32 off) {
        for (qsizetype i = 0; i < klen; ++i) {
            if (t[off + i] != k[i])
                return t[off + i] < k[i] ? -1 : 1;
        }
        return 0;
    };
    const auto lo = std::partition_point(ix.suffixes.begin(), ix.suffixes.end(),
                                         [&](quint32 off) { return cmp(off) < 0; });
    const auto hi = std::partition_point(lo, ix.suffixes.end(), [&](quint32 off) { return cmp(off) == 0; });
    const size_t from = lo - ix.suffixes.begin(), to = hi - ix.suffixes.begin();
    std::vector<int> out;
    if (to - from < static_cast<size_t>(n) / 32) {
        out.assign(ix.suffixRow.begin() + from, ix.suffixRow.begin() + to);
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
    } else {
        std::vector<bool> hit(n);
        for (size_t i = from; i < to; ++i)
            hit[ix.suffixRow[i]] = true;
        for (int r = 0; r < n; ++r)
            if (hit[r])
                out.push_back(r);
    }
    return out;
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
    emit CurrentChanged();
}

void WordStore::MoveLast()
{
    CommitPending();
    Require(!result_.empty(), "no entry to move to");
    pos_ = RowCount() - 1;
    emit CurrentChanged();
}

void WordStore::MoveNext()
{
    CommitPending();
    Require(!AtEOF(), "already after the last entry");
    ++pos_;
    emit CurrentChanged();
}

void WordStore::MovePrevious()
{
    CommitPending();
    Require(!AtBOF(), "already before the first entry");
    --pos_;
    emit CurrentChanged();
}

void WordStore::MoveTo(int row)
{
    CommitPending();
    Require(row >= 0 && row < RowCount(), "no such entry");
    if (pos_ == row)
        return;
    pos_ = row;
    emit CurrentChanged();
}

bool WordStore::AtBOF() const
{
    return result_.empty() || pos_ < 0;
}

bool WordStore::AtEOF() const
{
    return result_.empty() || pos_ >= RowCount();
}

int WordStore::Position() const
{
    return pending_ || AtBOF() || AtEOF() ? -1 : pos_;
}

WordStore::Entry WordStore::Current() const
{
    if (pending_)
        return *pending_;
    const int p = Position();
    if (p < 0 || rows_[result_[p]].deleted)
        return {};
    return rows_[result_[p]].entry;
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
    if (!db_)
        throw StoreError(StoreError::WriteFailed, QStringLiteral("no word table is open"));
    const Entry e = *pending_;
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
    if (!st.stmt || sqlite3_step(st.stmt) != SQLITE_DONE) {
        // Not kept pending: every later move would fail on it again. The
        // caller hears of the failure and can tell the user.
        pending_.reset();
        emit CurrentChanged();
        throw StoreError(StoreError::WriteFailed, QString::fromUtf8(sqlite3_errmsg(db_->db)));
    }

    WaitForIndexes();
    Row r;
    r.rowid = sqlite3_last_insert_rowid(db_->db);
    r.entry = e;
    r.isNull[0] = e.English.isEmpty();
    r.isNull[1] = e.Kurdish.isEmpty();
    r.folded[0] = FoldForMatch(e.English);
    r.folded[1] = FoldForMatch(e.Kurdish);
    rows_.push_back(std::move(r));
    StartIndexing();
    pending_.reset();
    result_.push_back(static_cast<int>(rows_.size()) - 1);
    pos_ = RowCount() - 1;
    emit ResultChanged();
    emit CurrentChanged();
}

void WordStore::Delete()
{
    const int p = Position();
    Require(p >= 0 && !rows_[result_[p]].deleted, "no current entry to delete");
    Row& row = rows_[result_[p]];
    Statement st;
    sqlite3_prepare_v2(db_->db, "DELETE FROM Data WHERE rowid = ?1", -1, &st.stmt, nullptr);
    sqlite3_bind_int64(st.stmt, 1, row.rowid);
    if (!st.stmt || sqlite3_step(st.stmt) != SQLITE_DONE)
        throw StoreError(StoreError::WriteFailed, QString::fromUtf8(sqlite3_errmsg(db_->db)));
    WaitForIndexes();
    row.deleted = true;
    StartIndexing();
    emit CurrentChanged();
}
