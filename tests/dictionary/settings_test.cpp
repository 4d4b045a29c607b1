#include "dictionary/lookup.h"
#include "dictionary/settings.h"
#include "dictionary/texts.h"
#include "dictionary/varin2.h"
#include "runtime/forms.h"
#include "testkit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

namespace {

const QList<Pair> kWords = {
    {"hello", "سڵاو"}, {"help", "یارمەتی"}, {"cat", "پشیلە"}, {"catalog", "کاتالۆگ"},
    {"dog", "سەگ"},     {"door", "دەرگا"},   {"book", "کتێب"}, {"house", "خانوو"},
};

QSettings Store()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Varin"),
                     QStringLiteral("Varin Dictionary"));
}

// Stores the given keys of group Settings, through the same store the program uses.
void StoreValues(const QMap<QString, QString>& values)
{
    QSettings s = Store();
    for (auto it = values.begin(); it != values.end(); ++it)
        s.setValue(QStringLiteral("Settings/") + it.key(), it.value());
    s.sync();
}

QString FileText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// What the start-up hand-over does once the window is loaded.
void HandOver(Varin2& w)
{
    w.Text->setText(QStringLiteral(" "));
    w.Timer8->setInterval(1);
    w.Timer8->Fire();
}

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir config_;
    DataFolder* folder_ = nullptr;
    MsgBoxRecorder* boxes_ = nullptr;

private slots:
    void initTestCase()
    {
        // Never the real user's settings, also when run by hand.
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        QVERIFY(SettingsFilePath().startsWith(config_.path()));
        QVERIFY(SettingsFilePath().endsWith(QStringLiteral("/Varin/Varin Dictionary.ini")));
    }
    void init()
    {
        QDir(config_.path()).removeRecursively();
        QDir().mkpath(config_.path());
        folder_ = new DataFolder(kWords);
        boxes_ = new MsgBoxRecorder;
    }
    void cleanup()
    {
        forms().Unload();
        delete boxes_;
        delete folder_;
    }

    void firstRunWithNoStore()
    {
        QVERIFY(!QFile::exists(SettingsFilePath()));
        Varin2& w = forms().Varin2();
        QVERIFY(w.Check1->isChecked());
        QVERIFY(w.Check2->isChecked());
        QCOMPARE(w.Check1->text(), Varin2Text::kYes);
        QCOMPARE(w.Check2->text(), Varin2Text::kYes);
        QCOMPARE(w.Slider1->value(), 3);
        QCOMPARE(w.Combo4->currentIndex(), 7);
        QCOMPARE(w.Combo1->currentIndex(), 12);
        QCOMPARE(w.Combo1->currentText(), QStringLiteral("204"));
        QCOMPARE(w.Slider3->value(), 0);
        QCOMPARE(w.TE3->Caption(), QStringLiteral("25"));
        HandOver(w);
        QCOMPARE(w.Text->text(), QString());
        QCOMPARE(w.Timer8->Interval(), 0);   // one shot: nothing ticks on
        QVERIFY2(!QFile::exists(SettingsFilePath()), "reading writes nothing");
        QVERIFY(boxes_->calls.isEmpty());
    }

    // One stored value at a time; every other key missing. What the controls
    // then hold: a value that does not fit leaves the control as it was built
    // (Check1 clear, Slider1 at 1, Slider3 at 2, lists without a choice).
    void storedValuesThatDoNotFit_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("check1");
        QTest::addColumn<bool>("check1Yes");
        QTest::addColumn<int>("combo4");
        QTest::addColumn<int>("combo1");
        QTest::addColumn<int>("slider1");
        QTest::addColumn<int>("slider3");
        QTest::addColumn<QString>("te3");
        QTest::newRow("Check1 0: clear, no") << "Check1" << "0" << false << false << 7 << 12 << 3 << 0 << "25";
        QTest::newRow("Check1 1.2 reads as 1") << "Check1" << "1.2" << true << true << 7 << 12 << 3 << 0 << "25";
        QTest::newRow("Check1 7: caption no, box as built") << "Check1" << "7" << false << false << 7 << 12 << 3 << 0 << "25";
        QTest::newRow("Check1 empty: default") << "Check1" << "" << true << true << 7 << 12 << 3 << 0 << "25";
        QTest::newRow("Combo4 abc: no voice") << "Combo4" << "abc" << true << true << -1 << 12 << 3 << 0 << "25";
        QTest::newRow("Combo4 7a: not a whole number") << "Combo4" << "7a" << true << true << -1 << 12 << 3 << 0 << "25";
        QTest::newRow("Combo4 -1: nothing chosen") << "Combo4" << "-1" << true << true << -1 << 12 << 3 << 0 << "25";
        QTest::newRow("Combo4 19: beyond the list") << "Combo4" << "19" << true << true << -1 << 12 << 3 << 0 << "25";
        QTest::newRow("Combo4 18") << "Combo4" << "18" << true << true << 18 << 12 << 3 << 0 << "25";
        QTest::newRow("Combo1 abc: the first item") << "Combo1" << "abc" << true << true << 7 << 0 << 3 << 0 << "25";
        QTest::newRow("Combo1 30: no pitch") << "Combo1" << "30" << true << true << 7 << -1 << 3 << 0 << "25";
        QTest::newRow("Combo1 2.6 rounds") << "Combo1" << "2.6" << true << true << 7 << 3 << 3 << 0 << "25";
        QTest::newRow("Slider-1 9: as built") << "Slider-1" << "9" << true << true << 7 << 12 << 1 << 0 << "25";
        QTest::newRow("Slider-1 5") << "Slider-1" << "5" << true << true << 7 << 12 << 5 << 0 << "25";
        QTest::newRow("Slider-3 3: equals") << "Slider-3" << "3" << true << true << 7 << 12 << 3 << 3 << "100";
        QTest::newRow("Slider-3 7: as built") << "Slider-3" << "7" << true << true << 7 << 12 << 3 << 2 << "75";
        QTest::newRow("Slider-3 -1: as built") << "Slider-3" << "-1" << true << true << 7 << 12 << 3 << 2 << "75";
        QTest::newRow("Slider-3 x: 0") << "Slider-3" << "x" << true << true << 7 << 12 << 3 << 0 << "25";
        // Hand-edited numbers beyond any control: they fail like 30 does,
        // never wrapped round into the range (4294967308 would be 12).
        const QString digits400(400, u'9');
        QTest::newRow("Combo1 4294967308: no pitch") << "Combo1" << "4294967308" << true << true << 7 << -1 << 3 << 0 << "25";
        QTest::newRow("Combo1 400 digits: no pitch") << "Combo1" << digits400 << true << true << 7 << -1 << 3 << 0 << "25";
        QTest::newRow("Combo4 4294967303: no voice") << "Combo4" << "4294967303" << true << true << -1 << 12 << 3 << 0 << "25";
        QTest::newRow("Combo4 1e30: no voice") << "Combo4" << "1e30" << true << true << -1 << 12 << 3 << 0 << "25";
        QTest::newRow("Combo4 400 digits: no voice") << "Combo4" << digits400 << true << true << -1 << 12 << 3 << 0 << "25";
        QTest::newRow("Check1 4294967297: caption no, box as built") << "Check1" << "4294967297" << false << false << 7 << 12 << 3 << 0 << "25";
        QTest::newRow("Slider-1 4294967301: as built") << "Slider-1" << "4294967301" << true << true << 7 << 12 << 1 << 0 << "25";
        QTest::newRow("Slider-3 -4294967295: as built") << "Slider-3" << "-4294967295" << true << true << 7 << 12 << 3 << 2 << "75";
        QTest::newRow("Slider-3 400 digits: as built") << "Slider-3" << digits400 << true << true << 7 << 12 << 3 << 2 << "75";
    }
    void storedValuesThatDoNotFit()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(bool, check1);
        QFETCH(bool, check1Yes);
        QFETCH(int, combo4);
        QFETCH(int, combo1);
        QFETCH(int, slider1);
        QFETCH(int, slider3);
        QFETCH(QString, te3);
        StoreValues({{key, value}});
        Varin2& w = forms().Varin2();
        QCOMPARE(w.Check1->isChecked(), check1);
        QCOMPARE(w.Check1->text(), check1Yes ? Varin2Text::kYes : Varin2Text::kNo);
        QVERIFY(w.Check2->isChecked());
        QCOMPARE(w.Combo4->currentIndex(), combo4);
        QCOMPARE(w.Combo1->currentIndex(), combo1);
        QCOMPARE(w.Slider1->value(), slider1);
        QCOMPARE(w.Slider3->value(), slider3);
        QCOMPARE(w.TE3->Caption(), te3);
        QVERIFY(boxes_->calls.isEmpty());   // restore never speaks up
    }

    // Each box's caption follows its own stored value, spelled with the
    // non-joiner after each heh that writes e.
    void checkCaptionsRestored_data()
    {
        QTest::addColumn<QString>("check1");
        QTest::addColumn<QString>("check2");
        QTest::addColumn<QString>("caption1");
        QTest::addColumn<QString>("caption2");
        const QString yes = QStringLiteral("\u0628\u0647\u200C\u0644\u0649");
        const QString no = QStringLiteral("\u0646\u0647\u200C\u062E\u064A\u0631");
        QTest::newRow("Check2 0") << "1" << "0" << yes << no;
        QTest::newRow("Check1 0") << "0" << "1" << no << yes;
        QTest::newRow("both 0") << "0" << "0" << no << no;
        QTest::newRow("both 1") << "1" << "1" << yes << yes;
    }
    void checkCaptionsRestored()
    {
        QFETCH(QString, check1);
        QFETCH(QString, check2);
        QFETCH(QString, caption1);
        QFETCH(QString, caption2);
        StoreValues({{"Check1", check1}, {"Check2", check2}});
        Varin2& w = forms().Varin2();
        QCOMPARE(w.Check1->text(), caption1);
        QCOMPARE(w.Check2->text(), caption2);
        QCOMPARE(w.Check1->isChecked(), check1 == "1");
        QCOMPARE(w.Check2->isChecked(), check2 == "1");
    }

    // Saved by "X", or by the frame's close, and found again at the next start.
    void roundTripThroughACloseAndANewStart_data()
    {
        QTest::addColumn<bool>("byFrame");
        QTest::newRow("X") << false;
        QTest::newRow("frame's close") << true;
    }
    void roundTripThroughACloseAndANewStart()
    {
        QFETCH(bool, byFrame);
        {
            Varin2& w = forms().Varin2();
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            w.Check1->setChecked(false);
            w.Slider1->setValue(5);
            w.Combo4->setCurrentIndex(-1);
            w.Combo1->setCurrentIndex(20);
            w.Slider3->setValue(3);
            w.Text->setText(QStringLiteral("  cat "));
            if (byFrame)
                QVERIFY(w.close());
            else
                QTest::mouseClick(w.Command4, Qt::LeftButton);
            QVERIFY(!w.isVisible());
            QVERIFY(!w.Timer3->Armed() && !w.Timer1->Armed());   // nothing ticks after the end
        }
        const QString ini = FileText(SettingsFilePath());
        QVERIFY2(ini.startsWith(QStringLiteral("[Settings]\n")), qPrintable(ini));
        for (const char* line : {"Text=cat\n", "Check1=0\n", "Check2=1\n", "Slider-1=5\n", "Combo4=-1\n",
                                 "Combo1=20\n", "Slider-3=3\n"})
            QVERIFY2(ini.contains(QString::fromLatin1(line)), line);
        QVERIFY(boxes_->calls.isEmpty());

        forms().Unload();   // a new start
        Varin2& w = forms().Varin2();
        QVERIFY(!w.Check1->isChecked());
        QCOMPARE(w.Check1->text(), Varin2Text::kNo);
        QVERIFY(w.Check2->isChecked());
        QCOMPARE(w.Slider1->value(), 5);
        QCOMPARE(w.Combo4->currentIndex(), -1);
        QCOMPARE(w.Combo1->currentIndex(), 20);
        QCOMPARE(w.Slider3->value(), 3);
        QCOMPARE(w.TE3->Caption(), QStringLiteral("100"));
        HandOver(w);
        QCOMPARE(w.Text->text(), QStringLiteral("cat"));
        QCOMPARE(w.Text2->text(), QStringLiteral("cat"));
    }

    // What the search field holds comes back as it was, less its outer spaces.
    void searchTextRoundTrip_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("outer spaces") << "  cat " << "cat";
        QTest::newRow("only spaces are trimmed") << "\tcat\t" << "\tcat\t";
        QTest::newRow("kurdish") << " سەگ " << "سەگ";
        QTest::newRow("comma is not a list") << "a,b" << "a,b";
        QTest::newRow("ini's own characters") << "x=y;z \"q\" [S] \\" << "x=y;z \"q\" [S] \\";
        QTest::newRow("only spaces") << "   " << "";
    }
    void searchTextRoundTrip()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        Varin2& w = forms().Varin2();
        w.Text->setText(typed);
        w.SaveWindowSettings();
        QCOMPARE(ReadSetting(QStringLiteral("Text")), stored);
        forms().Unload();
        Varin2& again = forms().Varin2();
        HandOver(again);
        QCOMPARE(again.Text->text(), stored);
    }

    void closingTwiceSavesOnce()
    {
        Varin2& w = forms().Varin2();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.Command4_Click();
        StoreValues({{QStringLiteral("Text"), QStringLiteral("later")}});
        QVERIFY(w.close());   // the window is already ending: no second save
        QCOMPARE(ReadSetting(QStringLiteral("Text")), QStringLiteral("later"));
    }

    // The settings cannot be written: the user is told, in Kurdish and
    // English, before the program ends, and what was on disk stays as it was.
    void aSaveThatFails_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("the settings folder is a file") << "folder";
        QTest::newRow("the settings file's name is a folder") << "file";
        QTest::newRow("read-only folder") << "read-only";
    }
    void aSaveThatFails()
    {
        QFETCH(QString, obstacle);
        const QString file = SettingsFilePath();
        const QString folder = QFileInfo(file).absolutePath();
        const QString old = QStringLiteral("[Settings]\nText=old\nCheck1=1\n");
        if (obstacle == QLatin1String("folder")) {
            QFile f(folder);
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else if (obstacle == QLatin1String("file")) {
            QVERIFY(QDir().mkpath(file));
            QFile keep(file + QStringLiteral("/keep"));
            QVERIFY(keep.open(QIODevice::WriteOnly));
        } else {
            // The file itself stays writable: a save that wrote into it in
            // place would go through; one written beside and renamed over
            // cannot.
            QVERIFY(QDir().mkpath(folder));
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(old.toUtf8());
            f.close();
            QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }

        Varin2& w = forms().Varin2();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.Text->setText(QStringLiteral("new"));
        bool shownWhenAsked = false;
        SetMsgBoxPresenter([&](const MsgBoxCall& call) {
            boxes_->calls << call;
            shownWhenAsked = w.isVisible();
            return kIdOk;
        });
        {
            // As the user's own folder: root would write into it regardless.
            std::optional<AsUnprivilegedUser> user;
            if (obstacle == QLatin1String("read-only"))
                user.emplace(QStringList{folder});
            QTest::mouseClick(w.Command4, Qt::LeftButton);
        }
        QCOMPARE(boxes_->calls.size(), 1);
        const MsgBoxCall& box = boxes_->calls[0];
        QVERIFY(box.prompt.contains(QStringLiteral("پاشەکەوت نەکران")));
        QVERIFY(box.prompt.contains(QStringLiteral("could not be saved")));
        QVERIFY(box.prompt.contains(QDir::toNativeSeparators(file)));
        QVERIFY(box.flags & kMbRtlReading);
        QCOMPARE(box.owner, &w);
        QVERIFY2(shownWhenAsked, "the window is still there while the user reads the box");
        QVERIFY2(!w.isVisible(), "and the program ends once they have");

        if (obstacle == QLatin1String("folder")) {
            QVERIFY(QFileInfo(folder).isFile());
        } else if (obstacle == QLatin1String("file")) {
            QVERIFY(QFileInfo(file).isDir());
            QVERIFY(QFile::exists(file + QStringLiteral("/keep")));
            // No half-written copy left beside it either.
            QCOMPARE(QDir(folder).entryList(QDir::Files).filter(QStringLiteral("Dictionary")), QStringList());
        } else {
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            QCOMPARE(FileText(file), old);
        }
    }

    // The counts are the current result's: the whole table in mode 25, none
    // in mode 100. Users' entries are those beyond the 10002 built in.
    void counts_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("slider");
        QTest::addColumn<QString>("all");
        QTest::addColumn<QString>("added");
        QTest::newRow("mode 25, 48 added") << 10050 << 0 << "10050" << "48";
        QTest::newRow("mode 25, small table") << 8 << 0 << "8" << "-9994";
        QTest::newRow("mode 100: nothing found") << 10050 << 3 << "0" << "-10002";
    }
    void counts()
    {
        QFETCH(int, entries);
        QFETCH(int, slider);
        QFETCH(QString, all);
        QFETCH(QString, added);
        QList<Pair> words = kWords;
        for (int i = words.size(); i < entries; ++i)
            words << Pair{QStringLiteral("w%1").arg(i), QStringLiteral("و%1").arg(i)};
        DataFolder big(words);
        StoreValues({{QStringLiteral("Slider-3"), QString::number(slider)}, {QStringLiteral("Text"), QStringLiteral("dog")}});
        Varin2& w = forms().Varin2();
        HandOver(w);
        QCOMPARE(w.Text7->text(), all);
        QCOMPARE(w.Text6->text(), added);
        QCOMPARE(w.Label->Caption(), Varin2Text::kLabel + all);
        QCOMPARE(w.Label1->Caption(), Varin2Text::kLabel1 + added);
        QVERIFY(Varin2Text::kLabel1.endsWith(QStringLiteral("   = ")));
        // Then the saved search word is looked up.
        QCOMPARE(w.Text->text(), QStringLiteral("dog"));
        QCOMPARE(w.Text2->text(), QStringLiteral("dog"));
        QCOMPARE(w.Timer8->Interval(), 0);
        forms().Unload();
    }
};

QTEST_MAIN(SettingsTest)
#include "settings_test.moc"
