// What the tests share: a word database of their own in a folder of their
// own, and a message box that records every call and answers as told.
#pragma once

#include "startup/module1.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVector>
#include <functional>
#include <sys/types.h>

struct Pair {
    QString english, kurdish, note;
};

// A temporary folder that is the working directory while the object lives,
// holding Data/DataBase.mdb made by the program's own database tool.
class DataFolder {
public:
    explicit DataFolder(const QList<Pair>& pairs);
    ~DataFolder();
    QString DatabasePath() const;
    QString Path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QString previous_;
};

// Writes the encrypted database with the program's tool; false on failure.
bool MakeDatabase(const QString& wordList, const QString& database);
bool WriteWordList(const QString& path, const QList<Pair>& pairs);

// Stands in for the message box: records every call and answers it. Like the
// real box, a box can stay open for a while: its own event loop then runs,
// so every timer of the program ticks (and the test's own actions run) while
// the handler that asked waits for the answer.
class MsgBoxRecorder {
public:
    MsgBoxRecorder();
    ~MsgBoxRecorder();
    QList<MsgBoxCall> calls;
    QList<int> answers;   // taken in turn; OK when none is left
    // How long each box stays open, taken in turn as the boxes open: until
    // the condition holds, tested as the box's loop runs. A box with none
    // left is answered at once. The condition sees the box's call.
    QList<std::function<bool(const MsgBoxCall&)>> openUntil;
    // A box held open that never saw its condition within a long wait (a
    // minute); it was then answered all the same, so the test does not hang.
    int gaveUp = 0;
    // Boxes open right now, the innermost last.
    int open = 0;
};

// While it lives, file permissions bind the whole process as they bind a
// user: when the tests run as root, who reads and writes anything, it acts
// as nobody, and the folders given (with all they hold) are first handed to
// nobody and their parents made passable; for any other user it changes
// nothing. Root stays the saved identity, so the end of the scope returns to it.
class AsUnprivilegedUser {
public:
    explicit AsUnprivilegedUser(const QStringList& folders = {});
    ~AsUnprivilegedUser();
    AsUnprivilegedUser(const AsUnprivilegedUser&) = delete;
    AsUnprivilegedUser& operator=(const AsUnprivilegedUser&) = delete;

private:
    bool switched_ = false;
    QList<gid_t> groups_;
    gid_t gids_[3] = {};
};
