#pragma once
// The report component a window owns: a template (pages, data dictionary, report information),
// the prepared pages store, the template's settings and the report events. It reads and writes
// templates, loads and saves prepared reports and selects the printer the template asks for; its
// run operations form the prepared pages from the template.
#include "report/engine/DatasetComponent.h"
#include "report/engine/ReportScope.h"
#include "report/engine/TfrEMFPages.h"
#include "report/model/ReportPrintHooks.h"
#include "report/model/TemplateHolder.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QIODevice;

namespace vaskel {

class TfrBand;
class TfrDataset;
class TfrPage;
class TfrView;

enum TfrReportType : quint8 { rtSimple, rtMultiple };
enum TfrPreviewButton : quint8 { pbZoom, pbLoad, pbSave, pbPrint, pbFind, pbHelp, pbExit, pbPageSetup };
enum TfrPreviewZoom : quint8 { pzDefault, pzPageWidth, pzOnePage, pzTwoPages };

class TfrReport : public DatasetComponent, public ReportPrintHooks {
public:
    explicit TfrReport(const QString& name = QStringLiteral("frReport1"));
    ~TfrReport() override;

    // The template: pages, data dictionary, information block and header settings.
    TemplateHolder Template;
    TfrPages& TemplatePages() { return Template.Pages; }
    TfrDataDictionary& VariableDictionary() { return Template.Dictionary; }
    TfrEMFPages& PreparedPages() { return *m_preparedPages; }

    TfrDataset* Dataset = nullptr; // not owned; master dataset of an rtMultiple report
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
    qint32 DefaultCopies = 1;
    bool DefaultCollate = true;
    bool PrintIfEmpty = true;
    bool ShowPrintDialog = true;
    bool RebuildPrinter = false;
    bool UseDefaultDataSetName = false;
    bool Rebuildable = false;
    bool StopRequested = false;
    bool FinalPass = false;
    bool TwoPassRun = false;
    TfrPage* CurrentTemplatePage = nullptr; // not owned
    QString PrintPageList;
    qint32 PrintCopies = 1;
    bool PrintCollate = true;
    quint8 PrintSelection = 0;

    // Events; each fires only when assigned.
    std::function<void()> OnBeginDoc;
    std::function<void()> OnEndDoc;
    std::function<void(qint32 pageNumber)> OnBeginPage;
    std::function<void(qint32 pageNumber)> OnEndPage;
    std::function<void(TfrBand& band)> OnBeginBand;
    std::function<void(TfrBand& band)> OnEndBand;
    std::function<void(const QString& name, TfrValue& value)> OnGetValue;
    std::function<void(QStringList& lines, TfrView& view)> OnBeforePrint;
    std::function<void(qint32 n)> OnProgress;
    std::function<void(
        const QString& name, const TfrValue& p1, const TfrValue& p2, const TfrValue& p3, TfrValue& value)>
        OnUserFunction;
    std::function<void(TfrBand& band)> OnBeginColumn;
    std::function<void(qint32 column, qint32& width)> OnPrintColumn;
    std::function<void(TfrPage& page)> OnManualBuild;
    std::function<void(TfrView& view)> OnObjectClick;
    std::function<void(TfrView& view, Qt::CursorShape& cursor)> OnMouseOverObject;
    std::function<void()> OnPrintReport;

    // Template and prepared-report files.
    bool LoadTemplate(const QString& fileName);
    void LoadTemplateFromStream(const QByteArray& data);
    QByteArray SaveTemplateToStream();
    void ClearTemplate();
    void LoadPrepared(const QString& fileName);
    void SavePrepared(const QString& fileName);

    void SelectPrinterByName(const QString& name) { Template.SelectPrinterByName(name); }
    bool ChangePrinter(int oldIndex, int newIndex);
    TfrView* FindViewByName(const QString& name) const;

    // The generator version byte of the template (77 for templates this system saved).
    quint8 GeneratorVersion() const { return Template.Info.GeneratorVersion; }
    void SetGeneratorVersion(quint8 v) { Template.Info.GeneratorVersion = v; }

    // Run operations (in TfrReportRun.cpp): the template into the prepared pages store.
    bool Prepare();
    bool BuildPages();
    void RunPass();
    virtual void FormAllPages();
    void ReportProgress(qint32 n);

    // The report's lookup and function handler while it runs.
    ReportScope& scope() { return m_scope; }

    // ReportPrintHooks
    bool HasBeforePrint() const override { return static_cast<bool>(OnBeforePrint); }
    void BeforePrint(QStringList& text, TfrView& view) override;
    std::optional<PrintingBand> CurrentPrintingBand() const override;

protected:
    void componentRemoved(DatasetComponent* removed) override;

private:
    ReportScope m_scope;
    std::unique_ptr<TfrEMFPages> m_preparedPages;
};

} // namespace vaskel
