// The report run: preparing the template into the prepared pages store in one pass, or in two
// when the template asks for the total page count, inside the progress window whose Cancel stays
// live; forming every template page once per pass (once per record of the report's dataset for a
// multiple report); reporting calculation errors; and reading the template back afterwards so that
// nothing scripts changed outlives the run.
#include "platform/DateTimeValue.h"
#include "platform/OutOfMemory.h"
#include "platform/UiServices.h"
#include "report/engine/CalculationError.h"
#include "report/engine/FormingPage.h"
#include "report/engine/PageFormer.h"
#include "report/engine/TfrDataset.h"
#include "report/engine/TfrReport.h"
#include "report/expr/StringTable.h"
#include "report/model/TfrBandView.h"
#include "report/model/TfrGlobals.h"

#include <QScopeGuard>

namespace vaskel {

namespace {

QString withTitle(int stringNumber, const QString& title)
{
    const QString text = LoadStr(stringNumber);
    return title.isEmpty() ? text : text + QStringLiteral(" - ") + title;
}

QString progressLine(const QString& passText, qint32 n)
{
    return passText + QStringLiteral("  ") + QString::number(n);
}

// A dialog page: its script runs once as the window's activation; a modal result of Cancel set by
// the script cancels the run. This system registers no dialog controls, so there is no window to
// show beyond what the script asks through the UI services.
void runDialogPage(TfrReport& report, const TfrPage& page)
{
    RunState& run = frRun();
    qint32 result = 0;
    report.SetDialogModalResult = [&result](qint32 r) { result = r; };
    RunPageScript(report, page);
    report.SetDialogModalResult = nullptr;
    if (result == static_cast<qint32>(ModalResult::Cancel))
        run.DialogCancelled = true;
}

// Views aligned to their band (left, right, centre, full width) take their position on the page
// once, as drawing them would place them, before the bands are built from the page.
void settleBandAlignedViews(TfrPages& pages)
{
    RunState& run = frRun();
    for (const auto& page : pages) {
        run.CurrentPage = page.get();
        PrintContext context = PrintContext::ofRunState(run);
        context.Hooks = nullptr;
        for (const auto& v : page->ObjectList) {
            if (v->BandAlign != baNone && !dynamic_cast<TfrBandView*>(v.get()))
                v->PlaceLayout(nullptr, context);
        }
    }
    run.CurrentView = nullptr;
}

} // namespace

void TfrReport::CheckRunLimits()
{
    // Once stopped, every further script of the run ends at its first statement.
    if (RunLimitStop)
        throw VaskelError(RunLimitMessage);
    if (!m_runClock.isValid())
        return;
    const qint64 elapsed = m_runClock.elapsed();
    if (TimeLimit > 0 && elapsed >= qint64(TimeLimit) * 1000) {
        RunLimitMessage = QStringLiteral("Time limit of %1 s reached").arg(TimeLimit);
        RunLimitStop = true;
        StopRequested = true;
        throw VaskelError(RunLimitMessage);
    }
    // Looking at Cancel lets window events run: ten times a second keeps it live and cheap.
    if (RunProgress && elapsed - m_lastCancelPoll >= 100) {
        m_lastCancelPoll = elapsed;
        if (RunProgress->cancelRequested()) {
            RunLimitStop = true;
            StopRequested = true;
            throw VaskelError(RunLimitMessage);
        }
    }
}

bool TfrReport::Prepare()
{
    RunState& run = frRun();
    RunLimitMessage.clear();
    RunLimitStop = false;
    m_lastCancelPoll = 0;
    m_runClock.start();
    const auto stopClock = qScopeGuard([this] { m_runClock.invalidate(); });
    SelectPrinterByName(PrinterName);
    run.PrintMode = true;
    const double now = DateTimeValue::now();
    run.RunDate = static_cast<double>(static_cast<qint64>(now));
    run.RunTime = now - run.RunDate;
    settleBandAlignedViews(TemplatePages());
    run.CurrentPage = nullptr;
    run.CurrentBand = nullptr;
    connectRun();
    const QByteArray savedTemplate = SaveTemplateToStream();
    if (OnBeginDoc)
        OnBeginDoc();
    TwoPassRun = TwoPass;
    bool result = false;
    try {
        result = BuildPages();
    } catch (...) {
        // An event handler's failure leaves the run; the template still comes back as it was.
        RunFormers.clear();
        LoadTemplateFromStream(savedTemplate);
        throw;
    }
    if (OnEndDoc)
        OnEndDoc();
    const bool errorPending = run.ErrorPending && !RunLimitStop;
    const QString errorText = run.ErrorText;
    // The formers point into the template pages that reading the template replaces.
    RunFormers.clear();
    LoadTemplateFromStream(savedTemplate);
    FinalPass = false;
    if (run.DialogCancelled)
        result = false;
    if (RunLimitStop) {
        // Cancel ends the run quietly; the time limit is told as itself, not as an error of
        // the object whose script was running.
        if (!RunLimitMessage.isEmpty())
            TfrGlobals::get().ui().messageBox(
                UiServices::applicationTitle(), RunLimitMessage, MessageIcon::Error, MessageButtons::Ok);
        PreparedPages().Clear();
        result = false;
    } else if (errorPending) {
        TfrGlobals::get().ui().messageBox(
            UiServices::applicationTitle(), errorText, MessageIcon::Error, MessageButtons::Ok);
        PreparedPages().Clear();
    } else if (run.DialogCancelled) {
        PreparedPages().Clear();
    }
    run.FirstPass = false;
    run.CurrentBand = nullptr;
    return result;
}

bool TfrReport::BuildPages()
{
    // A two-pass run may show a progress window: the first pass opens it and the final pass runs
    // inside it.
    beginPass(!TwoPassRun);
    if (OnProgress || !ShowProgress) {
        RunPasses();
        return true;
    }
    const ModalResult r
        = TfrGlobals::get().ui().runWithProgress(withTitle(StringTable::sPreparingReport, Title),
            progressLine(PassText, 1), [this](ProgressControl& c) {
                // The progress window of the run, known to the report while its work runs.
                const auto restore = qScopeGuard([this, previous = RunProgress] { RunProgress = previous; });
                RunProgress = &c;
                RunPasses();
            });
    return r != ModalResult::Cancel;
}

void TfrReport::RunPasses()
{
    // A one-pass run forms its pages once. A two-pass run forms them twice: the first pass runs
    // every script and counts the pages (TOTALPAGES), drawing nothing; the final pass forms them
    // again knowing the count. Cancel during the first pass ends the run without a final pass.
    const int passes = TwoPassRun ? 2 : 1;
    for (int pass = 1; pass <= passes; ++pass) {
        const bool finalPass = pass == passes;
        if (pass > 1)
            beginPass(finalPass); // the first pass began before its progress window opened
        FormAllPages();
        if (finalPass)
            break;
        frRun().TotalPages = PreparedPages().Count();
        if (StopRequested) {
            PreparedPages().Clear();
            if (RunProgress)
                RunProgress->close(ModalResult::Cancel);
            return;
        }
    }
    if (RunProgress)
        RunProgress->close(StopRequested ? ModalResult::Cancel : ModalResult::Ok);
}

void TfrReport::beginPass(bool finalPass)
{
    RunState& run = frRun();
    StopRequested = false;
    RunFormers.continuation().AppendToLastPage = false;
    run.FirstPass = !finalPass;
    FinalPass = finalPass;
    run.PageNumber = 0;
    PreparedPages().Clear();
    // A one-pass run knows no total, also when it shows no progress window: TOTALPAGES would
    // otherwise print the count of an earlier two-pass run.
    if (!TwoPassRun)
        run.TotalPages = 0;
    if (OnProgress || !ShowProgress)
        return;
    PassText = LoadStr(finalPass ? StringTable::sProcessingPage : StringTable::sFirstPass);
    if (finalPass && TwoPassRun && RunProgress) {
        // The final pass runs inside the window the first pass opened.
        RunProgress->setCaption(withTitle(StringTable::sPreparingReport, Title));
        RunProgress->setText(progressLine(PassText, 1));
    }
}

void TfrReport::FormAllPages()
{
    RunState& run = frRun();
    if (RunProgress && RunProgress->cancelRequested())
        StopRequested = true;
    Rebuildable = true;
    run.PrintMode = true;
    run.CurrentReport = this;
    connectRun();
    run.ErrorPending = false;
    const bool multiple = Dataset && ReportType == rtMultiple;
    // The first pass of a two-pass run builds the bands and registers the aggregates; the final
    // pass reuses them.
    const bool firstOrOnly = !TwoPassRun || run.FirstPass;
    const bool newFormers = firstOrOnly || RunFormers.formers().empty();
    if (newFormers) {
        RunFormers.create(*this);
        run.DialogCancelled = false;
    }
    const auto& formers = RunFormers.formers();
    try {
        if (multiple) {
            Dataset->StartRun();
            Dataset->First();
        }
        for (const auto& f : formers) {
            if (f->page().PageKind != ptDialog || !firstOrOnly)
                continue;
            run.CurrentPage = &f->page();
            runDialogPage(*this, f->page());
            if (run.DialogCancelled)
                break;
        }
        if (!run.DialogCancelled) {
            if (newFormers)
                RunFormers.linkSubReports();
            for (const auto& f : formers) {
                if (f->page().PageKind == ptDialog)
                    continue;
                FormingPage forming(*this, *f);
                f->InitRun(!firstOrOnly);
            }
            for (const auto& f : formers) {
                if (f->page().PageKind == ptDialog || !firstOrOnly)
                    continue;
                FormingPage forming(*this, *f);
                f->ResolveAndRegister();
            }
            do {
                ReportProgress(run.PageNumber + 1);
                for (size_t i = 0; i < formers.size() && !StopRequested; ++i) {
                    PageFormer& f = *formers[i];
                    TfrPage& page = f.page();
                    CurrentTemplatePage = &page;
                    run.CurrentPage = &page;
                    if (!page.Visible)
                        RunPageScript(*this, page);
                    if (!f.SubReportPage && page.PageKind != ptDialog && page.Visible) {
                        f.RecordMode = FormingMode::Print;
                        FormingPage forming(*this, f);
                        f.FormPage();
                    }
                    if (i + 1 < formers.size() && formers[i + 1]->page().PrintToPrevPage) {
                        --run.PageNumber;
                        RunFormers.continuation().AppendToLastPage = true;
                    } else {
                        run.PageNumber = PreparedPages().Count();
                        ReportProgress(run.PageNumber);
                    }
                }
                ReportProgress(run.PageNumber);
                if (multiple)
                    Dataset->Next();
            } while (!StopRequested && multiple && !Dataset->Eof());
        }
    } catch (const VaskelError& e) {
        // Errors outside a view or band (a dataset that cannot be walked, a group condition that
        // cannot be evaluated) end the run as calculation errors too.
        RaiseCalculationError(*this, e.message());
    } catch (const std::bad_alloc&) {
        RaiseCalculationError(*this, outOfMemoryMessage());
    } catch (const std::exception& e) {
        // Never let a failure leave the run through the progress window's event loop.
        RaiseCalculationError(*this, QString::fromLocal8Bit(e.what()));
    }
    const bool keepBands = TwoPassRun && run.FirstPass;
    for (const auto& f : formers)
        f->FinishRun(keepBands);
    if (multiple)
        Dataset->EndRun();
}

void TfrReport::ReportProgress(qint32 n)
{
    // Runs without scripts meet their time limit here, page by page.
    try {
        CheckRunLimits();
    } catch (const VaskelError&) {
        StopRequested = true;
    }
    if (OnProgress) {
        OnProgress(n);
        return;
    }
    if (!ShowProgress || !RunProgress)
        return;
    QString line = progressLine(PassText, n);
    if (FinalPass && TwoPassRun) {
        line += QLatin1Char(' ') + LoadStr(StringTable::sFrom) + QLatin1Char(' ')
            + QString::number(frRun().TotalPages);
    }
    RunProgress->setText(line);
    if (RunProgress->cancelRequested())
        StopRequested = true;
}

} // namespace vaskel
