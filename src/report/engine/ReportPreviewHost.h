#pragma once
// How the report component reaches the preview windows without knowing them: the preview layer
// installs a `ReportPreviewHost` into the engine globals at start-up, and an embedded preview
// control implements `ReportPreviewControl` and is named by the report's `Preview`. Without a host
// (tools, engine tests) `ShowPrepared` shows nothing.
#include <QString>

namespace vaskel {

class TfrReport;

// An embedded preview control as the report sees it.
class ReportPreviewControl {
public:
    virtual ~ReportPreviewControl() = default;
    // Takes the report's prepared pages and shows them; the report keeps an empty store.
    virtual void Connect(TfrReport& report) = 0;
    // Gives the pages back to the report (printing works on the report's own store).
    virtual void Disconnect() = 0;
};

class ReportPreviewHost {
public:
    virtual ~ReportPreviewHost() = default;
    // Opens a new preview window on the report's prepared pages with `caption`; returns after the
    // window closes when the report's ModalPreview is on, else at once.
    virtual void ShowPreviewWindow(TfrReport& report, const QString& caption) = 0;
    // The report goes away: the windows it owns close and drop their pages with it.
    virtual void ReportDestroyed(TfrReport& report) = 0;
};

} // namespace vaskel
