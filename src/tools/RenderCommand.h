#pragma once
// `vaskel render`: turns prepared pages into files. The pages come from a prepared-report file
// (`--frp FILE`); they go to a PDF (`--pdf FILE`: one PDF page per prepared page at its paper
// size, text kept as text), to PNG images (`--png DIR`, `--dpi N`, 96 by default: page-001.png …)
// and to a JSON dump of every page and object (`--json` on standard output, `--json FILE` or
// `--json=FILE`). Several outputs may be asked for at once.
//
// Options come from a table in the source, one row per option: a source of pages (a template run
// against the data source) is one more row there.
#include <QStringList>
#include <QTextStream>

namespace vaskel {

// `args` are the words after "render". Exit code 0 when everything was written, 1 when the input
// could not be read or an output not written (the message on `err`), 2 for a usage error.
int runRenderCommand(const QStringList& args);
int runRenderCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace vaskel
