#include "report/expr/TfrLocale.h"

#include "platform/InterfaceLanguage.h"
#include "report/expr/StringTable.h"

namespace vaskel {

QString TfrLocale::LoadString(int number) const
{
    if (m_callback) {
        const QString localized = m_callback(number);
        if (!localized.isEmpty())
            return localized.left(kMaxLength);
    }
    return StringTable::text(number).left(kMaxLength);
}

void TfrLocale::useInterfaceLanguage()
{
    setLocalizeCallback(
        [](int number) { return InterfaceLanguage::stringTableText(number, StringTable::text(number)); });
}

} // namespace vaskel
