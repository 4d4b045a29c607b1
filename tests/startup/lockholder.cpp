// Stands in for a running copy of the dictionary: takes its share of the
// instance lock at the path given, says whether it found another copy
// ("other" or "alone") and waits until it is killed.
#include "runtime/previnstance.h"

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    UseInstanceLockPath(QString::fromLocal8Bit(argv[1]));
    std::puts(PrevInstance() ? "other" : "alone");
    std::fflush(stdout);
    for (;;)
        ::pause();
}
