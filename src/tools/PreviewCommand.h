#pragma once
// `vaskel preview FILE.frp` (and `vaskel FILE.frp`): opens a prepared-report file straight in the
// preview window, without the query window or the database, and returns when the window closes.
#include <QStringList>

namespace vaskel {

class TfrReport;

int runPreviewCommand(const QStringList& args);

// Loads `fileName` into `report` and shows it through the report's ShowPrepared. A file that
// cannot be read shows the platform's message in the standard error box and answers false.
bool showPreparedFile(TfrReport& report, const QString& fileName);

} // namespace vaskel
