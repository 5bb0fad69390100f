// Reaching fields from report text: component lookup by name, field references with quoted names,
// field values with the report's null substitutes, large objects, and the dataset a bare field
// name refers to while a band prints.
#include "dataset_MemoryDataset.h"

#include "report/engine/TfrDBDataSet.h"
#include "report/engine/TfrDatasetErrors.h"
#include "report/engine/TfrDatasetFunctions.h"
#include "report/model/EClassNotFound.h"

#include <QBuffer>
#include <QDate>

#include <gtest/gtest.h>

namespace vaskel {
namespace {

using test::MemoryDataset;
using test::MemoryOwner;

class DatasetFieldsTest : public ::testing::Test {
protected:
    DatasetFieldsTest()
        : query("ADOQuery1",
            {{"LDLP_NO", DatabaseFieldKind::String}, {"KPDATE", DatabaseFieldKind::Date},
                {"AMT", DatabaseFieldKind::Float}, {"A.B", DatabaseFieldKind::String},
                {"PAID", DatabaseFieldKind::Boolean}, {"ROWID", DatabaseFieldKind::LargeInt},
                {"NOTE", DatabaseFieldKind::Memo}},
            {{"H001", QDate(2023, 3, 5), 1250.5, "dotted", true, 9000000000LL, "line 1\r\nline 2"},
                {QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant()}}),
          form("Form1")
    {
        form.add(&query);
        form.add(&source);
    }

    MemoryDataset query;
    DatabaseDataSource source{"DataSource1", &query};
    MemoryOwner form;
};

TEST_F(DatasetFieldsTest, FindDatasetComponentByPlainAndDottedNames)
{
    EXPECT_EQ(FindDatasetComponent(&form, "adoquery1"), &query);
    EXPECT_EQ(FindDatasetComponent(&form, "Form1.ADOQuery1"), &query);
    EXPECT_EQ(FindDatasetComponent(&form, "Form2.ADOQuery1"), nullptr);
    EXPECT_EQ(FindDatasetComponent(&form, "Form1.Nothing"), nullptr);
    EXPECT_EQ(FindDatasetComponent(&form, "Form1.ADOQuery1.X"), nullptr) << "a query owns no components";

    class FailingOwner : public DatasetComponentOwner {
    public:
        DatasetComponent* findComponent(const QString&) const override { throw std::runtime_error("broken"); }
    } failing;
    try {
        FindDatasetComponent(&failing, "frDBDataSet1");
        FAIL() << "expected EClassNotFound";
    } catch (const EClassNotFound& e) {
        EXPECT_EQ(e.message(), "Missing frDBDataSet1");
    }
}

TEST_F(DatasetFieldsTest, ResolveFieldReference)
{
    MemoryDataset* none = nullptr;
    struct Case {
        const char* name;
        QString text;
        DatabaseDataset* defaultDataset;
        DatabaseDataset* dataset;
        QString field;
    } cases[] = {
        {"quoted field of a named dataset", "ADOQuery1.\"AMT\"", none, &query, "AMT"},
        {"unquoted, other letter case", "adoquery1.ldlp_no", none, &query, "ldlp_no"},
        {"quoted name with a dot stays whole", "ADOQuery1.\"A.B\"", none, &query, "A.B"},
        {"window, dataset and field", "Form1.ADOQuery1.\"AMT\"", none, &query, "AMT"},
        {"bare name uses the default dataset", "AMT", &query, &query, "AMT"},
        {"bare name without default", "AMT", none, none, ""},
        {"field the dataset lacks", "ADOQuery1.QNT", none, &query, ""},
        {"component that is no database dataset", "DataSource1.AMT", none, none, ""},
        {"two quotes only are not stripped", "ADOQuery1.\"\"", none, &query, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FieldReference r = ResolveFieldReference(c.text, &form, c.defaultDataset);
        EXPECT_EQ(r.dataset, c.dataset);
        EXPECT_EQ(r.fieldName, c.field);
    }
}

TEST_F(DatasetFieldsTest, FieldValueWithNullSubstitutes)
{
    // Reading a field opens its closed dataset.
    ASSERT_FALSE(query.isActive());
    EXPECT_EQ(DatabaseFieldValue(query.fieldByName("ldlp_no")), Value::string("H001"));
    EXPECT_TRUE(query.isActive());
    EXPECT_EQ(DatabaseFieldValue(query.fieldByName("AMT")), Value::number(1250.5));
    EXPECT_EQ(DatabaseFieldValue(query.fieldByName("KPDATE")).kind(), TfrValueKind::DateTime);
    EXPECT_EQ(DatabaseFieldValue(query.fieldByName("ROWID")), Value::string("9000000000"))
        << "64-bit as text";
    query.fieldByName("AMT").OnGetText = [](const DatabaseField& f) { return f.asString() + " yuan"; };
    EXPECT_EQ(DatabaseFieldValue(query.fieldByName("AMT")), Value::string("1250.5 yuan"));
    query.fieldByName("AMT").OnGetText = nullptr;

    query.next(); // the row of nulls
    struct Case {
        const char* field;
        Value expected;
    } cases[] = {
        {"LDLP_NO", Value::string("")},
        {"KPDATE", Value::integer(0)},
        {"AMT", Value::integer(0)},
        {"PAID", Value::boolean(false)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(DatabaseFieldValue(query.fieldByName(c.field)), c.expected);
    }
    EXPECT_THROW(query.fieldByName("QNT"), EDatabaseError);
}

TEST_F(DatasetFieldsTest, LargeObjectsAndFieldNames)
{
    query.open();
    EXPECT_TRUE(IsBlobField(query.fieldByName("NOTE")));
    EXPECT_FALSE(IsBlobField(query.fieldByName("LDLP_NO")));

    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    LoadBlob(query.fieldByName("NOTE"), stream);
    EXPECT_EQ(stream.pos(), 0) << "the stream is rewound for its reader";
    EXPECT_EQ(stream.readAll(), QByteArray("line 1\r\nline 2"));
    QStringList lines{"old"};
    LoadBlob(query.fieldByName("NOTE"), lines);
    EXPECT_EQ(lines, QStringList({"line 1", "line 2"}));

    QStringList names{"stale"};
    GetFieldNames(query, names);
    EXPECT_EQ(names, QStringList({"LDLP_NO", "KPDATE", "AMT", "A.B", "PAID", "ROWID", "NOTE"}));
}

TEST_F(DatasetFieldsTest, DefaultDatasetFollowsTheBandBeingPrinted)
{
    MemoryDataset detailQuery("ADOQuery2", {{"LDLP_NO", DatabaseFieldKind::String}}, {});
    TfrDBDataSet master("frDBDataSet1"), detail("frDBDataSet2"), report("frReportSet");
    master.setDataSet(&query);
    detail.setDataSet(&detailQuery);
    MemoryDataset reportQuery("Q3", {}, {});
    report.setDataSet(&reportQuery);
    TvuVeveDataset events;

    struct Context : DefaultDatasetContext {
        TfrDataset* reportDs = nullptr;
        std::optional<int> band;
        TfrDataset* masterDs = nullptr;
        TfrDataset* detailDs = nullptr;
        TfrDataset* reportDataset() const override { return reportDs; }
        std::optional<int> currentBandKind() const override { return band; }
        TfrDataset* firstBandDataset(int kind) const override
        {
            return kind == 5 ? masterDs : kind == 8 ? detailDs : nullptr;
        }
    } ctx;
    ctx.reportDs = &report;
    ctx.masterDs = &master;
    ctx.detailDs = &detail;

    struct Case {
        const char* name;
        std::optional<int> band;
        DatabaseDataset* expected;
    } cases[] = {
        {"outside band processing: the report's dataset", std::nullopt, &reportQuery},
        {"page header: first master data band", 2, &query},
        {"group footer: first master data band", 17, &query},
        {"detail footer: first detail data band", 9, &detailQuery},
        {"subdetail data without such a band", 11, nullptr},
        {"overlay keeps the report's dataset", 13, &reportQuery},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ctx.band = c.band;
        EXPECT_EQ(DefaultDataset(ctx), c.expected);
    }
    ctx.band = std::nullopt;
    ctx.reportDs = &events;
    EXPECT_EQ(DefaultDataset(ctx), nullptr) << "an event dataset has no database dataset";
}

} // namespace
} // namespace vaskel
