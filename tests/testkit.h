// What the tests share: a word database of their own in a folder of their
// own, and a message box that records every call and answers as told.
#pragma once

#include "startup/module1.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QVector>

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
