#pragma once
// The event-driven report dataset: its records exist only through the application's events (or,
// for a counting dataset that the engine makes for a band whose data source is a number N, through
// RangeEnd = reCount and RangeEndCount = N).
#include "report/engine/TfrDataset.h"

#include <memory>

namespace vaskel {

class TvuVeveDataset : public TfrDataset {
public:
    using TfrDataset::TfrDataset;

    // A counting dataset of `count` records, owned by the band that asked for it.
    static std::unique_ptr<TvuVeveDataset> counting(qint32 count);
};

} // namespace vaskel
