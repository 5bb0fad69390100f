#pragma once
// `vaskel eval [OPTIONS] EXPRESSION…`: evaluates each expression as a report would, with the
// function libraries installed and an empty report behind the name lookup (so FORMATFLOAT,
// UPPERCASE, clRed and CRLF work and an unknown name fails with "Undefined symbol"), and prints
// one line per expression: the value's kind, one space and its text form ("float 14",
// "string abc"), or "error: " and the message. Template authors try expressions with it; tests
// and checks use it too. The pinned English locale keeps the output the same on every machine.
//
// Options come from a table in the source, one row per option (--var NAME=VALUE sets a run-time
// variable before the expressions are evaluated); further tools of the expression language add
// rows there.
#include <QStringList>
#include <QTextStream>

namespace vaskel {

// `args` are the words after "eval". Exit code 0 when everything evaluated, 1 when something
// failed, 2 for a usage error (nothing to do, an unknown option, a malformed option value).
int runEvalCommand(const QStringList& args);
int runEvalCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace vaskel
