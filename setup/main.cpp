// Setup runs the two installers delivered beside it: Data1's to its end,
// then Data2's, which it leaves running when it exits itself.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

// The installers sit beside this executable wherever it is started from, so
// the folder comes from the kernel's record of our own image: the working
// directory and argv[0] both depend on how the user happened to start us.
bool ownFolder(std::string &folder)
{
    std::string path(256, '\0');
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0)
            return false;
        if (static_cast<size_t>(n) < path.size()) {
            path.resize(static_cast<size_t>(n));
            break;
        }
        // readlink truncates silently; a full buffer may mean a longer path.
        path.resize(path.size() * 2);
    }
    folder = path.substr(0, path.rfind('/'));
    return true;
}

void reportStartFailure(const std::string &path, int error)
{
    std::fprintf(stderr, "Setup: cannot start %s: %s\n", path.c_str(), std::strerror(error));
}

// Runs the file itself, no shell, so that a folder name with spaces or quotes
// is taken as it is. The installer gets our environment and standard streams.
bool start(const std::string &path, pid_t &pid)
{
    char *const argv[] = {const_cast<char *>(path.c_str()), nullptr};
    // glibc returns the exec failure here (missing file, no permission), so
    // an installer that cannot run is known before we go on.
    const int error = posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ);
    if (error != 0) {
        reportStartFailure(path, error);
        return false;
    }
    return true;
}

} // namespace

int main()
{
    // Started with SIGCHLD ignored, the kernel would reap the first installer
    // itself and waitpid could not tell us it ended; the installers should
    // not inherit that oddity either.
    std::signal(SIGCHLD, SIG_DFL);

    std::string folder;
    if (!ownFolder(folder)) {
        std::fprintf(stderr, "Setup: cannot find its own folder: %s\n", std::strerror(errno));
        return 1;
    }
    const std::string first = folder + "/Data1/Setup.exe";
    const std::string second = folder + "/Data2/Setup.exe";

    pid_t pid = 0;
    if (!start(first, pid))
        return 1;

    // Sleep in the kernel until the first installer has ended, however it
    // ended: its exit status means nothing to us (an installer may well exit
    // with 259, which arrives here as 3), and being killed is an end as well.
    int status = 0;
    pid_t waited;
    do {
        waited = waitpid(pid, &status, 0);
    } while (waited < 0 && errno == EINTR);
    if (waited < 0) {
        // Not being able to wait must not keep the user from the second
        // part of the installation.
        std::fprintf(stderr, "Setup: cannot wait for %s: %s\n", first.c_str(), std::strerror(errno));
    }

    if (!start(second, pid))
        return 1;

    // We do not wait for the second installer: once we exit, it is handed to
    // init (or the nearest subreaper), which reaps it when it ends.
    return 0;
}
