// Measures the processor time Setup spends while its first installer sleeps
// for two seconds. A launcher that polls burns the whole two seconds; one that
// sleeps in waitpid only pays for starting the processes.
//
// wait4 gives the launcher's user+sys time, which also counts its own
// start-up and the first installer it reaps. The same run with a first
// installer that sleeps 0 s costs all of that but the wait, so the difference
// of the two is the processor time spent waiting. Medians of five runs each,
// interleaved, as the machine may be busy with other work; both totals are
// printed as well.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void install(const fs::path &from, const fs::path &to)
{
    fs::create_directories(to.parent_path());
    fs::copy_file(from, to);
    fs::permissions(to, fs::perms(0755));
}

double ms(const timeval &t)
{
    return t.tv_sec * 1e3 + t.tv_usec / 1e3;
}

// Runs the installed launcher once; its processor time in ms, or -1 when it
// did not run cleanly.
double runLauncher(const fs::path &root, const char *sleepSeconds)
{
    setenv("SETUP_BENCH_SLEEP_SECONDS", sleepSeconds, 1);
    const pid_t pid = fork();
    if (pid == 0) {
        const std::string exe = (root / "Setup").string();
        execl(exe.c_str(), exe.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    const bool clean = pid > 0 && wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status) &&
                       WEXITSTATUS(status) == 0;
    // Give the second installer, left running by the launcher, time to finish
    // before the next run or before its folder goes away.
    usleep(200 * 1000);
    return clean ? ms(usage.ru_utime) + ms(usage.ru_stime) : -1;
}

} // namespace

int main(int argc, char **argv)
{
    // The build fills in both programs; they can be given to try another Setup.
    const fs::path setup = argc > 1 ? argv[1] : SETUP_BINARY;
    const fs::path sleeper = argc > 2 ? argv[2] : SLEEPER_BINARY;

    char name[] = "/tmp/setup-bench-XXXXXX";
    if (!mkdtemp(name)) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path root = name;
    install(setup, root / "Setup");
    install(sleeper, root / "Data1" / "Setup.exe");
    fs::create_directories(root / "Data2");
    std::ofstream(root / "Data2" / "Setup.exe") << "#!/bin/sh\nexit 0\n";
    fs::permissions(root / "Data2" / "Setup.exe", fs::perms(0755));

    double sleeping[5], baseline[5];
    for (int i = 0; i < 5; ++i) {
        sleeping[i] = runLauncher(root, "2");
        baseline[i] = runLauncher(root, "0");
    }
    fs::remove_all(root);
    if (std::ranges::count(sleeping, -1.0) > 0 || std::ranges::count(baseline, -1.0) > 0) {
        std::fprintf(stderr, "setup_bench: Setup did not run cleanly\n");
        return 1;
    }
    std::ranges::sort(sleeping);
    std::ranges::sort(baseline);
    std::printf("setup wait_cpu_ms=%.3f\n", std::max(0.0, sleeping[2] - baseline[2]));
    std::printf("setup total_cpu_ms=%.3f baseline_cpu_ms=%.3f\n", sleeping[2], baseline[2]);
    return 0;
}
