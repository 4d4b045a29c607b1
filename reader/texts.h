// The text reader's texts, as the user reads them.
#pragma once

#include "runtime/texts.h"

namespace Varin3Text {

inline const QString kCaption = QStringLiteral("خوندنه\u200Cوه\u200Cى نوسين");
inline const QString kText1Tip = QStringLiteral("بنووسه");
inline const QString kCmdOpen = QStringLiteral("كردنه\u200Cوه");
inline const QString kCmdOpenTip = QStringLiteral(" Text كردنه\u200Cوه\u200Cى مه\u200Cله\u200Cفى");
inline const QString kCmdSpeak = QStringLiteral("كَوتن");
inline const QString kCmdSpeakTip = QStringLiteral("خويندنه\u200Cوه\u200Cى هه\u200Cموو ووشه\u200Cكان");
inline const QString kCommand3 = QStringLiteral("وه\u200Cستان");
inline const QString kCmdPause = QStringLiteral("راكَرتن");
inline const QString kCmdPauseTip = QStringLiteral("راگرتنى خويندنه\u200Cوه");
inline const QString kCmdClear = QStringLiteral("سرينه\u200Cوه");
inline const QString kCmdClearTip = QStringLiteral("سرينه\u200Cوه");
inline const QString kCommand1 = QStringLiteral("داخستن");
inline const QString kCommand1Tip = QStringLiteral("ده\u200Cرچوون");
inline const QString kSlider1Tip = QStringLiteral("خيرايى خويندنه\u200Cوه");
inline const QString kTextFrame = QStringLiteral(" شويَنى نوسين ");
inline const QString kButtonFrame = QStringLiteral(" دوگمةكان ");
inline const QString kSpeedFrame = QStringLiteral(" خيَرا ");
inline const QString kVoiceFrame = QStringLiteral(" شيَوه ");
inline const QString kPitchFrame = QStringLiteral(" ثلـه");

// Notices of the open command: a file that is not loaded leaves the text box
// as it was and says why, in Kurdish for the user and English for a developer.
inline const QString kNotOpened = QStringLiteral("فایلی دەقەکە نەکرایەوە:");
inline const QString kNotOpenedEn = QStringLiteral("The text file was not opened:");
inline const QString kUnchanged = QStringLiteral("دەقی ناو پەنجەرەکە وەک خۆی ماوە.");
inline const QString kUnchangedEn = QStringLiteral("The text in the window is unchanged.");
inline const QString kMissing = QStringLiteral("فایلەکە نەدۆزرایەوە.");
inline const QString kUnreadable = QStringLiteral("ناتوانرێت فایلەکە بخوێندرێتەوە.");
// Followed by the file's size; the limit is 50 MB.
inline const QString kTooLarge = QStringLiteral("فایلەکە زۆر گەورەیە بۆ خوێندنەوە؛ سنوورەکە ٥٠ مێگابایتە.");
inline const QString kNotText = QStringLiteral("ئەم فایلە دەق نییە.");

// The interface's texts (the notices above are today's spelling and not among them).
inline QList<InterfaceText> All()
{
    return {
        {"window caption", kCaption},
        {"Text1 tooltip", kText1Tip},
        {"cmdopen", kCmdOpen},
        {"cmdopen tooltip", kCmdOpenTip},
        {"cmdspeak", kCmdSpeak},
        {"cmdspeak tooltip", kCmdSpeakTip},
        {"Command3", kCommand3},
        {"cmdpause", kCmdPause},
        {"cmdpause tooltip", kCmdPauseTip},
        {"cmdclear", kCmdClear},
        {"cmdclear tooltip", kCmdClearTip},
        {"Command1", kCommand1},
        {"Command1 tooltip", kCommand1Tip},
        {"Slider1 tooltip", kSlider1Tip},
        {"text frame", kTextFrame},
        {"button frame", kButtonFrame},
        {"speed frame", kSpeedFrame},
        {"voice frame", kVoiceFrame},
        {"pitch frame", kPitchFrame},
    };
}

}  // namespace Varin3Text

// What a screen reader says for the reader's controls whose caption does not
// tell what they are; the buttons' frame and the voice and pitch lists are
// named as in the dictionary window.
namespace Varin3Name {

inline const QString kText1 = QStringLiteral("نووسين");
inline const QString kText1About = QStringLiteral(
    "ئه\u200Cو نووسينه\u200Cى ده\u200Cخويندريته\u200Cوه (the text read aloud; F2 or a double-click on a word shows "
    "its entries in the dictionary)");
inline const QString kFrame5 = QStringLiteral("پله");
inline const QString kSlider1 = QStringLiteral("خيرايى خويندنه\u200Cوه");
inline const QString kSlider1About = QStringLiteral("خيرايى خويندنه\u200Cوه، 0 تا 20 (reading speed, 0 slow to 20 fast, 10 normal)");
inline const QString kCommand3About = QStringLiteral("وه\u200Cستان (pause the reading)");

inline QList<InterfaceText> All()
{
    return {
        {"Text1", kText1},        {"Text1 about", kText1About},     {"Frame5", kFrame5},
        {"Slider1", kSlider1},    {"Slider1 about", kSlider1About}, {"Command3 about", kCommand3About},
    };
}

}  // namespace Varin3Name

// The reader's word window, in today's spelling as the notices are: what a
// screen reader says of it, and the notice for a word the dictionary does not have.
namespace WordPopupText {

inline const QString kName = QStringLiteral("وشەکە لە فەرهەنگدا");
inline const QString kAbout = QStringLiteral(
    "ئەو وشانەی فەرهەنگ کە بۆ وشەکە دۆزرانەوە؛ Escape دایدەخات (the dictionary's entries for the word; Escape "
    "closes this window)");
inline const QString kHeading = QStringLiteral("وشەی دۆزراوە");
inline const QString kNotFound = QStringLiteral("ئەم وشەیە لە فەرهەنگدا نییە.");
inline const QString kNotFoundEn = QStringLiteral("This word is not in the dictionary.");

}  // namespace WordPopupText
