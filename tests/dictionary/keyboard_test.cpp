#include "dictionary/keyboard.h"
#include "dictionary/lookup.h"
#include "dictionary/varin2.h"
#include "runtime/forms.h"
#include "testkit.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

namespace {

const QList<Pair> kWords = {
    {"hello", "سڵاو"}, {"cat", "پشیلە"},      {"catalog", "کاتالۆگ"}, {"wildcat", "پشیلەی کێوی"},
    {"dog", "سەگ"},     {"book", "کتێب"},      {"bookcase", "کتێبخانە"}, {"bobcat", "وشەق"},
};

QStringList GridEnglish(Varin2& w)
{
    QStringList out;
    for (int r = 0; r < w.DataGrid1->model()->rowCount(); ++r)
        out << w.DataGrid1->model()->index(r, 0).data().toString();
    return out;
}

// What each match mode finds for "cat".
QStringList CatIn(int mode)
{
    switch (mode) {
    case 25: return {"cat", "catalog", "wildcat", "bobcat"};
    case 50: return {"cat", "wildcat", "bobcat"};
    case 75: return {"cat", "catalog"};
    default: return {"cat"};
    }
}

QPoint HandleCentre(QSlider* slider, int value)
{
    QStyleOptionSlider opt;
    opt.initFrom(slider);
    opt.subControls = QStyle::SC_All;
    opt.orientation = slider->orientation();
    opt.minimum = slider->minimum();
    opt.maximum = slider->maximum();
    opt.sliderPosition = value;
    opt.sliderValue = value;
    opt.singleStep = slider->singleStep();
    opt.pageStep = slider->pageStep();
    opt.upsideDown = slider->layoutDirection() == Qt::RightToLeft;
    return slider->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, slider).center();
}

// Types each character as a key press that carries it, as a keyboard
// layout with those letters delivers them.
void Type(QWidget* field, const QString& text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
}

void SendMouse(QSlider* slider, QEvent::Type type, QPoint at, Qt::MouseButtons held)
{
    QMouseEvent e(type, at, slider->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(slider, &e);
}

}  // namespace

class KeyboardTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir config_;
    DataFolder* folder_ = nullptr;
    MsgBoxRecorder* boxes_ = nullptr;

    Varin2& Shown()
    {
        Varin2& w = forms().Varin2();
        w.show();
        w.activateWindow();
        if (!QTest::qWaitForWindowExposed(&w))
            qFatal("window not exposed");
        return w;
    }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", config_.path().toUtf8()); }
    void init()
    {
        folder_ = new DataFolder(kWords);
        boxes_ = new MsgBoxRecorder;
        QGuiApplication::clipboard()->clear();
    }
    void cleanup()
    {
        forms().Unload();
        QVERIFY(boxes_->calls.isEmpty());
        delete boxes_;
        delete folder_;
    }

    void mapKurdishKey_data()
    {
        QTest::addColumn<QChar>("typed");
        QTest::addColumn<QChar>("inserted");
        QTest::newRow("theh") << QChar(0x062B) << QChar(0x067E);
        QTest::newRow("dad") << QChar(0x0636) << QChar(0x0686);
        QTest::newRow("thal") << QChar(0x0630) << QChar(0x0698);
        QTest::newRow("tah") << QChar(0x0637) << QChar(0x06AF);
        QTest::newRow("peh stays") << QChar(0x067E) << QChar(0x067E);
        QTest::newRow("beh stays") << QChar(0x0628) << QChar(0x0628);
        QTest::newRow("zah stays") << QChar(0x0638) << QChar(0x0638);
        QTest::newRow("latin stays") << QChar(u'a') << QChar(u'a');
    }
    void mapKurdishKey()
    {
        QFETCH(QChar, typed);
        QFETCH(QChar, inserted);
        QCOMPARE(MapKurdishKey(typed), inserted);
    }

    void extractClipboardWord_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("word");
        QTest::newRow("two spaces, Hello, world") << "  Hello, world" << "Hello";
        QTest::newRow("digits first") << "123abc" << "abc";
        QTest::newRow("underscore ends") << "hello_world" << "hello";
        QTest::newRow("underscore first is kept, then ends") << "_hello" << "";
        QTest::newRow("eleven spaces") << QString(11, u' ') + "cat" << "";
        QTest::newRow("ten spaces") << QString(10, u' ') + "cat" << "cat";
        QTest::newRow("kurdish") << "پشیلە" << "";
        QTest::newRow("45 letters") << QString(45, u'q') << QString(40, u'q');
        QTest::newRow("cut at 40 before dropping") << QString(38, u' ') + "dog" << "";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("accented letter ends") << "café au lait" << "caf";
        QTest::newRow("leading non-ascii dropped") << "«door»" << "door";
        QTest::newRow("surrogate pair counts twice") << "😀smile" << "smile";
        QTest::newRow("fullwidth is not A..z") << "ｗｏｒｄ" << "";
        QTest::newRow("english after kurdish") << "سگ dog" << "dog";
        QTest::newRow("backquote ends") << "it`s" << "it";
        QTest::newRow("new line ends") << "word\nnext" << "word";
        QTest::newRow("z and Z are letters") << "Zz{" << "Zz";
    }
    void extractClipboardWord()
    {
        QFETCH(QString, clipboard);
        QFETCH(QString, word);
        QCOMPARE(ExtractClipboardWord(clipboard), word);
    }

    void captureChangesTheFieldOnlyWhenTheWordChanges()
    {
        Varin2& w = forms().Varin2();
        w.TE3->setCaption(QStringLiteral("75"));
        QCOMPARE(w.Timer3->Interval(), 3000);
        QClipboard* clipboard = QGuiApplication::clipboard();

        clipboard->setText(QStringLiteral("  cat, please"));
        w.Timer3->Fire();
        QCOMPARE(w.Timer3->Interval(), 1000);
        QCOMPARE(w.Label3->Caption(), QStringLiteral("cat"));
        QCOMPARE(w.Text->text(), QStringLiteral("cat"));
        QCOMPARE(w.Text2->text(), QStringLiteral("cat"));

        w.Text->setText(QStringLiteral("dog"));   // typed by the user
        clipboard->setText(QStringLiteral("cat"));
        w.Timer3->Fire();
        QCOMPARE(w.Text->text(), QStringLiteral("dog"));   // the same word: nothing

        clipboard->setText(QStringLiteral("Cat"));
        w.Timer3->Fire();
        QCOMPARE(w.Text->text(), QStringLiteral("Cat"));   // case counts

        clipboard->setText(QStringLiteral("پشیلە"));
        w.Timer3->Fire();
        QCOMPARE(w.Text->text(), QString());               // no English word: emptied

        w.Text->setText(QStringLiteral("dog"));
        clipboard->clear();
        w.Timer3->Fire();
        QCOMPARE(w.Text->text(), QStringLiteral("dog"));   // still no word: nothing
        QCOMPARE(w.Timer3->Interval(), 1000);
    }

    void fourLettersTypedAreSubstitutedButNotPasted()
    {
        Varin2& w = Shown();
        w.Text->setFocus();
        Type(w.Text, QStringLiteral("ثضذط بa"));
        QCOMPARE(w.Text->text(), QStringLiteral("پچژگ بa"));

        w.Text->clear();
        QGuiApplication::clipboard()->setText(QStringLiteral("ثضذط"));
        QTest::keyClick(w.Text, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.Text->text(), QStringLiteral("ثضذط"));
        w.Text->selectAll();
        Type(w.Text, QStringLiteral("ط"));   // replaces the selection, mapped
        QCOMPARE(w.Text->text(), QStringLiteral("گ"));
    }

    // Letters an input method commits are typed letters too: mapped as keys
    // are, wherever the commit lands; what it shows while composing, and
    // every other letter, pass as they are.
    void lettersCommittedByAnInputMethod_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("preedit");
        QTest::addColumn<QString>("commit");
        QTest::addColumn<int>("replaceFrom");   // from the cursor, at the end of before
        QTest::addColumn<int>("replaceLength");
        QTest::addColumn<QString>("after");
        QTest::newRow("one letter") << "" << "" << "ث" << 0 << 0 << "پ";
        QTest::newRow("all four at once") << "" << "" << "ثضذط" << 0 << 0 << "پچژگ";
        QTest::newRow("among others") << "ب" << "" << "aذب" << 0 << 0 << "بaژب";
        QTest::newRow("replacing the letter before") << "سا" << "" << "ط" << -1 << 1 << "سگ";
        QTest::newRow("committed while composing the next") << "" << "ض" << "ط" << 0 << 0 << "گ";
        QTest::newRow("other letters unchanged") << "" << "" << "بظ" << 0 << 0 << "بظ";
        QTest::newRow("kurdish letters unchanged") << "" << "" << "پچژگ" << 0 << 0 << "پچژگ";
    }
    void lettersCommittedByAnInputMethod()
    {
        QFETCH(QString, before);
        QFETCH(QString, preedit);
        QFETCH(QString, commit);
        QFETCH(int, replaceFrom);
        QFETCH(int, replaceLength);
        QFETCH(QString, after);
        Varin2& w = Shown();
        w.Text->setFocus();
        w.Text->setText(before);
        QInputMethodEvent event(preedit, {});
        event.setCommitString(commit, replaceFrom, replaceLength);
        QApplication::sendEvent(w.Text, &event);
        QCOMPARE(w.Text->text(), after);
        // What the input method composes is committed through it as well.
        QInputMethodEvent done(QString(), {});
        done.setCommitString(preedit);
        QApplication::sendEvent(w.Text, &done);
        QCOMPARE(w.Text->text(), after + MapKurdishKeys(preedit));
    }

    void downAndUpStayOnTheResult()
    {
        Varin2& w = Shown();
        w.TE3->setCaption(QStringLiteral("75"));
        w.Text->setFocus();
        QTest::keyClicks(w.Text, QStringLiteral("ca"));
        QCOMPARE(GridEnglish(w), QStringList({"cat", "catalog"}));
        QCOMPARE(w.Text2->text(), QStringLiteral("cat"));
        QTest::keyClick(w.Text, Qt::Key_Down);
        QCOMPARE(w.Text2->text(), QStringLiteral("catalog"));
        QTest::keyClick(w.Text, Qt::Key_Down);   // the last: stays
        QCOMPARE(w.Text2->text(), QStringLiteral("catalog"));
        QCOMPARE(w.Data1->Position(), 1);
        QTest::keyClick(w.Text, Qt::Key_Up);
        QTest::keyClick(w.Text, Qt::Key_Up);     // the first: stays
        QCOMPARE(w.Text2->text(), QStringLiteral("cat"));
        QCOMPARE(w.Data1->Position(), 0);
        QCOMPARE(w.DataGrid1->currentIndex().row(), 0);
        QVERIFY(w.isVisible());
        QCOMPARE(w.Text->text(), QStringLiteral("ca"));

        w.Text->clear();                         // no entry current
        QCOMPARE(w.Data1->Position(), -1);
        QTest::keyClick(w.Text, Qt::Key_Up);
        QCOMPARE(w.Data1->Position(), -1);
        QTest::keyClick(w.Text, Qt::Key_Down);   // onto the first
        QCOMPARE(w.Data1->Position(), 0);
        QCOMPARE(w.Text2->text(), QStringLiteral("hello"));
    }

    // However the slider is moved, the grid ends with the new mode's result.
    void sliderMovedEveryWay_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("value");
        QTest::newRow("right arrow") << "Right" << 2;
        QTest::newRow("left arrow") << "Left" << 0;
        QTest::newRow("page up") << "PageUp" << 2;
        QTest::newRow("page down") << "PageDown" << 0;
        QTest::newRow("end") << "End" << 3;
        QTest::newRow("wheel") << "wheel" << 2;
        QTest::newRow("click on the groove") << "click" << 2;
        QTest::newRow("drag") << "drag" << 3;
        QTest::newRow("drag out and back") << "drag back" << 1;
    }
    void sliderMovedEveryWay()
    {
        QFETCH(QString, how);
        QFETCH(int, value);
        Varin2& w = Shown();
        QSlider* s = w.Slider3;
        s->setValue(1);
        w.Text->setText(QStringLiteral("cat"));
        QCOMPARE(GridEnglish(w), CatIn(50));

        const QMap<QString, Qt::Key> keys{{"Right", Qt::Key_Right}, {"Left", Qt::Key_Left},
                                          {"PageUp", Qt::Key_PageUp}, {"PageDown", Qt::Key_PageDown},
                                          {"End", Qt::Key_End}};
        if (keys.contains(how)) {
            s->setFocus();
            QTest::keyClick(s, keys[how]);
        } else if (how == QLatin1String("wheel")) {
            const QPoint at = HandleCentre(s, 1);
            QWheelEvent e(at, s->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
            QApplication::sendEvent(s, &e);
        } else if (how == QLatin1String("click")) {
            QTest::mouseClick(s, Qt::LeftButton, {}, HandleCentre(s, 2));
        } else {
            SendMouse(s, QEvent::MouseButtonPress, HandleCentre(s, 1), Qt::LeftButton);
            SendMouse(s, QEvent::MouseMove, HandleCentre(s, 2), Qt::LeftButton);
            SendMouse(s, QEvent::MouseMove, HandleCentre(s, 3), Qt::LeftButton);
            QPoint end = HandleCentre(s, 3);
            if (how == QLatin1String("drag back")) {
                SendMouse(s, QEvent::MouseMove, HandleCentre(s, 2), Qt::LeftButton);
                SendMouse(s, QEvent::MouseMove, HandleCentre(s, 1), Qt::LeftButton);
                end = HandleCentre(s, 1);
            }
            SendMouse(s, QEvent::MouseButtonRelease, end, Qt::NoButton);
        }
        QCOMPARE(s->value(), value);
        QCOMPARE(w.TE3->Caption(), QString::number(MatchModeNumber(value)));
        QCOMPARE(GridEnglish(w), CatIn(MatchModeNumber(value)));
        QCOMPARE(w.Text->text(), QStringLiteral("cat"));
    }
};

QTEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"
