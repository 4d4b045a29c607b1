// Types into the real look-up of the dictionary window and prints how long
// each change of the search text takes, what loading the window costs, how
// soon an added or deleted word shows in the look-up, and how often a
// Kurdish word typed on a Persian keyboard finds its entry.
// Run from the folder that holds Data/DataBase.mdb (build/bin), on the
// offscreen platform:  QT_QPA_PLATFORM=offscreen ./lookup_bench
#include "components/textmatch.h"
#include "components/wordindex.h"
#include "dictionary/lookup.h"
#include "dictionary/varin2.h"
#include "runtime/application.h"
#include "runtime/forms.h"
#include "testkit.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double RssMb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

QList<Pair> ReadWordList(const QString& path)
{
    QList<Pair> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return out;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() >= 2)
            out.append({QString::fromUtf8(fields[0]), QString::fromUtf8(fields[1]), QString()});
    }
    return out;
}

// Word-like texts from letters the no-match case never uses ('q' is left out).
QString Synthetic(QRandomGenerator& rng, const QString& letters, int minLen, int maxLen)
{
    QString w;
    const int n = minLen + rng.bounded(maxLen - minLen + 1);
    for (int i = 0; i < n; ++i)
        w += letters[rng.bounded(letters.size())];
    return w;
}

// A Persian (or Arabic) keyboard has no ێ ۆ ڵ ڕ ە: its users type ی و ل ر ه.
QString PersianKeyboardSpelling(QString word)
{
    static const QString kurdish = QStringLiteral("ێۆڵڕە"), typed = QStringLiteral("یولره");
    for (QChar& c : word)
        if (const qsizetype i = kurdish.indexOf(c); i >= 0)
            c = typed[i];
    return word;
}

// The words of a Kurdish field: between spaces and the commas that part its renderings.
QStringList KurdishWords(const QString& field)
{
    static const QRegularExpression between(QStringLiteral("[ \u060C]+"));
    return field.split(between, Qt::SkipEmptyParts);
}

// Of the first Kurdish word of every entry, typed with Kurdish letters and
// on a Persian keyboard, the share that makes an entry holding that word (as
// the look-up compares) current. Of the Persian spellings missed, those that
// find entries as they stand: they are answered as typed, never with the
// keyboard look.
void MeasureKeyboardSpelling(const std::vector<WordStore::Entry>& entries, int mode)
{
    Varin2& w = forms().Varin2();
    w.TE3->setCaption(QString::number(mode));
    const auto makesCurrent = [&](const QString& typed, const QString& word) {
        w.Text->setText(QStringLiteral("{"));
        w.Text->setText(typed);
        for (const QString& k : KurdishWords(w.Data1->Current().Kurdish))
            if (FoldForMatch(k) == word)
                return true;
        return false;
    };
    int words = 0, kurdish = 0, persian = 0, both = 0, missedAsTyped = 0;
    QStringList missed;
    for (const WordStore::Entry& e : entries) {
        const QStringList own = KurdishWords(e.Kurdish);
        if (own.isEmpty())
            continue;
        ++words;
        const QString word = FoldForMatch(own.first());
        const QString typed = PersianKeyboardSpelling(own.first());
        const bool k = makesCurrent(own.first(), word);
        const bool p = makesCurrent(typed, word);
        kurdish += k;
        persian += p;
        both += k && p;
        if (p)
            continue;
        if (missed.size() < 8)
            missed << typed;
        w.Data1->Query(*BuildLookupQuery(typed, mode));
        missedAsTyped += w.Data1->RowCount() > 0;
    }
    std::printf("keyboard mode=%d words=%d kurdish_letters_share=%.2f%% persian_keyboard_share=%.2f%% "
                "persian_share_of_words_found_in_kurdish=%.2f%% persian_missed=%d of_them_found_as_typed=%d "
                "(missed e.g. %s)\n",
                mode, words, 100.0 * kurdish / words, 100.0 * persian / words, 100.0 * both / kurdish,
                words - persian, missedAsTyped, qPrintable(missed.join(u' ')));
    std::fflush(stdout);
}

void Measure(int entries, int mode, const char* name, const QString& text, int runs)
{
    Varin2& w = forms().Varin2();
    w.TE3->setCaption(QString::number(mode));
    std::vector<qint64> us;
    QElapsedTimer t;
    for (int i = 0; i < runs; ++i) {
        w.Text->setText(QStringLiteral("{"));   // runs no query: the next text is a change
        t.start();
        w.Text->setText(text);
        us.push_back(t.nsecsElapsed() / 1000);
    }
    std::sort(us.begin(), us.end());
    const auto at = [&](double q) { return us[std::min<size_t>(us.size() - 1, size_t(q * us.size()))]; };
    std::printf("lookup entries=%d mode=%d case=%s p50_us=%lld p99_us=%lld\n", entries, mode, name,
                static_cast<long long>(at(0.50)), static_cast<long long>(at(0.99)));
    std::fflush(stdout);
}

// An add and a delete through the window's store, each timed from the store
// call until the look-up reflects it (the written word found, the deleted one
// gone). The words use 'q', which no other entry holds.
void MeasureEdits(int entries, int runs)
{
    WordStore& store = *forms().Varin2().Data1;
    std::vector<double> addMs, deleteMs;
    QElapsedTimer t;
    for (int i = 0; i < runs; ++i) {
        const QString word = QStringLiteral("qedit") + QString::number(i);
        const LookupQuery q = *BuildLookupQuery(word, 100);
        t.start();
        store.AddNew();
        store.SetField(WordStore::Field::English, word);
        store.SetField(WordStore::Field::Kurdish, QStringLiteral("تاقی"));
        store.Update();
        store.Query(q);
        addMs.push_back(t.nsecsElapsed() / 1e6);
        if (store.RowCount() != 1)
            std::printf("edit: the added word was not found\n");
        t.start();
        store.Delete();
        store.Query(q);
        deleteMs.push_back(t.nsecsElapsed() / 1e6);
        if (store.RowCount() != 0)
            std::printf("edit: the deleted word was still found\n");
    }
    std::sort(addMs.begin(), addMs.end());
    std::sort(deleteMs.begin(), deleteMs.end());
    std::printf("edit entries=%d add_ms=%.2f delete_ms=%.2f (median of %d; worst add %.2f delete %.2f)\n", entries,
                addMs[addMs.size() / 2], deleteMs[deleteMs.size() / 2], runs, addMs.back(), deleteMs.back());
    std::fflush(stdout);
}

// The same edits on a look-up index alone, without the file: what the store
// adds to the disk's sync.
void MeasureIndexEdits(const QList<Pair>& pairs, int runs)
{
    std::vector<QString> values;
    for (const Pair& p : pairs)
        values.push_back(p.english);
    WordIndex index;
    index.Build(values, std::vector<bool>(values.size(), true));
    std::vector<double> addUs, removeUs;
    QElapsedTimer t;
    for (int i = 0; i < runs; ++i) {
        const QString word = QStringLiteral("qedit") + QString::number(i);
        t.start();
        index.Add(word, true);
        const bool found = index.Match(word).size() == 1;
        addUs.push_back(t.nsecsElapsed() / 1e3);
        t.start();
        index.Remove(index.Rows() - 1);
        const bool gone = index.Match(word).empty();
        removeUs.push_back(t.nsecsElapsed() / 1e3);
        if (!found || !gone)
            std::printf("index: an edit was not reflected\n");
    }
    std::sort(addUs.begin(), addUs.end());
    std::sort(removeUs.begin(), removeUs.end());
    std::printf("index entries=%d add_us=%.0f remove_us=%.0f (median of %d)\n", static_cast<int>(pairs.size()),
                addUs[addUs.size() / 2], removeUs[removeUs.size() / 2], runs);
    std::fflush(stdout);
}

void Run(int entries, const QList<Pair>& pairs, int runs)
{
    DataFolder folder(pairs);   // its own Data/DataBase.mdb, as the working directory
    QElapsedTimer opened;
    opened.start();
    Varin2& w = forms().Varin2();
    const qint64 loadMs = opened.elapsed();
    // The indexes are built on a worker thread after the table is read; the
    // first look-up waits for them. Report that once, then time typing.
    w.Text->setText(QStringLiteral("x"));
    std::printf("open entries=%d load_ms=%lld first_lookup_ready_ms=%lld\n", entries,
                static_cast<long long>(loadMs), static_cast<long long>(opened.elapsed()));
    const QString word = pairs[pairs.size() / 3].english;
    const QString kurdishWord = pairs[pairs.size() / 3].kurdish;
    for (int mode : {25, 50, 75, 100}) {
        Measure(entries, mode, "no_match_12", QStringLiteral("qqqqqqqqqqqq"), runs);
        Measure(entries, mode, "one_letter", QStringLiteral("s"), runs);
        Measure(entries, mode, "full_word", word, runs);
        Measure(entries, mode, "kurdish_word", kurdishWord, runs);
        // Each of its 11 passes also takes the keyboard look: the letter ۋ is
        // in no entry.
        Measure(entries, mode, "kurdish_no_match_12", QString(12, QChar(0x06CB)), runs);
        Measure(entries, mode, "kurdish_word_persian_keyboard", PersianKeyboardSpelling(kurdishWord), runs);
    }
    MeasureEdits(entries, 21);
    forms().Unload();
    MeasureIndexEdits(pairs, 21);
}

}  // namespace

int main(int argc, char** argv)
{
    VarinApplication app(argc, argv);

    // Loading the window with the shipped database, in a fresh process.
    QElapsedTimer load;
    load.start();
    Varin2& w = forms().Varin2();
    const qint64 loadMs = load.elapsed();
    std::printf("load ms=%lld rss_mb=%.1f\n", static_cast<long long>(loadMs), RssMb());
    std::printf("shipped entries=%d\n", w.Data1->RecordCount());
    std::fflush(stdout);
    std::vector<WordStore::Entry> shippedEntries;
    for (int r = 0; r < w.Data1->RowCount(); ++r)
        shippedEntries.push_back(w.Data1->At(r));
    for (int mode : {75, 100})
        MeasureKeyboardSpelling(shippedEntries, mode);
    const QString shipped = QDir::current().absoluteFilePath(QStringLiteral("../../data/words.tsv"));
    forms().Unload();

    QRandomGenerator rng(2010);
    const QString latin = QStringLiteral("abcdefghijklmnoprstuvwxyz");
    const QString kurdish = QStringLiteral("ئابپتجچحخدرڕزژسشعغفڤکگلڵمنوۆهەیێ");

    QList<Pair> small = ReadWordList(QCoreApplication::arguments().value(1, shipped));
    small.erase(std::remove_if(small.begin(), small.end(),
                               [](const Pair& p) { return p.english.contains(u'q') || p.english.contains(u'Q'); }),
                small.end());
    while (small.size() < 10002)
        small.append({Synthetic(rng, latin, 4, 10), Synthetic(rng, kurdish, 3, 9), QString()});
    small = small.mid(0, 10002);
    Run(10002, small, 400);

    QList<Pair> large;
    large.reserve(1000000);
    for (int i = 0; i < 1000000; ++i)
        large.append({Synthetic(rng, latin, 4, 10), Synthetic(rng, kurdish, 3, 9), QString()});
    Run(1000000, large, 40);
    return 0;
}
