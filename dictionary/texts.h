// The dictionary window's texts, as the user reads them.
#pragma once

#include "runtime/texts.h"
#include "startup/module1.h"

namespace Varin2Text {

inline const QString kCaptionTail = QStringLiteral("كوردى ئينكَليزى - ئينكَليزى كوردى ");
inline const QString kTextTip = QStringLiteral("نووسينى كوردى و ئينگليزى");
inline const QString kCommand1 = QStringLiteral("بخوينه\u200Cوه");
inline const QString kCommand1Tip = QStringLiteral("خويندنه\u200Cوه\u200Cى ووشه");
inline const QString kCommand3 = QStringLiteral("خويندنه\u200Cوه");
inline const QString kCommand3Tip = QStringLiteral("كليّشه\u200Cيه\u200Cك تابه\u200Cته به خويندنه\u200Cوه");
inline const QString kCommand6 = QStringLiteral("زياد كردن");
inline const QString kCommand6Tip = QStringLiteral("زياد كردنى ووشه");
// The delete caption also ends with a non-joiner.
inline const QString kCommand7 = QStringLiteral("سرينه\u200Cوه\u200C");
inline const QString kCommand7Tip = QStringLiteral("سرينه\u200Cوه\u200Cى ووشه\u200Cكان");
inline const QString kCommand2 = QStringLiteral("ده\u200Cرباره");
inline const QString kCommand2Tip = QStringLiteral("ده\u200Cربارى فه\u200Cرهه\u200Cنگ");
inline const QString kText4Tip = QStringLiteral("شوينى  ئينگليزى");
inline const QString kText1Tip = QStringLiteral("شوينى كوردى");
inline const QString kCheck2Tip = QStringLiteral("هينانه\u200Cوه\u200Cو نه\u200Cمانى جنوّكه");
inline const QString kCheck1Tip = QStringLiteral("هينانه\u200Cوه\u200Cو نه\u200Cمانى دةنگ");
inline const QString kCombo1Tip = QStringLiteral("پله\u200Cى ده\u200Cنگ");
inline const QString kCombo4Tip = QStringLiteral("نه\u200Cوعيه\u200Cتى ده\u200Cنگ");
inline const QString kSlider1Tip = QStringLiteral("خيرايى ده نگ");
inline const QString kSlider3Tip = QStringLiteral("نيشاندانى به\u200Cشيك يا هه\u200Cموو له\u200Cو ووشه\u200Cى كه مبه\u200Cستته");
inline const QString kLabel1 = QStringLiteral("ژماره\u200Cى زياد كراو   = ");
inline const QString kLabel = QStringLiteral("ژماره\u200Cى ووشه\u200Cكان  = ");
// Caption of a check box that is on, and off.
inline const QString kYes = QStringLiteral("به\u200Cلى");
inline const QString kNo = QStringLiteral("نه\u200Cخير");
inline const QString kNothingTyped = QStringLiteral(" .......  هيچ ووشه\u200Cيه\u200Cكت نه\u200Cنووسيوه  .......");
// Voice list items 1 to 18 are this followed by the voice's number.
inline const QString kVoicePrefix = QStringLiteral(" ده\u200Cنگى - ");

// The choices could not be saved at the close: %1 the file, %2 what went wrong.
// A notice of our own, in today's spelling, like the store's; not one of the
// interface's texts as first written, so not in All().
inline const QString kSaveFailed = QStringLiteral(
    "هەڵبژاردنەکانت پاشەکەوت نەکران؛ هیچ شتێک لە فایلەکەدا نەگۆڕا:\n%1\nفەرهەنگەکە دادەخرێت.\n\n"
    "Your choices could not be saved; nothing in the settings file was changed:\n%1\n%2\n"
    "The dictionary now closes.");

inline QList<InterfaceText> All()
{
    return {
        {"window title", DictionaryName()},   {"window title, tail", kCaptionTail},
        {"Text tooltip", kTextTip},           {"Command1", kCommand1},
        {"Command1 tooltip", kCommand1Tip},   {"Command3", kCommand3},
        {"Command3 tooltip", kCommand3Tip},   {"Command6", kCommand6},
        {"Command6 tooltip", kCommand6Tip},   {"Command7", kCommand7},
        {"Command7 tooltip", kCommand7Tip},   {"Command2", kCommand2},
        {"Command2 tooltip", kCommand2Tip},   {"Text4 tooltip", kText4Tip},
        {"Text1 tooltip", kText1Tip},         {"Check2 tooltip", kCheck2Tip},
        {"Check1 tooltip", kCheck1Tip},       {"Combo1 tooltip", kCombo1Tip},
        {"Combo4 tooltip", kCombo4Tip},       {"Slider1 tooltip", kSlider1Tip},
        {"Slider3 tooltip", kSlider3Tip},     {"Label1", kLabel1},
        {"Label", kLabel},                    {"check box on", kYes},
        {"check box off", kNo},               {"nothing typed", kNothingTyped},
        {"voice list item", kVoicePrefix},
    };
}

}  // namespace Varin2Text

// What a screen reader says for the controls whose caption does not tell what
// they are: our own names, in the windows' spelling, with the English meaning
// in the description where the caption is only a symbol or in English.
namespace Varin2Name {

inline const QString kFrame1 = QStringLiteral("نووسين");
inline const QString kFrame2 = QStringLiteral("دوگمه\u200Cكان");
inline const QString kFrame3 = QStringLiteral("فه\u200Cرهه\u200Cنگ");
inline const QString kText = QStringLiteral("گه\u200Cران");
inline const QString kCommand4 = QStringLiteral("داخستن");
inline const QString kCommand4About = QStringLiteral("X: داخستنى فه\u200Cرهه\u200Cنگ (Close the dictionary)");
inline const QString kText4 = QStringLiteral("ئينگليزى");
inline const QString kText1 = QStringLiteral("كوردى");
inline const QString kText1About = QStringLiteral(
    "شوينى كوردى؛ Enter يان دوو كرته: خويندنه\u200Cوه\u200Cى كوردى (Enter or double-click: hear the Kurdish)");
inline const QString kDataGrid1 = QStringLiteral("ووشه\u200Cكان");
inline const QString kDataGrid1About = QStringLiteral("ئينگليزى و كوردى (the matching words, English and Kurdish)");
inline const QString kPicture1 = QStringLiteral("ده\u200Cنگ و گه\u200Cران");
inline const QString kPicture1About = QStringLiteral("Speech and match settings");
inline const QString kCheck2 = QStringLiteral("جنوّكه");
inline const QString kCheck1 = QStringLiteral("ده\u200Cنگ");
inline const QString kCombo1 = QStringLiteral("پله\u200Cى ده\u200Cنگ");
inline const QString kCombo1About = QStringLiteral("پله\u200Cى ده\u200Cنگ (pitch of the voice)");
inline const QString kCombo4 = QStringLiteral("نه\u200Cوعيه\u200Cتى ده\u200Cنگ");
inline const QString kCombo4About = QStringLiteral("نه\u200Cوعيه\u200Cتى ده\u200Cنگ (voice)");
inline const QString kSlider1 = QStringLiteral("خيرايى ده\u200Cنگ");
inline const QString kSlider1About = QStringLiteral("خيرايى ده\u200Cنگ، 1 تا 5 (speed of speech, 1 slow to 5 fast)");
inline const QString kSlider3 = QStringLiteral("ريژه\u200Cى گونجان");
inline const QString kSlider3About = QStringLiteral(
    "نيشاندانى به\u200Cشيك يا هه\u200Cموو له\u200Cو ووشه\u200Cى كه مبه\u200Cستته "
    "(match mode: how much of the typed word a result must match, 25 % to 100 %)");
inline const QString kTE3About = QStringLiteral("ريژه\u200Cى گونجان (match mode, percent)");
inline const QString kLabel2 = QStringLiteral("له\u200C سه\u200Cدا");
inline const QString kLabel2About = QStringLiteral("% (percent)");
inline const QString kPercent = QStringLiteral(" %");

inline QList<InterfaceText> All()
{
    return {
        {"Frame1", kFrame1},         {"Frame2", kFrame2},
        {"Frame3", kFrame3},         {"Text", kText},
        {"Command4", kCommand4},     {"Command4 about", kCommand4About},
        {"Text4", kText4},           {"Text1", kText1},
        {"Text1 about", kText1About},
        {"DataGrid1", kDataGrid1},   {"DataGrid1 about", kDataGrid1About},
        {"Picture1", kPicture1},     {"Check2", kCheck2},
        {"Check1", kCheck1},         {"Combo1", kCombo1},
        {"Combo1 about", kCombo1About}, {"Combo4", kCombo4},
        {"Combo4 about", kCombo4About}, {"Slider1", kSlider1},
        {"Slider1 about", kSlider1About}, {"Slider3", kSlider3},
        {"Slider3 about", kSlider3About}, {"TE3 about", kTE3About},
        {"Label2", kLabel2},         {"Label2 about", kLabel2About},
    };
}

}  // namespace Varin2Name
