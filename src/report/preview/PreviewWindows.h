#pragma once
// The preview layer's side of the report's ShowPrepared: opens a TfrPreviewForm for a report,
// keeps the zoom memory that every preview window of the process shares, and closes a report's
// windows when the report goes away. Installed into the engine globals once at start-up (the
// desktop program, `vaskel preview`, the tests).
#include "report/engine/ReportPreviewHost.h"
#include "report/preview/PageArrangement.h"

#include <QList>
#include <QPointer>

#include <memory>

namespace vaskel {

class TfrGlobals;
class TfrPreviewForm;

// The zoom last chosen in any preview of the process; not kept in the settings store.
struct ZoomMemory {
    double LastZoomFactor = 1.0;
    PreviewZoomMode LastZoomMode = PreviewZoomMode::Fixed;
};

class PreviewWindows : public ReportPreviewHost {
public:
    ~PreviewWindows() override;

    // Installs a new host into `globals` and returns it (owned by the globals).
    static PreviewWindows& install(TfrGlobals& globals);
    // The installed host, or null.
    static PreviewWindows* installed();

    void ShowPreviewWindow(TfrReport& report, const QString& caption) override;
    void ReportDestroyed(TfrReport& report) override;

    ZoomMemory& zoom() { return m_zoom; }
    // The windows open now (non-modal ones live on after ShowPrepared returned).
    QList<TfrPreviewForm*> openWindows() const;
    // The name a file saved from the next windows' pages is offered under when the report has no
    // title (the query window's bill number); empty: none.
    QString fileNameHint;
    // Called for every new window before it shows (tests drive modal windows from here).
    std::function<void(TfrPreviewForm&)> onWindowCreated;

private:
    ZoomMemory m_zoom;
    QList<QPointer<TfrPreviewForm>> m_windows;
};

} // namespace vaskel
