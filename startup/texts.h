// The start-up's texts, as the user reads them.
#pragma once

#include "module1.h"
#include "runtime/texts.h"

namespace Varin0Text {

inline const QString kAlreadyRunning = QStringLiteral("  فه\u200Cرهه\u200Cنگى ڤارين له\u200Cكار دايه .....!!!!! ");

inline QList<InterfaceText> All()
{
    return {
        {"another copy running", kAlreadyRunning},
        {"notice title", DictionaryName()},
    };
}

}  // namespace Varin0Text

// The splash has no title; a screen reader names it by the dictionary.
namespace Varin0Name {

inline const QString kWindowAbout = QStringLiteral("فه\u200Cرهه\u200Cنگى ڤارين ده\u200Cكريته\u200Cوه (the Varin dictionary is starting)");

inline QList<InterfaceText> All()
{
    return {{"window about", kWindowAbout}};
}

}  // namespace Varin0Name
