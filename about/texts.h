// The about window's texts, as the user reads them.
#pragma once

#include "runtime/texts.h"

namespace Varin1Text {

inline const QString kCommand2 = QStringLiteral("سووبٍاس نامه");
inline const QString kCommand2Tip = QStringLiteral("كليككه");
// The tatweels stretch the caption across the button, as drawn.
inline const QString kCommand1 = QStringLiteral("تــــــــه واو");
inline const QString kCommand1Tip = QStringLiteral("ده\u200Cرچوون");
inline const QString kCommand3 = QStringLiteral("OK");

inline QList<InterfaceText> All()
{
    return {
        {"Command2", kCommand2}, {"Command2 tooltip", kCommand2Tip},
        {"Command1", kCommand1}, {"Command1 tooltip", kCommand1Tip},
        {"Command3", kCommand3},
    };
}

}  // namespace Varin1Text

// What a screen reader says for the about window's pictures and for the
// buttons whose caption is stretched or in English.
namespace Varin1Name {

inline const QString kWindow = QStringLiteral("ده\u200Cرباره\u200Cى فه\u200Cرهه\u200Cنگ");
inline const QString kWindowAbout = QStringLiteral("About the dictionary");
inline const QString kPicture1 = QStringLiteral("وينه\u200Cى پشته\u200Cوه");
inline const QString kSFlash1 = QStringLiteral("وينه\u200Cى جوولاو");
inline const QString kSFlash1About = QStringLiteral("Animation");
inline const QString kPi2 = QStringLiteral("وينه\u200Cى ناوه\u200Cراست");
inline const QString kPi9 = QStringLiteral("وينه\u200Cى سه\u200Cره\u200Cوه");
inline const QString kPi1 = QStringLiteral("وينه\u200Cى خواره\u200Cوه");
inline const QString kCommand1 = QStringLiteral("ته\u200Cواو");
inline const QString kCommand3 = QStringLiteral("باشه");
inline const QString kCommand3About = QStringLiteral("OK: كوّتايى سوپاس نامه (end the thanks letter)");
inline const QString kPicture4 = QStringLiteral("سه\u200Cرى سوپاس نامه");
inline const QString kPicture2 = QStringLiteral("سوپاس نامه");
inline const QString kPicture2About = QStringLiteral("Thanks letter");
inline const QString kPicture3 = QStringLiteral("بنى سوپاس نامه");

inline QList<InterfaceText> All()
{
    return {
        {"window", kWindow},       {"window about", kWindowAbout},
        {"Picture1", kPicture1},   {"SFlash1", kSFlash1},
        {"SFlash1 about", kSFlash1About}, {"Pi2", kPi2},
        {"Pi9", kPi9},             {"Pi1", kPi1},
        {"Command1", kCommand1},   {"Command3", kCommand3},
        {"Command3 about", kCommand3About}, {"Picture4", kPicture4},
        {"Picture2", kPicture2},   {"Picture2 about", kPicture2About},
        {"Picture3", kPicture3},
    };
}

}  // namespace Varin1Name
