#include "report/engine/PageFormationState.h"

#include "report/engine/TfrBand.h"

namespace vaskel {

TfrBand* PageFormationState::FindBandByName(const QString& name) const
{
    for (int kind = ReportTitle; kind <= NoBand; ++kind) {
        for (TfrBand* b = FirstBandOfKind(kind); b; b = b->NextOfKind()) {
            if (b->BandView && b->BandView->Name.compare(name, Qt::CaseInsensitive) == 0)
                return b;
        }
    }
    return nullptr;
}

void PageFormationState::ShowBandByName(const QString& name)
{
    if (TfrBand* b = FindBandByName(name))
        ShowBand(*b);
}

} // namespace vaskel
