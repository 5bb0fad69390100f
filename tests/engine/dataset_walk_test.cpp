// Report datasets walking their records: counted ranges, events, ranges at the current record with
// the bookmark put back after the run, data-source texts of bands, and the references a database
// report dataset holds.
#include "dataset_MemoryDataset.h"

#include "report/engine/TfrDBDataSet.h"
#include "report/engine/TfrDatasetErrors.h"
#include "report/engine/TfrDatasetFunctions.h"
#include "report/engine/TvuVeveDataset.h"
#include "report/expr/ExprErrors.h"

#include <gtest/gtest.h>

namespace vaskel {
namespace {

using test::MemoryDataset;
using test::MemoryOwner;

std::unique_ptr<MemoryDataset> fourBills(const QString& name = "ADOQuery1")
{
    return std::make_unique<MemoryDataset>(name,
        QList<MemoryDataset::Column>{
            {"LDLP_NO", DatabaseFieldKind::String}, {"AMT", DatabaseFieldKind::Float}},
        QList<QVariantList>{{"A1", 10.0}, {"A2", 20.0}, {"A3", 30.0}, {"A4", 40.0}});
}

// The band loop's way through a dataset: First, then Eof and Next in turn.
QStringList walk(TfrDataset& ds, const std::function<QString()>& record, int limit = 20)
{
    QStringList seen;
    ds.First();
    while (!ds.Eof() && seen.size() < limit) {
        seen << record();
        ds.Next();
    }
    return seen;
}

TEST(TvuVeveDataset, CountedRangeGivesExactlyCountRecords)
{
    auto ds = TvuVeveDataset::counting(3);
    QStringList events;
    ds->OnFirst = [&](TfrDataset* s) { events << QString("first %1").arg(s->RecordIndex); };
    ds->OnNext = [&](TfrDataset* s) { events << QString("next %1").arg(s->RecordIndex); };
    ds->First();
    EXPECT_FALSE(ds->Eof());
    ds->Next();
    EXPECT_FALSE(ds->Eof());
    ds->Next();
    EXPECT_FALSE(ds->Eof());
    ds->Next();
    EXPECT_TRUE(ds->Eof());
    // The step that reaches the count has no record behind it: OnNext stays silent.
    EXPECT_EQ(events, QStringList({"first 0", "next 1", "next 2"}));
    ds->Prior();
    EXPECT_EQ(ds->RecordIndex, 2);
    EXPECT_FALSE(ds->Eof());
}

TEST(TvuVeveDataset, CheckEofEventDecidesAnUncountedRange)
{
    TvuVeveDataset ds;
    int priors = 0;
    ds.OnPrior = [&](TfrDataset*) { ++priors; };
    ds.OnCheckEOF = [](TfrDataset* s, bool& eof) { eof = s->RecordIndex >= 2; };
    EXPECT_EQ(walk(ds, [&] { return QString::number(ds.RecordIndex); }), QStringList({"0", "1"}));
    ds.Prior();
    EXPECT_EQ(priors, 1);
}

TEST(TfrDBDataSet, RangesOverTheDatabaseDataset)
{
    struct Case {
        const char* name;
        TRangeBegin begin;
        TRangeEnd end;
        int currentAtStart; // row the query is on when the run starts
        QStringList walked;
        QString afterRun; // the query's record after EndRun
    } cases[] = {
        {"whole query from any position", TRangeBegin::rbFirst, TRangeEnd::reLast, 2,
            {"A1", "A2", "A3", "A4"}, "A4"},
        {"from the current record to the last", TRangeBegin::rbCurrent, TRangeEnd::reLast, 1,
            {"A2", "A3", "A4"}, "A2"},
        {"first to the current third record", TRangeBegin::rbFirst, TRangeEnd::reCurrent, 2,
            {"A1", "A2", "A3"}, "A3"},
        {"current record only", TRangeBegin::rbCurrent, TRangeEnd::reCurrent, 1, {"A2"}, "A2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto q = fourBills();
        q->open();
        for (int i = 0; i < c.currentAtStart; ++i)
            q->next();
        TfrDBDataSet ds("frDBDataSet1");
        ds.setDataSet(q.get());
        ds.RangeBegin = c.begin;
        ds.RangeEnd = c.end;
        ds.StartRun();
        EXPECT_EQ(walk(ds, [&] { return q->key(); }), c.walked);
        ds.EndRun();
        EXPECT_FALSE(ds.StartBookmark.has_value());
        // A full walk leaves the query past its last row unless a bookmark brought it back.
        EXPECT_EQ(q->eof() ? QString("A4") : q->key(), c.afterRun);
    }
}

TEST(TfrDBDataSet, CountedRangeAndEventsOverTheQuery)
{
    auto q = fourBills();
    TfrDBDataSet ds("frDBDataSet1");
    ds.setDataSet(q.get());
    ds.RangeEnd = TRangeEnd::reCount;
    ds.RangeEndCount = 2;
    ds.CloseDataSource = true;
    QStringList events;
    ds.OnOpen = [&](TfrDataset*) { events << "open"; };
    ds.OnClose = [&](TfrDataset*) { events << QString("close active=%1").arg(q->isActive()); };
    ds.StartRun(); // opens the closed query
    EXPECT_EQ(walk(ds, [&] { return q->key(); }), QStringList({"A1", "A2"}));
    ds.EndRun();
    EXPECT_EQ(events, QStringList({"open", "close active=1"}));
    EXPECT_FALSE(q->isActive());
}

TEST(TfrDBDataSet, ReferencesToTheDatasetAndDataSource)
{
    auto q = fourBills();
    auto other = fourBills("ADOQuery2");
    auto src = std::make_unique<DatabaseDataSource>("DataSource1", other.get());
    TfrDBDataSet ds("frDBDataSet1");

    EXPECT_THROW(
        {
            try {
                ds.StartRun();
            } catch (const EDSError& e) {
                EXPECT_EQ(e.message(), "Unable to open dataset frDBDataSet1");
                throw;
            }
        },
        EDSError);

    ds.setDataSet(q.get());
    ds.setDataSource(src.get());
    EXPECT_EQ(ds.DataSet(), nullptr);
    EXPECT_EQ(&ds.GetDataSet(), other.get());
    ds.setDataSet(q.get());
    EXPECT_EQ(ds.DataSource(), nullptr);
    EXPECT_EQ(&ds.GetDataSet(), q.get());

    // A removed component leaves no dangling reference.
    ds.setDataSource(src.get());
    src.reset();
    EXPECT_EQ(ds.DataSource(), nullptr);
    ds.setDataSet(q.get());
    q.reset();
    EXPECT_EQ(ds.DataSet(), nullptr);
    EXPECT_THROW(ds.First(), EDSError);
}

TEST(BandDataSource, NumbersCountAndOtherTextsNameComponents)
{
    MemoryOwner form("Form1");
    TfrDBDataSet named05("05");
    auto q = fourBills();
    named05.setDataSet(q.get());
    form.add(&named05);
    DatabaseDataSource notADataset("DataSource1");
    form.add(&notADataset);

    BandDataSource five = OpenBandDataSource("5", &form);
    ASSERT_NE(five.counting, nullptr);
    EXPECT_EQ(walk(*five.dataset, [&] { return QString(); }).size(), 5);
    five.release();

    BandDataSource byName = OpenBandDataSource("05", &form);
    EXPECT_EQ(byName.dataset, &named05);
    EXPECT_EQ(byName.counting, nullptr);
    EXPECT_TRUE(q->isActive()) << "StartRun opens the named dataset";

    EXPECT_EQ(OpenBandDataSource("0", &form).dataset, nullptr) << "\"0\" is a name no component has";
    EXPECT_EQ(OpenBandDataSource("LDLP_NO;QNT", &form).dataset, nullptr);
    EXPECT_EQ(OpenBandDataSource("", &form).dataset, nullptr);
    EXPECT_THROW(OpenBandDataSource("5x", &form), EConvertError);
    EXPECT_THROW(OpenBandDataSource("DataSource1", &form), EDatasetInvalidCast);
}

} // namespace
} // namespace vaskel
