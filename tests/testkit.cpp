#include "testkit.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTextStream>
#include <QTimer>

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
        const int answer = answers.isEmpty() ? kIdOk : answers.takeFirst();
        if (openUntil.isEmpty())
            return answer;
        const auto until = openUntil.takeFirst();
        // The box's modal loop: timers tick, posted events are delivered.
        ++open;
        QEventLoop loop;
        QTimer check;
        check.setInterval(2);
        QElapsedTimer waited;
        waited.start();
        QObject::connect(&check, &QTimer::timeout, &loop, [&] {
            if (until(call)) {
                loop.quit();
            } else if (waited.elapsed() > 60000) {
                ++gaveUp;
                loop.quit();
            }
        });
        check.start();
        if (!until(call))
            loop.exec();
        --open;
        return answer;
    });
}

MsgBoxRecorder::~MsgBoxRecorder()
{
    SetMsgBoxPresenter({});
}
