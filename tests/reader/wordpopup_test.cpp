// The reader's look-up of a word where it stands: finding the word at a
// position, looking it up on the side of the dictionary window's store, and
// the word window that shows the entries.
#include "dictionary/lookup.h"
#include "dictionary/texts.h"
#include "dictionary/varin2.h"
#include "reader/texts.h"
#include "reader/varin3.h"
#include "reader/wordat.h"
#include "reader/wordpopup.h"
#include "runtime/forms.h"
#include "speechdouble.h"
#include "testkit.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTextBlock>

namespace {

// Table order matters: "bookcase" stands before "book", so the entry equal to
// the word comes first only because it is the best match.
const QList<Pair> kWords = {
    {"bookcase", "کتێبخانە"}, {"book", "کتێب"},    {"notebook", "دەفتەر"}, {"run", "ڕاکردن"},
    {"don't", "مەکە"},        {"a bit", "تۆزێک"},  {"water", "ئاو"},       {"read", "خوێندنەوە"},
};

QStringList English(const std::vector<WordStore::Entry>& entries)
{
    QStringList out;
    for (const auto& e : entries)
        out << e.English;
    return out;
}

// "|" marks the expected word in a text; the position is given apart.
struct Marked {
    QString text;
    qsizetype start = 0, length = 0;
};
Marked Unmark(const QString& marked)
{
    Marked m;
    m.text = marked;
    const qsizetype open = marked.indexOf(u'|');
    if (open < 0)
        return m;
    m.text.remove(open, 1);
    const qsizetype close = m.text.indexOf(u'|');
    m.text.remove(close, 1);
    m.start = open;
    m.length = close - open;
    return m;
}

}  // namespace

class WordPopupTest : public QObject {
    Q_OBJECT
private:
    DataFolder* folder_ = nullptr;
    MsgBoxRecorder* boxes_ = nullptr;
    SpeechRecorder* speech_ = nullptr;

    Varin3& OpenReader(const QString& text)
    {
        Varin2& dictionary = forms().Varin2();
        dictionary.show();
        dictionary.Command3->click();
        Varin3& r = forms().Varin3();
        r.Text1->setPlainText(text);
        if (!QTest::qWaitForWindowExposed(&r))
            qWarning("the reader was not exposed");
        return r;
    }

    // The middle of the character at `index` of the reader's text, in the viewport.
    static QPoint PointOf(Varin3& r, int index)
    {
        QTextCursor c(r.Text1->document());
        c.setPosition(index);
        const QRect before = r.Text1->cursorRect(c);
        c.setPosition(index + 1);
        const QRect after = r.Text1->cursorRect(c);
        return QPoint((before.center().x() + after.center().x()) / 2, before.center().y());
    }

private slots:
    void init()
    {
        folder_ = new DataFolder(kWords);
        boxes_ = new MsgBoxRecorder;
        speech_ = new SpeechRecorder;
    }
    void cleanup()
    {
        forms().Unload();
        delete speech_;
        delete boxes_;
        delete folder_;
    }

    void wordAt_data()
    {
        QTest::addColumn<QString>("marked");   // the expected word between bars
        QTest::addColumn<int>("position");
        const QString zwnj = QStringLiteral("\u200C");
        QTest::newRow("inside an English word") << "the |book| is" << 6;
        QTest::newRow("at a word's start") << "the |book| is" << 4;
        QTest::newRow("just after a word's end") << "the |book| is" << 8;
        QTest::newRow("start of the text") << "|read| it" << 0;
        QTest::newRow("end of the text") << "read |it|" << 7;
        QTest::newRow("between two spaces") << "a  b" << 2;
        QTest::newRow("on punctuation") << "end. |Next|" << 4 + 1;
        QTest::newRow("after punctuation, no word") << "end . next" << 5;
        QTest::newRow("apostrophe inside") << "I |don't| know" << 4;
        QTest::newRow("apostrophe at the end is not the word's") << "the |boys|' books" << 6;
        QTest::newRow("typographic apostrophe") << "|it\u2019s| fine" << 1;
        QTest::newRow("hyphen ends a word") << "well-|known|" << 7;
        QTest::newRow("digits belong") << "|mp3| file" << 1;
        QTest::newRow("Kurdish word") << "ئەمە |کتێبێکە| باشە" << 7;
        QTest::newRow("Kurdish, non-joiner inside") << ("ئه" + zwnj + "م |ووشه" + zwnj + "كان| ") << 8;
        QTest::newRow("Kurdish, non-joiner at the end is not the word's")
            << ("|ووشه|" + zwnj + " تر") << 2;
        QTest::newRow("Kurdish with vowel signs") << "|كِتَاب| و" << 2;
        QTest::newRow("Kurdish before Arabic comma") << "|کتێب|، ئاو" << 4;
        QTest::newRow("Latin then Arabic are two words") << "|book|کتێب" << 2;
        QTest::newRow("Arabic then Latin are two words") << "کتێب|book|" << 5;
        QTest::newRow("letter outside the first plane") << "|a\U0001D400b| c" << 1;
        QTest::newRow("low half of a pair") << "|a\U0001D400b| c" << 2;
        QTest::newRow("empty text") << "" << 0;
        QTest::newRow("position past the end") << "book" << 9;
        QTest::newRow("negative position") << "book" << -1;
    }
    void wordAt()
    {
        QFETCH(QString, marked);
        QFETCH(int, position);
        const Marked m = Unmark(marked);
        const WordSpan span = WordAt(m.text, position);
        QCOMPARE(m.text.mid(span.start, span.length), m.text.mid(m.start, m.length));
        QCOMPARE(span.length == 0 ? 0 : span.start, m.start);
    }

    void wordAtCutsAHugeWord()
    {
        const QString word(1'000'000, u'a');
        const WordSpan span = WordAt(word, 500'000);
        QCOMPARE(span.length, kLongestWord);
        QVERIFY(span.start <= 500'000 && 500'000 < span.start + span.length);
        const WordSpan edge = WordAt(word, 3);
        QCOMPARE(edge, (WordSpan{0, kLongestWord}));
    }

    void lookUpWord_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("found");
        QTest::addColumn<QStringList>("english");
        QTest::newRow("equal first, then the rest in table order") << "book" << 75 << "book" << QStringList{"book", "bookcase"};
        QTest::newRow("case folded") << "Book" << 75 << "Book" << QStringList{"book", "bookcase"};
        QTest::newRow("backs off to the longest start") << "running" << 75 << "run" << QStringList{"run"};
        QTest::newRow("plural backs off") << "books" << 100 << "book" << QStringList{"book"};
        QTest::newRow("ends with") << "book" << 50 << "book" << QStringList{"book", "notebook"};
        QTest::newRow("contains") << "book" << 25 << "book" << QStringList{"book", "bookcase", "notebook"};
        QTest::newRow("apostrophe is an ordinary letter") << "don't" << 100 << "don't" << QStringList{"don't"};
        QTest::newRow("phrase") << "a bit" << 100 << "a bit" << QStringList{"a bit"};
        QTest::newRow("Kurdish, suffix cut off") << "کتێبەکە" << 75 << "کتێب" << QStringList{"book", "bookcase"};
        QTest::newRow("Kurdish, Arabic kaf") << "\u0643تێب" << 100 << "\u0643تێب" << QStringList{"book"};
        QTest::newRow("Kurdish, older spelling") << "ده\u200Cفته\u200Cر" << 100 << "ده\u200Cفته\u200Cر"
                                                 << QStringList{"notebook"};
        QTest::newRow("Kurdish as a Persian keyboard types it") << "کتیب" << 100 << "کتیب" << QStringList{"book"};
        QTest::newRow("Persian keyboard, suffix cut off") << "کتیبەکە" << 75 << "کتیب"
                                                          << QStringList{"book", "bookcase"};
        QTest::newRow("no start has entries") << "xyzzy" << 75 << "" << QStringList{};
        QTest::newRow("not the whole table for a cut-off word") << "q" << 75 << "" << QStringList{};
        QTest::newRow("no column for the text") << "{book" << 75 << "" << QStringList{};
        QTest::newRow("no such mode") << "book" << 60 << "" << QStringList{};
    }
    void lookUpWord()
    {
        QFETCH(QString, word);
        QFETCH(int, mode);
        QFETCH(QString, found);
        QFETCH(QStringList, english);
        WordStore store;
        store.Open(folder_->DatabasePath());
        for (bool indexed : {true, false}) {
            store.SetIndexed(indexed);
            const WordLookup result = LookUpWord(store, word, mode, 100);
            QCOMPARE(result.found, found);
            QCOMPARE(English(result.entries), english);
        }
    }

    void lookUpWordKeepsToItsLimit()
    {
        WordStore store;
        store.Open(folder_->DatabasePath());
        QCOMPARE(English(LookUpWord(store, "o", 25, 2).entries), QStringList({"bookcase", "book"}));
        QCOMPARE(LookUpWord(store, "o", 25, 0).found, QString());
    }

    // The side look-up leaves the dictionary window where it stands: its
    // result, its cursor and the entry fields bound to it.
    void lookUpLeavesTheDictionaryAlone()
    {
        Varin2& d = forms().Varin2();
        d.Text->setText(QStringLiteral("water"));
        d.Data1->MoveFirst();
        QCOMPARE(d.Text2->text(), QStringLiteral("water"));
        QSignalSpy result(d.Data1, &WordStore::ResultChanged), current(d.Data1, &WordStore::CurrentChanged);
        const WordLookup found = LookUpWord(*d.Data1, QStringLiteral("book"), 75, 10);
        QCOMPARE(English(found.entries), QStringList({"book", "bookcase"}));
        QCOMPARE(result.count(), 0);
        QCOMPARE(current.count(), 0);
        QCOMPARE(d.Data1->RowCount(), 1);
        QCOMPARE(d.Data1->Current().English, QStringLiteral("water"));
        QCOMPARE(d.Text2->text(), QStringLiteral("water"));
    }

    // A word being added in the dictionary window stays pending: the side
    // look-up neither commits nor drops it.
    void findKeepsAPendingEntry()
    {
        WordStore store;
        store.Open(folder_->DatabasePath());
        store.AddNew();
        store.SetField(WordStore::Field::English, QStringLiteral("bookish"));
        store.SetField(WordStore::Field::Kurdish, QStringLiteral("کتێبخوێن"));
        QCOMPARE(LookUpWord(store, "bookish", 100, 10).found, QStringLiteral("book"));
        store.Update();
        QCOMPARE(English(LookUpWord(store, "bookish", 100, 10).entries), QStringList({"bookish"}));
    }

    void popup_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");      // a character of the word
        QTest::addColumn<QString>("how");    // "double-click", "F2", "F2 on selection"
        QTest::addColumn<int>("mode");       // the dictionary window's match mode
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QStringList>("english");
        QTest::newRow("English word, double-click") << "I read a book today" << 10 << "double-click" << 75 << "book"
                                                   << QStringList{"book", "bookcase"};
        QTest::newRow("the dictionary's match mode") << "I read a book today" << 10 << "double-click" << 50
                                                     << "book" << QStringList{"book", "notebook"};
        QTest::newRow("no mode shown: begins with") << "I read a book today" << 10 << "double-click" << 0
                                                    << "book" << QStringList{"book", "bookcase"};
        QTest::newRow("Kurdish word, double-click") << "ئەمە کتێبێکی باشە" << 6 << "double-click" << 75 << "کتێب"
                                                   << QStringList{"book", "bookcase"};
        QTest::newRow("English word, F2 at the caret") << "we run fast" << 4 << "F2" << 75 << "run" << QStringList{"run"};
        QTest::newRow("a selected phrase, F2") << "just a bit more" << 5 << "F2 on selection" << 100 << "a bit"
                                               << QStringList{"a bit"};
        QTest::newRow("a word the dictionary lacks") << "the zebra sleeps" << 5 << "double-click" << 75 << "zebra"
                                                     << QStringList{};
    }
    void popup()
    {
        QFETCH(QString, text);
        QFETCH(int, index);
        QFETCH(QString, how);
        QFETCH(int, mode);
        QFETCH(QString, heading);
        QFETCH(QStringList, english);
        Varin2& d = forms().Varin2();
        d.Text->setText(QStringLiteral("water"));
        d.TE3->setCaption(QString::number(mode));
        Varin3& r = OpenReader(text);
        r.cmdspeak->click();
        speech_->Take();
        QSignalSpy moved(d.Data1, &WordStore::CurrentChanged);
        const QTextCursor caretBefore = r.Text1->textCursor();
        if (how == "double-click") {
            QTest::mouseDClick(r.Text1->viewport(), Qt::LeftButton, {}, PointOf(r, index));
        } else {
            QTextCursor c(r.Text1->document());
            c.setPosition(index);
            if (how == "F2 on selection")
                c.setPosition(index + int(heading.size()), QTextCursor::KeepAnchor);
            r.Text1->setTextCursor(c);
            QTest::keyClick(r.Text1, Qt::Key_F2);
        }
        WordPopup& popup = *r.WordPopup1;
        QTRY_VERIFY(popup.isVisible());
        QCOMPARE(popup.Heading->text(), heading);
        QCOMPARE(English(popup.Model->Entries()), english);
        QCOMPARE(popup.Entries->isVisible(), !english.isEmpty());
        QCOMPARE(popup.Notice->isVisible(), english.isEmpty());
        if (english.isEmpty()) {
            QVERIFY(popup.Notice->text().contains(WordPopupText::kNotFound));
            QVERIFY(popup.Notice->text().contains(WordPopupText::kNotFoundEn));
            QVERIFY(popup.Notice->hasFocus());
        } else {
            QVERIFY(popup.Entries->hasFocus());
            QCOMPARE(popup.Entries->currentIndex().row(), 0);
            QCOMPARE(popup.Model->index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight,
                     Qt::AlignRight);
        }
        // Beside the word: its top edge near the word's line.
        const QPoint word = r.Text1->viewport()->mapToGlobal(PointOf(r, index));
        QVERIFY2(std::abs(popup.geometry().top() - word.y()) < 40 || std::abs(popup.geometry().bottom() - word.y()) < 40,
                 qPrintable(QStringLiteral("popup at %1, word at %2").arg(popup.geometry().top()).arg(word.y())));
        // The reading goes on, the dictionary's cursor and the text's caret stay.
        QCOMPARE(speech_->Take(), QStringList());
        QCOMPARE(moved.count(), 0);
        QCOMPARE(d.Data1->Current().English, QStringLiteral("water"));
        if (how == "double-click") {
            QCOMPARE(r.Text1->textCursor().selectionStart(), caretBefore.selectionStart());
            QCOMPARE(r.Text1->textCursor().hasSelection(), false);
        }

        // Escape closes the word window only.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!popup.isVisible());
        QVERIFY(r.isVisible());
        QCOMPARE(speech_->Take(), QStringList());
    }

    void doubleClickOnNoWordOpensNothing()
    {
        Varin3& r = OpenReader(QStringLiteral("one  ,  two"));
        QTest::mouseDClick(r.Text1->viewport(), Qt::LeftButton, {}, PointOf(r, 5));
        QTest::qWait(20);
        QVERIFY(!r.WordPopup1->isVisible());
    }

    void clickElsewhereClosesIt()
    {
        Varin3& r = OpenReader(QStringLiteral("a book"));
        QTest::mouseDClick(r.Text1->viewport(), Qt::LeftButton, {}, PointOf(r, 3));
        QTRY_VERIFY(r.WordPopup1->isVisible());
        QTest::mouseClick(r.WordPopup1, Qt::LeftButton, {}, QPoint(-20, -20));
        QTRY_VERIFY(!r.WordPopup1->isVisible());
        QVERIFY(r.isVisible());
    }

    void namedForAScreenReader()
    {
        Varin3& r = OpenReader(QStringLiteral("a book"));
        WordPopup& p = *r.WordPopup1;
        QCOMPARE(p.accessibleName(), WordPopupText::kName);
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&p);
        QVERIFY(window);
        QCOMPARE(window->role(), QAccessible::Window);
        QCOMPARE(window->text(QAccessible::Name), WordPopupText::kName);
        QVERIFY(!p.accessibleDescription().isEmpty());
        QCOMPARE(p.Entries->accessibleName(), Varin2Name::kDataGrid1);
        QCOMPARE(p.Notice->accessibleName(), WordPopupText::kNotFound);
        QVERIFY(r.Text1->accessibleDescription().contains(QStringLiteral("F2")));
    }
};

QTEST_MAIN(WordPopupTest)
#include "wordpopup_test.moc"
