#pragma once
// F9 in the designer: the template as it stands in the designer (saved or not) prepared on the
// bill data module's queries over an ODBC connection, shown in the preview window. The preview is
// modal: the designer's template does not change under a report that is being shown.
#include <QString>

namespace vaskel {

class DesignDocument;

namespace DesignPreview {
// Failures (no connection, a statement the database rejects, a run error) are shown through the
// UI services; false then.
bool run(DesignDocument& doc, const QString& odbcConnection);
} // namespace DesignPreview

} // namespace vaskel
