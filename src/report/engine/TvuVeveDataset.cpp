#include "report/engine/TvuVeveDataset.h"

namespace vaskel {

std::unique_ptr<TvuVeveDataset> TvuVeveDataset::counting(qint32 count)
{
    auto ds = std::make_unique<TvuVeveDataset>();
    ds->RangeEnd = TRangeEnd::reCount;
    ds->RangeEndCount = count;
    return ds;
}

} // namespace vaskel
