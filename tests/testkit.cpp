#include "testkit.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>
#include <QTimer>

#include <grp.h>
#include <unistd.h>

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

namespace {
constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

void GiveToNobody(const QString& path)
{
    if (::lchown(QFile::encodeName(path).constData(), kNobody, kNoGroup) != 0)
        qFatal("could not hand %s to nobody", qPrintable(path));
}
}  // namespace

AsUnprivilegedUser::AsUnprivilegedUser(const QStringList& folders)
{
    if (::geteuid() != 0)
        return;
    for (const QString& folder : folders) {
        const QString parent = QFileInfo(folder).absolutePath();
        QFile::setPermissions(parent, QFile::permissions(parent) | QFileDevice::ExeOther);
        GiveToNobody(folder);
        QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            GiveToNobody(it.next());
    }
    groups_.resize(::getgroups(0, nullptr));
    if (::getgroups(static_cast<int>(groups_.size()), groups_.data()) < 0)
        qFatal("could not read the groups");
    // Real and effective identity both nobody's, so that checks of either
    // kind (open, access) are nobody's; root only as the saved identity.
    const gid_t none[] = {kNoGroup};
    if (::getresgid(&gids_[0], &gids_[1], &gids_[2]) != 0 || ::setgroups(1, none) != 0
        || ::setresgid(kNoGroup, kNoGroup, gids_[0]) != 0 || ::setresuid(kNobody, kNobody, 0) != 0)
        qFatal("could not act as nobody");
    switched_ = true;
}

AsUnprivilegedUser::~AsUnprivilegedUser()
{
    if (!switched_)
        return;
    if (::setresuid(0, 0, 0) != 0 || ::setresgid(gids_[0], gids_[1], gids_[2]) != 0
        || ::setgroups(static_cast<size_t>(groups_.size()), groups_.data()) != 0)
        qFatal("could not return to root");
}
