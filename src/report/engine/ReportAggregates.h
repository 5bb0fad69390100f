#pragma once
// The aggregates of a running report (SUM, AVG, MIN, MAX, COUNT). Before the first page of a run
// the layout engine calls `RegisterAggregates` for each band page: every aggregate call found in
// the footers of a data band is evaluated once in registration mode, which creates its key in the
// data band's `AggregateValues` and points the footer's `AggregateBand` at the data band. After
// each record the data band accumulates (`AccumulateAggregates`); a footer that printed resets its
// own keys and its data band's record count (`ResetAggregates`); reading a call while its footer
// prints gives the running value.
//
// A key is the footer's name, the operation code as one character, the expression's source text
// and the flag's source text, each followed by the separator "\x01"; a band that prints cross-tab
// objects keeps one copy of its keys per cross column, the key then starting with the column
// number and the separator ("0" marks the template copy made at registration).
#include "report/expr/TfrStdFunctionLibrary.h"

#include <QHash>

#include <optional>
#include <unordered_map>

namespace vaskel {

class PageFormationState;
class ReportScope;
class TfrBand;

class ReportAggregates : public AggregateHook {
public:
    explicit ReportAggregates(ReportScope& scope) : m_scope(scope) { }

    // Registers the aggregate calls of one band page. Errors propagate: the caller reports them
    // and the run stops. The registration flag is on only during the call.
    void RegisterAggregates(const PageFormationState& page);
    // After `dataBand` printed (or skipped, being invisible) one record.
    void AccumulateAggregates(TfrBand& dataBand);
    // After `band` printed: a group header takes its group values, a footer resets its aggregates.
    void ResetAggregates(TfrBand& band);

    void AggregateCall(
        AggregateOp op, const Value& p1, const Value& p2, const Value& p3, Value& value) override;

    static constexpr QChar kSeparator = QChar(1);
    static QString makeKey(
        const QString& footer, AggregateOp op, const QString& expression, const QString& flag);
    // 1e300 for MIN (so that any value is smaller), the small integer 0 otherwise.
    static Value startValue(AggregateOp op);
    // The data band kind an aggregate without a band name refers to from a band of this kind.
    static std::optional<int> dataKindForFooter(int footerKind);

private:
    // A key taken apart.
    struct KeyFields {
        QString column; // empty without a column field
        QString footer;
        AggregateOp op = AggregateOp::Sum;
        QString expression;
        QString flag;
        bool valid = false;
    };
    static KeyFields splitKey(const QString& key);
    // The fields of a key, split once: every record of a run walks the same few keys. The
    // reference stays valid while further keys are split.
    const KeyFields& keyFields(const QString& key);

    void registerDataBand(const PageFormationState& page, TfrBand& dataBand);
    void scanBand(TfrBand& band);
    void registerCall(
        AggregateOp op, const QString& bandName, const QString& expression, const QString& flag);
    void readCall(AggregateOp op, const QString& expression, const QString& flag, Value& value) const;

    // The compiled form of an aggregate's expression: a run evaluates the same few expressions
    // on every record, and compiling them again each time was a tenth of the preparing.
    const QString& compiled(const QString& expression);

    ReportScope& m_scope;
    QHash<QString, QString> m_compiled; // expression text → postfix form
    std::unordered_map<QString, KeyFields> m_keys;
    TfrBand* m_registering = nullptr; // the data band whose footers are being registered
};

} // namespace vaskel
