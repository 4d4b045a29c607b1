#include "desktopkit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString Find(const QString& program)
{
    if (program.contains(QLatin1Char('/')))
        return program;
    const QString beside = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    const QString here = QFileInfo(beside).path() + QLatin1Char('/') + program;
    if (QFileInfo(here).isExecutable())
        return here;
    for (const QString& dir : qEnvironmentVariable("PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (QFileInfo(dir + QLatin1Char('/') + program).isExecutable())
            return dir + QLatin1Char('/') + program;
    return QString();
}

long Ms(DesktopClock::duration d)
{
    return long(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}

// Starts a program with pipes for its input and output (and its errors to
// the test's own), that dies with the test. `keepFd` goes to it as fd 3.
pid_t Spawn(const QString& program, const QStringList& args, int* in, int* out, int keepFd = -1)
{
    const QByteArray path = Find(program).toLocal8Bit();
    if (path.isEmpty())
        return -1;
    std::vector<QByteArray> storage{path};
    for (const QString& a : args)
        storage.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    int inPipe[2], outPipe[2];
    if (pipe2(inPipe, O_CLOEXEC) != 0 || pipe2(outPipe, O_CLOEXEC) != 0)
        return -1;
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        dup2(inPipe[0], 0);
        dup2(outPipe[1], 1);
        if (keepFd >= 0)
            dup2(keepFd, 3);   // dup2 clears close-on-exec on the copy
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(inPipe[0]);
    close(outPipe[1]);
    *in = inPipe[1];
    *out = outPipe[0];
    return pid;
}

bool SocketAnswers(const QString& path)
{
    const int s = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray p = path.toLocal8Bit();
    std::strncpy(addr.sun_path, p.constData(), sizeof addr.sun_path - 1);
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(s);
    return ok;
}

}  // namespace

Child::Child(const QString& program, const QStringList& args)
{
    pid_ = Spawn(program, args, &in_, &out_);
}

Child::~Child()
{
    Kill();
}

void Child::Write(const QByteArray& bytes)
{
    if (in_ >= 0 && write(in_, bytes.constData(), size_t(bytes.size())) < 0)
        CloseInput();
}

void Child::CloseInput()
{
    if (in_ >= 0)
        close(in_);
    in_ = -1;
}

QByteArray Child::ReadLine(int ms)
{
    const auto end = DesktopClock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        const qsizetype nl = pending_.indexOf('\n');
        if (nl >= 0) {
            const QByteArray line = pending_.left(nl);
            pending_.remove(0, nl + 1);
            return line;
        }
        const long left = std::max(0L, Ms(end - DesktopClock::now()));
        if (out_ < 0)
            return QByteArray();
        pollfd p{out_, POLLIN, 0};
        if (poll(&p, 1, int(left)) <= 0) {
            if (left == 0)
                return QByteArray();
            continue;
        }
        char buf[4096];
        const ssize_t n = read(out_, buf, sizeof buf);
        if (n <= 0) {
            close(out_);
            out_ = -1;
        } else {
            pending_.append(buf, n);
        }
    }
}

QList<QByteArray> Child::LinesSoFar()
{
    QList<QByteArray> lines;
    for (QByteArray line = ReadLine(0); !line.isEmpty(); line = ReadLine(0))
        lines << line;
    return lines;
}

void Child::Kill()
{
    CloseInput();
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    if (out_ >= 0)
        close(out_);
    out_ = -1;
}

int Child::Wait()
{
    CloseInput();
    int status = 0;
    if (pid_ <= 0 || waitpid(pid_, &status, 0) != pid_)
        return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunToEnd(const QString& program, const QStringList& args)
{
    Child c(program, args);
    if (!c.Running())
        return -1;
    return c.Wait();
}

Desktop::Desktop()
{
    if (!dir_.isValid()) {
        error_ = QStringLiteral("no temporary folder");
        return;
    }
    QDir(dir_.path()).mkpath(QStringLiteral("run"));
    QDir(dir_.path()).mkpath(QStringLiteral("home"));
    QFile::setPermissions(dir_.filePath(QStringLiteral("run")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", dir_.filePath(QStringLiteral("run")).toLocal8Bit());
    qputenv("HOME", dir_.filePath(QStringLiteral("home")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", dir_.filePath(QStringLiteral("home/.config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", dir_.filePath(QStringLiteral("home/.local/share")).toLocal8Bit());
    qputenv("PULSE_SERVER", ("unix:" + dir_.filePath(QStringLiteral("run/native"))).toLocal8Bit());
    // A client that finds no server must not start one of its own.
    QFile conf(dir_.filePath(QStringLiteral("client.conf")));
    if (conf.open(QIODevice::WriteOnly))
        conf.write("autospawn = no\n");
    conf.close();
    qputenv("PULSE_CLIENTCONFIG", conf.fileName().toLocal8Bit());
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("QT_QPA_PLATFORM", "xcb");

    // The X server picks a free display and writes its number to fd 3.
    int number[2];
    if (pipe2(number, O_CLOEXEC) != 0) {
        error_ = QStringLiteral("no pipe");
        return;
    }
    auto x = std::unique_ptr<Child>(new Child);
    x->pid_ = Spawn(QStringLiteral("Xvfb"),
                    {QStringLiteral("-displayfd"), QStringLiteral("3"), QStringLiteral("-screen"), QStringLiteral("0"),
                     QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")},
                    &x->in_, &x->out_, number[1]);
    close(number[1]);
    QByteArray display;
    pollfd p{number[0], POLLIN, 0};
    const auto end = DesktopClock::now() + std::chrono::seconds(30);
    while (x->pid_ > 0 && !display.contains('\n') && DesktopClock::now() < end) {
        if (poll(&p, 1, 1000) <= 0)
            continue;
        char c;
        if (read(number[0], &c, 1) != 1)
            break;
        display.append(c);
    }
    close(number[0]);
    if (!display.contains('\n')) {
        error_ = QStringLiteral("Xvfb did not start (installed? tools/install-deps.sh)");
        return;
    }
    qputenv("DISPLAY", ":" + display.trimmed());
    xvfb_ = std::move(x);
}

Desktop::~Desktop()
{
    pulse_.reset();
    xvfb_.reset();
}

bool Desktop::StartSound()
{
    if (pulse_)
        return true;
    const QString socket = dir_.filePath(QStringLiteral("run/native"));
    QFile::remove(socket);
    pulse_ = std::make_unique<Child>(
        QStringLiteral("pulseaudio"),
        QStringList{QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                    QStringLiteral("--use-pid-file=no"), QStringLiteral("--realtime=no"),
                    QStringLiteral("--high-priority=no"), QStringLiteral("--log-target=stderr"),
                    QStringLiteral("--log-level=error"),
                    QStringLiteral("-L"), QStringLiteral("module-native-protocol-unix socket=%1 auth-anonymous=1").arg(socket),
                    QStringLiteral("-L"), QStringLiteral("module-null-sink sink_name=varin")});
    const auto end = DesktopClock::now() + std::chrono::seconds(30);
    while (DesktopClock::now() < end) {
        if (SocketAnswers(socket))
            return true;
        usleep(20000);
    }
    pulse_.reset();
    return false;
}

void Desktop::KillSound()
{
    pulse_.reset();
}

MonitorRecorder::MonitorRecorder() = default;

MonitorRecorder::~MonitorRecorder()
{
    Stop();
}

bool MonitorRecorder::Start()
{
    Stop();
    parec_ = std::make_unique<Child>(
        QStringLiteral("parec"),
        QStringList{QStringLiteral("--device=varin.monitor"), QStringLiteral("--format=s16le"),
                    QStringLiteral("--rate=%1").arg(kRate), QStringLiteral("--channels=1"),
                    QStringLiteral("--latency-msec=5"), QStringLiteral("--raw")});
    if (!parec_->Running())
        return false;
    reader_ = std::thread([this] { Read(); });
    return true;
}

void MonitorRecorder::Stop()
{
    if (parec_)
        parec_->Kill();   // its output closes, which ends the reader
    if (reader_.joinable())
        reader_.join();
    parec_.reset();
}

void MonitorRecorder::Read()
{
    const int fd = parec_->out_;
    QByteArray carry;
    char buf[8192];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0)
            return;
        const auto came = DesktopClock::now();
        carry.append(buf, n);
        Block b{came, {}};
        b.samples.resize(size_t(carry.size() / 2));
        std::memcpy(b.samples.data(), carry.constData(), b.samples.size() * 2);
        carry.remove(0, qsizetype(b.samples.size() * 2));
        std::lock_guard<std::mutex> lock(mutex_);
        blocks_.push_back(std::move(b));
    }
}

bool MonitorRecorder::FirstLoudAfter(DesktopClock::time_point since, int ms, DesktopClock::time_point* when,
                                     DesktopClock::time_point* came, int threshold)
{
    const auto end = DesktopClock::now() + std::chrono::milliseconds(ms);
    size_t checked = 0;
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            for (; checked < blocks_.size(); ++checked) {
                const Block& b = blocks_[checked];
                if (b.came < since)
                    continue;
                for (size_t i = 0; i < b.samples.size(); ++i) {
                    if (std::abs(int(b.samples[i])) > threshold) {
                        // The block came when its last sample was in; this one
                        // was that many samples earlier.
                        const auto back = std::chrono::microseconds(
                            (long long)(b.samples.size() - 1 - i) * 1000000 / kRate);
                        *when = std::max(since, b.came - std::chrono::duration_cast<DesktopClock::duration>(back));
                        if (came)
                            *came = b.came;
                        return true;
                    }
                }
            }
        }
        if (DesktopClock::now() >= end)
            return false;
        usleep(1000);
    }
}

double MonitorRecorder::RmsAfter(DesktopClock::time_point since)
{
    std::lock_guard<std::mutex> lock(mutex_);
    double sum = 0;
    size_t n = 0;
    for (const Block& b : blocks_)
        if (b.came >= since)
            for (qint16 s : b.samples) {
                sum += double(s) * s;
                ++n;
            }
    return n ? std::sqrt(sum / n) : 0;
}

bool SendKeys(const QString& keys)
{
    return RunToEnd(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"),
                                                QStringLiteral("30"), keys}) == 0;
}

bool FocusWindow(unsigned long window)
{
    return RunToEnd(QStringLiteral("xdotool"),
                    {QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(window)}) == 0;
}
