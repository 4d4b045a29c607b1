#include "about/movie.h"
#include "about/texts.h"
#include "about/varin1.h"
#include "aboutkit.h"
#include "dictionary/varin2.h"
#include "runtime/forms.h"
#include "startup/module1.h"
#include "testkit.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QMovie>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QList<Pair> kWords = {
    {QStringLiteral("apple"), QStringLiteral("سێو"), QStringLiteral("noun")},
    {QStringLiteral("book"), QStringLiteral("کتێب"), QStringLiteral("noun")},
};

int Count(const QLineEdit* field) { return field->text().toInt(); }

void ProcessDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

}  // namespace

class AboutTest : public QObject {
    Q_OBJECT
private:
    DataFolder* folder_ = nullptr;
    MsgBoxRecorder* boxes_ = nullptr;

    void CheckDesignState(Varin1& w)
    {
        QCOMPARE(w.Width(), 6645);
        QCOMPARE(w.height(), Twips(8250));
        QCOMPARE(w.T10->text(), QStringLiteral("0"));
        QCOMPARE(w.T1->text(), QStringLiteral("15"));
        QCOMPARE(w.TT1->text(), QStringLiteral("0"));
        QCOMPARE(w.Red->text(), QStringLiteral("0"));
        QVERIFY(w.Pi9->isHidden() && w.Pi1->isHidden() && w.Pi2->isHidden());
        QCOMPARE(w.Pi9->Height(), 1755);
        QCOMPARE(w.Pi1->Left(), 900);
        QCOMPARE(w.Pi1->Width(), 3300);
        QCOMPARE(w.Picture2->Top(), 7800);
        QVERIFY(!w.Command1->isEnabled() && !w.Command2->isEnabled());
        QVERIFY(w.Command3->isEnabled());
        QCOMPARE(Armed(w), QStringList{QStringLiteral("Tim")});
        QCOMPARE(w.Tim->Interval(), 1000);
    }

private slots:
    void initTestCase()
    {
        // The program's application object does this; the pictures live there.
        Q_INIT_RESOURCE(resources);
        folder_ = new DataFolder(kWords);
    }
    void init() { boxes_ = new MsgBoxRecorder; }
    void cleanup()
    {
        forms().Unload();
        ProcessDeletes();
        delete boxes_;
        boxes_ = nullptr;
    }
    void cleanupTestCase() { delete folder_; }

    void loadsFromTheDesign()
    {
        Varin1& w = forms().Varin1();
        CheckDesignState(w);
        QVERIFY(w.windowTitle().trimmed().isEmpty());
        QCOMPARE(w.Command2->text(), Varin1Text::kCommand2);
        QCOMPARE(w.Command2->toolTip(), Varin1Text::kCommand2Tip);
        QCOMPARE(w.Command1->text(), Varin1Text::kCommand1);
        QCOMPARE(w.Command1->toolTip(), QStringLiteral("ده\u200Cرچوون"));
        QCOMPARE(w.Command3->text(), QStringLiteral("OK"));
        QCOMPARE(w.SFlash1->Movie(), QCoreApplication::applicationDirPath() + QStringLiteral("/Data/By.swf"));
        QVERIFY2(w.SFlash1->Playing(), "the build puts Data/By.gif beside the program");
        QCOMPARE(w.SFlash1->parentWidget(), w.Picture1);
        QCOMPARE(w.Pi2->parentWidget(), w.Picture1);
        QVERIFY(boxes_->calls.isEmpty());
    }

    void controlsStandWhereDrawn_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips");
        QTest::newRow("Picture1") << "Picture1" << QRect(0, 0, 6630, 8280);
        QTest::newRow("Pi2") << "Pi2" << QRect(870, 2760, 3660, 480);
        QTest::newRow("Pi9") << "Pi9" << QRect(880, 920, 4920, 1755);
        QTest::newRow("Pi1") << "Pi1" << QRect(900, 6720, 3300, 720);
        QTest::newRow("Picture4") << "Picture4" << QRect(6720, -330, 5895, 615);
        QTest::newRow("Picture2") << "Picture2" << QRect(6760, 7800, 5475, 19290);
        QTest::newRow("Picture3") << "Picture3" << QRect(6840, 7890, 5910, 615);
    }
    void controlsStandWhereDrawn()
    {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        Varin1& w = forms().Varin1();
        const std::pair<const char*, PictureBox*> boxes[] = {
            {"Picture1", w.Picture1}, {"Pi2", w.Pi2},           {"Pi9", w.Pi9},          {"Pi1", w.Pi1},
            {"Picture4", w.Picture4}, {"Picture2", w.Picture2}, {"Picture3", w.Picture3},
        };
        for (const auto& [n, box] : boxes) {
            if (name != QLatin1String(n))
                continue;
            QCOMPARE(QRect(box->Left(), box->Top(), box->Width(), box->Height()), twips);
            QCOMPARE(box->geometry(), QRect(Twips(twips.x()), Twips(twips.y()), Twips(twips.width()),
                                            Twips(twips.height())));
            QVERIFY2(!box->Picture().isNull(), "its picture is built in");
        }
        // The pictures have the sizes they were drawn for.
        QCOMPARE(w.Picture1->Picture().size(), QSize(438, 548));
        QCOMPARE(w.Pi9->Picture().size(), QSize(328, 117));
        QCOMPARE(w.Pi1->Picture().size(), QSize(220, 48));
        QCOMPARE(w.Pi2->Picture().size(), QSize(244, 32));
        QCOMPARE(w.Picture4->Picture().size(), QSize(426, 99));
        QCOMPARE(w.Picture3->Picture().size(), QSize(426, 99));
        QCOMPARE(w.Picture2->Picture().size(), QSize(365, 1286));
        QCOMPARE(w.Command2->geometry(), QRect(Twips(4560), Twips(6720), Twips(1125), Twips(375)));
        QCOMPARE(w.Command1->geometry(), QRect(Twips(4560), Twips(7080), Twips(1125), Twips(345)));
        QCOMPARE(w.Command3->geometry(), QRect(Twips(11040), Twips(7920), Twips(1215), Twips(375)));
        QCOMPARE(w.SFlash1->geometry(), QRect(Twips(840), Twips(840), Twips(4935), Twips(6615)));
    }

    // Above the window's top edge the pictures stand on the nearest pixel as
    // below it: the top banner ends where its height says (285 twips, pixel
    // row 19), and the letter rises by the same 4 pixels every tick, also as
    // its top passes 0.
    void placedToTheNearestPixelAboveTheTop()
    {
        Varin1& w = forms().Varin1();
        QCOMPARE(w.Picture4->geometry().top(), -22);
        QCOMPARE(w.Picture4->geometry().top() + w.Picture4->geometry().height(), 19);
        FinishOpening(w);
        w.Command2->click();
        RunOut(w.Timer9);
        RunOut(w.Timer12);
        w.Timer2->Fire();
        QCOMPARE(w.Picture2->geometry().top(), 522);   // 7825 twips
        bool crossed = false;
        while (w.Timer2->Armed()) {
            const int before = w.Picture2->geometry().top();
            w.Timer2->Fire();
            const int top = w.Picture2->geometry().top();
            QCOMPARE(top, before - 4);
            QCOMPARE(top, qRound(w.Picture2->Top() / 15.0));
            crossed = crossed || (before > 0 && top < 0);
        }
        QVERIFY(crossed);
    }

    // Front to back: the top banner, the buttons, Pi1, Pi9, the background
    // (Pi2 over the movie), the bottom banner, the letter.
    void stackingOrder()
    {
        Varin1& w = forms().Varin1();
        const QObjectList order = w.children();   // back to front
        const QList<QObject*> backToFront = {w.Picture2, w.Picture3, w.Picture1, w.Pi9,     w.Pi1,
                                             w.Command3, w.Command2, w.Command1, w.Picture4};
        for (int i = 1; i < backToFront.size(); ++i)
            QVERIFY2(order.indexOf(backToFront[i - 1]) < order.indexOf(backToFront[i]),
                     qPrintable(backToFront[i]->metaObject()->className() + QStringLiteral(" out of order")));
        const QObjectList inside = w.Picture1->children();
        QVERIFY(inside.indexOf(w.SFlash1) < inside.indexOf(w.Pi2));
    }

    // Nothing moves for a second; then Pi9 grows by 25 a tick from 50, and at
    // 1000 (tick 39) Pi1's timer starts; at 1750 (tick 69) the growth ends.
    void upperPictureGrows()
    {
        Varin1& w = forms().Varin1();
        QVERIFY(w.Pi9->isHidden());
        w.Tim->Fire();
        QCOMPARE(Armed(w), QStringList{QStringLiteral("Timer10")});
        QCOMPARE(w.Timer10->Interval(), 10);

        QList<int> heights;
        QList<int> timer8ArmedAt;   // disarmed again at once, to see any later arming
        while (w.Timer10->Armed() && heights.size() < 200) {
            w.Timer10->Fire();
            QVERIFY(!w.Pi9->isHidden());
            heights << w.Pi9->Height();
            if (w.Timer8->Armed()) {
                QCOMPARE(w.Timer8->Interval(), 10);
                timer8ArmedAt << heights.size();
                w.Timer8->setInterval(0);
            }
        }
        QList<int> expected;
        for (int h = 50; h <= 1750; h += 25)
            expected << h;
        QCOMPARE(heights, expected);
        QCOMPARE(heights.size(), 69);
        QCOMPARE(timer8ArmedAt, QList<int>{39});
        QCOMPARE(heights[38], 1000);
        QCOMPARE(w.T10->text(), QStringLiteral("1725"));
        QCOMPARE(w.Pi9->geometry().top(), Twips(920));
        QVERIFY(w.Pi1->isHidden());
    }

    // Pi1 widens leftward from behind x 5780, then slides left to 925; only
    // then do the middle picture and the buttons come.
    void lowerPictureSlidesIn()
    {
        Varin1& w = forms().Varin1();
        w.Tim->Fire();
        for (int i = 0; i < 39; ++i)
            w.Timer10->Fire();
        QVERIFY(w.Timer8->Armed());

        int ticks = 0;
        for (int t1 = 15; t1 <= 3265; t1 += 50) {
            QVERIFY(w.Timer8->Armed());
            w.Timer8->Fire();
            ++ticks;
            QVERIFY(!w.Pi1->isHidden());
            QCOMPARE(w.Pi1->Left(), 9000 - t1 - 3260);
            QCOMPARE(w.Pi1->Width(), t1 + 40);
            QCOMPARE(w.Pi1->Left() + w.Pi1->Width(), 5780);
            QCOMPARE(w.Timer1->Armed(), t1 == 3265);
            // The growth of Pi9 goes on meanwhile.
            if (w.Timer10->Armed())
                w.Timer10->Fire();
        }
        QCOMPARE(ticks, 66);
        QVERIFY(!w.Timer8->Armed());
        QCOMPARE(w.Pi1->Width(), 3305);
        QCOMPARE(w.T1->text(), QStringLiteral("3315"));

        QList<int> lefts;
        while (w.Timer1->Armed() && lefts.size() < 100) {
            QVERIFY(!w.Command1->isEnabled() && !w.Command2->isEnabled() && w.Pi2->isHidden());
            w.Timer1->Fire();
            lefts << w.Pi1->Left();
            QCOMPARE(w.Pi1->Width(), 3305);
        }
        QCOMPARE(lefts.size(), 31);
        QCOMPARE(lefts.first(), 2425);
        QCOMPARE(lefts.last(), 925);
        for (int i = 1; i < lefts.size(); ++i)
            QCOMPARE(lefts[i], lefts[i - 1] - 50);
        QVERIFY(w.Command1->isEnabled() && w.Command2->isEnabled());
        QVERIFY(!w.Pi2->isHidden());
        QVERIFY(!Armed(w).contains(QStringLiteral("Timer1")));
    }

    // Two full letters: out 2835, wider by 5850, the letter scrolls 334 ticks,
    // back 2250, narrowed to 6680. Each cycle leaves the window 585 further left.
    void letterCycle()
    {
        Varin1& w = forms().Varin1();
        FinishOpening(w);
        w.setLeft(6000);
        w.move(w.x(), 30);
        QCOMPARE(w.Left(), 6000.0);

        for (int cycle = 0; cycle < 2; ++cycle) {
            const double start = w.Left();
            const int startWidth = w.Width();
            QCOMPARE(startWidth, cycle == 0 ? 6645 : 6680);
            w.Picture2->setTop(-5000);   // wherever the last letter stopped
            w.Command2->click();
            QVERIFY(!w.Command1->isEnabled() && !w.Command2->isEnabled());
            QCOMPARE(w.Picture2->Top(), 7825);
            QCOMPARE(Armed(w), QStringList{QStringLiteral("Timer9")});

            double moved = 0;
            for (int tick = 1; tick <= 27; ++tick) {
                QVERIFY(w.Timer9->Armed());
                w.Timer9->Fire();
                moved += 7.5 * tick;
                QCOMPARE(w.Left(), start - moved);
                QCOMPARE(w.x(), qRound((start - moved) / 15));
            }
            QCOMPARE(moved, 2835.0);
            QCOMPARE(Armed(w), QStringList{QStringLiteral("Timer12")});
            QCOMPARE(w.Timer12->Interval(), 30);
            QCOMPARE(w.Red->text(), QStringLiteral("0"));

            int width = startWidth;
            for (int tick = 1; tick <= 15; ++tick) {
                QVERIFY(w.Timer12->Armed());
                w.Timer12->Fire();
                width += 50 * tick - 10;
                QCOMPARE(w.Width(), width);
                QCOMPARE(w.width(), qRound(width / 15.0));
            }
            QCOMPARE(w.Width(), startWidth + 5850);
            QCOMPARE(Armed(w), QStringList{QStringLiteral("Timer2")});
            QCOMPARE(w.Timer2->Interval(), 50);

            QCOMPARE(RunOut(w.Timer2), 334);
            QCOMPARE(w.Picture2->Top(), 7825 - 333 * 60);
            QCOMPARE(w.Picture2->Top() + w.Picture2->Height(), 7135);

            w.Command3->click();
            QCOMPARE(Armed(w), QStringList{QStringLiteral("Timer13")});
            QCOMPARE(RunOut(w.Timer13), 24);
            QCOMPARE(w.Left(), start - 585);
            QCOMPARE(Armed(w), QStringList{QStringLiteral("Timer14")});
            QCOMPARE(w.Timer14->Interval(), 30);
            QVERIFY(!w.Command1->isEnabled());

            width = w.Width();
            for (int tick = 1; tick <= 14; ++tick) {
                w.Timer14->Fire();
                if (tick < 14) {
                    width -= 50 * tick - 8;
                    QCOMPARE(w.Width(), width);
                    QCOMPARE(w.Picture2->Top(), -12155);   // the letter waits where it stopped
                }
            }
            QVERIFY(Armed(w).isEmpty());
            QCOMPARE(w.Width(), 6680);
            QCOMPARE(w.Picture2->Top(), 7825);
            QCOMPARE(w.Red->text(), QStringLiteral("0"));
            QVERIFY(w.Command1->isEnabled() && w.Command2->isEnabled());
            QCOMPARE(w.Left(), 6000 - 585.0 * (cycle + 1));
        }
    }

    // OK during the scroll stops the letter where it is; it returns to 7825
    // only when the narrowing ends.
    void okStopsTheScroll()
    {
        Varin1& w = forms().Varin1();
        FinishOpening(w);
        w.Command2->click();
        RunOut(w.Timer9);
        RunOut(w.Timer12);
        for (int i = 0; i < 10; ++i)
            w.Timer2->Fire();
        QCOMPARE(w.Picture2->Top(), 7825 - 540);
        w.Command3->click();
        QVERIFY(!w.Timer2->Armed());
        RunOut(w.Timer13);
        QCOMPARE(w.Picture2->Top(), 7825 - 540);
        RunOut(w.Timer14);
        QCOMPARE(w.Picture2->Top(), 7825);
    }

    // OK pressed while the window still widens: the widening and the slide
    // back run together, each stepping the one counter Red by its own rule.
    void okDuringTheWidening()
    {
        Varin1& w = forms().Varin1();
        FinishOpening(w);
        w.setLeft(9000);
        w.Command2->click();
        RunOut(w.Timer9);
        for (int i = 0; i < 5; ++i)
            w.Timer12->Fire();
        QCOMPARE(w.Red->text(), QStringLiteral("250"));
        QCOMPARE(w.Width(), 6645 + 40 + 90 + 140 + 190 + 240);

        w.Command3->click();
        QCOMPARE(Armed(w), (QStringList{QStringLiteral("Timer12"), QStringLiteral("Timer13")}));
        w.Timer12->Fire();   // Red 300: wider by 290
        QCOMPARE(w.Width(), 7345 + 290);
        w.Timer13->Fire();   // Red 600: right by 15
        QCOMPARE(w.Left(), 9000 - 2835 + 15.0);
        w.Timer12->Fire();   // Red 650: wider by 640
        QCOMPARE(w.Width(), 7635 + 640);
        w.Timer13->Fire();   // Red 950: right by 23.75
        QCOMPARE(w.Left(), 9000 - 2835 + 15 + 23.75);
        w.Timer12->Fire();   // Red 1000 > 700: wider by 990, and the widening ends
        QCOMPARE(w.Width(), 8275 + 990);
        QCOMPARE(w.Red->text(), QStringLiteral("0"));
        QVERIFY(!w.Timer12->Armed());
        // The widening arms the scroll as it always does; OK came before it.
        QVERIFY(w.Timer2->Armed());

        QCOMPARE(RunOut(w.Timer13), 24);
        QCOMPARE(w.Left(), 9000 - 2835 + 15 + 23.75 + 2250);
        RunOut(w.Timer14);
        QCOMPARE(w.Width(), 6680);
        QVERIFY(w.Command1->isEnabled() && w.Command2->isEnabled());
    }

    // Closing sets the dictionary's mirror timer to 800 ms and destroys the
    // window; the next opening starts again from the design.
    void closeAndReopen()
    {
        Varin1& first = forms().Varin1();
        const QPointer<Varin1> old(&first);
        FinishOpening(first);
        first.Command2->click();
        RunOut(first.Timer9);
        RunOut(first.Timer12);
        first.Command3->click();
        RunOut(first.Timer13);
        RunOut(first.Timer14);
        first.show();
        first.Command1->click();
        QCOMPARE(forms().Varin2().Timer2->Interval(), 800);
        QVERIFY(!first.isVisible());
        ProcessDeletes();
        QVERIFY(old.isNull());
        QVERIFY(!forms().IsLoaded("Varin1"));

        Varin1& second = forms().Varin1();
        CheckDesignState(second);
    }

    // The about button opens the window modally, centred on the dictionary.
    void aboutButtonOpensModal()
    {
        Varin2& dictionary = forms().Varin2();
        dictionary.move(100, 80);
        dictionary.show();
        QVERIFY(!forms().IsLoaded("Varin1"));
        dictionary.Command2->click();
        QVERIFY(forms().IsLoaded("Varin1"));
        Varin1& w = forms().Varin1();
        QVERIFY(w.isVisible());
        QCOMPARE(w.windowModality(), Qt::ApplicationModal);
        const QPoint offset = w.frameGeometry().center() - dictionary.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 3, qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
        QCOMPARE(w.Left(), w.x() * 15.0);
        CheckDesignState(w);
        w.close();
        ProcessDeletes();
        QVERIFY(!forms().IsLoaded("Varin1"));
    }

    void animationBesideTheMovie_data()
    {
        QTest::addColumn<QString>("movie");
        QTest::addColumn<QString>("animation");
        QTest::newRow("program folder") << "/opt/varin/Data/By.swf" << "/opt/varin/Data/By.gif";
        QTest::newRow("dots in folder") << "/a.b/Data/By.swf" << "/a.b/Data/By.gif";
        QTest::newRow("no extension") << "/x/Data/By" << "/x/Data/By.gif";
    }
    void animationBesideTheMovie()
    {
        QFETCH(QString, movie);
        QFETCH(QString, animation);
        QCOMPARE(AnimationFileFor(movie), animation);
    }

    // No animation (or one that cannot be read): the background shows where
    // the movie would play, and nothing is said about it.
    void missingAnimation_data()
    {
        QTest::addColumn<QByteArray>("content");   // empty: no file at all
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not a picture") << QByteArray("FWS\x0a not a gif");
        // A GIF whose one frame is cut off.
        QTest::newRow("broken frames") << QByteArray::fromHex("4749463839610200010080000000ffffff0000002c00000000020001000002");
    }
    void missingAnimation()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("Data"))));
        if (!content.isEmpty()) {
            QFile f(dir.filePath(QStringLiteral("Data/By.gif")));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        Varin1& w = forms().Varin1();
        w.SFlash1->setMovie(dir.filePath(QStringLiteral("Data/By.swf")));
        QTest::qWait(50);
        QVERIFY(!w.SFlash1->Playing());
        QVERIFY(boxes_->calls.isEmpty());

        const QImage seen = w.Picture1->grab().toImage();
        const QImage background = w.Picture1->Picture().toImage();
        const QRect place = w.SFlash1->geometry();
        for (const QPoint p : {place.topLeft() + QPoint(20, 20), place.center(), place.bottomRight() - QPoint(20, 20)})
            QCOMPARE(QColor(seen.pixel(p)), QColor(background.pixel(p)));
    }

    // An animation of another size covers the movie's box, keeping its shape.
    void animationCoversTheBox()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("Data"))));
        // Two frames of 40 x 20 pixels.
        QVERIFY(QFile::copy(QStringLiteral(ABOUT_TEST_DIR "/wide.gif"), dir.filePath(QStringLiteral("Data/By.gif"))));
        Varin1& w = forms().Varin1();
        w.SFlash1->setMovie(dir.filePath(QStringLiteral("Data/By.swf")));
        QVERIFY(w.SFlash1->Playing());
        QCOMPARE(w.SFlash1->size(), QSize(329, 441));
        QCOMPARE(w.SFlash1->movie()->scaledSize(), QSize(882, 441));
        QVERIFY(boxes_->calls.isEmpty());
    }

    // A box whose owner, this window, is destroyed while the box is open: the
    // box goes with its owner and answers Cancel; nothing is freed twice.
    void boxOwnedByTheWindowGoesWithIt()
    {
        SetMsgBoxPresenter({});   // the real box
        Varin1& w = forms().Varin1();
        FinishOpening(w);
        w.show();
        const QPointer<Varin1> alive(&w);
        bool closed = false;
        QTimer::singleShot(50, &w, [&] {
            closed = true;
            w.Command1->click();
        });
        // Should the box somehow survive its owner, do not hang the test.
        bool rescued = false;
        QTimer::singleShot(5000, qApp, [&] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                rescued = true;
                box->close();
            }
        });
        const int answer = UnicodeMsgBox(QStringLiteral("؟"), kMbOkCancel | kMbRtlReading, QString(), QString(),
                                         static_cast<qintptr>(w.winId()));
        QVERIFY(closed);
        QVERIFY2(!rescued, "the box outlived its owner");
        QCOMPARE(answer, kIdCancel);
        ProcessDeletes();
        QVERIFY(alive.isNull());
        QVERIFY(!forms().IsLoaded("Varin1"));
    }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
