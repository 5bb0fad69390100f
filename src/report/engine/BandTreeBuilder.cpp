#include "report/engine/BandTreeBuilder.h"

#include "report/engine/CalculationError.h"
#include "report/engine/LayoutGuards.h"
#include "report/engine/PageFormer.h"
#include "report/engine/TfrDBDataSet.h"
#include "report/engine/TfrDatasetErrors.h"
#include "report/engine/TfrReport.h"
#include "report/model/CallbackScope.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrSubReportView.h"

#include <algorithm>

namespace vaskel {

namespace {

// The three data levels: header, data and footer kinds of levels 1 to 3.
struct Level {
    TfrBandKind header, data, footer;
};
constexpr Level kLevels[] = {{MasterHeader, MasterData, MasterFooter},
    {DetailHeader, DetailData, DetailFooter}, {SubdetailHeader, SubdetailData, SubdetailFooter}};

std::vector<TfrBand*> chainOf(TfrBand* first)
{
    std::vector<TfrBand*> out;
    for (TfrBand* b = first; b && b->BandView; b = b->NextOfKind())
        out.push_back(b);
    return out;
}

bool topWithin(const TfrView& view, qint32 top, qint32 height)
{
    return view.Top >= top && view.Top <= top + height;
}

// Scripts are compiled once per run, in place; compile errors are not shown, and the lines compiled
// before the first error still run.
void compileInPlace(QStringList& script)
{
    if (script.isEmpty())
        return;
    QStringList errors;
    TfrGlobals::get().interpreter.CompileScript(script, script, errors);
}

} // namespace

void BandTreeBuilder::build()
{
    for (auto& s : m_former.m_slots)
        s.reset();
    for (int kind = 0; kind < PageFormer::kBandKinds; ++kind)
        m_former.m_slots[static_cast<size_t>(kind)]
            = std::make_unique<TfrBand>(static_cast<TfrBandKind>(kind), &m_page);
    prepareViews();
    buildCrossBands();
    for (int kind = ReportTitle; kind <= Child; ++kind) {
        if (kind < CrossHeader || kind > CrossFooter)
            buildBandsOfKind(static_cast<TfrBandKind>(kind));
    }
    TfrBand& loose = m_former.slot(NoBand);
    for (const auto& v : m_page.ObjectList) {
        if (!v->LayoutPending)
            continue;
        v->LayoutPending = false;
        v->OwnerBand = &loose;
        loose.Views.push_back(v.get());
    }
    linkHeadersAndFooters();
    linkGroupFooters();
    linkColumnDatasets();
    linkChildBands();
    linkGroupHeaders();
    if (m_page.Columns == 0)
        m_page.Columns = 1;
    m_page.ColumnWidth = (m_page.RightLimit() - m_page.LeftLimit() - (m_page.Columns - 1) * m_page.ColumnGap)
        / m_page.Columns;
}

void BandTreeBuilder::prepareViews()
{
    for (const auto& v : m_page.ObjectList) {
        v->PreparedMode = true;
        if (auto* memo = dynamic_cast<TfrMemoView*>(v.get()))
            memo->CompileHighlight();
        v->LayoutPending = dynamic_cast<TfrBandView*>(v.get()) == nullptr;
        v->OwnerBand = nullptr;
        v->DesignHeight = v->Height;
        compileInPlace(v->BeforePrintScript);
    }
}

void BandTreeBuilder::takeBandViewSettings(TfrBand& band, TfrBandView& view)
{
    band.BandView = &view;
    band.Former = &m_former;
    view.EngineBand = &band;
    band.Memo = view.Memo;
    band.BeforePrintScript = view.BeforePrintScript; // compiled with the page's views
    band.Flags = view.Flags;
    band.Visible = view.Visible;
    band.Name = view.Name;
    band.Left = view.Left;
    band.Width = view.Width;
    view.OwnerBand = &band;
    band.Stretched = (view.Flags & ViewFlags::Stretched) != 0;
    band.PrintIfSubsetEmpty = band.hasFlag(BandFlags::PrintIfSubsetEmpty);
    band.PrintChildIfInvisible = band.hasFlag(BandFlags::PrintChildIfInvisible);
    // Page and column footers end their page anyway: a new page after them would print them again
    // on it, and so on for ever.
    band.FormNewPage = !m_former.SubReportPage && band.hasFlag(BandFlags::FormNewPage)
        && band.Kind != PageFooter && band.Kind != ColumnFooter;
    band.Breaked = !m_former.SubReportPage && band.hasFlag(BandFlags::Breaked);
    if (band.Kind == GroupHeader) {
        band.CompiledCondition = TfrGlobals::get().parser.Compile(view.FormatText);
    } else {
        band.SetDataSource(view.FormatText, m_report.scope().Owner);
        if (band.Kind == MasterData && !band.Dataset && m_report.ReportType == rtSimple)
            band.UseDataset(m_report.Dataset);
    }
}

void BandTreeBuilder::buildCrossBands()
{
    for (const auto& v : m_page.ObjectList) {
        auto* bv = dynamic_cast<TfrBandView*>(v.get());
        if (!bv || !bv->isCrossBand())
            continue;
        TfrBand& band = m_former.slot(bv->BandKind());
        takeBandViewSettings(band, *bv);
        band.Top = bv->Top;
        band.Height = bv->Height;
    }
    for (int kind = CrossHeader; kind <= CrossFooter; ++kind) {
        TfrBand& band = m_former.slot(kind);
        if (!band.BandView)
            continue;
        for (const auto& v : m_page.ObjectList) {
            if (!v->LayoutPending || v->Left < band.Left || v->Left + v->Width > band.Left + band.Width)
                continue;
            v->Left -= band.Left;
            v->OwnerBand = &band;
            band.Views.push_back(v.get());
        }
    }
}

void BandTreeBuilder::buildBandsOfKind(TfrBandKind kind)
{
    std::vector<std::unique_ptr<TfrBand>> bands;
    for (const auto& v : m_page.ObjectList) {
        auto* bv = dynamic_cast<TfrBandView*>(v.get());
        if (!bv || bv->BandKind() != kind)
            continue;
        bands.push_back(
            bands.empty() ? std::move(m_former.m_slots[kind]) : std::make_unique<TfrBand>(kind, &m_page));
        TfrBand& band = *bands.back();
        takeBandViewSettings(band, *bv);
        band.Top = bv->Top;
        band.Height = bv->Height;
        band.BandColumn = 1;
        collectViews(band);
    }
    if (bands.empty())
        return;
    // Among equal `Top` values the band view met first stays first.
    std::stable_sort(
        bands.begin(), bands.end(), [](const auto& a, const auto& b) { return a->Top < b->Top; });
    TfrBand* last = bands.back().get();
    for (size_t i = bands.size() - 1; i > 0; --i)
        bands[i - 1]->SetNextOfKind(std::move(bands[i]));
    m_former.m_slots[kind] = std::move(bands.front());
    m_former.m_slots[kind]->PrevOfKind = nullptr;
    m_former.m_slots[kind]->LastOfKind = last;
}

void BandTreeBuilder::collectViews(TfrBand& band)
{
    enum class Sweep { Loose, CrossCells, SubReports };
    for (Sweep sweep : {Sweep::Loose, Sweep::CrossCells, Sweep::SubReports}) {
        for (const auto& v : m_page.ObjectList) {
            if (!v->LayoutPending || !topWithin(*v, band.Top, band.Height))
                continue;
            const bool subReport = dynamic_cast<TfrSubReportView*>(v.get()) != nullptr;
            const bool taken = sweep == Sweep::Loose ? !v->OwnerBand && !subReport
                : sweep == Sweep::CrossCells         ? v->OwnerBand && v->OwnerBand->isCrossKind()
                                                     : !v->OwnerBand && subReport;
            if (!taken)
                continue;
            v->Top -= band.Top;
            v->LayoutPending = false;
            band.Views.push_back(v.get());
            if (sweep != Sweep::CrossCells)
                v->OwnerBand = &band;
        }
    }
}

void BandTreeBuilder::linkHeadersAndFooters()
{
    for (const Level& level : kLevels) {
        const std::vector<TfrBand*> data = chainOf(&m_former.slot(level.data));
        for (TfrBand* h : chainOf(&m_former.slot(level.header))) {
            for (TfrBand* d : data) {
                if (d->Top > h->Top + h->Height) {
                    if (!d->HeaderLink)
                        d->HeaderLink = h;
                    h->DataLink = d;
                    break;
                }
            }
        }
        for (TfrBand* f : chainOf(&m_former.slot(level.footer))) {
            TfrBand* above = nullptr;
            for (TfrBand* d : data) {
                if (d->Top + d->Height <= f->Top)
                    above = d;
            }
            if (above && !above->FooterLink) {
                above->FooterLink = f;
                f->DataLink = above;
            }
        }
    }
}

void BandTreeBuilder::linkGroupFooters()
{
    std::vector<TfrBand*> headers = chainOf(&m_former.slot(GroupHeader));
    const std::vector<TfrBand*> footers = chainOf(&m_former.slot(GroupFooter));
    std::reverse(headers.begin(), headers.end());
    for (size_t i = 0; i < headers.size() && i < footers.size(); ++i)
        headers[i]->FooterLink = footers[i];
}

void BandTreeBuilder::linkColumnDatasets()
{
    const TfrBand& cross = m_former.slot(CrossData);
    if (!cross.BandView || !cross.BandView->FormatText.contains(';'))
        return;
    for (const QString& entry : cross.BandView->FormatText.split(';', Qt::SkipEmptyParts)) {
        const qsizetype eq = entry.indexOf('=');
        if (eq < 0)
            continue;
        const QString bandName = entry.left(eq).trimmed();
        const QString source = entry.mid(eq + 1).trimmed();
        for (int kind = MasterHeader; kind <= Child; ++kind) {
            for (TfrBand* b : chainOf(&m_former.slot(kind))) {
                if (b->BandView->Name.compare(bandName, Qt::CaseInsensitive) == 0)
                    b->SetColumnDataSource(source, m_report.scope().Owner);
            }
        }
    }
}

void BandTreeBuilder::linkChildBands()
{
    std::vector<TfrBand*> linked;
    for (auto& s : m_former.m_slots) {
        for (TfrBand* b = s.get(); b; b = b->NextOfKind()) {
            if (b->BandView && !b->BandView->ChildBand.isEmpty())
                b->ChildLink = m_former.FindBandByName(b->BandView->ChildBand);
            linked.push_back(b);
        }
    }
    LayoutGuards::checkChildBandLoops(linked);
}

void BandTreeBuilder::linkGroupHeaders()
{
    TfrBand& firstMaster = m_former.slot(MasterData);
    if (!firstMaster.exists())
        return;
    for (TfrBand* g : chainOf(&m_former.slot(GroupHeader))) {
        TfrBand* master
            = g->BandView->Master.isEmpty() ? &firstMaster : m_former.FindBandByName(g->BandView->Master);
        if (!master)
            continue;
        g->PrevGroupHeader = master->LastGroupHeader;
        if (master->LastGroupHeader)
            master->LastGroupHeader->NextGroupHeader = g;
        else
            master->FirstGroupHeader = g;
        master->LastGroupHeader = g;
    }
}

void BandTreeBuilder::resetForFinalPass()
{
    // The final pass counts its records again: CURRENT# printed 13 to 24 for a report of 12
    // records otherwise.
    m_former.m_currentRecord = 1;
    m_former.m_columnNumber = 1;
    for (const auto& v : m_page.ObjectList) {
        if (auto* memo = dynamic_cast<TfrMemoView*>(v.get()))
            memo->LastText.clear();
    }
    for (auto& s : m_former.m_slots) {
        if (s && s->Dataset)
            s->Dataset->First();
    }
}

TfrDataset* BandTreeBuilder::reportDatasetOver(const DatabaseDataset* dataset) const
{
    std::vector<TfrDataset*> candidates{m_report.Dataset};
    for (const auto& s : m_former.m_slots) {
        for (TfrBand* b = s.get(); b; b = b->NextOfKind())
            candidates.push_back(b->Dataset);
    }
    for (TfrDataset* c : candidates) {
        auto* set = dynamic_cast<TfrDBDataSet*>(c);
        try {
            if (set && &set->GetDataSet() == dataset)
                return set;
        } catch (const EDSError&) {
            continue; // a report dataset with nothing to walk wraps no dataset
        }
    }
    return nullptr;
}

void BandTreeBuilder::bindSingleFieldViews()
{
    ReportScope& scope = m_report.scope();
    for (const auto& v : m_page.ObjectList) {
        const QString text = v->Memo.join(QString());
        auto* memo = dynamic_cast<TfrMemoView*>(v.get());
        if (dynamic_cast<TfrBandView*>(v.get()) || text.size() <= 2 || !text.startsWith('[')
            || (memo && (memo->Flags & MemoFlags::TextOnly)))
            continue;
        QString name = text.left(text.lastIndexOf(']') + 1);
        name = name.mid(1, name.size() - 2);
        v->DataSetRef = nullptr;
        v->DataFieldName.clear();
        // Field names without a dataset resolve in the dataset of the view's band.
        const CallbackScope callbacks(v->OwnerBand);
        if (scope.dictionary().IsKnown(name)) {
            // A report variable standing for a field: its field text, aliases undone.
            const Value* value = scope.dictionaryData()->Variables.find(name);
            QString dataset;
            QString field;
            DictionaryLookup::splitFieldText(value ? value->toText() : name, dataset, field);
            dataset = scope.dictionary().DatasetOfAlias(dataset);
            field = scope.dictionary().FieldOfAlias(dataset, field);
            name = dataset.isEmpty() ? field : dataset + QStringLiteral(".\"") + field + QLatin1Char('"');
        }
        const FieldReference ref = ResolveFieldReference(
            name, scope.Owner, m_report.UseDefaultDataSetName ? scope.defaultDataset() : nullptr);
        if (!ref.fieldName.isEmpty()) {
            v->DataSetRef = reportDatasetOver(ref.dataset);
            v->DataFieldName = ref.fieldName;
        }
    }
}

} // namespace vaskel
