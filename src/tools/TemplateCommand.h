#pragma once
// `vaskel template dump FILE.frf` prints a template as JSON on standard output;
// `vaskel template build FILE.json -o FILE.frf` writes the binary template a JSON text describes.
// Building the dump of a template gives the same bytes except the last-change date, which the
// writer sets to now. The dump reads the file as the engine reads its own copy (no password
// window); a template the reader refuses prints the reader's message and exits with 1.
#include <QStringList>
#include <QTextStream>

namespace vaskel {

// `args` are the words after "template". Exit codes: 0 done, 1 a file could not be read, parsed
// or written, 2 wrong arguments.
int runTemplateCommand(const QStringList& args);
int runTemplateCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace vaskel
