#include "report/engine/TfrDataset.h"

namespace vaskel {

void TfrDataset::StartRun()
{
}

void TfrDataset::EndRun()
{
}

void TfrDataset::First()
{
    RecordIndex = 0;
    if (OnFirst)
        OnFirst(this);
}

void TfrDataset::Next()
{
    ++RecordIndex;
    // The step that reaches the count leaves the range: the application has no record to supply.
    const bool leftCountedRange = RangeEnd == TRangeEnd::reCount && RecordIndex >= RangeEndCount;
    if (!leftCountedRange && OnNext)
        OnNext(this);
}

void TfrDataset::Prior()
{
    --RecordIndex;
    if (OnPrior)
        OnPrior(this);
}

bool TfrDataset::Eof()
{
    bool eof = RangeEnd == TRangeEnd::reCount && RecordIndex >= RangeEndCount;
    if (OnCheckEOF)
        OnCheckEOF(this, eof);
    return eof;
}

} // namespace vaskel
