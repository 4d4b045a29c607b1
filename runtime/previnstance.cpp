#include "previnstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

struct InstanceState {
    QString path;          // empty: the default
    int fd = -1;           // open for the life of the process, holding the lock
    bool checked = false;
    bool previous = false;
};

InstanceState& State()
{
    static InstanceState state;
    return state;
}

// Open-file-description locks on the whole file: released with the last
// descriptor, so with the process however it ends, and, unlike flock, turned
// from exclusive to shared by the kernel in one step, with no moment at which
// the file is unlocked for another copy's probe to slip through.
int Lock(int fd, short type)
{
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    int rc;
    do
        rc = ::fcntl(fd, F_OFD_SETLK, &lock);
    while (rc != 0 && errno == EINTR);
    return rc;
}

bool CheckAndHold(const QString& path)
{
    InstanceState& s = State();
    s.fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (s.fd < 0)
        return false;   // nowhere to keep a lock: nobody else can have one either

    // Exclusive succeeds only when no other copy holds its share.
    if (Lock(s.fd, F_WRLCK) == 0) {
        Lock(s.fd, F_RDLCK);   // from now on, others may hold their shares beside ours
        return false;
    }
    // Join the others, so that a later start still sees a copy running after
    // the first one has ended. Another copy probing at this very moment holds
    // the lock exclusively for the few instructions between its two calls.
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (Lock(s.fd, F_RDLCK) == 0 || (errno != EAGAIN && errno != EACCES))
            break;
        QThread::usleep(200);
    }
    return true;
}

}  // namespace

QString DefaultInstanceLockPath()
{
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtimeDir.isEmpty() && QFileInfo(runtimeDir).isDir())
        return QDir(runtimeDir).filePath(QStringLiteral("VarinDic.lock"));
    return QStringLiteral("/tmp/VarinDic-%1.lock").arg(::getuid());
}

bool PrevInstance()
{
    InstanceState& s = State();
    if (!s.checked) {
        s.previous = CheckAndHold(s.path.isEmpty() ? DefaultInstanceLockPath() : s.path);
        s.checked = true;
    }
    return s.previous;
}

void UseInstanceLockPath(const QString& path)
{
    InstanceState& s = State();
    if (s.fd >= 0)
        ::close(s.fd);   // closing the only descriptor releases the lock
    s = InstanceState{};
    s.path = path;
}
