#include "wordstore.h"

#include "textmatch.h"
#include "wordfile.h"
#include "wordstore_sqlite.h"

#include <QFile>
#include <QFileInfo>

const char* const WordStore::kPassword = "731pomad731";

namespace {

QString ColumnText(sqlite3_stmt* stmt, int col, bool* isNull = nullptr)
{
    if (isNull)
        *isNull = sqlite3_column_type(stmt, col) == SQLITE_NULL;
    const auto* p = static_cast<const char16_t*>(sqlite3_column_text16(stmt, col));
    return p ? QString::fromUtf16(p, sqlite3_column_bytes16(stmt, col) / 2) : QString();
}

using Fold = QString (*)(QStringView);

QString ValueText(sqlite3_value* v)
{
    const auto* p = static_cast<const char16_t*>(sqlite3_value_text16(v));
    return QString::fromUtf16(p, sqlite3_value_bytes16(v) / 2);
}

// LIKE as the look-up needs it, on both paths: case and Kurdish letter forms
// do not matter. like(pattern, value), as SQLite calls it; with the fold of
// the keyboard look as varin_keyboard_like(pattern, value).
void LikeFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const Fold fold = reinterpret_cast<Fold>(sqlite3_user_data(ctx));
    sqlite3_result_int(ctx, LikeMatch(fold(ValueText(argv[1])), fold(ValueText(argv[0]))));
}

// varin_exact(value, text), varin_keyboard_exact(value, text): the value
// equals the text, in whole or in one of its synonyms, for the order of a
// result: those entries come first.
void ExactFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const Fold fold = reinterpret_cast<Fold>(sqlite3_user_data(ctx));
    sqlite3_result_int(ctx, HasSynonym(fold(ValueText(argv[0])), fold(ValueText(argv[1]))));
}

std::function<void(sqlite3*)>& ConnectionHook()
{
    static std::function<void(sqlite3*)> hook;
    return hook;
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
    const struct {
        const char* name;
        void (*function)(sqlite3_context*, int, sqlite3_value**);
        Fold fold;
    } functions[] = {{"like", LikeFunction, FoldForMatch},
                     {"varin_keyboard_like", LikeFunction, FoldForKeyboard},
                     {"varin_exact", ExactFunction, FoldForMatch},
                     {"varin_keyboard_exact", ExactFunction, FoldForKeyboard}};
    for (const auto& f : functions)
        sqlite3_create_function(db, f.name, 2, SQLITE_UTF16 | SQLITE_DETERMINISTIC,
                                reinterpret_cast<void*>(f.fold), f.function, nullptr, nullptr);
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
    for (auto& index : index_)
        index.reset();
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
