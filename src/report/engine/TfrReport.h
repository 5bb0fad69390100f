#pragma once
// The report component a window owns: a template (pages, data dictionary, report information),
// the prepared pages store, the template's settings and the report events. It reads and writes
// templates, loads and saves prepared reports and selects the printer the template asks for; its
// run operations form the prepared pages from the template.
//
// While a run goes on (between connectRun and disconnectRun) the report is the engine's current
// report: its scope answers the global parser's names and functions, the global script
// interpreter reads and writes its dictionary and pages, and views printing into the store call
// back through its print hooks. Only one report runs at a time; the run state says which.
#include "report/engine/DatasetComponent.h"
#include "report/engine/PageFormerList.h"
#include "report/engine/ReportScope.h"
#include "report/engine/TfrEMFPages.h"
#include "report/model/ReportPrintHooks.h"
#include "report/model/TemplateHolder.h"
#include "report/model/TfrGlobals.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace vaskel {

class DatasetComponentOwner;
class ProgressControl;
class TfrBand;
class TfrDataset;
class ReportPreviewControl;
class TfrPage;
class TfrView;

enum TfrReportType : quint8 { rtSimple, rtMultiple };
enum TfrPreviewButton : quint8 { pbZoom, pbLoad, pbSave, pbPrint, pbFind, pbHelp, pbExit, pbPageSetup };
enum TfrPreviewZoom : quint8 { pzDefault, pzPageWidth, pzOnePage, pzTwoPages };

class TfrReport : public DatasetComponent, public ReportPrintHooks {
    // First, so that the fields below can refer to the scope's own copies.
    ReportScope m_scope;

public:
    explicit TfrReport(const QString& name = QStringLiteral("frReport1"));
    ~TfrReport() override;

    // The window (or host) that owns the report; report datasets and field references are found
    // through it. Not owned; set by whoever creates the report.
    DatasetComponentOwner* owner() const { return m_owner; }
    void setOwner(DatasetComponentOwner* owner);

    // The template: pages, data dictionary, information block and header settings.
    TemplateHolder Template;
    TfrPages& TemplatePages() { return Template.Pages; }
    TfrDataDictionary& VariableDictionary() { return Template.Dictionary; }
    TfrEMFPages& PreparedPages() { return *m_preparedPages; }
    // A preview takes the store while it shows the pages and leaves the report an empty one;
    // giving the store back replaces that empty one.
    std::unique_ptr<TfrEMFPages> TakePreparedPages();
    void GivePreparedPages(std::unique_ptr<TfrEMFPages> pages);

    // Master dataset of an rtMultiple report (not owned); cleared when that component goes away.
    // Set it through setDataset so that its removal is noticed at once.
    TfrDataset*& Dataset = m_scope.Dataset;
    void setDataset(TfrDataset* dataset);
    bool GrayedButtons = false;
    TfrReportType ReportType = rtSimple;
    QString Title;
    bool ShowProgress = true;
    bool ModalPreview = true;
    bool ModifyPrepared = true;
    bool StoreInDFM = false;
    quint8 PreviewButtons = 0x7F; // bit per TfrPreviewButton; all but pbPageSetup
    TfrPreviewZoom InitialZoom = pzDefault;
    bool MDIPreview = false;
    // An embedded preview control that shows the pages instead of a preview window (not owned;
    // the control clears it when it goes away).
    ReportPreviewControl* Preview = nullptr;
    qint32 DefaultCopies = 1;
    bool DefaultCollate = true;
    bool PrintIfEmpty = true;
    bool ShowPrintDialog = true;
    bool RebuildPrinter = false;
    // The ceiling on pages one run prepares, far above any real report; reaching it stops the run
    // with a calculation error. From the settings store ("Report/MaxPages", read at start-up).
    qint32 MaxPreparedPages = TfrGlobals::kDefaultMaxPreparedPages;
    // A field name without dataset part is looked up in the dataset of the band being printed.
    bool& UseDefaultDataSetName = m_scope.UseDefaultDataSetName;
    bool Rebuildable = false;
    // The run must stop: Cancel, the script procedure STOPREPORT and calculation errors set it.
    bool& StopRequested = m_scope.StopRequested;
    bool& FinalPass = m_scope.FinalPass; // on while the final pass runs (FINALPASS)
    bool TwoPassRun = false;
    TfrPage* CurrentTemplatePage = nullptr; // not owned
    QString PrintPageList;
    qint32 PrintCopies = 1;
    bool PrintCollate = true;
    quint8 PrintSelection = 0;
    // Template settings stored in the template's header.
    bool& UseDefaultPrinter = Template.UseDefaultPrinter;
    bool& TwoPass = Template.TwoPass;
    QString& PrinterName = Template.PrinterName;
    QString& TemplateFileName = Template.TemplateFileName; // "Untitled" until a file is loaded

    // Events; each fires only when assigned.
    std::function<void()> OnBeginDoc;
    std::function<void()> OnEndDoc;
    std::function<void(qint32 pageNumber)> OnBeginPage;
    std::function<void(qint32 pageNumber)> OnEndPage;
    std::function<void(TfrBand& band)> OnBeginBand;
    std::function<void(TfrBand& band)> OnEndBand;
    std::function<void(const QString& name, Value& value)> OnGetValue;
    std::function<void(QStringList& lines, TfrView& view)> OnBeforePrint;
    std::function<void(qint32 n)> OnProgress;
    std::function<void(const QString& name, const Value& p1, const Value& p2, const Value& p3, Value& value)>
        OnUserFunction;
    std::function<void(TfrBand& band)> OnBeginColumn;
    std::function<void(qint32 column, qint32& width)> OnPrintColumn;
    std::function<void(TfrPage& page)> OnManualBuild;
    std::function<void(TfrView& view)> OnObjectClick;
    std::function<void(TfrView& view, Qt::CursorShape& cursor)> OnMouseOverObject;
    std::function<void()> OnPrintReport;
    std::function<void(TfrView& view)> OnCustomizeObject; // kept for templates; never fired

    // Seams for the parts of a run that other components carry out; each is skipped when unset.
    // The layout engine moves CurY of the page it forms (script assignment to CURY, report units).
    std::function<void(qint32 y)> SetPageCurY;
    // The window of the dialog page being shown takes a modal result (script MODALRESULT).
    std::function<void(qint32 result)> SetDialogModalResult;
    // The progress window of the running pass (not owned), set by the run while it shows one.
    ProgressControl* RunProgress = nullptr;
    // Seconds a run may take before it stops with "Time limit of N s reached"; 0: no limit. The
    // headless commands set it (--time-limit, the setting Report/TimeLimit).
    qint32 TimeLimit = 0;
    // Between the statements of scripts: a run whose Cancel was pressed or whose time is up stops
    // here, also inside a script that loops for ever. Throws VaskelError to leave the script;
    // the run then ends without a calculation error of its own.
    void CheckRunLimits();
    // Why the last run was stopped by its limits ("Time limit of 5 s reached"); empty otherwise.
    QString RunLimitMessage;
    // Set while a run is being ended by Cancel or its time limit.
    bool RunLimitStop = false;
    // The progress window's second line, set by scripts (PROGRESS).
    QString ProgressNote;

    // Template files and streams. Reading waits until the printer model has started, makes this
    // the current report, and ends every failure in one of the system's messages (the previous
    // pages stay for a stream of an unknown version).
    // False, with nothing changed and no message, when the file does not exist.
    bool LoadTemplate(const QString& fileName);
    // A memory stream (the engine's own copy, the window's stored form): never asks a password.
    void LoadTemplateFromStream(const QByteArray& data);
    // Throws EStreamError or CodePageError for content the format or the code page cannot hold.
    QByteArray SaveTemplateToStream();
    // Empties the pages and the dictionary, switches TwoPass off and clears the information.
    void ClearTemplate();

    // Prepared-report files, through the store's file forms: failures throw with the platform's
    // message ("Cannot open file ...", "Cannot create file ...") or the store's EStreamError; a
    // file that cannot be opened leaves the store as it was, a failed save the file that was there.
    // Pages loaded from a file are no run of the template: Rebuildable goes off.
    void LoadPrepared(const QString& fileName);
    void SavePrepared(const QString& fileName);

    void SelectPrinterByName(const QString& name) { Template.SelectPrinterByName(name); }
    // Switches the printer model to printer `newIndex` and lays every template page's paper onto
    // it; on failure says "Printer selected is not valid", goes back to `oldIndex` and answers false.
    bool ChangePrinter(int oldIndex, int newIndex);
    TfrView* FindViewByName(const QString& name) const;

    // The "ReportForm" data the owning window stores: version 25, then, with StoreInDFM on, the
    // template stream's length and bytes.
    QByteArray WriteReportForm();
    // Reads the window's stored data: with StoreInDFM on the template bytes wait in
    // `WindowTemplate` until the window finishes loading. Throws EStreamError for cut data.
    void ReadReportForm(const QByteArray& data);
    // The window finished loading: the stored template, if any, becomes the template.
    void Loaded();
    QByteArray WindowTemplate; // transient: template bytes read with the window, until Loaded

    // Makes this the running report: installs its scope as the global parser's callbacks,
    // connects the global script interpreter to its dictionary and pages, and sets the run
    // state's CurrentReport and PrintHooks (the report's before-print step for script callbacks
    // that measure a view). Called by the run operations when a run starts;
    // disconnectRun undoes what would otherwise point into this report (CurrentReport stays: the
    // run state keeps naming the report after a run).
    void connectRun();
    void disconnectRun();

    // The generator version byte of the template (77 for templates this system saved).
    quint8 GeneratorVersion() const { return Template.Info.GeneratorVersion; }
    void SetGeneratorVersion(quint8 v) { Template.Info.GeneratorVersion = v; }

    // Run operations (in TfrReportRun.cpp): the template into the prepared pages store.
    bool Prepare();
    bool BuildPages();
    // The passes of the run in one loop: one, or two when the run counts the pages first.
    void RunPasses();
    virtual void FormAllPages();
    void ReportProgress(qint32 n);
    // Shows the prepared pages in the `Preview` control or in a new preview window through the
    // preview host the desktop installed; an empty store shows nothing.
    void ShowPrepared();

    // Printing (in TfrReportPrint.cpp): the prepared pages the page list selects ("" = all;
    // selection 0 all, 1 odd, 2 even pages), `copies` times, collated or not, to the printer
    // model's current printer, inside the progress window unless OnProgress is set or
    // ShowProgress is off. Nothing is sent when the page list or the copies (1 to 999) are wrong
    // or no page is selected. Failures throw VaskelError with the system's message; false when
    // Cancel stopped the loop.
    bool PrintPrepared(const QString& pageList, qint32 copies, quint8 selection, bool collate);
    // The print loop over PrintPageList, PrintCopies, PrintSelection and PrintCollate.
    virtual void PrintPages();

    // The report's lookup and function handler while it runs.
    ReportScope& scope() { return m_scope; }

    // The layout engine's page formers of the run in progress (one per template page), kept from
    // the first pass of a two-pass run to the final one; and the progress line's pass text.
    PageFormerList RunFormers;
    QString PassText;

    // ReportPrintHooks
    bool HasBeforePrint() const override { return static_cast<bool>(OnBeforePrint); }
    void BeforePrint(QStringList& text, TfrView& view) override;

protected:
    void componentRemoved(DatasetComponent* removed) override;

private:
    // Sets the run state and the progress line up for the first or the final pass.
    void beginPass(bool finalPass);
    // Template reading waits for the printer model and reads pages onto its current instance.
    void prepareReading();
    // Every template page asks the printer model for its own paper again.
    void reapplyPagePapers();

    DatasetComponentOwner* m_owner = nullptr; // not owned
    std::unique_ptr<TfrEMFPages> m_preparedPages;
    QElapsedTimer m_runClock; // since the run began
    qint64 m_lastCancelPoll = 0; // m_runClock's milliseconds at the last look at Cancel
};

} // namespace vaskel
