#pragma once
// `vaskel design [FILE.frf] [--demo | --connection STRING]` (and `vaskel FILE.frf`, as the file
// manager opens a template): the report designer on a template, or on a new one without a file.
// Returns when the window closes.
#include <QStringList>

namespace vaskel {

// Status 0 after the window closed, 1 when the template cannot be read (the reader's message was
// shown and is written to standard error), 2 on a usage error. Uses the caller's application
// object when there is one, else creates the desktop's own.
int runDesignCommand(const QStringList& args);

} // namespace vaskel
