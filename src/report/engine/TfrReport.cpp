#include "report/engine/TfrReport.h"

#include "platform/DateTimeValue.h"
#include "platform/PlatformError.h"
#include "platform/ProgressDetail.h"
#include "report/engine/ReportPreviewHost.h"
#include "report/engine/TfrBand.h"
#include "report/engine/TfrDBDataSet.h"
#include "report/engine/TfrDatasetErrors.h"
#include "report/engine/TfrDatasetFunctions.h"
#include "report/engine/ReportPreviewHost.h"
#include "report/expr/StringTable.h"
#include "report/model/ReportStreamReader.h"
#include "report/model/ReportStreamWriter.h"
#include "report/model/TemplateReader.h"
#include "report/model/TemplateWriter.h"
#include "report/model/TfrGlobals.h"
#include "report/model/ViewLookup.h"

#include <QCoreApplication>
#include <QFile>

namespace vaskel {

namespace {

constexpr qint32 kReportFormVersion = 25;

void showErrorBox(const QString& text)
{
    PlatformGlobals::get().ui().messageBox(
        UiServices::applicationTitle(), text, MessageIcon::Error, MessageButtons::Ok);
}

} // namespace

TfrReport::TfrReport(const QString& name)
    : DatasetComponent(name), Template(&frPrinter()), m_preparedPages(std::make_unique<TfrEMFPages>(this))
{
    Template.Info.Reset(DateTimeValue::now());
    MaxPreparedPages = TfrGlobals::get().maxPreparedPages;
    TemplateFileName = LoadStr(StringTable::sUntitled);
    m_scope.Template = &Template;
    m_scope.OnGetValue = [this](const QString& n, Value& value) {
        if (OnGetValue)
            OnGetValue(n, value);
    };
    m_scope.OnUserFunction = [this](const QString& n, const Value& p1, const Value& p2,
                                 const Value& p3, Value& value) {
        if (OnUserFunction)
            OnUserFunction(n, p1, p2, p3, value);
    };
    // A dictionary block of the intermediate form drops aliases of fields that no dataset of the
    // owner has any more.
    Template.Dictionary.fieldResolver = [this](const QString& field) {
        try {
            return !ResolveFieldReference(field, m_owner, nullptr).fieldName.isEmpty();
        } catch (const VaskelError&) {
            return false;
        }
    };
}

TfrReport::~TfrReport()
{
    if (TfrGlobals::exists()) {
        if (ReportPreviewHost* host = TfrGlobals::get().previewHost())
            host->ReportDestroyed(*this);
    }
    if (Preview)
        Preview->Disconnect(); // the control's pages are the report's: they go with it
    disconnectRun();
    if (TfrGlobals::exists() && frRun().CurrentReport == this)
        frRun().CurrentReport = nullptr;
}

void TfrReport::setOwner(DatasetComponentOwner* owner)
{
    m_owner = owner;
    m_scope.Owner = owner;
}

void TfrReport::setDataset(TfrDataset* dataset)
{
    if (Dataset != dataset)
        unwatchRemoval(Dataset);
    Dataset = dataset;
    watchRemoval(dataset);
}

void TfrReport::componentRemoved(DatasetComponent* removed)
{
    DatasetComponent::componentRemoved(removed);
    if (removed == Dataset)
        Dataset = nullptr;
}

// ---- templates ---------------------------------------------------------------------------------

void TfrReport::prepareReading()
{
    Template.Pages.setPrinter(&frPrinter());
    frRun().CurrentReport = this;
}

bool TfrReport::LoadTemplate(const QString& fileName)
{
    if (!QFile::exists(fileName))
        return false;
    prepareReading();
    return TemplateReader::LoadTemplate(Template, fileName);
}

void TfrReport::LoadTemplateFromStream(const QByteArray& data)
{
    prepareReading();
    TemplateReader::LoadTemplateFromStream(Template, data, TemplateReader::StreamSource::Memory);
}

QByteArray TfrReport::SaveTemplateToStream()
{
    return TemplateWriter::SaveTemplateToStream(Template);
}

void TfrReport::ClearTemplate()
{
    Template.Pages.Clear();
    Template.Dictionary.Clear();
    TwoPass = false;
    Template.Info.Reset(DateTimeValue::now());
}

TfrView* TfrReport::FindViewByName(const QString& name) const
{
    return vaskel::FindViewByName(Template.Pages, name);
}

// ---- prepared-report files ---------------------------------------------------------------------

void TfrReport::LoadPrepared(const QString& fileName)
{
    PreparedPages().LoadFromFile(fileName);
    Rebuildable = false;
}

void TfrReport::SavePrepared(const QString& fileName)
{
    PreparedPages().SaveToFile(fileName);
}

std::unique_ptr<TfrEMFPages> TfrReport::TakePreparedPages()
{
    return std::exchange(m_preparedPages, std::make_unique<TfrEMFPages>(this));
}

void TfrReport::GivePreparedPages(std::unique_ptr<TfrEMFPages> pages)
{
    Q_ASSERT_X(pages && pages->owner() == this, "GivePreparedPages", "a store of another report");
    m_preparedPages = std::move(pages);
}

void TfrReport::ShowPrepared()
{
    RunState& run = frRun();
    run.CurrentReport = this;
    run.PrintMode = true;
    run.CurrentBand = nullptr;
    if (PreparedPages().Count() == 0)
        return;
    QString caption = LoadStr(StringTable::sPreview);
    if (!Title.isEmpty())
        caption += QStringLiteral(" - ") + Title;
    if (Preview) {
        Preview->Connect(*this);
        return;
    }
    if (ReportPreviewHost* host = TfrGlobals::get().previewHost())
        host->ShowPreviewWindow(*this, caption);
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

// ---- printer -----------------------------------------------------------------------------------

void TfrReport::reapplyPagePapers()
{
    for (const auto& page : Template.Pages)
        page->ChangePaper(
            page->PaperCode, page->PaperSizeX, page->PaperSizeY, page->PaperSource, page->PaperOrientation);
}

bool TfrReport::ChangePrinter(int oldIndex, int newIndex)
{
    TfrPrinter& printer = frPrinter();
    try {
        if (newIndex < 0 || newIndex >= printer.PrinterList.size())
            throw VaskelError(QStringLiteral("printer index %1 outside the list").arg(newIndex));
        printer.SelectPrinter(newIndex);
        // A printer whose settings cannot be read leaves the virtual printer current instead.
        if (printer.CurrentIndex != newIndex)
            throw VaskelError(QStringLiteral("printer %1 cannot be read").arg(newIndex));
        PrinterName = printer.PrinterList.value(printer.CurrentIndex);
        // The next paper request applies in full on the new printer.
        printer.CurPaperCode = -1;
        reapplyPagePapers();
        return true;
    } catch (const std::exception&) {
        showErrorBox(QStringLiteral("Printer selected is not valid"));
    }
    try {
        printer.SelectPrinter(oldIndex);
        PrinterName = printer.PrinterList.value(printer.CurrentIndex);
        reapplyPagePapers();
    } catch (const std::exception&) {
        // The old printer fails now as well: the model stays where it got, the message is shown.
    }
    return false;
}

// ---- the window's stored form ------------------------------------------------------------------

QByteArray TfrReport::WriteReportForm()
{
    ReportStreamWriter w;
    w.writeI32(kReportFormVersion);
    if (StoreInDFM) {
        const QByteArray stream = SaveTemplateToStream();
        w.writeI32(static_cast<qint32>(stream.size()));
        w.writeBytes(stream);
    }
    return w.takeData();
}

void TfrReport::ReadReportForm(const QByteArray& data)
{
    ReportStreamReader r(data);
    r.readI32(); // the version: every stored form has the same layout
    if (!StoreInDFM)
        return;
    const qint32 size = r.readI32();
    WindowTemplate = r.readBytes(size);
}

void TfrReport::Loaded()
{
    const QByteArray stored = std::exchange(WindowTemplate, {});
    if (!stored.isEmpty())
        LoadTemplateFromStream(stored);
}

// ---- the run -----------------------------------------------------------------------------------

void TfrReport::connectRun()
{
    TfrGlobals& g = TfrGlobals::get();
    m_scope.Owner = m_owner;
    // A dataset assigned directly (not through setDataset) is watched from this run on.
    watchRemoval(Dataset);
    // INC and DEC assign as scripts do; aggregate registration reads compiled scripts.
    m_scope.AssignValue = [](const QString& n, const Value& value) {
        TfrGlobals::get().interpreter.AssignValue(n, value);
    };
    m_scope.CollectScriptFunctions = [](const QStringList& script, const QStringList& matchFuncs,
                                         const TfrVariables* variables, QStringList& output) {
        TfrGlobals::get().interpreter.CollectFunctions(script, matchFuncs, variables, output);
    };
    m_scope.install(g.parser);

    TInterpretator& in = g.interpreter;
    in.Dictionary = &Template.Dictionary;
    in.Pages = &Template.Pages;
    in.DictionaryKnows = [this](const QString& n) { return m_scope.dictionary().IsKnown(n); };
    in.SetModalResult = [this](qint32 result) {
        if (SetDialogModalResult)
            SetDialogModalResult(result);
    };
    in.SetCurY = [this](qint32 y) {
        if (SetPageCurY)
            SetPageCurY(y);
    };
    in.CheckStop = [this] { CheckRunLimits(); };
    in.ShowProgress = [this](const QString& text) {
        ProgressNote = text;
        // Lets pending window events run, so the Cancel button stays live during long scripts.
        if (RunProgress) {
            if (auto* detail = dynamic_cast<ProgressDetail*>(RunProgress))
                detail->setDetail(text);
            if (RunProgress->cancelRequested())
                StopRequested = true;
        } else if (QCoreApplication::instance()) {
            QCoreApplication::processEvents();
        }
    };

    g.run.CurrentReport = this;
    g.run.PrintHooks = this;
}

void TfrReport::disconnectRun()
{
    if (!TfrGlobals::exists())
        return;
    TfrGlobals& g = TfrGlobals::get();
    m_scope.uninstall();
    TInterpretator& in = g.interpreter;
    if (in.Dictionary == &Template.Dictionary) {
        in.Dictionary = nullptr;
        in.Pages = nullptr;
        in.DictionaryKnows = nullptr;
        in.SetModalResult = nullptr;
        in.SetCurY = nullptr;
        in.CheckStop = nullptr;
        in.ShowProgress = nullptr;
    }
    if (g.run.PrintHooks == this)
        g.run.PrintHooks = nullptr;
}

// ---- print hooks -------------------------------------------------------------------------------

void TfrReport::BeforePrint(QStringList& text, TfrView& view)
{
    // A view bound to a large-object field shows the field's whole content.
    if (auto* reportSet = dynamic_cast<TfrDBDataSet*>(view.DataSetRef);
        reportSet && !view.DataFieldName.isEmpty()) {
        try {
            const DatabaseField* field = reportSet->GetDataSet().findField(view.DataFieldName);
            if (field && IsBlobField(*field))
                view.LoadFromField(field->value());
        } catch (const EDSError&) {
            // A report dataset without a database dataset has no field to load.
        }
    }
    if (OnBeforePrint)
        OnBeforePrint(text, view);
}

} // namespace vaskel
