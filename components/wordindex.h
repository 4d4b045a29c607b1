// One column's look-up index: answers the look-up's LIKE patterns (equals,
// begins with, ends with, contains) over the folded values without a full
// scan, and takes a row added or removed at once instead of a rebuild.
//
// Rows are numbered as the store numbers them: each Add is the next row, and
// a removed row keeps its number. Match gives rows in ascending order, which
// is the table's order.
#pragma once

#include "textmatch.h"

#include <QString>
#include <string>
#include <utility>
#include <vector>

class WordIndex {
public:
    using Fold = QString (*)(QStringView);

    // The values are compared as fold makes them; the patterns and texts
    // given to Match and Exact must be folded the same way (Folded).
    explicit WordIndex(Fold fold = FoldForMatch) : fold_(fold) {}
    QString Folded(QStringView text) const { return fold_(text); }

    // values[row] as stored; present[row] false where the column is NULL (a
    // NULL never matches, as in SQL). Folds the values itself. Slow at a
    // million rows; runs on any thread while nothing else uses the index.
    void Build(const std::vector<QString>& values, const std::vector<bool>& present);

    void Add(const QString& value, bool present);   // as row Rows()
    void Remove(int row);
    int Rows() const { return static_cast<int>(values_.size()); }

    // Rows whose folded value is LIKE the folded pattern ('%' any run, '_' one character).
    std::vector<int> Match(const QString& foldedPattern) const;

    // Live rows, ascending, whose folded value equals this folded text in
    // whole or in one of its synonyms (HasSynonym).
    std::vector<int> Exact(const QString& folded) const;

private:
    // Suffixes of a text of values, each value ended by a 0: offsets sorted
    // by the text from there, and the row each belongs to.
    struct Suffixes {
        std::u16string text;
        std::vector<quint32> offsets;
        std::vector<qint32> rows;
        void Range(const QString& key, size_t* from, size_t* to) const;
    };

    bool Live(int row) const { return live_[row] != 0; }
    std::vector<int> ScanLike(const QString& pattern) const;
    std::vector<int> Prefixed(bool reversed, const QString& key, bool whole) const;
    std::vector<int> Containing(const QString& key) const;
    void InsertSorted(std::vector<int>& order, const std::vector<QString>& keys, int row);
    void EraseSorted(std::vector<int>& order, const std::vector<QString>& keys, int row);
    void AddSynonyms(int row);

    Fold fold_;

    std::vector<QString> values_;      // folded, by row
    std::vector<QString> reversed_;    // folded and reversed, by row
    std::vector<char> live_;           // present and not removed
    std::vector<int> sorted_;          // live rows by (value, row): equals, begins with
    std::vector<int> sortedReversed_;  // live rows by (reversed value, row): ends with
    Suffixes built_;                   // contains, over the rows of the build
    Suffixes added_;                   // contains, over the rows added since, kept sorted one by one
    // (synonym, row) of the values with more than one, sorted; a removed
    // row's stay, and Exact passes over them.
    std::vector<std::pair<QString, int>> synonyms_;
};
