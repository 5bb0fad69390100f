#pragma once
// Runs one of the program's command-line commands in process and keeps its exit status and the
// text it wrote to standard output and standard error.
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace vaskel::test {

struct CommandRun {
    int code = 0;
    QString out;
    QString err;
};

// `command` is a command's entry point, such as runEvalCommand or runRenderCommand.
inline CommandRun runCommand(
    int (*command)(const QStringList&, QTextStream&, QTextStream&), const QStringList& args)
{
    CommandRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.code = command(args, out, err);
    out.flush();
    err.flush();
    return r;
}

} // namespace vaskel::test
