#include "wordlist.h"

namespace {

std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

}  // namespace

WordList ParseWordList(std::istream& in)
{
    WordList list;
    std::string line;
    for (int lineNo = 1; std::getline(in, line); ++lineNo) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        const auto f = Split(line);
        if (f.size() != 3 || f[0].empty() || f[1].empty() || f[2].empty()) {
            list.badLine = lineNo;
            break;
        }
        list.entries.push_back({f[0], f[1], f[2]});
    }
    return list;
}
