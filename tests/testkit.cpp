#include "testkit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTextStream>

bool WriteWordList(const QString& path, const QList<Pair>& pairs)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream out(&f);
    out.setEncoding(QStringConverter::Utf8);
    for (const Pair& p : pairs)
        out << p.english << '\t' << p.kurdish << '\t' << (p.note.isEmpty() ? QStringLiteral("noun") : p.note) << '\n';
    return true;
}

bool MakeDatabase(const QString& wordList, const QString& database)
{
    QProcess tool;
    tool.start(QCoreApplication::applicationDirPath() + QStringLiteral("/varin-makedb"), {wordList, database});
    return tool.waitForFinished(600000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

DataFolder::DataFolder(const QList<Pair>& pairs) : previous_(QDir::currentPath())
{
    const QString list = dir_.filePath(QStringLiteral("words.tsv"));
    if (!WriteWordList(list, pairs) || !MakeDatabase(list, DatabasePath()))
        qFatal("could not make the test database");
    QDir::setCurrent(dir_.path());
}

DataFolder::~DataFolder()
{
    QDir::setCurrent(previous_);
}

QString DataFolder::DatabasePath() const
{
    return dir_.filePath(QStringLiteral("Data/DataBase.mdb"));
}

MsgBoxRecorder::MsgBoxRecorder()
{
    SetMsgBoxPresenter([this](const MsgBoxCall& call) {
        calls.append(call);
        return answers.isEmpty() ? kIdOk : answers.takeFirst();
    });
}

MsgBoxRecorder::~MsgBoxRecorder()
{
    SetMsgBoxPresenter({});
}
