// Stands in for the first installer in the benchmark: it only sleeps, two
// seconds unless SETUP_BENCH_SLEEP_SECONDS says otherwise (the launcher passes
// its environment on). Linked statically so that its own start-up, which the launcher's
// figure includes, stays a fraction of a millisecond.

#include <cerrno>
#include <cstdlib>
#include <ctime>

int main()
{
    const char* seconds = std::getenv("SETUP_BENCH_SLEEP_SECONDS");
    timespec left{seconds ? std::atoi(seconds) : 2, 0};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
    return 0;
}
