#pragma once
// `vaskel preview FILE.frp` (and `vaskel FILE.frp`): opens a prepared-report file straight in the
// preview window, without the query window or the database, and returns when the window closes.
#include <QStringList>

namespace vaskel {

class TfrReport;

// Status 0 after the window closed, 1 when the file cannot be read (the platform's message in the
// standard error box and on standard error), 2 on a usage error. Uses the application object of
// the caller when there is one, else creates the desktop's own.
int runPreviewCommand(const QStringList& args);

// Loads `fileName` into `report` and shows it through the report's ShowPrepared. A file that
// cannot be read shows the platform's message in the standard error box and answers false,
// with the file's name, the message and its detail in `error` when given.
bool showPreparedFile(TfrReport& report, const QString& fileName, QString* error = nullptr);

} // namespace vaskel
