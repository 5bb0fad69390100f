#pragma once
// The display-format options of `vaskel eval`: `--format CODE` (a packed format code, decimal or
// hexadecimal as "0x01010200" or "$01010200") and `--format-text TEXT`. With a code, the text is the
// format text of custom kinds, as a view stores them. Without a code, the text is read as the
// suffix a template author writes after " #" in a bracket ("N0,2", "N#,##0.00", "Ddd.mm.yyyy",
// "BNo;Yes"), so a format can be tried exactly as it will be written.
#include "report/expr/Value.h"

#include <QString>

#include <optional>

namespace vaskel {

// The code of a `--format` argument; nothing for a text that is not a 32-bit number.
std::optional<qint32> parseFormatCode(const QString& text);

// The display text of `value` under `code` and `formatText`. Raises the engine's conversion error
// for a suffix whose decimal count is not a number.
QString formatForEval(const Value& value, std::optional<qint32> code, const QString& formatText);

} // namespace vaskel
