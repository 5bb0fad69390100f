#pragma once
// The command-line entry points of the one program: `vaskel render`, `vaskel template`,
// `vaskel import-dbf`, plus --version and --help. Returns the process exit code, or nothing when
// the arguments ask for the desktop program (no sub-command).
#include <QStringList>

#include <optional>

namespace vaskel {

std::optional<int> runCommandLine(const QStringList& args);
QString usageText();

} // namespace vaskel
