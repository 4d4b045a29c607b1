// Hearing the Kurdish of the current entry: Enter, a double-click or a
// screen reader's press action in the visible Kurdish field speaks it with
// the chosen voice and speed, against the recording engine.
#include "dictionary/texts.h"
#include "dictionary/varin2.h"
#include "runtime/forms.h"
#include "speechdouble.h"
#include "testkit.h"

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QTest>

namespace {

const QList<Pair> kWords = {{"hello", "سڵاو"}, {"water", "ئاو"}};

void Quietly(QLineEdit* field, const QString& text)
{
    const bool was = field->blockSignals(true);
    field->setText(text);
    field->blockSignals(was);
}

}  // namespace

class KurdishFieldTest : public QObject {
    Q_OBJECT
private:
    DataFolder* folder_ = nullptr;
    SpeechRecorder* speech_ = nullptr;

    Varin2& Window(int voice, int speed, const QString& kurdish)
    {
        Varin2& w = forms().Varin2();
        w.Timer0->setInterval(0);
        w.Timer1->setInterval(0);
        w.Slider1->setValue(speed);
        w.Combo4->setCurrentIndex(voice);
        Quietly(w.Text2, QStringLiteral("water"));
        Quietly(w.Text3, QStringLiteral("ئاو"));
        Quietly(w.Text1, kurdish);
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            qWarning("the window was not shown");
        speech_->Take();
        return w;
    }

private slots:
    void init()
    {
        folder_ = new DataFolder(kWords);
        speech_ = new SpeechRecorder;
    }
    void cleanup()
    {
        forms().Unload();
        delete speech_;
        delete folder_;
    }

    void speaksTheKurdishField_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("voice");
        QTest::addColumn<int>("speed");
        QTest::addColumn<QString>("kurdish");
        QTest::addColumn<QStringList>("expected");
        const QStringList b = {"B.Stop", "B.Speed 140", "B.Speak ئاو"};
        QTest::newRow("Enter, voice 7") << "Enter" << 7 << 3 << u"ئاو"_qs << b;
        QTest::newRow("keypad Enter") << "keypad Enter" << 7 << 3 << u"ئاو"_qs << b;
        QTest::newRow("double-click") << "double-click" << 7 << 3 << u"ئاو"_qs << b;
        QTest::newRow("screen reader's press") << "press" << 7 << 3 << u"ئاو"_qs << b;
        QTest::newRow("the speed applies") << "Enter" << 7 << 5 << u"ئاو"_qs
                                           << QStringList{"B.Stop", "B.Speed 210", "B.Speak ئاو"};
        QTest::newRow("engine A") << "Enter" << 0 << 1 << u"ئاو"_qs
                                  << QStringList{"B.Stop", "A.new", "A.release", "A.Rate -3", "A.Volume 100",
                                                 "A.Speak ئاو 1"};
        QTest::newRow("what the field shows, not the hidden one") << "Enter" << 7 << 3 << u"سڵاو، ئاو"_qs
                                                                  << QStringList{"B.Stop", "B.Speed 140", "B.Speak سڵاو، ئاو"};
        QTest::newRow("another key speaks nothing") << "Home" << 7 << 3 << u"ئاو"_qs << QStringList{};
        QTest::newRow("a single click speaks nothing") << "click" << 7 << 3 << u"ئاو"_qs << QStringList{};
    }
    void speaksTheKurdishField()
    {
        QFETCH(QString, how);
        QFETCH(int, voice);
        QFETCH(int, speed);
        QFETCH(QString, kurdish);
        QFETCH(QStringList, expected);
        Varin2& w = Window(voice, speed, kurdish);
        w.Text1->setFocus();
        if (how == "Enter")
            QTest::keyClick(w.Text1, Qt::Key_Return);
        else if (how == "keypad Enter")
            QTest::keyClick(w.Text1, Qt::Key_Enter, Qt::KeypadModifier);
        else if (how == "Home")
            QTest::keyClick(w.Text1, Qt::Key_Home);
        else if (how == "double-click")
            QTest::mouseDClick(w.Text1, Qt::LeftButton);
        else if (how == "click")
            QTest::mouseClick(w.Text1, Qt::LeftButton);
        else {
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w.Text1);
            QVERIFY(iface && iface->actionInterface());
            iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        }
        QCOMPARE(speech_->Take(), expected);
        QCOMPARE(w.Text1->toolTip(), Varin2Text::kText1Tip);   // the field's own tooltip stays
    }

    // A screen reader finds the field by its name, learns what pressing it
    // does, and keeps the field's own text and focus actions.
    void aScreenReaderFindsThePressAction()
    {
        Varin2& w = Window(7, 3, u"ئاو"_qs);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w.Text1);
        QVERIFY(iface);
        QCOMPARE(iface->text(QAccessible::Name), Varin2Name::kText1);
        QCOMPARE(iface->text(QAccessible::Description), Varin2Name::kText1About);
        QCOMPARE(iface->role(), QAccessible::EditableText);
        QVERIFY(iface->textInterface());
        QAccessibleActionInterface* actions = iface->actionInterface();
        QVERIFY(actions);
        const QString press = QAccessibleActionInterface::pressAction();
        QCOMPARE(actions->actionNames().count(press), 1);
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::setFocusAction()));
        QCOMPARE(actions->localizedActionDescription(press), Varin2Name::kText1About);
        QCOMPARE(actions->keyBindingsForAction(press), QStringList{"Return"});
        QVERIFY(speech_->Take().isEmpty());
    }
};

QTEST_MAIN(KurdishFieldTest)
#include "kurdishfield_test.moc"
