#include "wordfile.h"

#include "components/wordstore.h"
#include "runtime/paths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <sqlite3.h>

namespace {

const QString kRelative = QStringLiteral("Data/DataBase.mdb");

std::function<void(const char*)>& Hook()
{
    static std::function<void(const char*)> hook;
    return hook;
}

void Step(const char* name)
{
    if (Hook())
        Hook()(name);
}

// Which shipped file the built-in entries of a copy came from, kept beside
// the copy, so that checking costs a hash of the shipped file and no opening
// of the encrypted one.
QString MarkerPath(const QString& user)
{
    return user + QStringLiteral(".builtin");
}

QByteArray Fingerprint(const QString& path)
{
    QFile f(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!f.open(QIODevice::ReadOnly) || !hash.addData(&f))
        return {};
    return hash.result().toHex();
}

bool WriteWhole(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile out(path);   // written beside, renamed over: never half a file
    if (out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.commit())
        return true;
    if (error)
        *error = out.errorString();
    return false;
}

bool CopyWhole(const QString& from, const QString& to, QString* error)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = in.errorString();
        return false;
    }
    return WriteWhole(to, in.readAll(), error);
}

bool Exec(sqlite3* db, const QString& sql, QString* error)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    if (error)
        *error = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
    sqlite3_free(message);
    return false;
}

// Replaces the copy's built-in entries by the shipped ones in one
// transaction; a process that dies on the way leaves the journal, and the
// next opening of the file rolls it back to the copy as it was.
bool Upgrade(const QString& shipped, const QString& user, QString* error)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(user).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        if (error)
            *error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return false;
    }
    const QString key = QString::fromLatin1(WordStore::kPassword);
    QString shippedName = shipped;
    shippedName.replace(u'\'', QStringLiteral("''"));
    // Words committed into the write-ahead log of a session that ended
    // abruptly are moved into the file first, so the backup holds them too.
    const QString backup = user + QStringLiteral(".bak");
    bool ok = Exec(db, QStringLiteral("PRAGMA key = '%1';").arg(key), error)
              && Exec(db, QStringLiteral("PRAGMA journal_mode = DELETE;"), error)
              && CopyWhole(user, backup, error);
    if (ok)
        Step("backed up");
    // A deferred transaction: an installed shipped file is read-only to the
    // user, and SQLCipher refuses BEGIN IMMEDIATE with a read-only database
    // attached. The first write below takes the copy's write lock, waiting
    // for another running copy as a write of the store would.
    sqlite3_busy_timeout(db, WordStore::kBusyWaitMs);
    ok = ok && Exec(db, QStringLiteral("ATTACH DATABASE '%1' AS shipped KEY '%2';").arg(shippedName, key), error)
         && Exec(db, QStringLiteral("BEGIN;"), error);
    const std::pair<QString, const char*> steps[] = {
        {QStringLiteral("CREATE TEMP TABLE added AS SELECT English, \"كوردى\", Note FROM main.Data "
                        "WHERE Note IS NULL OR Note = '' ORDER BY rowid;"),
         "added entries set aside"},
        {QStringLiteral("DELETE FROM main.Data;"), "emptied"},
        {QStringLiteral("INSERT INTO main.Data (English, \"كوردى\", Note) SELECT English, \"كوردى\", Note "
                        "FROM shipped.Data WHERE Note IS NOT NULL AND Note <> '' ORDER BY rowid;"),
         "built-in entries written"},
        {QStringLiteral("INSERT INTO main.Data (English, \"كوردى\", Note) SELECT * FROM temp.added;"),
         "added entries written"},
    };
    for (const auto& [sql, step] : steps) {
        ok = ok && Exec(db, sql, error);
        if (ok)
            Step(step);
    }
    ok = ok && Exec(db, QStringLiteral("COMMIT;"), error);
    if (!ok)
        sqlite3_exec(db, "ROLLBACK;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return ok;
}

}  // namespace

void SetUpgradeStepHook(std::function<void(const char*)> hook)
{
    Hook() = std::move(hook);
}

QString UserWordFilePath()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir(base).filePath(QStringLiteral("varin/") + kRelative);
}

QString ShippedWordFilePath()
{
    return ShippedFile(kRelative);
}

bool PrepareUserWordFile(const QString& shipped, const QString& user, QString* error)
{
    const QByteArray fingerprint = Fingerprint(shipped);
    if (fingerprint.isEmpty()) {
        if (error)
            *error = QStringLiteral("cannot read %1").arg(shipped);
        return QFileInfo::exists(user);
    }
    if (!QFileInfo::exists(user)) {
        const QString folder = QFileInfo(user).absolutePath();
        if (!QDir().mkpath(folder)) {
            if (error)
                *error = QStringLiteral("cannot make the folder %1").arg(folder);
            return false;
        }
        if (!CopyWhole(shipped, user, error))
            return false;
        // Without the note of what it was made from, the next start brings
        // the copy up to the shipped list once more, which keeps every word.
        WriteWhole(MarkerPath(user), fingerprint, error);
        return true;
    }
    QFile marker(MarkerPath(user));
    if (marker.open(QIODevice::ReadOnly) && marker.readAll() == fingerprint)
        return true;

    // A copy that could not be backed up or brought up to date stays usable
    // as it is, and the next start tries again.
    if (!Upgrade(shipped, user, error))
        return true;
    Step("committed");
    WriteWhole(MarkerPath(user), fingerprint, error);
    QFile::remove(user + QStringLiteral(".bak"));
    return true;
}

QString WordFilePath()
{
    if (QFileInfo::exists(kRelative))
        return QDir::current().absoluteFilePath(kRelative);
    const QString shipped = ShippedWordFilePath();
    const QString user = UserWordFilePath();
    QString error;
    const bool usable = PrepareUserWordFile(shipped, user, &error);
    if (!error.isEmpty())
        qWarning("Varin: the word file %s could not be made or brought up to the shipped list: %s",
                 qPrintable(user), qPrintable(error));
    if (usable && QFileInfo::exists(user))
        return user;
    return shipped;
}
