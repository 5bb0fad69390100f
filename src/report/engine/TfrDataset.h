#pragma once
// A report dataset: what a repeating band walks. It offers First, Next, Prior and end of data over
// a range of records, counts the steps since First in `RecordIndex`, and lets the application hook
// each step through optional events. The layout engine calls StartRun once when a band takes the
// dataset and EndRun once when the band is freed; between them First, then Eof and Next in turn.
#include "report/engine/DatasetComponent.h"

#include <QtGlobal>

#include <functional>

namespace vaskel {

enum class TRangeBegin { rbFirst, rbCurrent };
enum class TRangeEnd { reLast, reCurrent, reCount };

class TfrDataset : public DatasetComponent {
public:
    using Notify = std::function<void(TfrDataset* sender)>;
    using CheckEof = std::function<void(TfrDataset* sender, bool& eof)>;

    using DatasetComponent::DatasetComponent;

    TRangeBegin RangeBegin = TRangeBegin::rbFirst;
    TRangeEnd RangeEnd = TRangeEnd::reLast;
    qint32 RangeEndCount = 0; // records walked when RangeEnd is reCount
    Notify OnFirst; // after every First
    Notify OnNext; // after a Next that stays inside a counted range
    Notify OnPrior; // after every Prior
    CheckEof OnCheckEOF; // may change the end-of-data answer
    qint32 RecordIndex = 0; // steps since First; 0 on the first record

    virtual void StartRun();
    virtual void EndRun();
    virtual void First();
    virtual void Next();
    virtual void Prior();
    virtual bool Eof();
};

} // namespace vaskel
