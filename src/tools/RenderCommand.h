#pragma once
// `vaskel render`: prepared pages into files, without a window. The pages come from a template
// run as the query window's Print preview runs it (`TEMPLATE.frf`, against the data source: the
// bill's statements with `--bill`, statements of the caller's own with `--query`) or from a
// prepared-report file (`--frp FILE`). They go to a PDF (`--pdf FILE`), to PNG images (`--png DIR`,
// `--dpi N`), to a JSON dump of every page and object (`--json` on standard output, `--json FILE`
// or `--json=FILE`) and to a prepared-report file (`--save FILE`); several at once.
//
// Options come from a table in the source, one row per option. Message boxes of a run go to the
// error stream; an error box (a template the reader rejects, a calculation error) fails the run.
#include <QStringList>
#include <QTextStream>

namespace vaskel {

// `args` are the words after "render". Exit code 0 when everything was written, 1 when the input
// could not be read, the run failed or an output was not written (the message on `err`), 2 for a
// usage error. The first form makes the headless application object the run needs when none
// exists.
int runRenderCommand(const QStringList& args);
int runRenderCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace vaskel
