#pragma once
// Prepared pages as one self-contained HTML file: each page a block at its paper size (96 CSS
// pixels to the inch) holding its memos as absolutely positioned, selectable text in their fonts
// (with Chinese fallback families), frames as borders and fills as backgrounds. Pictures, lines
// and other drawn views are drawn as the PDF draws them into one image per page, embedded as a
// data URI beneath the text, so the file needs nothing beside it.
#include "report/export/ReportExporter.h"

namespace vaskel {

class HtmlExport final : public ReportExporter {
public:
    bool write(TfrEMFPages& pages, const QString& fileName, const ExportDocumentInfo& info,
        const Progress& progress = {}) override;
};

} // namespace vaskel
