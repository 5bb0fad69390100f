#pragma once
// Prepared pages as a PDF file: one PDF page per prepared page at its paper size, text kept as
// text, each page drawn into the rectangle the print run uses (the whole sheet for pages with the
// margins flag, otherwise the printable area inside the margins). The file is written beside its
// target and renamed over it only when complete; failures throw VaskelError ("Cannot create file
// ..."). The preview's Export to PDF and `vaskel render --pdf` both write through here.
#include <QString>

#include <functional>

namespace vaskel {

class TfrEMFPages;

class PdfExport {
public:
    // Called after each page with its 1-based number; answers true to stop (nothing is written).
    using Progress = std::function<bool(int pageNumber)>;

    // `title` becomes the document's title (none when empty). An empty report gives one blank
    // page. False when `progress` stopped the export.
    static bool write(
        TfrEMFPages& pages, const QString& fileName, const QString& title, const Progress& progress = {});
};

} // namespace vaskel
