// What a screen reader gets from every window, read through Qt's own
// accessibility interfaces as the AT-SPI bridge reads them.
#include "../kurdishspelling.h"
#include "about/texts.h"
#include "about/varin1.h"
#include "dictionary/texts.h"
#include "dictionary/varin2.h"
#include "editing/varin4.h"
#include "editing/varin5.h"
#include "reader/texts.h"
#include "reader/varin3.h"
#include "runtime/accessibility.h"
#include "runtime/forms.h"
#include "startup/texts.h"
#include "startup/varin0.h"
#include "testkit.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCheckBox>
#include <QPushButton>
#include <QTableView>
#include <QLabel>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QScopeGuard>
#include <QTest>
#include <functional>
#include <memory>

namespace {

using MakeWindow = std::function<std::unique_ptr<Form>()>;
using PickSlider = std::function<QSlider*(Form&)>;

template <typename W>
MakeWindow Make()
{
    return [] { return std::unique_ptr<Form>(new W); };
}

// A control is what the user meets: every widget the window's tree reaches,
// less the parts of a compound control (a list's scroll bars, a combo box's
// popup), which Qt names itself.
struct Reached {
    QAccessibleInterface* iface;
    QWidget* widget;
    QString path;
};

void Walk(QAccessibleInterface* iface, const QString& path, QList<Reached>& out)
{
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface* c = iface->child(i);
        if (!c)
            continue;
        auto* w = qobject_cast<QWidget*>(c->object());
        if (!w)
            continue;
        const QString here = path + QLatin1Char('/') + (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName());
        out.append({c, w, here});
        if (!qobject_cast<QAbstractScrollArea*>(w) && !qobject_cast<QComboBox*>(w) && !qobject_cast<QAbstractSpinBox*>(w))
            Walk(c, here, out);
    }
}

QList<Reached> Controls(QWidget* window)
{
    QList<Reached> out;
    Walk(QAccessible::queryAccessibleInterface(window), QString(), out);
    return out;
}

// The first control's interface lists the second under the relation.
bool Related(QWidget* from, QWidget* to, QAccessible::Relation relation)
{
    QAccessibleInterface* f = QAccessible::queryAccessibleInterface(from);
    for (const auto& [iface, rel] : f->relations(relation))
        if (iface->object() == to && (rel & relation))
            return true;
    return false;
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void windows_data()
    {
        QTest::addColumn<MakeWindow>("make");
        QTest::addRow("Varin0 splash") << Make<Varin0>();
        QTest::addRow("Varin1 about") << Make<Varin1>();
        QTest::addRow("Varin2 dictionary") << Make<Varin2>();
        QTest::addRow("Varin3 reader") << Make<Varin3>();
        QTest::addRow("Varin4 add word") << Make<Varin4>();
        QTest::addRow("Varin5 delete word") << Make<Varin5>();
    }
    // The window is a window with a name, and every control it shows is
    // reached from it with a name a screen reader can speak.
    void windows()
    {
        QFETCH(MakeWindow, make);
        const std::unique_ptr<Form> window = make();
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(window.get());
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::Window);
        QVERIFY(!iface->text(QAccessible::Name).trimmed().isEmpty());

        for (const Reached& r : Controls(window.get())) {
            if (!r.widget->isVisibleTo(window.get()))
                continue;
            QVERIFY2(!r.iface->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(r.path));
            QVERIFY2(r.iface->role() != QAccessible::NoRole && r.iface->role() != QAccessible::Client,
                     qPrintable(r.path));
            // A child's way back to its window agrees with the way down.
            QAccessibleInterface* parent = r.iface->parent();
            QVERIFY2(parent && parent->indexOfChild(r.iface) >= 0, qPrintable(r.path));
        }
    }

    // The fields a window keeps for its own bookkeeping are not met at all.
    void hiddenFieldsStayHidden()
    {
        Varin2 dictionary;
        QList<QWidget*> reached;
        for (const Reached& r : Controls(&dictionary))
            reached.append(r.widget);
        for (QWidget* hidden : {static_cast<QWidget*>(dictionary.Text2), static_cast<QWidget*>(dictionary.Text3),
                                static_cast<QWidget*>(dictionary.Text5), static_cast<QWidget*>(dictionary.Text6),
                                static_cast<QWidget*>(dictionary.Text7), static_cast<QWidget*>(dictionary.Label),
                                static_cast<QWidget*>(dictionary.Label3)})
            QVERIFY(!reached.contains(hidden));
        QVERIFY(reached.contains(dictionary.Text));

        Varin1 about;
        reached.clear();
        for (const Reached& r : Controls(&about))
            reached.append(r.widget);
        for (QLineEdit* counter : {about.T10, about.T1, about.TT1, about.Red})
            QVERIFY(!reached.contains(counter));
        // A picture that a timer shows is met once it is shown.
        QVERIFY(!reached.contains(about.Pi1));
        about.Pi1->show();
        reached.clear();
        for (const Reached& r : Controls(&about))
            reached.append(r.widget);
        QVERIFY(reached.contains(about.Pi1));
    }

    // Controls whose caption says nothing (a symbol, yes/no, no caption)
    // carry a name of their own.
    void names()
    {
        Varin2 w;
        // Qt would name a list by its current item.
        w.Combo1->addItems({QStringLiteral("204"), QStringLiteral("205")});
        w.Combo1->setCurrentIndex(1);
        const auto name = [](QWidget* c) { return QAccessible::queryAccessibleInterface(c)->text(QAccessible::Name); };
        const auto about = [](QWidget* c) { return QAccessible::queryAccessibleInterface(c)->text(QAccessible::Description); };
        QCOMPARE(name(w.Command4), Varin2Name::kCommand4);
        QVERIFY(about(w.Command4).contains(QStringLiteral("Close")));
        QCOMPARE(name(w.Check1), Varin2Name::kCheck1);
        QCOMPARE(name(w.Check2), Varin2Name::kCheck2);
        QCOMPARE(about(w.Check1), Varin2Text::kCheck1Tip);   // the tooltip still describes it
        QCOMPARE(name(w.Combo1), Varin2Name::kCombo1);
        QAccessibleInterface* combo = QAccessible::queryAccessibleInterface(w.Combo1);
        QCOMPARE(combo->text(QAccessible::Value), QStringLiteral("205"));
        QVERIFY(combo->childCount() > 0);   // its list, as Qt gives it
        QCOMPARE(combo->child(0)->parent(), combo);
        QVERIFY(combo->actionInterface());
        QCOMPARE(name(w.Combo4), Varin2Name::kCombo4);
        QCOMPARE(name(w.Slider1), Varin2Name::kSlider1);
        QCOMPARE(name(w.Label2), Varin2Name::kLabel2);
        QCOMPARE(name(w.Command6), Varin2Text::kCommand6);   // a caption names its button
        QCOMPARE(QAccessible::queryAccessibleInterface(w.Check1)->role(), QAccessible::CheckBox);
        QCOMPARE(QAccessible::queryAccessibleInterface(w.Combo4)->role(), QAccessible::ComboBox);
        QCOMPARE(QAccessible::queryAccessibleInterface(w.DataGrid1)->role(), QAccessible::Table);
    }

    // Each grid row carries its entry's note, so "saw" the tool and "saw"
    // the past of see are told apart by the pointer and by a screen reader,
    // in both cells; a word the user added has none. The entry fields keep
    // their own tooltips.
    void gridRowsCarryTheirNote_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("kurdish");
        QTest::addColumn<QString>("note");
        QTest::addRow("noun") << 0 << "saw" << "مشار" << "noun";
        QTest::addRow("past of a verb") << 1 << "saw" << "بینی" << "verb, past of see";
        QTest::addRow("added by the user") << 2 << "sawdust" << "تەپوتۆزی دار" << "";
    }
    void gridRowsCarryTheirNote()
    {
        QFETCH(int, row);
        QFETCH(QString, english);
        QFETCH(QString, kurdish);
        QFETCH(QString, note);
        forms().Unload();   // a window above may have loaded it on the user's own word file
        const auto unload = qScopeGuard([] { forms().Unload(); });
        DataFolder folder({{"seat", "کورسی", "noun"},
                           {"saw", "مشار", "noun"},
                           {"saw", "بینی", "verb, past of see"}});
        MsgBoxRecorder boxes;
        Varin2& w = forms().Varin2();
        QCOMPARE(w.Data1->Path(), folder.DatabasePath());
        w.Data1->AddNew();   // as the add-word window does: no note
        w.Data1->SetField(WordStore::Field::English, QStringLiteral("sawdust"));
        w.Data1->SetField(WordStore::Field::Kurdish, QStringLiteral("تەپوتۆزی دار"));
        w.Data1->Update();
        w.TE3->setCaption(QStringLiteral("75"));
        w.Text->setText(QStringLiteral("saw"));
        QCOMPARE(w.DataGrid1->model()->rowCount(), 3);

        QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(w.DataGrid1)->tableInterface();
        QVERIFY(table);
        const QString shown[2] = {english, kurdish};
        for (int column : {0, 1}) {
            QAccessibleInterface* cell = table->cellAt(row, column);
            QVERIFY(cell);
            QCOMPARE(cell->text(QAccessible::Name), shown[column]);
            QCOMPARE(cell->text(QAccessible::Description), note);
            QCOMPARE(w.DataGrid1->model()->index(row, column).data(Qt::ToolTipRole).toString(), note);
        }
        QCOMPARE(table->columnCount(), 2);
        w.Data1->MoveTo(row);
        QCOMPARE(w.Text4->toolTip(), Varin2Text::kText4Tip);
        QCOMPARE(w.Text1->toolTip(), Varin2Text::kText1Tip);
    }

    void matchModeSlider_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number");
        QTest::addRow("any part") << 0 << QStringLiteral("25 %") << 25.0;
        QTest::addRow("half") << 1 << QStringLiteral("50 %") << 50.0;
        QTest::addRow("most") << 2 << QStringLiteral("75 %") << 75.0;
        QTest::addRow("whole") << 3 << QStringLiteral("100 %") << 100.0;
    }
    // The match-mode slider speaks the percentage TE3 shows, is labelled by
    // TE3, and a value set by a screen reader moves it to the nearest mode.
    void matchModeSlider()
    {
        QFETCH(int, position);
        QFETCH(QString, text);
        QFETCH(double, number);
        Varin2 w;
        QAccessibleInterface* s = QAccessible::queryAccessibleInterface(w.Slider3);
        QCOMPARE(s->role(), QAccessible::Slider);
        QCOMPARE(s->text(QAccessible::Name), Varin2Name::kSlider3);
        // Qt's pairs read from the other side: the slider lists TE3 as its
        // Label (AT-SPI: labelled-by), TE3 lists the slider as Labelled.
        QVERIFY(Related(w.Slider3, w.TE3, QAccessible::Label));
        QVERIFY(Related(w.TE3, w.Slider3, QAccessible::Labelled));

        w.Slider3->setValue(position);
        QCOMPARE(s->text(QAccessible::Value), text);
        QAccessibleValueInterface* v = s->valueInterface();
        QVERIFY(v);
        QCOMPARE(v->currentValue().toDouble(), number);
        QCOMPARE(v->minimumValue().toDouble(), 25.0);
        QCOMPARE(v->maximumValue().toDouble(), 100.0);
        QCOMPARE(v->minimumStepSize().toDouble(), 25.0);

        w.Slider3->setValue(position == 0 ? 3 : 0);
        v->setCurrentValue(number + 10);   // nearer this mode than the next
        QCOMPARE(w.Slider3->value(), position);
        QCOMPARE(s->text(QAccessible::Value), text);
    }

    void speedSlider_data()
    {
        QTest::addColumn<MakeWindow>("make");
        QTest::addColumn<PickSlider>("pick");
        QTest::addColumn<double>("lowest");
        QTest::addColumn<double>("highest");
        QTest::addRow("dictionary, speech")
            << Make<Varin2>() << PickSlider([](Form& w) { return static_cast<Varin2&>(w).Slider1; }) << 1.0 << 5.0;
        QTest::addRow("reader, reading")
            << Make<Varin3>() << PickSlider([](Form& w) { return static_cast<Varin3&>(w).Slider1; }) << 0.0 << 20.0;
    }
    // A speed slider speaks its plain number, and its description keeps
    // telling what the number means after a move has put the number in its tooltip.
    void speedSlider()
    {
        QFETCH(MakeWindow, make);
        QFETCH(PickSlider, pick);
        QFETCH(double, lowest);
        QFETCH(double, highest);
        const std::unique_ptr<Form> window = make();
        QSlider* slider = pick(*window);
        QAccessibleInterface* s = QAccessible::queryAccessibleInterface(slider);
        QCOMPARE(s->role(), QAccessible::Slider);
        slider->setValue(4);
        QCOMPARE(s->text(QAccessible::Value), QStringLiteral("4"));
        QCOMPARE(s->valueInterface()->minimumValue().toDouble(), lowest);
        QCOMPARE(s->valueInterface()->maximumValue().toDouble(), highest);
        QVERIFY(s->text(QAccessible::Description).contains(QStringLiteral("speed")));
    }

    // Our own names are written like the windows' texts: a heh that spells
    // e never joins the next letter.
    void nameSpelling_data()
    {
        QTest::addColumn<QString>("text");
        for (const auto& [window, table] : {std::pair{"Varin0", Varin0Name::All()}, std::pair{"Varin1", Varin1Name::All()},
                                            std::pair{"Varin2", Varin2Name::All()},
                                            std::pair{"Varin3", Varin3Name::All()}})
            for (const InterfaceText& t : table)
                QTest::addRow("%s: %s", window, t.name) << t.text;
    }
    void nameSpelling()
    {
        QFETCH(QString, text);
        QVERIFY(!text.trimmed().isEmpty());
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == QChar(0x200C))
                QVERIFY2(i > 0 && text[i - 1] == QChar(0x0647), "a non-joiner stands only after a heh");
            if (text[i] == QChar(0x0647) && JoinsNext(text, i))
                QVERIFY2(kWordsWithH.contains(WordAt(text, i)), qPrintable(WordAt(text, i)));
        }
    }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
