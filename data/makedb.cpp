// Writes the encrypted word database from the word list. Run by the build;
// it never replaces an existing database, which also holds the words users
// added. The file is written under a temporary name and renamed at the end,
// so an interrupted build leaves no half-written database behind.
//
// usage: varin-makedb WORDLIST.tsv DATABASE
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

std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
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

    std::string line;
    int lineNo = 0, count = 0;
    while (ok && std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        const auto f = Split(line);
        if (f.size() != 3 || f[0].empty() || f[1].empty() || f[2].empty()) {
            std::cerr << "varin-makedb: " << list.string() << ":" << lineNo
                      << ": expected English, Kurdish and Note, separated by tabs\n";
            ok = false;
            break;
        }
        for (int i = 0; i < 3; ++i)
            sqlite3_bind_text(insert, i + 1, f[i].data(), static_cast<int>(f[i].size()), SQLITE_TRANSIENT);
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
