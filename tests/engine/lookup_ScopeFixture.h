#pragma once
// A report scope over an empty template, installed as the parser's lookup and function handler,
// with a query window that owns one in-memory query ("Q1": NAME, QTY, PRICE, PAID) and a report
// dataset over it as the report's dataset. Expressions are checked in their one-line form.
#include "dataset_MemoryDataset.h"
#include "support/TestGlobals.h"

#include "report/engine/PageFormationState.h"
#include "report/engine/ReportScope.h"
#include "report/engine/TfrBand.h"
#include "report/engine/TfrDBDataSet.h"
#include "report/expr/ExprErrors.h"
#include "report/model/TemplateHolder.h"

#include <array>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace vaskel::test {

// A page being formed, made by hand: band chains by kind and the position figures.
class HandPage : public PageFormationState {
public:
    std::array<TfrBand*, 23> first{};
    qint32 curY = 0, bottomY = 0, column = 1, record = 1;
    QStringList shown; // names of the bands ShowBand printed

    // Appends a band of `kind` named `name` to that kind's chain; the page owns it.
    TfrBand* add(TfrBandKind kind, const QString& name, TfrDataset* dataset = nullptr)
    {
        auto band = std::make_unique<TfrBand>(kind, nullptr);
        band->Name = name;
        band->Dataset = dataset;
        auto view = std::make_unique<TfrBandView>();
        view->Name = name;
        view->FrameTyp = kind;
        band->BandView = view.get();
        m_views.push_back(std::move(view));
        TfrBand* raw = band.get();
        if (!first[kind]) {
            m_bands.push_back(std::move(band));
            first[kind] = raw;
        } else {
            TfrBand* last = first[kind];
            while (last->NextOfKind())
                last = last->NextOfKind();
            last->SetNextOfKind(std::move(band));
        }
        return raw;
    }

    TfrBand* FirstBandOfKind(int kind) const override
    {
        return kind >= 0 && kind < 23 ? first[kind] : nullptr;
    }
    qint32 CurY() const override { return curY; }
    qint32 BottomY() const override { return bottomY; }
    qint32 ColumnNumber() const override { return column; }
    qint32 CurrentRecord() const override { return record; }
    void ShowBand(TfrBand& band) override { shown << band.Name; }

private:
    std::vector<std::unique_ptr<TfrBandView>> m_views;
    std::vector<std::unique_ptr<TfrBand>> m_bands;
};

class ScopeTest : public GlobalsTest {
protected:
    ScopeTest()
        : query("Q1",
            {{"NAME", DatabaseFieldKind::String}, {"QTY", DatabaseFieldKind::Integer},
                {"PRICE", DatabaseFieldKind::Float}, {"PAID", DatabaseFieldKind::Boolean}},
            {{"bolt", 3, 2.5, true}, {QVariant(), QVariant(), QVariant(), QVariant()}}),
          window("Form1")
    {
        window.add(&query);
        window.add(&reportSet);
        reportSet.setDataSet(&query);
        scope.Template = &holder;
        scope.Owner = &window;
        scope.Dataset = &reportSet;
        scope.install(globals.parser);
    }

    // "kind text" or "error: message", as `vaskel eval` prints it. Each expression starts
    // without a name under evaluation, as each bracket of a text does.
    QString eval(const QString& expression)
    {
        try {
            globals.run.RecursionGuard.clear();
            const Value v = globals.parser.Evaluate(expression);
            return v.kindName() + QLatin1Char(' ') + (v.isNull() ? QString() : v.toText());
        } catch (const VaskelError& e) {
            return QStringLiteral("error: ") + e.message();
        }
    }

    struct Case {
        const char* name;
        const char* expression;
        const char* expected;
    };
    void check(std::initializer_list<Case> cases)
    {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            EXPECT_EQ(eval(QString::fromUtf8(c.expression)), QString::fromUtf8(c.expected)) << c.expression;
        }
    }

    MemoryDataset query;
    TfrDBDataSet reportSet{"frDBDataSet1"};
    MemoryOwner window;
    TemplateHolder holder;
    ReportScope scope;
};

} // namespace vaskel::test
