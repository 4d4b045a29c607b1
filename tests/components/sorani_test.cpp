// Sorani respelled in Latin letters for the Kurdish voice: real words against
// their usual Latin spelling, with ڕ written rr (the voice trills it) and ڵ
// written ll (the heavier l the voice can say).
#include "components/sorani.h"

#include <QTest>

class SoraniTest : public QObject {
    Q_OBJECT
private slots:
    void respells_data()
    {
        QTest::addColumn<QString>("sorani");
        QTest::addColumn<QString>("latin");
        // Every letter of the alphabet once at least.
        QTest::newRow("ئ ا و: water") << u"ئاو"_qs << u"aw"_qs;
        QTest::newRow("ب ت: verse") << u"بەیت"_qs << u"beyt"_qs;
        QTest::newRow("پ ێ ن ج: five") << u"پێنج"_qs << u"pênc"_qs;
        QTest::newRow("چ و ا ر: four") << u"چوار"_qs << u"çwar"_qs;
        QTest::newRow("ح ە و ت: seven") << u"حەوت"_qs << u"hewt"_qs;
        QTest::newRow("خ: school") << u"قوتابخانە"_qs << u"qutabxane"_qs;
        QTest::newRow("د ە س: hand") << u"دەست"_qs << u"dest"_qs;
        QTest::newRow("ڕ ۆ ژ: day") << u"ڕۆژ"_qs << u"rroj"_qs;
        QTest::newRow("ر between vowels stays one r") << u"کەری"_qs << u"kerî"_qs;
        QTest::newRow("ڕ between vowels: friend") << u"هاوڕێ"_qs << u"hawrrê"_qs;
        QTest::newRow("ز: language") << u"زمان"_qs << u"ziman"_qs;
        QTest::newRow("ش: six") << u"شەش"_qs << u"şeş"_qs;
        QTest::newRow("ع") << u"عەلی"_qs << u"'elî"_qs;
        QTest::newRow("غ: stranger") << u"غەریب"_qs << u"xerîb"_qs;
        QTest::newRow("ف ە ر ه گ: dictionary") << u"فەرهەنگ"_qs << u"ferheng"_qs;
        QTest::newRow("ڤ ی") << u"ڤارین"_qs << u"varîn"_qs;
        QTest::newRow("ق ل م: pen") << u"قەڵەم"_qs << u"qellem"_qs;
        QTest::newRow("ک: book") << u"کتێب"_qs << u"kitêb"_qs;
        QTest::newRow("ڵ: flower") << u"گوڵ"_qs << u"gull"_qs;
        QTest::newRow("ۆ: nine") << u"نۆ"_qs << u"no"_qs;
        QTest::newRow("ێ: three") << u"سێ"_qs << u"sê"_qs;
        QTest::newRow("ه at a word's start: Erbil") << u"هەولێر"_qs << u"hewlêr"_qs;

        // The letter forms the look-up folds.
        QTest::newRow("Arabic kaf and alef maksura") << u"كوردى"_qs << u"kurdî"_qs;
        QTest::newRow("Arabic yeh") << u"كتيبى"_qs << u"kitîbî"_qs;
        QTest::newRow("teh marbuta for ە") << u"خانة"_qs << u"xane"_qs;
        QTest::newRow("older ه with a non-joiner for ە") << u"به\u200Cڵێ"_qs << u"bellê"_qs;
        QTest::newRow("older ه at a word's end") << u"خانه"_qs << u"xane"_qs;
        QTest::newRow("older spelling of a sentence") << u"ده\u200Cنگى ڤارين"_qs << u"dengî varîn"_qs;
        QTest::newRow("ه after a vowel stays h") << u"شاه"_qs << u"şah"_qs;
        QTest::newRow("presentation forms") << u"\uFEDB\uFEEE\uFEAE\uFEA9"_qs << u"kurd"_qs;

        // و: w, u or û.
        QTest::newRow("و between consonants is u") << u"کورد"_qs << u"kurd"_qs;
        QTest::newRow("و at a word's end after a consonant is u") << u"تو"_qs << u"tu"_qs;
        QTest::newRow("و before a vowel is w: God") << u"خوا"_qs << u"xwa"_qs;
        QTest::newRow("و before ێ is w: new") << u"نوێ"_qs << u"nwê"_qs;
        QTest::newRow("و after a vowel is w: night") << u"شەو"_qs << u"şew"_qs;
        QTest::newRow("و starting a word is w: word") << u"وشە"_qs << u"wişe"_qs;
        QTest::newRow("وو is û: two") << u"دوو"_qs << u"dû"_qs;
        QTest::newRow("وو inside a word: writing") << u"نووسین"_qs << u"nûsîn"_qs;
        QTest::newRow("وو at a word's end: house") << u"خانوو"_qs << u"xanû"_qs;
        QTest::newRow("و alone is and") << u"نان و ئاو"_qs << u"nan û aw"_qs;

        // ی: y or î.
        QTest::newRow("ی starting a word is y: one") << u"یەک"_qs << u"yek"_qs;
        QTest::newRow("ی after a vowel is y: mother") << u"دایک"_qs << u"dayk"_qs;
        QTest::newRow("ی after a vowel at the end: tea") << u"چای"_qs << u"çay"_qs;
        QTest::newRow("ی between consonants is î") << u"شیر"_qs << u"şîr"_qs;
        QTest::newRow("ی before a vowel is y: soul") << u"گیان"_qs << u"gyan"_qs;
        QTest::newRow("ی before a vowel: man") << u"پیاوێک"_qs << u"pyawêk"_qs;
        QTest::newRow("ی ی: is not") << u"نییە"_qs << u"nîye"_qs;

        // ئ silent before the first vowel.
        QTest::newRow("ئە: that") << u"ئەو"_qs << u"ew"_qs;
        QTest::newRow("ئێ: you") << u"ئێوە"_qs << u"êwe"_qs;
        QTest::newRow("ئی: work") << u"ئیش"_qs << u"îş"_qs;
        QTest::newRow("ئی: Islam") << u"ئیسلام"_qs << u"îslam"_qs;

        // The unwritten i, and clusters that take none.
        QTest::newRow("i after a first consonant: Sulaymaniyah") << u"سلێمانی"_qs << u"silêmanî"_qs;
        QTest::newRow("i in a word of consonants: I") << u"من"_qs << u"min"_qs;
        QTest::newRow("i in a word of consonants: woman") << u"ژن"_qs << u"jin"_qs;
        QTest::newRow("i in a word of consonants: girl") << u"کچ"_qs << u"kiç"_qs;
        QTest::newRow("i before a falling pair: did") << u"کرد"_qs << u"kird"_qs;
        QTest::newRow("i twice: goat") << u"بزن"_qs << u"bizin"_qs;
        QTest::newRow("i before a rising end: to eat") << u"خواردن"_qs << u"xwardin"_qs;
        QTest::newRow("i before a rising end: to come") << u"هاتن"_qs << u"hatin"_qs;
        QTest::newRow("i twice: to take") << u"گرتن"_qs << u"girtin"_qs;
        QTest::newRow("i after w: to fall") << u"کەوتن"_qs << u"kewtin"_qs;
        QTest::newRow("i after a glide onset: to read") << u"خوێندن"_qs << u"xwêndin"_qs;
        QTest::newRow("i: fire") << u"ئاگر"_qs << u"agir"_qs;
        QTest::newRow("i: snow") << u"بەفر"_qs << u"befir"_qs;
        QTest::newRow("i: my hand") << u"دەستم"_qs << u"destim"_qs;
        QTest::newRow("i inside four consonants") << u"کوردستان"_qs << u"kurdistan"_qs;
        QTest::newRow("i: enemy") << u"دوژمن"_qs << u"dujmin"_qs;
        QTest::newRow("i: child") << u"منداڵ"_qs << u"mindall"_qs;
        QTest::newRow("i: a girl") << u"کچێک"_qs << u"kiçêk"_qs;
        QTest::newRow("i: tear") << u"فرمێسک"_qs << u"firmêsk"_qs;
        QTest::newRow("i: thanks") << u"سپاس"_qs << u"sipas"_qs;
        QTest::newRow("i: country") << u"وڵات"_qs << u"willat"_qs;
        QTest::newRow("no i in a falling pair: sister") << u"خوشک"_qs << u"xuşk"_qs;
        QTest::newRow("no i in a falling pair: horse") << u"ئەسپ"_qs << u"esp"_qs;
        QTest::newRow("no i: now") << u"ئێستا"_qs << u"êsta"_qs;
        QTest::newRow("no i between two syllables") << u"دەستپێکردن"_qs << u"destpêkirdin"_qs;

        // Digits, marks, punctuation.
        QTest::newRow("Arabic digits") << u"١٢٣٠"_qs << u"1230"_qs;
        QTest::newRow("Persian digits") << u"۴۵۶۹"_qs << u"4569"_qs;
        QTest::newRow("decimal and thousands separators") << u"١٬٥٠٠٫٥"_qs << u"1,500.5"_qs;
        QTest::newRow("tatweel dropped") << u"کـــورد"_qs << u"kurd"_qs;
        QTest::newRow("tatweel before a suffix") << u"ـێک"_qs << u"êk"_qs;
        QTest::newRow("non-joiner inside a compound") << u"دەست\u200Cپێک"_qs << u"destpêk"_qs;
        QTest::newRow("vowel marks dropped") << u"کُورد"_qs << u"kurd"_qs;
        QTest::newRow("question mark") << u"چۆنی؟"_qs << u"çonî?"_qs;
        QTest::newRow("comma and full stop") << u"نان، ئاو."_qs << u"nan, aw."_qs;
        QTest::newRow("semicolon and per cent") << u"٥٠٪؛ نا"_qs << u"50%; na"_qs;
        QTest::newRow("quotation marks") << u"«کورد»"_qs << u"\"kurd\""_qs;
        QTest::newRow("line breaks and spaces kept") << u"ئاو\n\nنان  دوو"_qs << u"aw\n\nnan  dû"_qs;
        QTest::newRow("Latin kept as it is") << u"OK کورد 2"_qs << u"OK kurd 2"_qs;
        QTest::newRow("a letter with no spelling is left out") << u"\u0679ا"_qs << u"a"_qs;
        QTest::newRow("ئ alone") << u"ئ"_qs << u""_qs;
        QTest::newRow("empty") << QString() << QString();
    }
    void respells()
    {
        QFETCH(QString, sorani);
        QFETCH(QString, latin);
        QCOMPARE(SoraniToLatin(sorani), latin);
    }

    void tellsTheScript_data()
    {
        QTest::addColumn<QString>("c");
        QTest::addColumn<bool>("arabic");
        QTest::newRow("Kurdish letter") << u"ڕ"_qs << true;
        QTest::newRow("Arabic comma") << u"،"_qs << true;
        QTest::newRow("Arabic digit") << u"٣"_qs << true;
        QTest::newRow("presentation form") << u"\uFEDB"_qs << true;
        QTest::newRow("Latin letter") << u"k"_qs << false;
        QTest::newRow("Latin ê") << u"ê"_qs << false;
        QTest::newRow("space") << u" "_qs << false;
        QTest::newRow("non-joiner") << u"\u200C"_qs << false;
    }
    void tellsTheScript()
    {
        QFETCH(QString, c);
        QFETCH(bool, arabic);
        QCOMPARE(IsArabicScript(c[0]), arabic);
    }
};

QTEST_APPLESS_MAIN(SoraniTest)
#include "sorani_test.moc"
