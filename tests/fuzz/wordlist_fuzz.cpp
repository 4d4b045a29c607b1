// The word list reader on any bytes: every entry it returns has its three
// fields, none empty and none holding a tab or a line break.
#include "data/wordlist.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const WordList list = ParseWordList(in);
    for (const WordListEntry& e : list.entries)
        for (const std::string* f : {&e.english, &e.kurdish, &e.note})
            if (f->empty() || f->find_first_of("\t\n") != std::string::npos)
                std::abort();
    return 0;
}
