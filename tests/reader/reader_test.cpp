#include "dictionary/varin2.h"
#include "reader/texts.h"
#include "reader/textfile.h"
#include "reader/varin3.h"
#include "runtime/forms.h"
#include "speechdouble.h"
#include "testkit.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

namespace {

const QList<Pair> kWords = {{"book", "کتێب"}, {"house", "خانوو"}, {"water", "ئاو"}};

// Answers the open-file dialog with the next of `answers` (an empty text is a
// cancel) and keeps every call.
class DialogRecorder {
public:
    DialogRecorder()
    {
        SetFileDialogPresenter([this](const FileDialogCall& call) {
            calls.append(call);
            return answers.isEmpty() ? QString() : answers.takeFirst();
        });
    }
    ~DialogRecorder() { SetFileDialogPresenter({}); }
    QList<FileDialogCall> calls;
    QStringList answers;
};

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

}  // namespace

class ReaderTest : public QObject {
    Q_OBJECT
private:
    DataFolder* folder_ = nullptr;
    MsgBoxRecorder* boxes_ = nullptr;
    SpeechRecorder* speech_ = nullptr;
    DialogRecorder* dialog_ = nullptr;

    QString FilePath(const char* name) const { return folder_->Path() + u'/' + QLatin1String(name); }

    // The dictionary window loaded and shown, as after start-up, with the
    // reader opened through its button.
    Varin3& OpenReader()
    {
        Varin2& dictionary = forms().Varin2();
        dictionary.show();
        dictionary.Command3->click();
        return forms().Varin3();
    }

    // The open button, waiting for the file to be read.
    static void OpenFile(Varin3& r)
    {
        r.cmdopen->click();
        QTRY_VERIFY(!r.Loading());
    }

    void Press(Varin3& r, const QString& action)
    {
        if (action == "read") r.cmdspeak->click();
        else if (action == "pause") r.Command3->click();
        else if (action == "stop") r.cmdpause->click();
        else if (action == "clear") r.cmdclear->click();
        else if (action == "close") r.Command1->click();
        else if (action == "open") OpenFile(r);
        else if (action == "settle") QCoreApplication::processEvents();
        else if (action.startsWith("slider ")) r.Slider1->setValue(action.mid(7).toInt());
        else if (action.startsWith("voice ")) {
            r.Combo4->setCurrentIndex(action.mid(6).toInt());
            emit r.Combo4->activated(r.Combo4->currentIndex());
        } else if (action.startsWith("pitch ")) {
            r.Combo1->setCurrentText(action.mid(6));
            emit r.Combo1->activated(r.Combo1->currentIndex());
        } else QFAIL(qPrintable("unknown action " + action));
    }

private slots:
    void init()
    {
        folder_ = new DataFolder(kWords);
        boxes_ = new MsgBoxRecorder;
        speech_ = new SpeechRecorder;
        dialog_ = new DialogRecorder;
    }
    void cleanup()
    {
        forms().Unload();
        delete dialog_;
        delete speech_;
        delete boxes_;
        delete folder_;
    }

    void windowLaysOutItsControls()
    {
        Varin3& r = forms().Varin3();
        QCOMPARE(r.size(), QSize(Twips(10695), Twips(5850)));
        QCOMPARE(r.windowTitle(), Varin3Text::kCaption);
        QCOMPARE(r.Slider1->minimum(), 0);
        QCOMPARE(r.Slider1->maximum(), 20);
        QCOMPARE(r.Slider1->value(), 10);
        // Along the bottom, left to right: close, clear, open, pause, stop, read,
        // then the speed, voice and pitch frames; the text frame above them all.
        const QList<QWidget*> buttons = {r.Command1, r.cmdclear, r.cmdopen, r.Command3, r.cmdpause, r.cmdspeak};
        for (int i = 1; i < buttons.size(); ++i)
            QVERIFY2(buttons[i - 1]->geometry().right() < buttons[i]->geometry().left(), qPrintable(QString::number(i)));
        for (QWidget* b : buttons) {
            QCOMPARE(b->parentWidget(), r.Frame2);
            QCOMPARE(b->size(), QSize(Twips(735), Twips(375)));
        }
        const QList<QGroupBox*> frames = {r.Frame2, r.Frame3, r.Frame4, r.Frame5};
        for (int i = 1; i < frames.size(); ++i)
            QVERIFY(frames[i - 1]->geometry().right() < frames[i]->geometry().left());
        for (QGroupBox* f : frames) {
            QVERIFY(r.Frame1->geometry().bottom() < f->geometry().top());
            QVERIFY(r.rect().contains(f->geometry()));
        }
        QCOMPARE(r.Slider1->parentWidget(), r.Frame3);
        QCOMPARE(r.Combo4->parentWidget(), r.Frame4);
        QCOMPARE(r.Combo1->parentWidget(), r.Frame5);
        QCOMPARE(r.Text1->parentWidget(), r.Frame1);
    }

    void sliderShowsItsValueOnceMoved()
    {
        Varin3& r = forms().Varin3();
        QCOMPARE(r.Slider1->toolTip(), Varin3Text::kSlider1Tip);
        r.Slider1->setValue(7);
        QCOMPARE(r.Slider1->toolTip(), QStringLiteral("7"));
    }

    void openingCommandPutsTheReaderInTheDictionarysPlace()
    {
        Varin2& d = forms().Varin2();
        d.show();
        d.move(210, 140);
        d.Combo4->setCurrentIndex(3);
        d.Combo1->setCurrentText(QStringLiteral("244"));
        d.Timer2->setInterval(100);
        speech_->Take();

        d.Command3->click();

        Varin3& r = forms().Varin3();
        QCOMPARE(r.pos(), d.pos());
        QVERIFY(!d.Timer2->Armed());
        QCOMPARE(r.Combo4->currentIndex(), 3);
        QCOMPARE(r.Combo1->currentText(), QStringLiteral("244"));
        QVERIFY(!d.isVisible());
        QVERIFY(r.isVisible());
        // Each copied choice runs the reader's list handler, the voice first
        // (with the reader's pitch until then), then the pitch.
        QCOMPARE(speech_->Take(), QStringList({"B.Voice 3", "B.Pitch 84", "B.Voice 3", "B.Pitch 244"}));
    }

    void openingWithNoChoiceKeepsTheReadersLists()
    {
        Varin2& d = forms().Varin2();
        Varin3& r = forms().Varin3();
        r.Combo4->setCurrentIndex(5);
        r.Combo1->setCurrentIndex(2);
        d.Combo4->setCurrentIndex(-1);
        d.Combo1->setCurrentIndex(-1);
        d.show();
        d.Command3->click();
        QCOMPARE(r.Combo4->currentIndex(), 5);
        QCOMPARE(r.Combo1->currentIndex(), 2);
        QVERIFY(r.isVisible());
        QVERIFY(boxes_->calls.isEmpty());
    }

    void engineOperations_data()
    {
        QTest::addColumn<int>("voice");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QStringList>("log");
        // Voice 7 is engine B's seventh voice, voice 0 engine A; pitch 204,
        // slider 12 (rate 1, speed 155), text "hello".
        const QStringList readB = {"A.new", "B.Resume", "B.Voice 7", "B.Speak hello", "B.Pitch 204", "B.Speed 155"};
        const QStringList readA = {"A.new", "B.Resume", "B.Stop", "A.Rate 1", "A.Volume 100", "A.Speak hello 1"};
        QTest::newRow("read, engine B") << 7 << QStringList{"read"} << readB;
        QTest::newRow("read, engine A") << 0 << QStringList{"read"} << readA;
        // The second read resumes engine B and hands it the whole text again, without stopping it.
        QTest::newRow("read, pause, read again, engine B")
            << 7 << QStringList{"read", "pause", "read"}
            << readB + QStringList{"B.Pause", "A.new", "A.release"}
                   + QStringList{"A.new", "A.release", "B.Resume", "B.Voice 7", "B.Speak hello", "B.Pitch 204", "B.Speed 155"};
        // Pausing engine A releases the speaking voice: its speech ends and the
        // next read starts from the beginning.
        QTest::newRow("read, pause, read again, engine A")
            << 0 << QStringList{"read", "pause", "read"}
            << readA + QStringList{"B.Pause", "A.new", "A.release"}
                   + QStringList{"A.new", "A.release", "B.Resume", "B.Stop", "A.Rate 1", "A.Volume 100", "A.Speak hello 1"};
        QTest::newRow("read, stop") << 7 << QStringList{"read", "stop"}
                                    << readB + QStringList{"B.Stop", "A.new", "A.release"};
        QTest::newRow("read, clear") << 0 << QStringList{"read", "clear"}
                                     << readA + QStringList{"B.Stop", "A.new", "A.release"};
        QTest::newRow("pick a voice") << 7 << QStringList{"voice 4"} << QStringList{"B.Voice 4", "B.Pitch 204"};
        QTest::newRow("pick a pitch") << 7 << QStringList{"pitch 94"} << QStringList{"B.Voice 7", "B.Pitch 94"};
        QTest::newRow("pick a pitch, engine A") << 0 << QStringList{"pitch 94"} << QStringList{"B.Pitch 94"};
        QTest::newRow("open, cancelled") << 7 << QStringList{"open"} << QStringList{"B.Stop", "A.new"};
    }
    void engineOperations()
    {
        QFETCH(int, voice);
        QFETCH(QStringList, actions);
        QFETCH(QStringList, log);
        Varin3& r = OpenReader();
        r.Combo4->setCurrentIndex(voice);
        r.Combo1->setCurrentText(QStringLiteral("204"));
        r.Slider1->setValue(12);
        r.Text1->setPlainText(QStringLiteral("hello"));
        speech_->Take();
        for (const QString& a : actions)
            Press(r, a);
        QCOMPARE(speech_->Take(), log);
    }

    void readingRunsAtTheChosenSettings_data()
    {
        // Each of engine B's texts: the voice, pitch and speed when it was
        // handed over, then when it was spoken ("settle": back in the event
        // loop). The read button sets pitch and speed after the text.
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("slider 10, then 20")
            << QStringList{"slider 10", "read", "settle", "slider 20", "read", "settle"}
            << QStringList{"given 7/204/155 heard 7/204/135", "given 7/204/135 heard 7/204/235"};
        QTest::newRow("slider 0, voice 3 and pitch 94")
            << QStringList{"slider 0", "voice 3", "pitch 94", "read", "settle"}
            << QStringList{"given 3/94/155 heard 3/94/35"};
        QTest::newRow("read twice at once: the second replaces the first")
            << QStringList{"slider 20", "read", "read", "settle"}
            << QStringList{"given 7/204/155 cut", "given 7/204/235 heard 7/204/235"};
        QTest::newRow("pause, then read")
            << QStringList{"read", "settle", "pause", "slider 2", "read", "settle"}
            << QStringList{"given 7/204/155 heard 7/204/155", "given 7/204/155 heard 7/204/55"};
    }
    void readingRunsAtTheChosenSettings()
    {
        QFETCH(QStringList, actions);
        QFETCH(QStringList, texts);
        Varin3& r = OpenReader();
        r.Combo4->setCurrentIndex(7);
        r.Combo1->setCurrentText(QStringLiteral("204"));
        r.Slider1->setValue(12);
        r.Text1->setPlainText(QStringLiteral("hello"));
        Press(r, QStringLiteral("voice 7"));
        speech_->engineB.speed = 155;   // as a read at slider 12 left it
        QCoreApplication::processEvents();
        speech_->spoken.clear();
        for (const QString& a : actions)
            Press(r, a);
        const auto show = [](const SpeechRecorder::Settings& s) {
            return QStringLiteral("%1/%2/%3").arg(s.voice).arg(s.pitch).arg(s.speed);
        };
        QStringList got;
        for (const SpeechRecorder::Spoken& t : speech_->spoken) {
            QCOMPARE(t.text, QStringLiteral("hello"));
            got << QStringLiteral("given ") + show(t.given)
                       + (t.cut ? QStringLiteral(" cut") : t.spoken ? QStringLiteral(" heard ") + show(t.heard) : QStringLiteral(" waiting"));
        }
        QCOMPARE(got, texts);
    }

    void closeStopsSpeechAndReturnsToTheDictionary()
    {
        Varin3& r = OpenReader();
        Varin2& d = forms().Varin2();
        speech_->Take();
        r.Command1->click();
        const QStringList log = speech_->Take();
        QCOMPARE(log.mid(0, 2), QStringList({"A.new", "B.Stop"}));
        QVERIFY(!r.isVisible());
        QVERIFY(d.isVisible());
        QCOMPARE(d.Timer2->Interval(), 100);
        // The entry fields catch up on the mirror's next tick.
        d.Text4->setText(QStringLiteral("stale"));
        d.Timer2->Fire();
        QCOMPARE(d.Text4->text(), d.Text2->text());
        QCOMPARE(d.Text1->text(), d.Text3->text());
    }

    void closeHandsTheVoiceBack()
    {
        Varin2& d = forms().Varin2();
        d.Combo4->setCurrentIndex(7);
        d.Text->setText(QStringLiteral("book"));
        QCOMPARE(d.Text2->text(), QStringLiteral("book"));
        d.Timer1->Fire();   // past the start-up's silent seconds
        Varin3& r = OpenReader();
        Press(r, QStringLiteral("voice 3"));
        QSignalSpy picked(d.Combo4, &QComboBox::activated);
        speech_->Take();
        r.Command1->click();
        QCOMPARE(d.Combo4->currentIndex(), 3);
        // The dictionary's list sees a pick of its own, whose handler pronounces the current entry.
        QCOMPARE(picked.count(), 1);
        QCOMPARE(picked.first().first().toInt(), 3);
        const QStringList log = speech_->Take();
        QVERIFY2(log.contains(QStringLiteral("B.Voice 3")), qPrintable(log.join(" | ")));
        QVERIFY2(log.contains(QStringLiteral("B.Speak book")), qPrintable(log.join(" | ")));
    }

    void closeWithNoVoiceChosenKeepsTheDictionarysChoice()
    {
        Varin2& d = forms().Varin2();
        d.Combo4->setCurrentIndex(7);
        Varin3& r = OpenReader();
        r.Combo4->setCurrentIndex(-1);
        QSignalSpy picked(d.Combo4, &QComboBox::activated);
        r.Command1->click();
        QCOMPARE(d.Combo4->currentIndex(), 7);
        QCOMPARE(picked.count(), 0);
        QVERIFY(d.isVisible());
        QVERIFY(!r.isVisible());
    }

    void escapeClosesOtherKeysType()
    {
        Varin3& r = OpenReader();
        Varin2& d = forms().Varin2();
        r.Text1->clear();
        QTest::keyClicks(r.Text1, QStringLiteral("ab"));
        QCOMPARE(r.Text1->toPlainText(), QStringLiteral("ab"));
        QVERIFY(r.isVisible());
        QTest::keyClick(r.Text1, Qt::Key_Escape);
        QVERIFY(!r.isVisible());
        QVERIFY(d.isVisible());
        QCOMPARE(d.Timer2->Interval(), 100);
        QCOMPARE(r.Text1->toPlainText(), QStringLiteral("ab"));
    }

    void closeRequestsAreRefused()
    {
        Varin3& r = OpenReader();
        QVERIFY(!r.close());
        QVERIFY(r.isVisible());
        QCloseEvent fromWindowSystem;
        QApplication::sendEvent(&r, &fromWindowSystem);
        QVERIFY(!fromWindowSystem.isAccepted());
        QVERIFY(r.isVisible());
        QVERIFY(forms().IsLoaded("Varin3"));
    }

    void clearWithoutEnginesStillClears()
    {
        Varin3& r = OpenReader();
        r.Text1->setPlainText(QStringLiteral("some text"));
        speech_->failA = speech_->failB = true;
        r.cmdclear->click();
        QCOMPARE(r.Text1->toPlainText(), QString());
        QVERIFY(boxes_->calls.isEmpty());
        // Nor does any other button complain.
        r.Text1->setPlainText(QStringLiteral("more"));
        for (QPushButton* b : {r.cmdspeak, r.Command3, r.cmdpause, r.Command1})
            b->click();
        QVERIFY(boxes_->calls.isEmpty());
        QVERIFY(!r.isVisible());
    }

    void openDialogShowsTitleAndFilters()
    {
        Varin3& r = OpenReader();
        r.cmdopen->click();
        QCOMPARE(dialog_->calls.size(), 1);
        const FileDialogCall& call = dialog_->calls.first();
        QCOMPARE(call.title, QStringLiteral("Open File"));
        QCOMPARE(call.filters,
                 QStringList({"Text Files(*.txt,*.bat,*.inf*.ini,*.dic,*.log*.exc,*.scp,*.wtx*.ini,*.dic,*.log) "
                              "(*.txt *.inf *.ini *.dic *.log *.exc *.scp *.wtx)",
                              "Batch Files(*.bat) (*.bat)", "Module Files(*.bas) (*.bas)"}));
        QCOMPARE(call.filterIndex, 0);
    }

    void openLoadsTheFileInItsEncoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const QString kurdish = QStringLiteral("زمانى كوردى");
        QTest::newRow("utf-8") << kurdish.toUtf8() << kurdish;
        QTest::newRow("windows-1256") << QByteArray::fromHex("d2e3c7e4ec20dfe6d1cfec") << kurdish;
        QTest::newRow("empty file") << QByteArray() << QString();
    }
    void openLoadsTheFileInItsEncoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        Varin3& r = OpenReader();
        r.Text1->setPlainText(QStringLiteral("typed before"));
        QVERIFY(WriteFile(FilePath("t.txt"), bytes));
        dialog_->answers << FilePath("t.txt");
        OpenFile(r);
        QCOMPARE(r.Text1->toPlainText(), text);
        QVERIFY(boxes_->calls.isEmpty());
    }

    void textBoxReadsTheWayItsTextDoes()
    {
        Varin3& r = OpenReader();
        const auto alignment = [&r] { return r.Text1->document()->defaultTextOption().alignment(); };
        // Empty, it waits for Kurdish.
        r.Text1->clear();
        QCOMPARE(r.Text1->layoutDirection(), Qt::RightToLeft);
        QCOMPARE(alignment(), Qt::AlignRight);
        QVERIFY(WriteFile(FilePath("en.txt"), "An English text.\nکوردی"));
        dialog_->answers << FilePath("en.txt");
        OpenFile(r);
        QCOMPARE(r.Text1->layoutDirection(), Qt::LeftToRight);
        QCOMPARE(alignment(), Qt::AlignLeft);
        // Typing over it follows the new text.
        r.Text1->setPlainText(QStringLiteral("کوردی\nEnglish"));
        QCOMPARE(r.Text1->layoutDirection(), Qt::RightToLeft);
        QCOMPARE(alignment(), Qt::AlignRight);
    }

    void cancelledDialogChangesNothing()
    {
        Varin3& r = OpenReader();
        QVERIFY(WriteFile(FilePath("first.txt"), "first file"));
        dialog_->answers << FilePath("first.txt");
        OpenFile(r);
        QCOMPARE(r.Text1->toPlainText(), QStringLiteral("first file"));
        r.Text1->setPlainText(QStringLiteral("edited since"));
        OpenFile(r);   // no answer: cancelled
        QCOMPARE(dialog_->calls.size(), 2);
        QCOMPARE(r.Text1->toPlainText(), QStringLiteral("edited since"));
        QCOMPARE(r.CommonDialog1.FileName, FilePath("first.txt"));
        QVERIFY(boxes_->calls.isEmpty());
    }

    void onlyTheLatestLoadIsShown()
    {
        Varin3& r = OpenReader();
        QVERIFY(WriteFile(FilePath("a.txt"), "first"));
        QVERIFY(WriteFile(FilePath("b.txt"), "second"));
        dialog_->answers << FilePath("a.txt") << FilePath("b.txt") << FilePath("a.txt");
        r.cmdopen->click();
        OpenFile(r);
        QCOMPARE(r.Text1->toPlainText(), QStringLiteral("second"));
        // Clearing drops a file still being read.
        r.cmdopen->click();
        r.cmdclear->click();
        QVERIFY(!r.Loading());
        QTest::qWait(200);
        QCOMPARE(r.Text1->toPlainText(), QString());
        // A loaded text can be edited and undone like a typed one.
        dialog_->answers << FilePath("b.txt");
        OpenFile(r);
        QTest::keyClick(r.Text1, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(r.Text1, QStringLiteral("!"));
        QCOMPARE(r.Text1->toPlainText(), QStringLiteral("second!"));
        r.Text1->undo();
        QCOMPARE(r.Text1->toPlainText(), QStringLiteral("second"));
        QCOMPARE(r.Text1->font(), r.Text1->document()->defaultFont());
    }

    void unreadableFilesLeaveTheTextAndSayWhy_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kurdish");
        QTest::addColumn<QString>("english");
        QTest::newRow("missing") << "gone.txt" << Varin3Text::kMissing << "does not exist";
        QTest::newRow("over 50 MB") << "big.txt" << Varin3Text::kTooLarge << "at most 50 MB";
        QTest::newRow("folder") << "Data" << Varin3Text::kUnreadable << "could not be read";
        QTest::newRow("binary") << "prog.bin" << Varin3Text::kNotText << "binary";
    }
    void unreadableFilesLeaveTheTextAndSayWhy()
    {
        QFETCH(QString, name);
        QFETCH(QString, kurdish);
        QFETCH(QString, english);
        QFile big(FilePath("big.txt"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(kMaxTextFileBytes + 1));   // sparse: nothing is written
        big.close();
        QVERIFY(WriteFile(FilePath("prog.bin"), QByteArray("\x7F" "ELF\0\0\0", 7)));
        Varin3& r = OpenReader();
        r.Text1->setPlainText(QStringLiteral("keep me"));
        dialog_->answers << folder_->Path() + u'/' + name;
        OpenFile(r);
        QCOMPARE(r.Text1->toPlainText(), QStringLiteral("keep me"));
        QCOMPARE(boxes_->calls.size(), 1);
        const MsgBoxCall& box = boxes_->calls.first();
        QVERIFY2(box.prompt.contains(kurdish), qPrintable(box.prompt));
        QVERIFY2(box.prompt.contains(english), qPrintable(box.prompt));
        QVERIFY(box.prompt.contains(name));
        QVERIFY(box.flags & kMbRtlReading);
        QVERIFY(r.isVisible());
    }

    void rateAndSpeedFromTheSlider_data()
    {
        QTest::addColumn<int>("slider");
        QTest::addColumn<int>("rate");
        const int rates[21] = {-5, -4, -4, -4, -3, -2, -2, -2, -1, 0, 0, 0, 1, 2, 2, 2, 3, 4, 4, 4, 5};
        for (int v = 0; v <= 20; ++v)
            QTest::addRow("%d", v) << v << rates[v];
    }
    void rateAndSpeedFromTheSlider()
    {
        QFETCH(int, slider);
        QFETCH(int, rate);
        Varin3& r = OpenReader();
        r.Text1->setPlainText(QStringLiteral("x"));
        r.Slider1->setValue(slider);
        r.Combo4->setCurrentIndex(0);
        speech_->Take();
        r.cmdspeak->click();
        QVERIFY(speech_->Take().contains(QStringLiteral("A.Rate %1").arg(rate)));
        r.Combo4->setCurrentIndex(2);
        r.cmdspeak->click();
        QCOMPARE(speech_->Take().last(), QStringLiteral("B.Speed %1").arg(slider * 10 + 35));
    }
};

QTEST_MAIN(ReaderTest)
#include "reader_test.moc"
