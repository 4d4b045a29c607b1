// Which word file the program opens, and the user's own copy of it.
//
// Data/DataBase.mdb in the working directory comes first (a folder set up by
// hand, the build folder). Otherwise the user's own copy,
// $XDG_DATA_HOME/varin/Data/DataBase.mdb, made from the shipped file at the
// first start: an installed program cannot write beside itself, and the
// words users add must outlive upgrades. Only when no copy can be made is the
// shipped file itself opened.
//
// When the shipped file changes (a newer package with a better list), the
// user's copy is brought up to it at the next start: the built-in entries
// (those with a Note) are replaced by the shipped ones and every entry a user
// added is kept, after them, in their order. That happens in one transaction;
// the copy as it was stays beside it as DataBase.mdb.bak until the new one is
// committed.
#pragma once

#include <QString>
#include <functional>

QString WordFilePath();

// The steps on their own, for tests.
QString UserWordFilePath();   // $XDG_DATA_HOME, else ~/.local/share, + varin/Data/DataBase.mdb
QString ShippedWordFilePath();
// Makes the copy when there is none, else brings it up to the shipped file
// when that changed since. true when the copy is there to use; false, with
// the reason, only when no copy could be made. A copy that could not be
// brought up to date is left as it was, with all its words, and still used:
// true, with the reason, and the next start tries again.
bool PrepareUserWordFile(const QString& shipped, const QString& user, QString* error = nullptr);
// Called with the name of each step of an upgrade as it is reached; tests
// make the process die there.
void SetUpgradeStepHook(std::function<void(const char* step)> hook);
