#include "components/oracle.h"
#include "components/storekit.h"
#include "dictionary/lookup.h"
#include "dictionary/varin2.h"
#include "runtime/forms.h"
#include "testkit.h"

#include <QFile>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSlider>
#include <QTableView>
#include <QTest>

namespace {

const QList<Pair> kWords = {
    {"hello", "سڵاو"}, {"help", "یارمەتی"},  {"cat", "پشیلە"},     {"catalog", "کاتالۆگ"},
    {"dog", "سەگ"},     {"don't", "مەکە"},    {"door", "دەرگا"},     {"book", "کتێب"},
    {"house", "خانوو"}, {"Monday", "دووشەممە"}, {"9 pm", "نۆی ئێوارە"}, {"bookcase", "کتێبخانە"},
    {"ass", "کەر"},     {"deaf", "کەڕ"},
};

QStringList GridEnglish(Varin2& w)
{
    QStringList out;
    for (int r = 0; r < w.DataGrid1->model()->rowCount(); ++r)
        out << w.DataGrid1->model()->index(r, 0).data().toString();
    return out;
}

void SetMode(Varin2& w, int mode)
{
    w.TE3->setCaption(QString::number(mode));
}

}  // namespace

class LookupTest : public QObject {
    Q_OBJECT
private:
    DataFolder* folder_ = nullptr;
    MsgBoxRecorder* boxes_ = nullptr;

private slots:
    void init()
    {
        folder_ = new DataFolder(kWords);
        boxes_ = new MsgBoxRecorder;
    }
    void cleanup()
    {
        forms().Unload();
        delete boxes_;
        delete folder_;
    }

    void matchModeNumber()
    {
        QCOMPARE(MatchModeNumber(0), 25);
        QCOMPARE(MatchModeNumber(1), 50);
        QCOMPARE(MatchModeNumber(2), 75);
        QCOMPARE(MatchModeNumber(3), 100);
    }

    void lookupColumnFor_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("column");
        const int en = int(LookupColumn::English), ku = int(LookupColumn::Kurdish), none = int(LookupColumn::None);
        QTest::newRow("empty") << "" << en;
        QTest::newRow("latin") << "cat" << en;
        QTest::newRow("upper latin") << "Cat" << en;
        QTest::newRow("digit") << "9 pm" << en;
        QTest::newRow("space") << " cat" << en;
        QTest::newRow("kurdish") << "پشیلە" << ku;
        QTest::newRow("brace") << "{x" << none;
        QTest::newRow("bar") << "|" << none;
        QTest::newRow("close brace") << "}" << none;
        QTest::newRow("tilde alone") << "~" << none;
        QTest::newRow("tilde and more") << "~a" << ku;
    }
    void lookupColumnFor()
    {
        QFETCH(QString, text);
        QFETCH(int, column);
        QCOMPARE(int(LookupColumnFor(text)), column);
    }

    void buildLookupQuery_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("pattern");
        const QString en = "select * from Data where English like ?";
        const QString ku = "select * from Data where كوردى like ?";
        QTest::newRow("contains") << "cat" << 25 << en << "%cat%";
        QTest::newRow("ends") << "cat" << 50 << en << "%cat";
        QTest::newRow("begins") << "cat" << 75 << en << "cat%";
        QTest::newRow("equals") << "cat" << 100 << en << "cat";
        QTest::newRow("kurdish") << "سەگ" << 75 << ku << "سەگ%";
        QTest::newRow("apostrophe stays in the bound text") << "don'" << 75 << en << "don'%";
        QTest::newRow("injection is just text") << "x' or '1'='1" << 100 << en << "x' or '1'='1";
        QTest::newRow("a NUL ends the text") << QStringLiteral("e\0x") << 25 << en << "%e%";
    }
    void buildLookupQuery()
    {
        QFETCH(QString, text);
        QFETCH(int, mode);
        QFETCH(QString, sql);
        QFETCH(QString, pattern);
        const auto q = BuildLookupQuery(text, mode);
        QVERIFY(q);
        QCOMPARE(q->sql, sql);
        QCOMPARE(q->pattern, pattern);
        QVERIFY(!BuildLookupQuery("{cat", 25));
        QVERIFY(!BuildLookupQuery(text, 60));
        // The keyboard look: Kurdish only, same pattern, its own fold.
        const auto keyboard = BuildLookupQuery(text, mode, true);
        QCOMPARE(bool(keyboard), sql.contains(QStringLiteral("كوردى")));
        if (keyboard) {
            QCOMPARE(keyboard->pattern, pattern);
            QVERIFY(keyboard->keyboard);
            QCOMPARE(keyboard->sql, QStringLiteral("select * from Data where varin_keyboard_like(?, كوردى)"));
        }
        QVERIFY(!q->keyboard);
    }

    void loadSequence()
    {
        QVERIFY(!forms().IsLoaded("Varin2"));
        Varin2& w = forms().Varin2();
        QVERIFY(w.IsLoaded());
        QVERIFY(!w.isVisible());
        QCOMPARE(&forms().Varin2(), &w);   // one instance, loaded once
        QCOMPARE(w.Text->text(), QString());
        QCOMPARE(w.Timer3->Interval(), 3000);
        QCOMPARE(w.Timer1->Interval(), 2000);
        QCOMPARE(w.Timer0->Interval(), 100);   // restoring the pitch list with no voice chosen yet
        QCOMPARE(w.Timer2->Interval(), 0);
        QCOMPARE(w.Timer8->Interval(), 0);
        QCOMPARE(w.DataGrid1->model()->rowCount(), kWords.size());
        QCOMPARE(w.DataGrid1->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("كـــــــوردى"));
        QCOMPARE(w.DataGrid1->columnWidth(0), 226);
        QCOMPARE(w.DataGrid1->columnWidth(1), 451);
        QCOMPARE(w.size(), QSize(729, 388));
        QVERIFY(boxes_->calls.isEmpty());
    }

    // Each row: the match mode, what stands in the search field, and what
    // the grid and the bound English field then show.
    void textChange_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("grid");
        QTest::addColumn<QString>("current");
        QStringList all;
        for (const Pair& p : kWords)
            all << p.english;
        QTest::newRow("begins: backs off to h") << 75 << "hxq" << QStringList{"hello", "help", "house"} << "hello";
        QTest::newRow("begins: two spaces then cat") << 75 << "  cat" << QStringList{"cat", "catalog"} << "cat";
        QTest::newRow("contains") << 25 << "oo" << QStringList{"door", "book", "bookcase"} << "door";
        QTest::newRow("ends") << 50 << "og" << QStringList{"catalog", "dog"} << "catalog";
        QTest::newRow("equals") << 100 << "cat" << QStringList{"cat"} << "cat";
        QTest::newRow("equals backs off") << 100 << "dogs" << QStringList{"dog"} << "dog";
        QTest::newRow("empty, contains: all, none current") << 25 << "" << all << "";
        QTest::newRow("empty, ends: all") << 50 << "" << all << "";
        QTest::newRow("empty, begins: all") << 75 << "" << all << "";
        QTest::newRow("empty, equals: nothing") << 100 << "" << QStringList{} << "";
        QTest::newRow("kurdish column") << 75 << "سە" << QStringList{"dog"} << "dog";
        QTest::newRow("kurdish contains") << 25 << "کتێب" << QStringList{"book", "bookcase"} << "book";
        QTest::newRow("digit goes to english") << 75 << "9" << QStringList{"9 pm"} << "9 pm";
        QTest::newRow("apostrophe is an ordinary letter") << 75 << "don'" << QStringList{"don't"} << "don't";
        QTest::newRow("whole word with apostrophe") << 100 << "don't" << QStringList{"don't"} << "don't";
        QTest::newRow("12 letters, last query is 2") << 75 << "caxxxxxxxxxx" << QStringList{"cat", "catalog"} << "cat";
        QTest::newRow("12 letters, nothing at all") << 75 << "zqxxxxxxxxxx" << QStringList{} << "";
        QTest::newRow("typed percent matches any run") << 75 << "c%g" << QStringList{"catalog"} << "catalog";
        QTest::newRow("case does not matter") << 75 << "MON" << QStringList{"Monday"} << "Monday";
        QTest::newRow("arabic kaf finds kurdish kaf") << 100 << "كتێب" << QStringList{"book"} << "book";
        // A Persian keyboard has no ێ ۆ ڵ ڕ ە: its users type ی و ل ر ه.
        QTest::newRow("keyboard letters, before the cut") << 75 << "کتیبخانه" << QStringList{"bookcase"} << "bookcase";
        QTest::newRow("keyboard letters, after a cut") << 75 << "کتیبخانهی" << QStringList{"bookcase"} << "bookcase";
        QTest::newRow("keyboard letters, equals") << 100 << "سلاو" << QStringList{"hello"} << "hello";
        QTest::newRow("keyboard letters, contains") << 25 << "دهرگا" << QStringList{"door"} << "door";
        QTest::newRow("keyboard letters, two entries") << 100 << "کهر" << QStringList{"ass", "deaf"} << "ass";
        QTest::newRow("found as typed: no second look") << 100 << "کەر" << QStringList{"ass"} << "ass";
    }
    void textChange()
    {
        QFETCH(int, mode);
        QFETCH(QString, text);
        QFETCH(QStringList, grid);
        QFETCH(QString, current);
        Varin2& w = forms().Varin2();
        SetMode(w, mode);
        w.Text->setText(QStringLiteral("before"));
        w.Text->setText(text);
        QCOMPARE(GridEnglish(w), grid);
        QCOMPARE(w.Text2->text(), current);
        QCOMPARE(w.Text->text(), text);   // the look-up never changes the search field
    }

    void textWithoutColumnKeepsTheGrid()
    {
        Varin2& w = forms().Varin2();
        SetMode(w, 75);
        w.Text->setText(QStringLiteral("do"));
        const QStringList before = GridEnglish(w);
        QCOMPARE(before, QStringList({"dog", "don't", "door"}));
        for (const char* text : {"{abc", "|", "}x", "~"}) {
            w.Text->setText(QString::fromLatin1(text));
            QCOMPARE(GridEnglish(w), before);
        }
    }

    void sliderRunsWithTheOldModeThenShowsTheNew()
    {
        Varin2& w = forms().Varin2();
        w.Slider3->setValue(3);                  // equals (the restore left it at 0)
        QCOMPARE(w.TE3->Caption(), QStringLiteral("100"));
        w.Text->setText(QStringLiteral("cat"));
        QCOMPARE(GridEnglish(w), QStringList({"cat"}));
        w.Slider3->setValue(0);                  // contains chosen; this run still uses equals
        QCOMPARE(w.TE3->Caption(), QStringLiteral("25"));
        QCOMPARE(GridEnglish(w), QStringList({"cat"}));
        w.Text->setText(QStringLiteral("ca"));   // the next run uses contains
        QCOMPARE(GridEnglish(w), QStringList({"cat", "catalog", "bookcase"}));
    }

    void label3AndMirror()
    {
        Varin2& w = forms().Varin2();
        SetMode(w, 75);
        w.Label3->setCaption(QStringLiteral("door"));
        QCOMPARE(w.Text->text(), QStringLiteral("door"));
        QCOMPARE(w.Text3->text(), QStringLiteral("دەرگا"));
        QCOMPARE(w.Text4->text(), QString());     // the visible fields trail by one tick
        w.Timer2->Fire();
        QCOMPARE(w.Text4->text(), QStringLiteral("door"));
        QCOMPARE(w.Text1->text(), QStringLiteral("دەرگا"));
    }

    void typingIntoTheWindowAndClickingTheGrid()
    {
        Varin2& w = forms().Varin2();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        SetMode(w, 75);
        QStringList spoken;
        connect(w.Text2, &QLineEdit::textChanged, [&](const QString& t) { spoken << t; });
        w.Text->setFocus();
        QTest::keyClicks(w.Text, QStringLiteral("bo"));
        QCOMPARE(GridEnglish(w), QStringList({"book", "bookcase"}));
        QCOMPARE(w.Text2->text(), QStringLiteral("book"));
        QCOMPARE(w.Text3->text(), QStringLiteral("کتێب"));

        const QModelIndex second = w.DataGrid1->model()->index(1, 1);
        QTest::mouseClick(w.DataGrid1->viewport(), Qt::LeftButton, {}, w.DataGrid1->visualRect(second).center());
        QCOMPARE(w.Data1->Position(), 1);
        QCOMPARE(w.Text2->text(), QStringLiteral("bookcase"));
        QCOMPARE(w.Text3->text(), QStringLiteral("کتێبخانە"));
        QCOMPARE(spoken.last(), QStringLiteral("bookcase"));
        QCOMPARE(w.DataGrid1->currentIndex().row(), 1);
    }

    // The window's look-up gives the same grid and entry whether the store
    // answers from its indexes or runs every pass as SQL.
    void indexedLookupEqualsSqlPassesOnRandomTexts()
    {
        Varin2& w = forms().Varin2();
        QRandomGenerator seeded(TestSeed("indexedLookupEqualsSqlPassesOnRandomTexts"));
        auto* rng = &seeded;
        const QString letters = QStringLiteral("abcdhlmnoqrstuy' %_{کتێبسەگدرپشیلوكي\u200C");
        for (int i = 0; i < 1500; ++i) {
            QString text;
            for (int n = rng->bounded(13); n > 0; --n)
                text += letters[rng->bounded(letters.size())];
            SetMode(w, 25 * (1 + rng->bounded(4)));
            QStringList grids[2], current[2];
            for (bool indexed : {true, false}) {
                w.Data1->SetIndexed(indexed);
                w.Text->setText(QStringLiteral("hello"));   // the same result before each run
                w.Text->setText(text);
                grids[indexed] = GridEnglish(w);
                current[indexed] << w.Text2->text() << w.Text3->text();
            }
            QCOMPARE(grids[true], grids[false]);
            QCOMPARE(current[true], current[false]);
        }
    }

    void damagedDatabaseOpensAnEmptyWindowWithANotice()
    {
        QFile f(folder_->DatabasePath());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(4096, '\x5a'));
        f.close();
        Varin2& w = forms().Varin2();
        QVERIFY(w.IsLoaded());
        QCOMPARE(w.DataGrid1->model()->rowCount(), 0);
        // Not inside the load, which runs behind the splash: once the window
        // stands, owned by it, and after the hand-over armed Timer8.
        QVERIFY(boxes_->calls.isEmpty());
        w.Text->setText(QStringLiteral(" "));
        w.show();
        w.Timer8->setInterval(1);
        QVERIFY(boxes_->calls.isEmpty());
        QTRY_COMPARE(boxes_->calls.size(), 1);
        const MsgBoxCall& box = boxes_->calls[0];
        QCOMPARE(box.owner, &w);
        QVERIFY(box.prompt.contains(folder_->DatabasePath()));
        QVERIFY(box.prompt.contains(QStringLiteral("فایلەکە تێکچووە")));
        QVERIFY(box.prompt.contains(QStringLiteral("wrong key or damaged file")));
        QVERIFY(box.flags & kMbRtlReading);
        w.Text->setText(QStringLiteral("cat"));   // no crash, no second box
        QCOMPARE(boxes_->calls.size(), 1);
        QCOMPARE(QFileInfo(folder_->DatabasePath()).size(), 4096);   // left as it was
    }

    // Hostile word files opened by the program: no crash, the window opens,
    // and what it cannot use is told once it stands, in Kurdish and English.
    void hostileWordFilesOpenTheWindow_data()
    {
        QTest::addColumn<QByteArray>("sql");     // run on an empty keyed file; "" for the bytes below
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("kurdish");    // in the notice; "" for none
        QTest::addColumn<int>("rows");
        QByteArray random(32 * 1024, 0);
        QRandomGenerator(15).fillRange(reinterpret_cast<quint32*>(random.data()), random.size() / 4);
        QTest::newRow("random bytes") << QByteArray() << random << "فایلەکە تێکچووە" << 0;
        QTest::newRow("empty file") << QByteArray() << QByteArray() << "خشتەی وشەکان لە فایلەکەدا نییە" << 0;
        QTest::newRow("Data without Note")
            << QByteArray("CREATE TABLE Data (English TEXT, \"كوردى\" TEXT); INSERT INTO Data VALUES ('cat', 'b');")
            << QByteArray() << "خشتەی وشەکان لە فایلەکەدا نییە" << 0;
        QTest::newRow("a 20 MB text")
            << QByteArray("CREATE TABLE Data (English TEXT, \"كوردى\" TEXT, Note TEXT);"
                          "INSERT INTO Data VALUES (printf('%.*c', 20000000, 'c'), 'پشیلە', ''), ('cat', 'پشیلە', '');")
            << QByteArray() << QString() << 2;
    }
    void hostileWordFilesOpenTheWindow()
    {
        QFETCH(QByteArray, sql);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, kurdish);
        QFETCH(int, rows);
        const QString path = folder_->DatabasePath();
        QVERIFY(QFile::remove(path));
        if (!sql.isEmpty()) {
            QVERIFY(MakeKeyedFile(path, sql));
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        Varin2& w = forms().Varin2();
        QVERIFY(w.IsLoaded());
        w.Text->setText(QStringLiteral(" "));
        w.show();
        QCOMPARE(w.DataGrid1->model()->rowCount(), rows);
        if (kurdish.isEmpty()) {
            QTest::qWait(50);
            QVERIFY(boxes_->calls.isEmpty());
            // The grid shows a line's worth of the long value, not megabytes.
            QVERIFY(w.DataGrid1->model()->index(0, 0).data().toString().size() < 2000);
            w.DataGrid1->viewport()->repaint();
            w.Text->setText(QStringLiteral("cat"));
            QCOMPARE(GridEnglish(w).first(), QStringLiteral("cat"));
        } else {
            QTRY_COMPARE(boxes_->calls.size(), 1);
            const MsgBoxCall& box = boxes_->calls[0];
            QVERIFY(box.prompt.contains(path));
            QVERIFY(box.prompt.contains(kurdish));
            QVERIFY(box.prompt.contains(QStringLiteral("could not be opened")));
            w.Text->setText(QStringLiteral("cat"));   // no crash, no second box
            QCOMPARE(boxes_->calls.size(), 1);
            if (sql.isEmpty()) {
                QFile f(path);
                QVERIFY(f.open(QIODevice::ReadOnly));
                QCOMPARE(f.readAll(), bytes);   // left as it was
            }
        }
    }
};

QTEST_MAIN(LookupTest)
#include "lookup_test.moc"
