// Stands in for the first installer in the benchmark: it only sleeps two
// seconds. Linked statically so that its own start-up, which the launcher's
// figure includes, stays a fraction of a millisecond.

#include <cerrno>
#include <ctime>

int main()
{
    timespec left{2, 0};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
    return 0;
}
