#pragma once
// `vaskel eval EXPRESSION…`: evaluates each expression with no report loaded (names and unknown
// functions yield empty) and prints one line per expression: the value's kind, one space and its
// text form ("float 14", "string abc"), or "error: " and the message. Template authors try
// expressions with it; tests and checks use it too. The pinned English locale keeps the output the
// same on every machine.
#include <QStringList>
#include <QTextStream>

namespace vaskel {

// `args` are the expressions (the words after "eval"). Exit code 0 when every expression
// evaluated, 1 when one failed, 2 when no expression was given.
int runEvalCommand(const QStringList& args);
int runEvalCommand(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace vaskel
