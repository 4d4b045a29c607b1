// Every Kurdish text of the windows, checked together: each is the text as
// written in the older spelling, with non-joiners after the hehs that spell
// e and nothing else changed; and no heh that spells e joins the next letter.
#include "about/texts.h"
#include "dictionary/texts.h"
#include "editing/texts.h"
#include "reader/texts.h"
#include "startup/texts.h"

#include "../kurdishspelling.h"

#include <QHash>
#include <QTest>

namespace {

const QChar kZwnj(0x200C);
const QChar kHeh(0x0647);

struct Table {
    const char* window;
    QList<InterfaceText> texts;
    // The texts as written without their non-joiners, by name.
    QHash<QString, QString> written;
};

QList<Table> Tables()
{
    return {
        {"Varin0",
         Varin0Text::All(),
         {
             {"another copy running", "  فهرههنگى ڤارين لهكار دايه .....!!!!! "},
             {"notice title", "فهرههنكَى  ڤارين"},
         }},
        {"Varin1",
         Varin1Text::All(),
         {
             {"Command2", "سووبٍاس نامه"},
             {"Command2 tooltip", "كليككه"},
             {"Command1", "تــــــــه واو"},
             {"Command1 tooltip", "دهرچوون"},
             {"Command3", "OK"},
         }},
        {"Varin2",
         Varin2Text::All(),
         {
             {"window title", "فهرههنكَى  ڤارين"},
             {"window title, tail", "كوردى ئينكَليزى - ئينكَليزى كوردى "},
             {"Text tooltip", "نووسينى كوردى و ئينگليزى"},
             {"Command1", "بخوينهوه"},
             {"Command1 tooltip", "خويندنهوهى ووشه"},
             {"Command3", "خويندنهوه"},
             {"Command3 tooltip", "كليّشهيهك تابهته به خويندنهوه"},
             {"Command6", "زياد كردن"},
             {"Command6 tooltip", "زياد كردنى ووشه"},
             {"Command7", "سرينهوه"},
             {"Command7 tooltip", "سرينهوهى ووشهكان"},
             {"Command2", "دهرباره"},
             {"Command2 tooltip", "دهربارى فهرههنگ"},
             {"Text4 tooltip", "شوينى  ئينگليزى"},
             {"Text1 tooltip", "شوينى كوردى"},
             {"Check2 tooltip", "هينانهوهو نهمانى جنوّكه"},
             {"Check1 tooltip", "هينانهوهو نهمانى دةنگ"},
             {"Combo1 tooltip", "پلهى دهنگ"},
             {"Combo4 tooltip", "نهوعيهتى دهنگ"},
             {"Slider1 tooltip", "خيرايى ده نگ"},
             {"Slider3 tooltip", "نيشاندانى بهشيك يا ههموو لهو ووشهى كه مبهستته"},
             {"Label1", "ژمارهى زياد كراو   = "},
             {"Label", "ژمارهى ووشهكان  = "},
             {"check box on", "بهلى"},
             {"check box off", "نهخير"},
             {"nothing typed", " .......  هيچ ووشهيهكت نهنووسيوه  ......."},
             {"voice list item", " دهنگى - "},
         }},
        {"Varin4",
         Varin4Text::All(),
         {
             {"window caption", "زياد كردنى ووشه"},
             {"Command2", "زياد كردن"},
             {"Command2 tooltip", "زياد كردن"},
             {"Command1", "داخستن"},
             {"Command1 tooltip", "دهرچوون"},
             {"SkinLabel1", "Write a Kurdish Type in This Location"},
             {"SkinLabel3", "لةم شويَنة نووسينى كوردى بنووسة"},
             {"SkinLabel2", "Write a English Type in This Location"},
             {"SkinLabel4", "لةم شويَنة نووسنى ئينگليزى بنووسة"},
             {"question, before the word", "        .... زياد بكهم  ( "},
             {"question, after the word", " )  ڕازى  ووشهى        "},
             {"rejection notice", " هيجت نه نووسيوه , يان ههڵهيهك له شێوازى نووسينهكهت دا ههيه .... "},
             {"added notice, before the word", " زياد كرا ووشهى ("},
             {"added notice, after the word", ")"},
             {"title", "فهرههنگى  ڤارين"},
         }},
        {"Varin5",
         Varin5Text::All(),
         {
             {"window caption", "سرينهوهى ووشه"},
             {"Command2", "سرينهوه"},
             {"Command2 tooltip", "سرينهوه"},
             {"Command5 tooltip", "دووا ووشه"},
             {"Command4 tooltip", "بهرهو خوارتر"},
             {"Command3 tooltip", "بهرهو سهرتر"},
             {"Command6 tooltip", "يهکهم ووشه"},
             {"Command1", "داخستن"},
             {"Command1 tooltip", "دهرچوون"},
             {"SkinLabel1", "Kurdish Word"},
             {"SkinLabel3", "ووشةى كوردى"},
             {"SkinLabel2", "English Word"},
             {"SkinLabel4", "ووشةى ئينگليزى"},
             {"nothing-selected notice", "هيچ ووشهيهكت دهستنيشان نهكردوه"},
             {"question, before the word", "        .... بسرمهوه   ( "},
             {"question, after the word", " )  رازى  ووشهى        "},
             {"refusal notice", " ئهم ووشهيه ناتوانيت بسريتهوه چونكه ووشهى فهرههنگى ڤارينه .....!!!!! "},
             {"title", "فهرههنگى  ڤارين"},
         }},
        {"Varin3",
         Varin3Text::All(),
         {
             {"window caption", "خوندنهوهى نوسين"},
             {"Text1 tooltip", "بنووسه"},
             {"cmdopen", "كردنهوه"},
             {"cmdopen tooltip", " Text كردنهوهى مهلهفى"},
             {"cmdspeak", "كَوتن"},
             {"cmdspeak tooltip", "خويندنهوهى ههموو ووشهكان"},
             {"Command3", "وهستان"},
             {"cmdpause", "راكَرتن"},
             {"cmdpause tooltip", "راگرتنى خويندنهوه"},
             {"cmdclear", "سرينهوه"},
             {"cmdclear tooltip", "سرينهوه"},
             {"Command1", "داخستن"},
             {"Command1 tooltip", "دهرچوون"},
             {"Slider1 tooltip", "خيرايى خويندنهوه"},
             {"text frame", " شويَنى نوسين "},
             {"button frame", " دوگمةكان "},
             {"speed frame", " خيَرا "},
             {"voice frame", " شيَوه "},
             {"pitch frame", " ثلـه"},
         }},
    };
}

QString WithoutNonJoiners(QString text)
{
    return text.remove(kZwnj);
}

}  // namespace

class TextsTest : public QObject {
    Q_OBJECT
private slots:
    void texts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        for (const Table& table : Tables()) {
            QCOMPARE(table.texts.size(), table.written.size());
            for (const InterfaceText& t : table.texts) {
                QVERIFY2(table.written.contains(QString::fromLatin1(t.name)), t.name);
                QTest::addRow("%s: %s", table.window, t.name) << t.text << table.written[QString::fromLatin1(t.name)];
            }
        }
    }
    void texts()
    {
        QFETCH(QString, text);
        QFETCH(QString, written);
        QCOMPARE(WithoutNonJoiners(text), written);
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == kZwnj)
                QVERIFY2(i > 0 && text[i - 1] == kHeh, "a non-joiner stands only after a heh");
            if (text[i] == kHeh && JoinsNext(text, i))
                QVERIFY2(kWordsWithH.contains(WordAt(text, i)),
                         qPrintable(QStringLiteral("heh joins the next letter in %1").arg(WordAt(text, i))));
        }
    }
};

QTEST_GUILESS_MAIN(TextsTest)
#include "texts_test.moc"
