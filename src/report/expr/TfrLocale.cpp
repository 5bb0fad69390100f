#include "report/expr/TfrLocale.h"

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

} // namespace vaskel
