#pragma once
// Prepared pages as a PDF file, drawn through cairo's PDF surface: one PDF page per prepared page
// at its paper size, each page drawn into the rectangle the print run uses (the whole sheet for
// pages with the margins flag, otherwise the printable area inside the margins). Text stays text,
// in subsets of the fonts the screen uses, with the characters it stands for; the document
// information carries the title, author, subject and creator given. The preview's Export to PDF
// and `vaskel render --pdf` both write through here.
#include "report/export/ReportExporter.h"

namespace vaskel {

class PdfExport final : public ReportExporter {
public:
    // An empty report gives one blank A4 page.
    bool write(TfrEMFPages& pages, const QString& fileName, const ExportDocumentInfo& info,
        const Progress& progress = {}) override;
};

} // namespace vaskel
