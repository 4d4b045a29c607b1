// The word being heard, highlighted in the reader's text box: where a word
// of the given text stands after the user's edits, and the highlight through
// read, pause, read again, stop, clear and close with both engines.
#include "dictionary/varin2.h"
#include "reader/commondialog.h"
#include "reader/highlight.h"
#include "reader/textedits.h"
#include "reader/varin3.h"
#include "runtime/forms.h"
#include "speechdouble.h"
#include "testkit.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

Q_DECLARE_METATYPE(std::vector<TextEdit>)

namespace {

const QList<Pair> kWords = {{"book", "کتێب"}};
const QString kText = QStringLiteral("The quick brown fox jumps over the lazy dog.");

}  // namespace

class HighlightTest : public QObject {
    Q_OBJECT
private:
    DataFolder* folder_ = nullptr;
    MsgBoxRecorder* boxes_ = nullptr;
    SpeechRecorder* speech_ = nullptr;

    // The reader open with the text, the voice list as the dictionary fills it.
    Varin3& OpenReader(const QString& text)
    {
        Varin2& dictionary = forms().Varin2();
        dictionary.show();
        dictionary.Command3->click();
        Varin3& r = forms().Varin3();
        r.Text1->setPlainText(text);
        return r;
    }
    static void Read(Varin3& r, int voice)
    {
        r.Combo4->setCurrentIndex(voice);
        r.cmdspeak->click();
    }
    // What the box shows highlighted, as text.
    static QString Highlighted(Varin3& r)
    {
        const QList<QTextEdit::ExtraSelection> marks = r.Text1->extraSelections();
        if (marks.isEmpty())
            return QString();
        return marks.size() == 1 ? marks.first().cursor.selectedText() : QStringLiteral("<several>");
    }
    // The word at `index` of the given text being heard, by that engine.
    bool Hear(const QString& engine, const QString& text, const QString& word, qsizetype from = 0)
    {
        return speech_->Hear(engine, text, text.indexOf(word, from), word.size());
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

    void mapThroughEdits_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<std::vector<TextEdit>>("edits");
        QTest::addColumn<int>("newStart");
        QTest::addColumn<int>("newLength");
        // The word stands at 10 to 19.
        QTest::newRow("no edit") << 10 << 9 << std::vector<TextEdit>{} << 10 << 9;
        QTest::newRow("typed before") << 10 << 9 << std::vector<TextEdit>{{5, 0, 3}} << 13 << 9;
        QTest::newRow("typed at its start stays outside") << 10 << 9 << std::vector<TextEdit>{{10, 0, 3}} << 13 << 9;
        QTest::newRow("typed at its end stays outside") << 10 << 9 << std::vector<TextEdit>{{19, 0, 3}} << 10 << 9;
        QTest::newRow("typed inside belongs to it") << 10 << 9 << std::vector<TextEdit>{{14, 0, 3}} << 10 << 12;
        QTest::newRow("typed after") << 10 << 9 << std::vector<TextEdit>{{30, 0, 3}} << 10 << 9;
        QTest::newRow("removed just before") << 10 << 9 << std::vector<TextEdit>{{7, 3, 0}} << 7 << 9;
        QTest::newRow("removed just after") << 10 << 9 << std::vector<TextEdit>{{19, 3, 0}} << 10 << 9;
        QTest::newRow("its start removed") << 10 << 9 << std::vector<TextEdit>{{5, 7, 0}} << 5 << 7;
        QTest::newRow("its end removed") << 10 << 9 << std::vector<TextEdit>{{15, 10, 0}} << 10 << 5;
        QTest::newRow("removed whole") << 10 << 9 << std::vector<TextEdit>{{10, 9, 0}} << 10 << 0;
        QTest::newRow("all the text replaced") << 10 << 9 << std::vector<TextEdit>{{0, 30, 4}} << 4 << 0;
        QTest::newRow("part of it retyped longer") << 10 << 9 << std::vector<TextEdit>{{12, 3, 5}} << 10 << 11;
        QTest::newRow("several, in order") << 10 << 9 << std::vector<TextEdit>{{0, 0, 2}, {0, 4, 0}, {25, 1, 0}}
                                           << 8 << 9;
    }
    void mapThroughEdits()
    {
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(std::vector<TextEdit>, edits);
        QFETCH(int, newStart);
        QFETCH(int, newLength);
        QCOMPARE(MapThroughEdits({start, length}, edits), (Span{newStart, newLength}));
    }

    // Through the buttons, with either engine: what the box highlights after each step.
    void followsTheSpeech_data()
    {
        QTest::addColumn<int>("voice");
        QTest::addColumn<QStringList>("steps");        // "hear WORD", "read", "pause", "stop", "clear", "close", "end"
        QTest::addColumn<QStringList>("highlighted");  // after each step; "-" none, "refused": the engine told nothing
        QTest::newRow("engine B, word by word") << 7 << QStringList{"read", "hear quick", "hear brown"}
                                                << QStringList{"-", "quick", "brown"};
        QTest::newRow("engine A, word by word") << 0 << QStringList{"read", "hear quick", "hear fox"}
                                                << QStringList{"-", "quick", "fox"};
        QTest::newRow("engine B, pause holds it, read again reads from the start")
            << 7 << QStringList{"read", "hear fox", "pause", "hear jumps", "read", "hear The", "hear quick"}
            << QStringList{"-", "fox", "fox", "refused", "fox", "The", "quick"};
        QTest::newRow("engine A, pause holds it, read again starts afresh")
            << 0 << QStringList{"read", "hear fox", "pause", "hear jumps", "read", "hear The"}
            << QStringList{"-", "fox", "fox", "refused", "fox", "The"};
        QTest::newRow("stop removes it") << 7 << QStringList{"read", "hear fox", "stop", "hear jumps"}
                                         << QStringList{"-", "fox", "-", "refused"};
        QTest::newRow("engine A, stop removes it") << 0 << QStringList{"read", "hear fox", "stop", "hear jumps"}
                                                   << QStringList{"-", "fox", "-", "refused"};
        QTest::newRow("clear removes it") << 7 << QStringList{"read", "hear fox", "clear"} << QStringList{"-", "fox", "-"};
        QTest::newRow("close removes it") << 7 << QStringList{"read", "hear fox", "close"} << QStringList{"-", "fox", "-"};
        QTest::newRow("the end of the text removes it") << 7 << QStringList{"read", "hear dog", "end"}
                                                        << QStringList{"-", "dog", "-"};
    }
    void followsTheSpeech()
    {
        QFETCH(int, voice);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, highlighted);
        Varin3& r = OpenReader(kText);
        QTextCursor caret(r.Text1->document());
        caret.setPosition(4);
        caret.setPosition(9, QTextCursor::KeepAnchor);
        r.Text1->setTextCursor(caret);
        QString given;   // the text the last read handed over
        for (int i = 0; i < steps.size(); ++i) {
            const QString& step = steps[i];
            const QString engine = voice == 0 ? QStringLiteral("A") : QStringLiteral("B");
            bool told = true;
            if (step == "read") {
                Read(r, voice);
                given = r.Text1->toPlainText();
            } else if (step == "pause") r.Command3->click();
            else if (step == "stop") r.cmdpause->click();
            else if (step == "clear") r.cmdclear->click();
            else if (step == "close") r.Command1->click();
            else if (step == "end") told = speech_->Hear(engine, given, given.size(), 0);
            else if (step.startsWith("hear ")) told = Hear(engine, given, step.mid(5));
            const QString expected = highlighted[i];
            QVERIFY2(told == (expected != "refused"), qPrintable(step));
            if (expected != "refused")
                QCOMPARE(Highlighted(r), expected == "-" ? QString() : expected);
            // The user's caret and selection never move.
            if (step != "clear") {
                QCOMPARE(r.Text1->textCursor().anchor(), 4);
                QCOMPARE(r.Text1->textCursor().position(), 9);
            }
        }
    }

    // The user edits the text box while it is read: the highlight stays on
    // the word the voice says, wherever it now stands.
    void followsTheGivenTextThroughEdits()
    {
        Varin3& r = OpenReader(kText);
        Read(r, 7);
        const QString given = r.Text1->toPlainText();
        QTextCursor typing(r.Text1->document());
        typing.setPosition(0);
        typing.insertText(QStringLiteral("Look: "));
        QVERIFY(Hear("B", given, "brown"));
        QCOMPARE(Highlighted(r), QStringLiteral("brown"));
        // Typing inside the highlighted word grows the highlight.
        typing.setPosition(r.Highlight1->Shown().start + 2);
        typing.insertText(QStringLiteral("ee"));
        QCOMPARE(Highlighted(r), QStringLiteral("breeown"));
        // Words after an edit are found where they went.
        typing.setPosition(r.Text1->toPlainText().indexOf(QStringLiteral("lazy")));
        typing.insertText(QStringLiteral("very "));
        QVERIFY(Hear("B", given, "dog"));
        QCOMPARE(Highlighted(r), QStringLiteral("dog"));
        // A word the user deleted is not highlighted at all.
        QVERIFY(Hear("B", given, "fox"));
        QCOMPARE(Highlighted(r), QStringLiteral("fox"));
        typing.setPosition(r.Highlight1->Shown().start);
        typing.setPosition(r.Highlight1->Shown().start + 3, QTextCursor::KeepAnchor);
        typing.removeSelectedText();
        QCOMPARE(Highlighted(r), QString());
        QVERIFY(Hear("B", given, "fox"));
        QCOMPARE(Highlighted(r), QString());
    }

    // Text spoken by the dictionary window on the shared engine, or handed
    // over before a stop, is nothing the box shows.
    void otherTextsAreNotHighlighted()
    {
        Varin3& r = OpenReader(kText);
        Read(r, 7);
        Speech().EngineB().Speak(QStringLiteral("quick"));   // as the dictionary window pronounces
        QVERIFY(speech_->Hear("B", QStringLiteral("quick"), 0, 5));
        QCOMPARE(Highlighted(r), QString());
    }

    // Read again while engine B still reads: the new text replaces the one
    // being said, and the highlight goes with the new one from its start.
    void aSecondReadStartsAgain()
    {
        Varin3& r = OpenReader(kText);
        Read(r, 7);
        const QString first = r.Text1->toPlainText();
        QVERIFY(Hear("B", first, "lazy"));
        QCOMPARE(r.Highlight1->Shown().start, kText.indexOf(QStringLiteral("lazy")));
        Read(r, 7);
        const QString second = r.Text1->toPlainText();
        QCOMPARE(Highlighted(r), QStringLiteral("lazy"));   // until the new text is heard
        QVERIFY(Hear("B", second, "quick"));
        QCOMPARE(Highlighted(r), QStringLiteral("quick"));
    }

    // A word out of sight is scrolled into view; the caret stays at the top.
    void theViewFollowsTheWord()
    {
        QStringList lines;
        for (int i = 0; i < 300; ++i)
            lines << QStringLiteral("line number %1 of the text").arg(i);
        Varin3& r = OpenReader(lines.join(u'\n'));
        r.show();
        QVERIFY(QTest::qWaitForWindowExposed(&r));
        Read(r, 7);
        const QString given = r.Text1->toPlainText();
        QCOMPARE(r.Text1->verticalScrollBar()->value(), 0);
        QVERIFY(Hear("B", given, "250"));
        QCOMPARE(Highlighted(r), QStringLiteral("250"));
        QTextCursor at(r.Text1->document());
        at.setPosition(int(r.Highlight1->Shown().start));
        QVERIFY(r.Text1->viewport()->rect().contains(r.Text1->cursorRect(at)));
        QCOMPARE(r.Text1->textCursor().position(), 0);
        // A word already in sight does not move the view.
        const int value = r.Text1->verticalScrollBar()->value();
        QVERIFY(Hear("B", given, "251"));
        QCOMPARE(r.Text1->verticalScrollBar()->value(), value);
    }

    void aLoadedFileEndsTheHighlight()
    {
        Varin3& r = OpenReader(kText);
        Read(r, 7);
        const QString given = r.Text1->toPlainText();
        QVERIFY(Hear("B", given, "fox"));
        QCOMPARE(Highlighted(r), QStringLiteral("fox"));
        SetFileDialogPresenter([](const FileDialogCall&) { return QString(); });
        r.cmdopen->click();   // the dialog is cancelled; the engines are stopped all the same
        SetFileDialogPresenter({});
        QCOMPARE(Highlighted(r), QString());
    }
};

QTEST_MAIN(HighlightTest)
#include "highlight_test.moc"
