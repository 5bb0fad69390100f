#include "report/engine/TfrBand.h"

#include "report/model/TfrView.h"

namespace vaskel {

TfrBand::TfrBand(TfrBandKind kind, TfrPage* ownerPage) : OwnerPage(ownerPage), Kind(kind)
{
}

TfrBand::~TfrBand()
{
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
