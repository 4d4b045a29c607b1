// What the three parts of the word store share: the rows as held in memory,
// the open SQLite connection, and a statement that finalizes itself. Only
// the store's own files include this.
#pragma once

#include "wordstore.h"

#include <sqlite3.h>
#include <sys/stat.h>

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

struct Statement {
    sqlite3_stmt* stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};
