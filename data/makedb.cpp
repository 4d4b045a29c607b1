// Writes the encrypted word database from the word list. Run by the build;
// it never replaces an existing database, which also holds the words users
// added. The file is written under a temporary name and renamed at the end,
// so an interrupted build leaves no half-written database behind.
//
// usage: varin-makedb WORDLIST.tsv DATABASE
#include "wordlist.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kPassword = "731pomad731";

bool Exec(sqlite3* db, const std::string& sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) == SQLITE_OK)
        return true;
    std::cerr << "varin-makedb: " << (err ? err : "sqlite error") << "\n";
    sqlite3_free(err);
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: varin-makedb WORDLIST.tsv DATABASE\n";
        return 2;
    }
    const fs::path list = argv[1], target = argv[2];
    if (fs::exists(target)) {
        std::cout << "varin-makedb: " << target.string() << " exists; kept as it is\n";
        return 0;
    }
    std::ifstream in(list);
    if (!in) {
        std::cerr << "varin-makedb: cannot read " << list.string() << "\n";
        return 1;
    }
    std::error_code ec;
    fs::create_directories(target.parent_path().empty() ? "." : target.parent_path(), ec);
    const fs::path temp = target.string() + ".partial";
    fs::remove(temp, ec);

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(temp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        std::cerr << "varin-makedb: cannot create " << temp.string() << ": " << sqlite3_errmsg(db) << "\n";
        sqlite3_close(db);
        return 1;
    }
    bool ok = Exec(db, std::string("PRAGMA key = '") + kPassword + "';")
              && Exec(db, "CREATE TABLE Data (English TEXT, \"كوردى\" TEXT, Note TEXT);")
              && Exec(db, "BEGIN;");
    sqlite3_stmt* insert = nullptr;
    ok = ok && sqlite3_prepare_v2(db, "INSERT INTO Data VALUES (?1, ?2, ?3);", -1, &insert, nullptr) == SQLITE_OK;

    const WordList words = ParseWordList(in);
    if (words.badLine) {
        std::cerr << "varin-makedb: " << list.string() << ":" << words.badLine
                  << ": expected English, Kurdish and Note, separated by tabs\n";
        ok = false;
    }
    int count = 0;
    for (const WordListEntry& e : words.entries) {
        if (!ok)
            break;
        int field = 0;
        for (const std::string* f : {&e.english, &e.kurdish, &e.note})
            sqlite3_bind_text(insert, ++field, f->data(), static_cast<int>(f->size()), SQLITE_TRANSIENT);
        ok = sqlite3_step(insert) == SQLITE_DONE;
        sqlite3_reset(insert);
        ++count;
    }
    sqlite3_finalize(insert);
    ok = ok && Exec(db, "COMMIT;");
    sqlite3_close(db);
    if (!ok) {
        fs::remove(temp, ec);
        return 1;
    }
    fs::rename(temp, target, ec);
    if (ec) {
        std::cerr << "varin-makedb: cannot write " << target.string() << ": " << ec.message() << "\n";
        fs::remove(temp, ec);
        return 1;
    }
    std::cout << "varin-makedb: wrote " << count << " entries to " << target.string() << "\n";
    return 0;
}
