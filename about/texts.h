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
