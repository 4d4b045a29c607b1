#include "wordindex.h"

#include "textmatch.h"

#include <QList>
#include <algorithm>

namespace {

QString Reversed(const QString& s)
{
    QString r(s);
    std::reverse(r.begin(), r.end());
    return r;
}

// -1, 0, 1: the text at off below, starting with, above the key. A value's
// ending 0 is below every character a key holds, so no read passes it.
int CompareAt(const char16_t* text, quint32 off, const QString& key)
{
    const char16_t* t = text + off;
    for (qsizetype i = 0; i < key.size(); ++i) {
        const char16_t k = key[i].unicode();
        if (t[i] != k)
            return t[i] < k ? -1 : 1;
    }
    return 0;
}

// Suffix a below suffix b, each read to its ending 0.
bool SuffixLess(const char16_t* text, quint32 a, quint32 b)
{
    const char16_t* x = text + a;
    const char16_t* y = text + b;
    while (*x && *x == *y)
        ++x, ++y;
    return *x < *y;
}

}  // namespace

void WordIndex::Suffixes::Range(const QString& key, size_t* from, size_t* to) const
{
    const char16_t* t = text.data();
    const auto lo = std::partition_point(offsets.begin(), offsets.end(),
                                         [&](quint32 off) { return CompareAt(t, off, key) < 0; });
    const auto hi = std::partition_point(lo, offsets.end(), [&](quint32 off) { return CompareAt(t, off, key) == 0; });
    *from = lo - offsets.begin();
    *to = hi - offsets.begin();
}

void WordIndex::Build(const std::vector<QString>& values, const std::vector<bool>& present)
{
    const int n = static_cast<int>(values.size());
    values_.assign(n, QString());
    reversed_.assign(n, QString());
    live_.assign(n, 0);
    sorted_.clear();
    sortedReversed_.clear();
    for (int r = 0; r < n; ++r) {
        if (!present[r])
            continue;
        values_[r] = fold_(values[r]);
        reversed_[r] = Reversed(values_[r]);
        live_[r] = 1;
        sorted_.push_back(r);
    }
    sortedReversed_ = sorted_;
    synonyms_.clear();
    for (const int r : sorted_)
        AddSynonyms(r);
    std::sort(synonyms_.begin(), synonyms_.end());
    // Stable on rows already ascending: ties stay in table order, (value, row).
    std::stable_sort(sorted_.begin(), sorted_.end(), [&](int a, int b) { return values_[a] < values_[b]; });
    std::stable_sort(sortedReversed_.begin(), sortedReversed_.end(),
                     [&](int a, int b) { return reversed_[a] < reversed_[b]; });

    // The suffix array: sorted by the first four characters first, so that
    // only ties compare further.
    Suffixes& s = built_;
    s = Suffixes();
    std::vector<qint32> rowOfOffset;
    for (int r = 0; r < n; ++r) {
        if (!live_[r])
            continue;
        for (const QChar c : values_[r]) {
            rowOfOffset.push_back(r);
            s.text.push_back(c.unicode());
        }
        rowOfOffset.push_back(-1);
        s.text.push_back(0);
    }
    s.text.append(4, u'\0');
    std::vector<std::pair<quint64, quint32>> keyed;
    keyed.reserve(rowOfOffset.size());
    for (quint32 off = 0; off < rowOfOffset.size(); ++off) {
        if (rowOfOffset[off] < 0)
            continue;
        quint64 k = 0;
        for (int j = 0; j < 4; ++j)
            k = (k << 16) | s.text[off + j];
        keyed.emplace_back(k, off);
    }
    const char16_t* t = s.text.data();
    std::sort(keyed.begin(), keyed.end(), [t](const auto& a, const auto& b) {
        if (a.first != b.first)
            return a.first < b.first;
        if ((a.first & 0xFFFF) == 0 || (a.first >> 16 & 0xFFFF) == 0 || (a.first >> 32 & 0xFFFF) == 0
            || (a.first >> 48) == 0)
            return false;   // both end within the key: equal
        return SuffixLess(t, a.second + 4, b.second + 4);
    });
    s.offsets.resize(keyed.size());
    s.rows.resize(keyed.size());
    for (size_t i = 0; i < keyed.size(); ++i) {
        s.offsets[i] = keyed[i].second;
        s.rows[i] = rowOfOffset[keyed[i].second];
    }
    added_ = Suffixes();
}

void WordIndex::InsertSorted(std::vector<int>& order, const std::vector<QString>& keys, int row)
{
    // Rows only grow, so a new row goes after every equal value.
    const auto at = std::upper_bound(order.begin(), order.end(), keys[row],
                                     [&](const QString& k, int r) { return k < keys[r]; });
    order.insert(at, row);
}

void WordIndex::EraseSorted(std::vector<int>& order, const std::vector<QString>& keys, int row)
{
    const auto less = [&](int a, int b) { return keys[a] != keys[b] ? keys[a] < keys[b] : a < b; };
    const auto at = std::lower_bound(order.begin(), order.end(), row, less);
    if (at != order.end() && *at == row)
        order.erase(at);
}

void WordIndex::Add(const QString& value, bool present)
{
    const int row = Rows();
    values_.push_back(present ? fold_(value) : QString());
    reversed_.push_back(present ? Reversed(values_.back()) : QString());
    live_.push_back(present ? 1 : 0);
    if (!present)
        return;
    InsertSorted(sorted_, values_, row);
    InsertSorted(sortedReversed_, reversed_, row);
    const size_t had = synonyms_.size();
    AddSynonyms(row);   // the last row: each new pair goes after its equals
    for (size_t i = had; i < synonyms_.size(); ++i) {
        const auto at = std::upper_bound(synonyms_.begin(), synonyms_.begin() + i, synonyms_[i]);
        std::rotate(at, synonyms_.begin() + i, synonyms_.begin() + i + 1);
    }
    // The added values' suffixes are few: each goes into its place at once.
    const quint32 start = static_cast<quint32>(added_.text.size());
    added_.text.append(reinterpret_cast<const char16_t*>(values_.back().utf16()), values_.back().size());
    added_.text.push_back(0);
    const char16_t* t = added_.text.data();
    for (quint32 off = start; off < added_.text.size() - 1; ++off) {
        const auto at = std::upper_bound(added_.offsets.begin(), added_.offsets.end(), off,
                                         [t](quint32 a, quint32 b) { return SuffixLess(t, a, b); });
        const auto i = at - added_.offsets.begin();
        added_.offsets.insert(at, off);
        added_.rows.insert(added_.rows.begin() + i, row);
    }
}

void WordIndex::Remove(int row)
{
    if (row < 0 || row >= Rows() || !live_[row])
        return;
    EraseSorted(sorted_, values_, row);
    EraseSorted(sortedReversed_, reversed_, row);
    // The suffix arrays keep the row's suffixes; Containing passes over them.
    live_[row] = 0;
}

void WordIndex::AddSynonyms(int row)
{
    const QString& value = values_[row];
    const QStringView separator(kSynonymSeparator);
    if (!value.contains(separator))
        return;   // the whole value is the one synonym: sorted_ finds it
    for (const QStringView part : QStringView(value).split(separator))
        synonyms_.emplace_back(part.toString(), row);
}

std::vector<int> WordIndex::Exact(const QString& folded) const
{
    std::vector<int> rows = Prefixed(false, folded, true);
    const auto from = std::lower_bound(synonyms_.begin(), synonyms_.end(), std::pair(folded, -1));
    for (auto it = from; it != synonyms_.end() && it->first == folded; ++it)
        if (live_[it->second])
            rows.push_back(it->second);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

std::vector<int> WordIndex::ScanLike(const QString& pattern) const
{
    std::vector<int> out;
    for (int r = 0; r < Rows(); ++r)
        if (live_[r] && LikeMatch(values_[r], pattern))
            out.push_back(r);
    return out;
}

std::vector<int> WordIndex::Prefixed(bool reversed, const QString& key, bool whole) const
{
    const std::vector<int>& order = reversed ? sortedReversed_ : sorted_;
    const std::vector<QString>& keys = reversed ? reversed_ : values_;
    auto first = std::lower_bound(order.begin(), order.end(), key,
                                  [&](int r, const QString& k) { return keys[r] < k; });
    auto last = first;
    if (whole)
        while (last != order.end() && keys[*last] == key)
            ++last;
    else
        while (last != order.end() && keys[*last].startsWith(key))
            ++last;
    std::vector<int> rows(first, last);
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::vector<int> WordIndex::Containing(const QString& key) const
{
    size_t from[2], to[2];
    built_.Range(key, &from[0], &to[0]);
    added_.Range(key, &from[1], &to[1]);
    const Suffixes* parts[2] = {&built_, &added_};
    const size_t hits = (to[0] - from[0]) + (to[1] - from[1]);
    std::vector<int> out;
    if (hits < static_cast<size_t>(Rows()) / 32) {
        for (int p = 0; p < 2; ++p)
            for (size_t i = from[p]; i < to[p]; ++i)
                if (live_[parts[p]->rows[i]])
                    out.push_back(parts[p]->rows[i]);
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
    } else {
        std::vector<bool> hit(Rows());
        for (int p = 0; p < 2; ++p)
            for (size_t i = from[p]; i < to[p]; ++i)
                hit[parts[p]->rows[i]] = true;
        for (int r = 0; r < Rows(); ++r)
            if (hit[r] && live_[r])
                out.push_back(r);
    }
    return out;
}

std::vector<int> WordIndex::Match(const QString& pattern) const
{
    // Leading and trailing runs of '%' decide the kind of match; what lies
    // between them is a plain text unless it holds a wildcard itself.
    qsizetype lead = 0, trail = 0;
    while (lead < pattern.size() && pattern[lead] == u'%')
        ++lead;
    while (trail < pattern.size() - lead && pattern[pattern.size() - 1 - trail] == u'%')
        ++trail;
    const QString inner = pattern.mid(lead, pattern.size() - lead - trail);
    if (inner.contains(u'%') || inner.contains(u'_') || inner.contains(QChar(0)) || (inner.isEmpty() && lead + trail > 0))
        return ScanLike(pattern);
    if (lead == 0)
        return Prefixed(false, inner, trail == 0);
    if (trail == 0)
        return Prefixed(true, Reversed(inner), false);
    return Containing(inner);
}
