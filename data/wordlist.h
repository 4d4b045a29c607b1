// The built-in word list as text: one entry a line, English, Kurdish and a
// note, separated by tabs, UTF-8. Every field is required: the note is what
// marks an entry as built in.
#pragma once

#include <istream>
#include <string>
#include <vector>

struct WordListEntry {
    std::string english, kurdish, note;
};

struct WordList {
    std::vector<WordListEntry> entries;
    int badLine = 0;   // the first line that is not an entry, 0 when all are
};

// Empty lines are skipped and a line may end with CR; reading stops at the
// first line that does not have three non-empty fields.
WordList ParseWordList(std::istream& in);
