#pragma once
// The one engine-globals object: created at program start, destroyed at exit; each test creates a
// fresh one. It holds the run state, the printer model and, through its bases, the string loader,
// locale settings, UI services and code page; the parser, interpreter, variable lists, function
// libraries and page compressor join it as they are built. No other mutable global state exists.
#include "report/expr/ExprGlobals.h"
#include "report/model/PageCompressor.h"
#include "report/model/RunState.h"
#include "report/model/TInterpretator.h"
#include "report/model/TfrPrinter.h"

#include <memory>

namespace vaskel {

class ReportPreviewHost;

class TfrGlobals : public ExprGlobals {
public:
    TfrGlobals();
    ~TfrGlobals() override;

    static TfrGlobals& get();
    static bool exists();

    RunState run;
    // The ceiling on pages one run prepares, read from the settings store ("Report/MaxPages")
    // when the globals are created at start-up; each report starts with it.
    static constexpr qint32 kDefaultMaxPreparedPages = 1000000;
    static constexpr const char* kMaxPagesKey = "Report/MaxPages";
    qint32 maxPreparedPages = kDefaultMaxPreparedPages;
    // The one script interpreter; the report component connects it to the running report.
    TInterpretator interpreter;

    // The printer model. It exists from construction on, attached to no printer system (the
    // virtual printer); the desktop hands over the system's printers with startPrinter().
    TfrPrinter& printer() { return *m_printer; }
    PrinterBackend* printerBackend() const { return m_printerBackend.get(); }
    // Set once the printer model has been created and attached; reading a template waits for it.
    bool printerReady() const { return m_printerReady; }
    // Runs the printer model's start-up on `backend` (null: no printers), replacing the model.
    void startPrinter(std::unique_ptr<PrinterBackend> backend);

    // The page compressor the prepared pages stores share; null until the engine installs one.
    PageCompressor* compressor() const { return m_compressor.get(); }
    void setCompressor(std::unique_ptr<PageCompressor> compressor) { m_compressor = std::move(compressor); }

    // The preview windows' host, installed by the preview layer; null in tools and engine tests.
    // A shared pointer because the host's class belongs to a layer above this one.
    ReportPreviewHost* previewHost() const { return m_previewHost.get(); }
    void setPreviewHost(std::shared_ptr<ReportPreviewHost> host) { m_previewHost = std::move(host); }

private:
    // The backend is declared first so that it outlives the model that points to it.
    std::unique_ptr<PrinterBackend> m_printerBackend;
    std::unique_ptr<TfrPrinter> m_printer;
    bool m_printerReady = false;
    std::unique_ptr<PageCompressor> m_compressor;
    std::shared_ptr<ReportPreviewHost> m_previewHost;
    TfrGlobals* m_previous = nullptr;
};

// Shorthand for the printer model of the current globals.
inline TfrPrinter& frPrinter()
{
    return TfrGlobals::get().printer();
}

// Shorthand for the run state of the current globals.
inline RunState& frRun()
{
    return TfrGlobals::get().run;
}

} // namespace vaskel
