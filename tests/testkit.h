// What the tests share: a word database of their own in a folder of their
// own, and a message box that records every call and answers as told.
#pragma once

#include "startup/module1.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVector>
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

class MsgBoxRecorder {
public:
    MsgBoxRecorder();
    ~MsgBoxRecorder();
    QList<MsgBoxCall> calls;
    QList<int> answers;   // taken in turn; OK when none is left
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
