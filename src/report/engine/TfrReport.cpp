#include "report/engine/TfrReport.h"

#include "report/model/TfrGlobals.h"

namespace vaskel {

TfrReport::TfrReport(const QString& name)
    : DatasetComponent(name), Template(&frPrinter()), m_preparedPages(std::make_unique<TfrEMFPages>(this))
{
    m_scope.Template = &Template;
}

TfrReport::~TfrReport() = default;

void TfrReport::BeforePrint(QStringList& text, TfrView& view)
{
    if (OnBeforePrint)
        OnBeforePrint(text, view);
}

std::optional<PrintingBand> TfrReport::CurrentPrintingBand() const
{
    return std::nullopt;
}

void TfrReport::componentRemoved(DatasetComponent* removed)
{
    DatasetComponent::componentRemoved(removed);
}

} // namespace vaskel
