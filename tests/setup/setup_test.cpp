// Runs the built Setup against small shell installers in a scratch folder and
// watches, through a shared log, in which order things happen.

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::string g_setupBinary;
bool g_caseOk = true;

#define CHECK(cond)                                                                  \
    do {                                                                             \
        if (!(cond)) {                                                               \
            g_caseOk = false;                                                        \
            std::cerr << "  " << __FILE__ << ':' << __LINE__ << ": failed: " #cond "\n"; \
        }                                                                            \
    } while (0)

std::string readFile(const fs::path &path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> lines(const fs::path &path)
{
    std::vector<std::string> result;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

// Polls instead of sleeping a fixed time, so a slow machine only costs time,
// never a false failure.
bool waitUntil(const std::function<bool()> &done, std::chrono::milliseconds limit = 10s)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

bool logHas(const fs::path &log, const std::string &line)
{
    for (const auto &l : lines(log))
        if (l == line)
            return true;
    return false;
}

// A scratch installation: a copy of Setup in app/ with its installers, and a
// separate working directory holding decoy installers, so a launcher that
// looks relative to the working directory (or to argv[0]) is caught.
struct Fixture {
    fs::path root, app, elsewhere, log;

    Fixture()
    {
        // The space in the name catches paths that go through a shell.
        char name[] = "/tmp/setup test XXXXXX";
        if (!mkdtemp(name)) {
            std::perror("mkdtemp");
            std::exit(2);
        }
        root = name;
        app = root / "app";
        elsewhere = root / "elsewhere";
        log = root / "log";
        fs::create_directories(app);
        fs::copy_file(g_setupBinary, app / "Setup");
        fs::permissions(app / "Setup", fs::perms(0755));
        writeScript(elsewhere / "Data1" / "Setup.exe", "log decoy-first");
        writeScript(elsewhere / "Data2" / "Setup.exe", "log decoy-second");
    }
    ~Fixture() { fs::remove_all(root); }

    // Every script gets a `log` function appending one line to the shared log;
    // appends are atomic, so the log's order is the order of events.
    void writeScript(const fs::path &path, const std::string &body, mode_t mode = 0755) const
    {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "#!/bin/sh\n"
                            << "log() { echo \"$*\" >> '" << log.string() << "'; }\n"
                            << body << '\n';
        fs::permissions(path, fs::perms(mode));
    }
    void first(const std::string &body, mode_t mode = 0755) const
    {
        writeScript(app / "Data1" / "Setup.exe", body, mode);
    }
    void second(const std::string &body, mode_t mode = 0755) const
    {
        writeScript(app / "Data2" / "Setup.exe", body, mode);
    }
    std::string gate(const std::string &name) const
    {
        return "while [ ! -e '" + (root / name).string() + "' ]; do sleep 0.05; done";
    }
    void open(const std::string &name) const { std::ofstream(root / name).put('\n'); }
    std::vector<std::string> events() const { return lines(log); }
};

struct Launcher {
    pid_t pid = -1;
    int status = 0;
    bool ended = false;
};

// Starts Setup from the decoy folder with a bare argv[0], its standard output
// and error going to files in the fixture.
Launcher startLauncher(const Fixture &fx)
{
    Launcher l;
    l.pid = fork();
    if (l.pid == 0) {
        const int out = ::open((fx.root / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open((fx.root / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || chdir(fx.elsewhere.c_str()) != 0)
            _exit(126);
        dup2(out, 1);
        dup2(err, 2);
        const std::string exe = (fx.app / "Setup").string();
        execl(exe.c_str(), "Setup", static_cast<char *>(nullptr));
        _exit(127);
    }
    return l;
}

bool poll(Launcher &l)
{
    if (!l.ended && waitpid(l.pid, &l.status, WNOHANG) == l.pid)
        l.ended = true;
    return l.ended;
}

// Waits for the launcher with a deadline; one that hangs is killed so the
// suite reports it instead of hanging too.
bool finish(Launcher &l, std::chrono::milliseconds limit = 10s)
{
    if (waitUntil([&] { return poll(l); }, limit))
        return true;
    kill(l.pid, SIGKILL);
    waitpid(l.pid, &l.status, 0);
    return false;
}

bool exitedWith(const Launcher &l, int code)
{
    return WIFEXITED(l.status) && WEXITSTATUS(l.status) == code;
}

void sequenceAndHandOver()
{
    Fixture fx;
    fx.first("log first-start\necho first-out\n" + fx.gate("release1") + "\nlog first-end");
    fx.second("log \"second-start args=$# mark=$SETUP_TEST_MARK\"\n" + fx.gate("release2") +
              "\nlog second-end");

    Launcher l = startLauncher(fx);
    CHECK(waitUntil([&] { return logHas(fx.log, "first-start"); }));

    // While the first is held open, the launcher must be waiting and the
    // second must not have been started.
    std::this_thread::sleep_for(300ms);
    CHECK(!poll(l));
    CHECK(fx.events() == std::vector<std::string>{"first-start"});

    fx.open("release1");
    // The second stays blocked until release2, so the launcher has to end
    // while it still runs.
    CHECK(finish(l));
    CHECK(exitedWith(l, 0));
    CHECK(!logHas(fx.log, "second-end"));

    CHECK(waitUntil([&] { return fx.events().size() >= 3; }));
    CHECK((fx.events() ==
           std::vector<std::string>{"first-start", "first-end", "second-start args=0 mark=passed on"}));
    CHECK(readFile(fx.root / "stdout") == "first-out\n");
    CHECK(readFile(fx.root / "stderr").empty());

    fx.open("release2");
    CHECK(waitUntil([&] { return logHas(fx.log, "second-end"); }));
}

void firstEndsAnyWay()
{
    struct Row {
        const char *name;
        const char *ending;
    };
    const Row rows[] = {
        {"exits at once with 0", "exit 0"},
        {"exits with 259", "exit 259"},
        {"exits with 3", "exit 3"},
        {"exits with 1", "exit 1"},
        {"killed by SIGKILL", "kill -KILL $$"},
        {"killed by SIGTERM", "kill -TERM $$"},
    };
    for (const Row &row : rows) {
        std::cerr << " first " << row.name << '\n';
        Fixture fx;
        fx.first(std::string("log first-end\n") + row.ending);
        fx.second("log second-start");

        Launcher l = startLauncher(fx);
        CHECK(finish(l));
        CHECK(exitedWith(l, 0));
        CHECK(waitUntil([&] { return fx.events().size() >= 2; }));
        CHECK((fx.events() == std::vector<std::string>{"first-end", "second-start"}));
        CHECK(readFile(fx.root / "stderr").empty());
    }
}

void startFailures()
{
    struct Row {
        const char *name;
        mode_t firstMode; // 0: no such file
        mode_t secondMode;
        const char *failing; // installer folder named in the message
        int error;
        std::vector<std::string> events;
    };
    const Row rows[] = {
        {"missing first", 0, 0755, "Data1", ENOENT, {}},
        {"first not executable", 0644, 0755, "Data1", EACCES, {}},
        {"missing second", 0755, 0, "Data2", ENOENT, {"first-end"}},
        {"second not executable", 0755, 0644, "Data2", EACCES, {"first-end"}},
    };
    for (const Row &row : rows) {
        std::cerr << " " << row.name << '\n';
        Fixture fx;
        if (row.firstMode)
            fx.first("log first-end", row.firstMode);
        if (row.secondMode)
            fx.second("log second-start", row.secondMode);

        Launcher l = startLauncher(fx);
        CHECK(finish(l));
        CHECK(WIFEXITED(l.status) && WEXITSTATUS(l.status) != 0);

        const std::string path = (fx.app / row.failing / "Setup.exe").string();
        const std::string expected = path + ": " + std::strerror(row.error) + "\n";
        const std::string err = readFile(fx.root / "stderr");
        std::cerr << "  message: " << err;
        CHECK(err.size() >= expected.size() &&
              err.compare(err.size() - expected.size(), expected.size(), expected) == 0);
        CHECK(err.find('\n') == err.size() - 1);

        // Anything wrongly started gets a moment to show up in the log.
        std::this_thread::sleep_for(500ms);
        CHECK(fx.events() == row.events);
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: setup_test <path to Setup>\n";
        return 2;
    }
    g_setupBinary = fs::absolute(argv[1]).string();
    setenv("SETUP_TEST_MARK", "passed on", 1);

    const std::pair<const char *, void (*)()> cases[] = {
        {"second starts after the first ends and outlives the launcher", sequenceAndHandOver},
        {"the first's way of ending does not matter", firstEndsAnyWay},
        {"an installer that cannot start is reported", startFailures},
    };
    int passed = 0, failed = 0;
    for (const auto &[name, run] : cases) {
        std::cerr << name << '\n';
        g_caseOk = true;
        run();
        std::cerr << (g_caseOk ? "  ok\n" : "  FAILED\n");
        (g_caseOk ? passed : failed)++;
    }
    std::cout << passed << " passed, " << failed << " failed\n";
    return failed == 0 ? 0 : 1;
}
