#pragma once
// Runs a command-line tool that paints without a window: the tools run before, and instead of, the
// desktop's application object, yet fonts and painting need one. Creates a headless one (no display
// needed) unless the caller already has an application, and hands the tool the process's standard
// output and error.
#include <QStringList>

class QTextStream;

namespace vaskel {

using ToolMain = int (*)(const QStringList& args, QTextStream& out, QTextStream& err);

int runHeadless(const QStringList& args, ToolMain tool);

} // namespace vaskel
