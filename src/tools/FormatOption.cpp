#include "tools/FormatOption.h"

#include "platform/PlatformGlobals.h"
#include "report/expr/ValueText.h"
#include "report/model/DisplayFormat.h"
#include "report/model/TextExpansion.h"

namespace vaskel {

std::optional<qint32> parseFormatCode(const QString& text)
{
    // "$…" and "0x…" are hexadecimal over the full 32 bits, like the engine's integer texts.
    return ValueText::tryStrToInt(text.trimmed());
}

QString formatForEval(const Value& value, std::optional<qint32> code, const QString& formatText)
{
    if (code)
        return FormatForDisplay(value, *code, formatText);
    // The code of a new view (text, 2 decimals, the locale's separator) unless the suffix sets one.
    qint32 suffixCode = 0x200 + (PlatformGlobals::get().locale.decimalSeparator.unicode() & 0xFF);
    QString fmt;
    ParseFormatSuffix(formatText, suffixCode, fmt);
    return FormatForDisplay(value, suffixCode, fmt);
}

} // namespace vaskel
