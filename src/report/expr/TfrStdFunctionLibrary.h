#pragma once
// The standard functions of the report language: text (LENGTH, LOWERCASE, UPPERCASE, NAMECASE,
// TRIM, POS, FORMATTEXT), numbers (FORMATFLOAT, MAXNUM, MINNUM), dates (DAYOF, MONTHOF, YEAROF,
// FORMATDATETIME), questions to the user (INPUT, MESSAGEBOX, through the UI services) and the
// aggregates SUM, AVG, MIN, MAX and COUNT. Arguments arrive as source text and are evaluated
// here with the global parser, except the aggregates', which go as text to the aggregate hook:
// aggregates live in the report engine's bands, which this layer cannot see.
#include "report/expr/TfrFunctionLibrary.h"

namespace vaskel {

// Operation codes of the aggregates; also the character that stands for the operation in an
// aggregate key.
enum class AggregateOp : char16_t { Sum = 11, Min = 12, Max = 13, Avg = 14, Count = 15 };

// What the running report does with an aggregate call: registers it, or reads its value. `p1` to
// `p3` are the call's argument texts as the parser passed them; `value` holds the string "0" when
// the hook is called and keeps it when the call has nothing to read.
class AggregateHook {
public:
    virtual ~AggregateHook() = default;
    virtual void AggregateCall(
        AggregateOp op, const Value& p1, const Value& p2, const Value& p3, Value& value)
        = 0;
};

class TfrStdFunctionLibrary : public TfrFunctionLibrary {
public:
    static constexpr auto kClassName = "TfrStdFunctionLibrary";

    TfrStdFunctionLibrary();

    QString ClassName() const override { return QString::fromLatin1(kClassName); }
    void Compute(
        int index, const Value& p1, const Value& p2, const Value& p3, Value& value) override;
};

} // namespace vaskel
