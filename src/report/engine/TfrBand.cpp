#include "report/engine/TfrBand.h"

#include "report/engine/LayoutGuards.h"
#include "report/engine/PageFormationState.h"
#include "report/engine/TfrReport.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrView.h"

namespace vaskel {

TfrBand::TfrBand(TfrBandKind kind, TfrPage* ownerPage) : OwnerPage(ownerPage), Kind(kind)
{
}

PrintingBand TfrBand::printingGeometry() const
{
    return PrintingBand{Top, Width, MeasuredHeight >= 0 ? MeasuredHeight : Height, Kind, Stretched};
}

TfrBand::~TfrBand()
{
    if (BandView && BandView->EngineBand == this)
        BandView->EngineBand = nullptr;
    m_source.release();
    m_columnSource.release();
    // Long chains are freed iteratively: one band at a time, not one stack frame per band.
    std::unique_ptr<TfrBand> next = std::move(m_nextOfKind);
    while (next)
        next = std::move(next->m_nextOfKind);
}

TfrBand* TfrBand::SetNextOfKind(std::unique_ptr<TfrBand> band)
{
    m_nextOfKind = std::move(band);
    if (m_nextOfKind)
        m_nextOfKind->PrevOfKind = this;
    return m_nextOfKind.get();
}

void TfrBand::SetDataSource(const QString& text, const DatasetComponentOwner* owner)
{
    m_source.release();
    Dataset = nullptr;
    m_source = OpenBandDataSource(text, owner);
    Dataset = m_source.dataset;
}

void TfrBand::UseDataset(TfrDataset* dataset)
{
    m_source.release();
    m_source = {};
    Dataset = dataset;
}

void TfrBand::SetColumnDataSource(const QString& text, const DatasetComponentOwner* owner)
{
    m_columnSource.release();
    ColumnDataset = nullptr;
    m_columnSource = OpenBandDataSource(text, owner);
    ColumnDataset = m_columnSource.dataset;
}

bool TfrBand::exists() const
{
    return BandView || (Kind == NoBand && !Views.empty());
}

void TfrBand::bandPropertyWritten(const QString& name, const Value& value)
{
    if (name == u"CHILDBAND") {
        ChildLink = Former ? Former->FindBandByName(value.toText()) : nullptr;
        // A script may link bands too; a loop would print children for ever.
        try {
            LayoutGuards::checkChildBandLoops({this});
        } catch (const VaskelError&) {
            ChildLink = nullptr;
            throw;
        }
    } else if (name == u"BREAKED") {
        Breaked = value.toBool();
    } else if (name == u"CONDITION") {
        CompiledCondition = TfrGlobals::get().parser.Compile(value.toText());
    } else if (name == u"LEFT") {
        Left = value.toInt();
    } else if (name == u"TOP") {
        Top = value.toInt();
    } else if (name == u"WIDTH") {
        Width = value.toInt();
    } else if (name == u"HEIGHT") {
        Height = value.toInt();
    } else if (name == u"VISIBLE") {
        Visible = value.toBool();
    } else if (name == u"DATASOURCE") {
        TfrReport* report = frRun().CurrentReport;
        SetDataSource(value.toText(), report ? report->scope().Owner : nullptr);
        if (Kind == MasterData && !Dataset && report && report->ReportType == rtSimple)
            UseDataset(report->Dataset);
    }
}

std::optional<Value> TfrBand::bandPropertyRead(const QString& name)
{
    if (name == u"BREAKED")
        return Value(Breaked);
    if (name == u"LEFT")
        return Value(Left);
    if (name == u"TOP")
        return Value(Top);
    if (name == u"WIDTH")
        return Value(Width);
    if (name == u"HEIGHT")
        return Value(Height);
    if (name == u"VISIBLE")
        return Value(Visible);
    if (name == u"EOF")
        return Value(Dataset ? Dataset->Eof() : false);
    return std::nullopt;
}

bool TfrBand::bandMethodCalled(const QString& name)
{
    if (name != u"NEXT" && name != u"PRIOR" && name != u"FIRST")
        return false;
    if (Dataset) {
        if (name == u"NEXT")
            Dataset->Next();
        else if (name == u"PRIOR")
            Dataset->Prior();
        else
            Dataset->First();
    }
    return true;
}

bool TfrBand::HasCrossObjects() const
{
    for (const TfrView* v : Views) {
        const TfrBand* owner = v->OwnerBand;
        if (owner && owner != this && owner->isCrossKind())
            return true;
    }
    return false;
}

} // namespace vaskel
