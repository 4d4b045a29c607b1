// The add-word and delete-word windows' texts, as the user reads them.
#pragma once

#include "runtime/texts.h"

namespace EditingText {

// Both windows title their questions and notices with the dictionary's name,
// spelled here with گ (the dictionary window's caption spells it كَ).
inline const QString kTitle = QStringLiteral("فه\u200Cرهه\u200Cنگى  ڤارين");
inline const QString kClose = QStringLiteral("داخستن");
inline const QString kCloseTip = QStringLiteral("ده\u200Cرچوون");

}  // namespace EditingText

namespace Varin4Text {

inline const QString kCaption = QStringLiteral("زياد كردنى ووشه");
inline const QString kCommand2 = QStringLiteral("زياد كردن");
inline const QString kSkinLabel1 = QStringLiteral("Write a Kurdish Type in This Location");
inline const QString kSkinLabel3 = QStringLiteral("لةم شويَنة نووسينى كوردى بنووسة");
inline const QString kSkinLabel2 = QStringLiteral("Write a English Type in This Location");
inline const QString kSkinLabel4 = QStringLiteral("لةم شويَنة نووسنى ئينگليزى بنووسة");
// The question is kAskBefore + the English text as typed + kAskAfter.
inline const QString kAskBefore = QStringLiteral("        .... زياد بكه\u200Cم  ( ");
inline const QString kAskAfter = QStringLiteral(" )  ڕازى  ووشه\u200Cى        ");
inline const QString kRejected =
    QStringLiteral(" هيجت نه نووسيوه , يان هه\u200Cڵه\u200Cيه\u200Cك له شێوازى نووسينه\u200Cكه\u200Cت دا هه\u200Cيه .... ");
// The notice is kAddedBefore + the English text, lower-cased + kAddedAfter.
inline const QString kAddedBefore = QStringLiteral(" زياد كرا ووشه\u200Cى (");
inline const QString kAddedAfter = QStringLiteral(")");
// The program's own notices below are not in the older spelling of the
// window's texts, and not in its table.
// A pair that could not be stored: %1 the English text, %2 the store's reason.
inline const QString kAddFailed = QStringLiteral(
    "ووشه\u200Cى ( %1 ) زياد نه\u200Cكرا: فه\u200Cرهه\u200Cنگه\u200Cكه ناتوانێت بنووسرێت "
    "(ته\u200Cنها بۆ خويندنه\u200Cوه\u200Cيه، پڕه، يان به\u200Cرنامه\u200Cيه\u200Cكى تر گرتوويه\u200Cتى). "
    "هيچ شتێك نه\u200Cگۆڕا و نووسينه\u200Cكه\u200Cت له شوێنى خۆيدا ماوه.\n\n"
    "The word ( %1 ) was not added: the word database cannot be written "
    "(read-only, full, or locked by another program). Nothing was changed; "
    "your text is still in the fields.\n%2");

inline QList<InterfaceText> All()
{
    return {
        {"window caption", kCaption},        {"Command2", kCommand2},
        {"Command2 tooltip", kCommand2},     {"Command1", EditingText::kClose},
        {"Command1 tooltip", EditingText::kCloseTip},
        {"SkinLabel1", kSkinLabel1},         {"SkinLabel3", kSkinLabel3},
        {"SkinLabel2", kSkinLabel2},         {"SkinLabel4", kSkinLabel4},
        {"question, before the word", kAskBefore},
        {"question, after the word", kAskAfter},
        {"rejection notice", kRejected},     {"added notice, before the word", kAddedBefore},
        {"added notice, after the word", kAddedAfter},
        {"title", EditingText::kTitle},
    };
}

}  // namespace Varin4Text

namespace Varin5Text {

inline const QString kCaption = QStringLiteral("سرينه\u200Cوه\u200Cى ووشه");
inline const QString kCommand2 = QStringLiteral("سرينه\u200Cوه");
inline const QString kCommand5Tip = QStringLiteral("دووا ووشه");
inline const QString kCommand4Tip = QStringLiteral("به\u200Cره\u200Cو خوارتر");
inline const QString kCommand3Tip = QStringLiteral("به\u200Cره\u200Cو سه\u200Cرتر");
inline const QString kCommand6Tip = QStringLiteral("يه\u200Cکه\u200Cم ووشه");
inline const QString kSkinLabel1 = QStringLiteral("Kurdish Word");
inline const QString kSkinLabel3 = QStringLiteral("ووشةى كوردى");
inline const QString kSkinLabel2 = QStringLiteral("English Word");
inline const QString kSkinLabel4 = QStringLiteral("ووشةى ئينگليزى");
inline const QString kNothingSelected = QStringLiteral("هيچ ووشه\u200Cيه\u200Cكت ده\u200Cستنيشان نه\u200Cكردوه");
// The question is kAskBefore + the English text of Text2 + kAskAfter.
inline const QString kAskBefore = QStringLiteral("        .... بسرمه\u200Cوه   ( ");
inline const QString kAskAfter = QStringLiteral(" )  رازى  ووشه\u200Cى        ");
inline const QString kRefused =
    QStringLiteral(" ئه\u200Cم ووشه\u200Cيه ناتوانيت بسريته\u200Cوه چونكه ووشه\u200Cى فه\u200Cرهه\u200Cنگى ڤارينه .....!!!!! ");
// The shown entry left the word list (or the result) while the window was open.
inline const QString kGone = QStringLiteral(
    "ئه\u200Cم ووشه\u200Cيه ( %1 ) ئيتر له فه\u200Cرهه\u200Cنگه\u200Cكه\u200Cدا نييه؛ هيچ شتێك نه\u200Cسڕايه\u200Cوه.\n\n"
    "The word ( %1 ) is no longer in the dictionary; nothing was deleted.");
// The store could not write the delete: %1 the English text, %2 the reason.
inline const QString kDeleteFailed = QStringLiteral(
    "ووشه\u200Cى ( %1 ) نه\u200Cسڕايه\u200Cوه: فه\u200Cرهه\u200Cنگه\u200Cكه ناتوانێت بنووسرێت. هيچ شتێك نه\u200Cگۆڕا.\n\n"
    "The word ( %1 ) was not deleted: the word database cannot be written. Nothing was changed.\n%2");

inline QList<InterfaceText> All()
{
    return {
        {"window caption", kCaption},          {"Command2", kCommand2},
        {"Command2 tooltip", kCommand2},       {"Command5 tooltip", kCommand5Tip},
        {"Command4 tooltip", kCommand4Tip},    {"Command3 tooltip", kCommand3Tip},
        {"Command6 tooltip", kCommand6Tip},    {"Command1", EditingText::kClose},
        {"Command1 tooltip", EditingText::kCloseTip},
        {"SkinLabel1", kSkinLabel1},           {"SkinLabel3", kSkinLabel3},
        {"SkinLabel2", kSkinLabel2},           {"SkinLabel4", kSkinLabel4},
        {"nothing-selected notice", kNothingSelected},
        {"question, before the word", kAskBefore},
        {"question, after the word", kAskAfter},
        {"refusal notice", kRefused},          {"title", EditingText::kTitle},
    };
}

}  // namespace Varin5Text

// What a screen reader says of the two word fields, which have no caption of
// their own.
namespace EditingName {
inline const QString kKurdishField = QStringLiteral("ووشه\u200Cى كوردى");
inline const QString kEnglishField = QStringLiteral("ووشه\u200Cى ئينگليزى");
}  // namespace EditingName
