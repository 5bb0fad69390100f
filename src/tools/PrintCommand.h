#pragma once
// `vaskel print`: prints a prepared-report file, or a template run as `vaskel render` runs it
// (with its data options), on one of the system's printers without a window. `--list` shows the
// printers as the report engine sees them. Status 0 when the pages went to the printer, 1 for a
// file, run or printer error (with the system's message), 2 for a usage error.
#include <QStringList>
#include <QTextStream>

namespace vaskel {

int runPrintCommand(const QStringList& args);
int runPrintCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace vaskel
