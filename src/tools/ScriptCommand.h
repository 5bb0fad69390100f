#pragma once
// `vaskel eval --script FILE`: compiles the script in FILE (UTF-8, one statement per the script
// language, usually a begin … end block) with the process's script interpreter, runs what compiled,
// and prints the run-time variables the script left, one line each: name, " = ", the value's kind,
// one space and its text form ("x = float 3"). Compile errors are printed first as the error lines
// of the compiler ("Line 3/12: Need \"then\" here"), a run error as "error: " and its message.
// Template authors try scripts with it before putting them into a report.
#include <QString>
#include <QTextStream>

namespace vaskel {

// Runs in the engine globals that exist (the eval command's, with its lookup chain and function
// libraries installed); creates a plain one when there are none. Exit code 0 when the script
// compiled and ran, 1 on a compile or run error, 2 when the file cannot be read.
int runScriptFile(const QString& path, QTextStream& out);

} // namespace vaskel
