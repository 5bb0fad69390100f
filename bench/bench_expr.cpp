// Compiling and evaluating typical report expressions. A report evaluates the same few expressions
// once per record and band, compiled once per run; EvaluateCompiled is the number that matters.
// Names resolve through a lookup callback as the report's chain would (here a small table).
#include <benchmark/benchmark.h>

#include "report/expr/ExprGlobals.h"
#include "report/expr/TfrVariables.h"

using namespace vaskel;

namespace {

struct Expression {
    const char* name;
    const char* text;
};

constexpr Expression kExpressions[] = {
    {"field reference", "[Items.\"Price\"]"},
    {"numeric, three operands", "2.5 * 4 + 1"},
    {"fields, three operands", "Qty * Price - Discount"},
    {"comparison inside IF", "IF([Qty] > 10, 'many', 'few')"},
    {"string concatenation", "'Bill ' + [No] + ' of ' + Customer"},
};

void installLookup(ExprGlobals& g, TfrVariables& fields)
{
    fields.SetSorted(true);
    fields.SetValue("Items.\"Price\"", Value(12.5));
    fields.SetValue("QTY", Value(12));
    fields.SetValue("Qty", Value(12));
    fields.SetValue("PRICE", Value(3.25));
    fields.SetValue("DISCOUNT", Value(1.0));
    fields.SetValue("No", Value("A-1001"));
    fields.SetValue("CUSTOMER", Value("Rudu"));
    g.parser.LookupName = [&fields](const QString& name, Value& value) {
        if (const Value* v = fields.find(name))
            value = *v;
    };
}

void BM_EvaluateCompiled(benchmark::State& state)
{
    ExprGlobals g;
    TfrVariables fields;
    installLookup(g, fields);
    const Expression& e = kExpressions[state.range(0)];
    state.SetLabel(e.name);
    const QString postfix = g.parser.Compile(QString::fromUtf8(e.text));
    for (auto _ : state)
        benchmark::DoNotOptimize(g.parser.EvaluateCompiled(postfix));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EvaluateCompiled)->DenseRange(0, std::size(kExpressions) - 1);

void BM_Compile(benchmark::State& state)
{
    ExprGlobals g;
    const Expression& e = kExpressions[state.range(0)];
    state.SetLabel(e.name);
    const QString text = QString::fromUtf8(e.text);
    for (auto _ : state)
        benchmark::DoNotOptimize(g.parser.Compile(text));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Compile)->DenseRange(0, std::size(kExpressions) - 1);

} // namespace
