#pragma once
// `vaskel import-dbf [--database FILE] [--code-page NAME] [--table NAME] FILE.dbf…`: dBASE tables
// into the embedded SQLite database (the demo database that "./vaskel.sh run" opens, unless
// --database names another file). Each table replaces the table of the same name (the file's name,
// or --table for a single file). Returns the exit code: 0 done, 1 nothing imported, 2 bad usage.
#include <QStringList>
#include <QTextStream>

namespace vaskel {

int runImportDbfCommand(const QStringList& args);
int runImportDbfCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace vaskel
