#pragma once
// The program's own table of numbered texts (53000 to 55670): captions, hints, messages, band
// names, format samples and the date, time and boolean patterns. Read through TfrLocale.
#include <QString>

namespace vaskel::StringTable {

// The text with that number, or empty text when the table holds none.
QString text(int number);

// Named numbers of texts that code refers to directly.
enum Id : int {
    sVirtualPrinter = 55007,
    sPaperNameFirst = 55008, // to 55074, no texts in this table
    sBandNameFirst = 55077, // to 55099
    sCharset = 55337,
    sUnsupportedFormat = 55345,
    sUndefinedSymbol = 55439,
    sOk = 55000,
    sCancel = 55001,
    sError = 55206,
};

} // namespace vaskel::StringTable
