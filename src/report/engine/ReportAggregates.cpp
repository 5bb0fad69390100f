#include "report/engine/ReportAggregates.h"

#include "report/engine/PageFormationState.h"
#include "report/engine/ReportScope.h"
#include "report/engine/TAggregateFunctionsSplitter.h"
#include "report/engine/TfrBand.h"
#include "report/expr/ValueOperators.h"
#include "report/model/TfrDataDictionary.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrMemoView.h"

#include <algorithm>

namespace vaskel {

namespace {

// The footer kinds whose aggregate calls are registered against a data band of each kind.
std::vector<int> footersOf(int dataKind)
{
    switch (dataKind) {
    case MasterData:
        return {PageFooter, ColumnFooter, MasterFooter, GroupFooter, ReportSummary};
    case DetailData:
        return {PageFooter, ColumnFooter, MasterFooter, DetailFooter, GroupFooter, ReportSummary};
    case SubdetailData:
        return {PageFooter, ColumnFooter, MasterFooter, DetailFooter, SubdetailFooter, GroupFooter,
            ReportSummary};
    case CrossData:
        return {CrossFooter};
    default:
        return {};
    }
}

// Keys of bands that print cross-tab objects start with the column; column 0 is the template.
QString columnPrefix(const TfrBand& band)
{
    if (band.Kind != CrossFooter && band.HasCrossObjects())
        return QStringLiteral("0") + ReportAggregates::kSeparator;
    return {};
}

} // namespace

ReportAggregates::KeyFields ReportAggregates::splitKey(const QString& key)
{
    const QStringList parts = key.split(ReportAggregates::kSeparator);
    KeyFields k;
    // name, op, expression, flag and the empty text after the last separator; one more in front
    // for a column.
    const qsizetype shift = parts.size() == 6 ? 1 : 0;
    if (parts.size() != 5 + shift || parts.at(1 + shift).size() != 1)
        return k;
    if (shift)
        k.column = parts.at(0);
    k.footer = parts.at(shift);
    k.op = static_cast<AggregateOp>(parts.at(1 + shift).at(0).unicode());
    k.expression = parts.at(2 + shift);
    k.flag = parts.at(3 + shift);
    k.valid = true;
    return k;
}

const ReportAggregates::KeyFields& ReportAggregates::keyFields(const QString& key)
{
    auto it = m_keys.find(key);
    if (it == m_keys.end())
        it = m_keys.emplace(key, splitKey(key)).first;
    return it->second;
}

namespace {

// Turns the registration flag on and restores the current band and view afterwards, also when
// a call fails.
class RegistrationMode {
public:
    explicit RegistrationMode(RunState& run) : m_run(run), m_band(run.CurrentBand), m_view(run.CurrentView)
    {
        m_run.RegisteringAggregates = true;
    }
    ~RegistrationMode()
    {
        m_run.RegisteringAggregates = false;
        m_run.CurrentBand = m_band;
        m_run.CurrentView = m_view;
    }
    RegistrationMode(const RegistrationMode&) = delete;
    RegistrationMode& operator=(const RegistrationMode&) = delete;

private:
    RunState& m_run;
    TfrBand* m_band;
    TfrView* m_view;
};

} // namespace

QString ReportAggregates::makeKey(
    const QString& footer, AggregateOp op, const QString& expression, const QString& flag)
{
    return footer + kSeparator + QChar(static_cast<char16_t>(op)) + kSeparator + expression + kSeparator
        + flag + kSeparator;
}

Value ReportAggregates::startValue(AggregateOp op)
{
    return op == AggregateOp::Min ? Value::number(1e300) : Value::smallInt(0);
}

std::optional<int> ReportAggregates::dataKindForFooter(int footerKind)
{
    switch (footerKind) {
    case ReportSummary:
    case PageFooter:
    case MasterFooter:
    case GroupFooter:
        return MasterData;
    case DetailFooter:
        return DetailData;
    case SubdetailFooter:
        return SubdetailData;
    case CrossFooter:
        return CrossData;
    default:
        return std::nullopt;
    }
}

void ReportAggregates::RegisterAggregates(const PageFormationState& page)
{
    RegistrationMode mode(TfrGlobals::get().run);
    try {
        for (int kind : {MasterData, DetailData, SubdetailData}) {
            for (TfrBand* d = page.FirstBandOfKind(kind); d && d->Dataset; d = d->NextOfKind())
                registerDataBand(page, *d);
        }
        if (TfrBand* cross = page.FirstBandOfKind(CrossData); cross && cross->BandView)
            registerDataBand(page, *cross);
    } catch (...) {
        m_registering = nullptr;
        throw;
    }
    m_registering = nullptr;
}

void ReportAggregates::registerDataBand(const PageFormationState& page, TfrBand& dataBand)
{
    m_registering = &dataBand;
    for (int footerKind : footersOf(dataBand.Kind)) {
        for (TfrBand* b = page.FirstBandOfKind(footerKind); b; b = b->NextOfKind()) {
            // The band and its child bands; a child chain that loops back is scanned once.
            std::vector<TfrBand*> seen;
            for (TfrBand* c = b; c && std::find(seen.begin(), seen.end(), c) == seen.end();
                 c = c->ChildLink) {
                seen.push_back(c);
                scanBand(*c);
            }
        }
    }
}

void ReportAggregates::scanBand(TfrBand& band)
{
    TfrGlobals& globals = TfrGlobals::get();
    globals.run.CurrentBand = &band;
    const TfrDataDictionary* dictionary = m_scope.dictionaryData();
    QStringList calls;
    TAggregateFunctionsSplitter splitter(
        calls, dictionary ? &dictionary->Variables : nullptr, &m_scope.CollectScriptFunctions);
    splitter.SplitScript(band.BeforePrintScript);
    for (TfrView* view : band.Views) {
        globals.run.CurrentView = view;
        if (dynamic_cast<TfrMemoView*>(view))
            splitter.SplitMemo(view->Memo);
        splitter.SplitScript(view->BeforePrintScript);
    }
    for (const QString& call : calls)
        globals.parser.EvaluateCompiled(call);
}

void ReportAggregates::AggregateCall(
    AggregateOp op, const Value& p1, const Value& p2, const Value& p3, Value& value)
{
    // COUNT has no expression: its first argument is the band name and its second the flag.
    const bool count = op == AggregateOp::Count;
    const QString expression = count ? QString() : p1.stringValue();
    const QString bandName = count ? p1.stringValue() : p2.stringValue();
    const QString flag = count ? p2.stringValue() : p3.stringValue();
    if (TfrGlobals::get().run.RegisteringAggregates) {
        registerCall(op, bandName, expression, flag);
        value = Value(QStringLiteral("0"));
    } else {
        readCall(op, expression, flag, value);
    }
}

void ReportAggregates::registerCall(
    AggregateOp op, const QString& bandName, const QString& expression, const QString& flag)
{
    TfrBand* band = TfrGlobals::get().run.CurrentBand;
    TfrBand* data = m_registering;
    if (!band || !data)
        return;
    QString name = bandName.trimmed();
    if (name.isEmpty()) {
        const std::optional<int> kind = dataKindForFooter(band->Kind);
        if (!kind || *kind != data->Kind)
            return;
        name = data->Name;
    }
    if (name.compare(data->Name, Qt::CaseInsensitive) != 0)
        return;
    data->AggregateValues.SetValue(
        columnPrefix(*band) + makeKey(band->Name, op, expression, flag), startValue(op));
    band->AggregateBand = data;
}

void ReportAggregates::readCall(
    AggregateOp op, const QString& expression, const QString& flag, Value& value) const
{
    const TfrBand* band = TfrGlobals::get().run.CurrentBand;
    if (!band)
        return;
    const TfrBand* data = nullptr;
    QString key;
    if (band->Kind == CrossData) {
        // A cross cell reads the copy of its footer's key for the column being printed.
        const TfrBand* footer = band->AggregateBand;
        if (!footer || !footer->AggregateBand)
            return;
        data = footer->AggregateBand;
        const qint32 column = m_scope.PageState ? m_scope.PageState->ColumnNumber() : 0;
        key = QString::number(column) + kSeparator + makeKey(footer->Name, op, expression, flag);
    } else {
        data = band->AggregateBand;
        if (!data)
            return;
        key = columnPrefix(*band) + makeKey(band->Name, op, expression, flag);
    }
    const Value* stored = data->AggregateValues.find(key);
    Value v = stored ? *stored : Value::null();
    if (op == AggregateOp::Avg) {
        v = data->AggregateCount <= 0
            ? Value::smallInt(0)
            : ValueOps::binary(ValueOps::Binary::Divide, v, Value::integer(data->AggregateCount));
    }
    value = v;
}

void ReportAggregates::AccumulateAggregates(TfrBand& dataBand)
{
    TfrVariables& values = dataBand.AggregateValues;
    const bool perColumn = dataBand.HasCrossObjects();
    const QString column = QString::number(m_scope.PageState ? m_scope.PageState->ColumnNumber() : 0);
    if (perColumn) {
        // Each template key (column 0) gets its copy for the column being printed. The copy
        // starts at its operation's start value, so a MIN per column is not stuck at 0.
        const QString templatePrefix = QStringLiteral("0") + kSeparator;
        for (int i = 0; i < values.Count(); ++i) {
            const QString name = values.Names(i);
            if (!name.startsWith(templatePrefix))
                continue;
            const QString copy = column + kSeparator + name.mid(templatePrefix.size());
            if (!values.contains(copy))
                values.SetValue(copy, startValue(keyFields(name).op));
        }
    }
    TfrParser& parser = TfrGlobals::get().parser;
    QString previousExpression;
    Value previousResult;
    bool havePrevious = false;
    const bool visible = dataBand.Visible;
    for (int i = 0; i < values.Count(); ++i) {
        const KeyFields& k = keyFields(values.Names(i));
        if (!k.valid)
            continue;
        if (perColumn && (k.column.isEmpty() || k.column == QLatin1String("0") || k.column != column))
            continue;
        Value result;
        if (k.op != AggregateOp::Count) {
            // SUM and AVG of one field follow each other: the field is evaluated once per record.
            if (!havePrevious || k.expression != previousExpression) {
                previousResult = parser.EvaluateCompiled(compiled(k.expression));
                previousExpression = k.expression;
                havePrevious = true;
            }
            result = previousResult;
        }
        if (!visible && k.flag.trimmed() != QLatin1String("1"))
            continue;
        Value acc = values.Values(i);
        if (acc.isNull())
            acc = Value::smallInt(0);
        if (result.isNull())
            result = Value::smallInt(0);
        switch (k.op) {
        case AggregateOp::Sum:
        case AggregateOp::Avg:
            acc = ValueOps::binary(ValueOps::Binary::Add, acc, result);
            break;
        case AggregateOp::Min:
        case AggregateOp::Max:
            // The start values are numbers; over a text column the first text takes their place,
            // and texts then order as in comparisons (their bytes in the file code page).
            if ((result.isString() && !acc.isString())
                || ValueOps::compare(result, acc) == (k.op == AggregateOp::Min ? -1 : 1))
                acc = result;
            break;
        case AggregateOp::Count:
            acc = ValueOps::binary(ValueOps::Binary::Add, acc, Value::integer(1));
            break;
        }
        values.SetValues(i, acc);
    }
    ++dataBand.AggregateCount;
}

const QString& ReportAggregates::compiled(const QString& expression)
{
    auto it = m_compiled.find(expression);
    if (it == m_compiled.end())
        it = m_compiled.insert(expression, TfrGlobals::get().parser.Compile(expression));
    return it.value();
}

void ReportAggregates::ResetAggregates(TfrBand& band)
{
    if (band.Kind == GroupHeader) {
        TfrParser& parser = TfrGlobals::get().parser;
        for (TfrBand* h = &band; h; h = h->NextOfKind())
            h->HeldGroupValue = parser.EvaluateCompiled(h->CompiledCondition);
        return;
    }
    TfrBand* data = band.AggregateBand;
    if (!data)
        return;
    TfrVariables& values = data->AggregateValues;
    for (int i = 0; i < values.Count(); ++i) {
        const KeyFields& k = keyFields(values.Names(i));
        if (k.valid && k.footer.compare(band.Name, Qt::CaseInsensitive) == 0)
            values.SetValues(i, startValue(k.op));
    }
    data->AggregateCount = 0;
}

} // namespace vaskel
