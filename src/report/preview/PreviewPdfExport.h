#pragma once
// The preview's Export to PDF command: asks for the file name in the save dialog, then writes the
// held pages as `vaskel render --pdf` does, inside the progress window whose Cancel stops it
// (and leaves no file). Errors are shown in the standard error box.
#include <QString>

namespace vaskel {

class TfrEMFPages;

class PreviewPdfExport {
public:
    static QString hint();
    // True when a file was written. `suggestedName` (may be empty) is offered in the dialog;
    // `chosen`, when given, receives the name chosen there.
    static bool run(TfrEMFPages& pages, const QString& title, const QString& suggestedName = {},
        QString* chosen = nullptr);
};

} // namespace vaskel
