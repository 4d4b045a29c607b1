#include "components/textmatch.h"
#include "components/wordindex.h"
#include "oracle.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

struct Model {
    QString value;
    bool present = true;
    bool removed = false;
};

using OracleFolding = QString (*)(const QString&);

std::vector<int> Expected(const std::vector<Model>& rows, const QString& pattern, OracleFolding fold = OracleFold)
{
    const QRegularExpression re = OracleLike(fold(pattern));
    std::vector<int> out;
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        if (rows[r].present && !rows[r].removed && re.match(fold(rows[r].value)).hasMatch())
            out.push_back(r);
    return out;
}

std::vector<int> ExpectedExact(const std::vector<Model>& rows, const QString& text, OracleFolding fold)
{
    std::vector<int> out;
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        if (rows[r].present && !rows[r].removed && OracleExact(rows[r].value, text, fold))
            out.push_back(r);
    return out;
}

QList<int> ToList(const std::vector<int>& v)
{
    return QList<int>(v.begin(), v.end());
}

}  // namespace

class WordIndexTest : public QObject {
    Q_OBJECT
private slots:
    // Each kind of pattern, before and after rows come and go, including
    // equal values, an empty value and a missing one.
    void matchesEachKindOfPattern_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QList<int>>("built");   // rows 0-7 as built, 7 missing
        QTest::addColumn<QList<int>>("edited");  // rows 1 and 4 removed, 8 ("Booking") and 9 (missing) added
        QTest::newRow("equals") << "book" << QList<int>{1, 2} << QList<int>{2};
        QTest::newRow("equals, case folded") << "BOOK" << QList<int>{1, 2} << QList<int>{2};
        QTest::newRow("equals empty") << "" << QList<int>{5} << QList<int>{5};
        QTest::newRow("begins with") << "book%" << QList<int>{1, 2, 3} << QList<int>{2, 3, 8};
        QTest::newRow("ends with") << "%ing" << QList<int>{4} << QList<int>{8};
        QTest::newRow("contains") << "%oo%" << QList<int>{1, 2, 3, 6} << QList<int>{2, 3, 6, 8};
        QTest::newRow("contains, at the start") << "%bo%" << QList<int>{1, 2, 3} << QList<int>{2, 3, 8};
        QTest::newRow("contains nothing") << "%zz%" << QList<int>{} << QList<int>{};
        QTest::newRow("all") << "%" << QList<int>{0, 1, 2, 3, 4, 5, 6} << QList<int>{0, 2, 3, 5, 6, 8};
        QTest::newRow("inner wildcard") << "b_o%" << QList<int>{1, 2, 3} << QList<int>{2, 3, 8};
        QTest::newRow("inner percent") << "b%k" << QList<int>{1, 2} << QList<int>{2};
        QTest::newRow("kurdish letter forms") << "%كت%" << QList<int>{0} << QList<int>{0};
    }
    void matchesEachKindOfPattern()
    {
        QFETCH(QString, pattern);
        QFETCH(QList<int>, built);
        QFETCH(QList<int>, edited);
        WordIndex index;
        index.Build({"کتێب", "book", "Book", "bookcase", "sing", "", "look", "never"},
                    {true, true, true, true, true, true, true, false});
        QCOMPARE(ToList(index.Match(FoldForMatch(pattern))), built);
        index.Remove(1);
        index.Remove(4);
        index.Remove(4);   // twice: no harm
        index.Add(QStringLiteral("Booking"), true);
        index.Add(QStringLiteral("book"), false);
        QCOMPARE(index.Rows(), 10);
        QCOMPARE(ToList(index.Match(FoldForMatch(pattern))), edited);
    }

    // The rows equal to a text, in whole or in one rendering between "، ",
    // with either fold, before and after rows come and go.
    void exactFindsWholeValuesAndSynonyms_data()
    {
        QTest::addColumn<bool>("keyboard");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("built");   // rows 0-5 as built
        QTest::addColumn<QList<int>>("edited");  // row 1 removed, 6 ("پەرتووک، کتێب") added
        QTest::newRow("whole value") << false << "کتێب" << QList<int>{0, 1} << QList<int>{0, 6};
        QTest::newRow("second rendering") << false << "پەرتووک" << QList<int>{1, 2} << QList<int>{2, 6};
        QTest::newRow("whole value with renderings") << false << "بەرگ، پەرتووک" << QList<int>{2} << QList<int>{2};
        QTest::newRow("a start is not a rendering") << false << "کتێ" << QList<int>{} << QList<int>{};
        QTest::newRow("words of a rendering are not one") << false << "پیرۆز" << QList<int>{} << QList<int>{};
        QTest::newRow("empty rendering") << false << "" << QList<int>{4} << QList<int>{4};
        QTest::newRow("keyboard letters, as typed") << false << "کتیب" << QList<int>{} << QList<int>{};
        QTest::newRow("keyboard letters, keyboard fold") << true << "کتیب" << QList<int>{0, 1} << QList<int>{0, 6};
        QTest::newRow("keyboard fold, heh") << true << "پهرتووک" << QList<int>{1, 2} << QList<int>{2, 6};
        QTest::newRow("keyboard fold, missing value") << true << "بهرگ" << QList<int>{2} << QList<int>{2};
    }
    void exactFindsWholeValuesAndSynonyms()
    {
        QFETCH(bool, keyboard);
        QFETCH(QString, text);
        QFETCH(QList<int>, built);
        QFETCH(QList<int>, edited);
        WordIndex index(keyboard ? FoldForKeyboard : FoldForMatch);
        index.Build({"کتێب", "کتێب، پەرتووک", "بەرگ، پەرتووک", "کتێبی پیرۆز", "", "بەرگ"},
                    {true, true, true, true, true, false});
        QCOMPARE(ToList(index.Exact(index.Folded(text))), built);
        index.Remove(1);
        index.Add(QStringLiteral("پەرتووک، کتێب"), true);
        QCOMPARE(ToList(index.Exact(index.Folded(text))), edited);
    }

    // Random values, patterns, adds and removes against the oracle, with
    // either fold: what the pattern matches and what equals the text.
    void randomEditsAgainstTheOracle()
    {
        QRandomGenerator rng(TestSeed("randomEditsAgainstTheOracle"));
        const QString alphabet = QStringLiteral("abAB%_ کكیيىەه\u200Cێ،ۆوڵلڕر");
        const auto word = [&](int maxLen) {
            QString w;
            for (int n = rng.bounded(maxLen + 1); n > 0; --n)
                w += alphabet[rng.bounded(alphabet.size())];
            return w;
        };
        std::vector<Model> rows;
        std::vector<QString> values;
        std::vector<bool> present;
        for (int i = 0; i < 300; ++i) {
            rows.push_back({word(6), rng.bounded(20) != 0});
            values.push_back(rows.back().value);
            present.push_back(rows.back().present);
        }
        WordIndex plain, keyboard(FoldForKeyboard);
        plain.Build(values, present);
        keyboard.Build(values, present);
        for (int step = 0; step < 4000; ++step) {
            const int op = rng.bounded(10);
            if (op == 0) {
                rows.push_back({word(6), rng.bounded(20) != 0});
                plain.Add(rows.back().value, rows.back().present);
                keyboard.Add(rows.back().value, rows.back().present);
            } else if (op == 1) {
                const int r = rng.bounded(static_cast<int>(rows.size()));
                rows[r].removed = true;
                plain.Remove(r);
                keyboard.Remove(r);
            } else {
                const QString text = word(3);
                static const char* const shapes[] = {"%1", "%%1", "%1%", "%%1%"};
                const QString pattern = QString::fromLatin1(shapes[rng.bounded(4)]).arg(text);
                QCOMPARE(ToList(plain.Match(FoldForMatch(pattern))), ToList(Expected(rows, pattern)));
                QCOMPARE(ToList(keyboard.Match(FoldForKeyboard(pattern))),
                         ToList(Expected(rows, pattern, OracleKeyboardFold)));
                QCOMPARE(ToList(plain.Exact(FoldForMatch(text))), ToList(ExpectedExact(rows, text, OracleFold)));
                QCOMPARE(ToList(keyboard.Exact(FoldForKeyboard(text))),
                         ToList(ExpectedExact(rows, text, OracleKeyboardFold)));
            }
        }
    }
};

QTEST_MAIN(WordIndexTest)
#include "wordindex_test.moc"
