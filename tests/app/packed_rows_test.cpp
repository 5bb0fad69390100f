// The packed row store under query snapshots: values round-trip with their type and nullness,
// rows sit across chunk ends and in chunks of their own, replacing and erasing keep the other rows,
// and a query's current row shows its edits and deletions at once.
#include "support/AppTestDatabase.h"

#include "app/DatabaseConnection.h"
#include "app/OdbcQuery.h"
#include "app/PackedRows.h"
#include "app/TForm1.h"
#include "support/TestGlobals.h"

#include <QDateTime>
#include <QPoint>
#include <QTimeZone>

#include <functional>
#include <limits>

namespace vaskel {
namespace {

struct RoundTrip {
    const char* name;
    QVariant value;
};

// Same type, same nullness, same value; texts and byte arrays also keep null apart from empty,
// date-times keep their kind of zone (local, UTC, offset).
void expectSame(const QVariant& out, const QVariant& in)
{
    ASSERT_EQ(out.isValid(), in.isValid());
    EXPECT_EQ(out.metaType(), in.metaType()) << out.metaType().name();
    EXPECT_EQ(out.isNull(), in.isNull());
    EXPECT_EQ(out, in);
    if (in.typeId() == QMetaType::QString) {
        EXPECT_EQ(out.toString().isNull(), in.toString().isNull());
    }
    if (in.typeId() == QMetaType::QByteArray) {
        EXPECT_EQ(out.toByteArray().isNull(), in.toByteArray().isNull());
    }
    if (in.typeId() == QMetaType::QDateTime) {
        EXPECT_EQ(out.toDateTime().timeSpec(), in.toDateTime().timeSpec());
        EXPECT_EQ(out.toDateTime().offsetFromUtc(), in.toDateTime().offsetFromUtc());
        EXPECT_EQ(out.toDateTime().timeZone(), in.toDateTime().timeZone());
    }
}

const std::vector<RoundTrip>& roundTrips()
{
    static const std::vector<RoundTrip> cases = {
        {"invalid", QVariant()},
        {"null text", QVariant(QMetaType::fromType<QString>())},
        {"null date", QVariant(QMetaType::fromType<QDate>())},
        {"null double", QVariant(QMetaType::fromType<double>())},
        {"null of a streamed type", QVariant(QMetaType::fromType<QStringList>())},
        {"empty text", QVariant(QStringLiteral(""))},
        {"a null QString held in a variant", QVariant(QString())},
        {"ASCII", QVariant(QStringLiteral("HRB400 o'k"))},
        {"Latin-1 beyond ASCII", QVariant(QStringLiteral("Grüße ÿ café"))},
        {"Chinese and ASCII", QVariant(QStringLiteral("螺纹钢 HRB400 Φ12"))},
        {"outside the BMP", QVariant(QStringLiteral("clef 𝄞 end"))},
        {"false", QVariant(false)},
        {"true", QVariant(true)},
        {"int zero", QVariant(0)},
        {"int -1", QVariant(-1)},
        {"int min", QVariant(std::numeric_limits<int>::min())},
        {"int max", QVariant(std::numeric_limits<int>::max())},
        {"long long min", QVariant(std::numeric_limits<qlonglong>::min())},
        {"long long max", QVariant(std::numeric_limits<qlonglong>::max())},
        {"long long small", QVariant(qlonglong(7))},
        {"double two decimals", QVariant(1000.25)},
        {"double negative tiny", QVariant(-1e-300)},
        {"double negative zero", QVariant(-0.0)},
        {"double 17 digits", QVariant(123456789.123456789)},
        {"date", QVariant(QDate(2023, 3, 5))},
        {"date before the common era", QVariant(QDate(-4713, 1, 2))},
        {"null QDate held in a variant", QVariant(QDate())},
        {"time", QVariant(QTime(23, 59, 59, 999))},
        {"midnight", QVariant(QTime(0, 0))},
        {"null QTime held in a variant", QVariant(QTime())},
        {"date-time UTC", QVariant(QDateTime(QDate(2023, 3, 5), QTime(8, 30, 0, 5), Qt::UTC))},
        {"date-time local", QVariant(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59), Qt::LocalTime))},
        {"date-time at an offset",
            QVariant(QDateTime(QDate(2023, 6, 1), QTime(12, 0), Qt::OffsetFromUTC, 19800))},
        {"date-time in a named zone",
            QVariant(
                QDateTime(QDate(2023, 6, 1), QTime(12, 0), QTimeZone(QByteArrayLiteral("Asia/Shanghai"))))},
        {"invalid date-time", QVariant(QDateTime())},
        {"bytes with zeros", QVariant(QByteArray("\0\x01\xff z", 5))},
        {"empty bytes", QVariant(QByteArray(""))},
        {"null bytes", QVariant(QByteArray())},
        {"a string list", QVariant(QStringList{"a", "螺纹钢", QString()})},
        {"a point", QVariant(QPoint(3, -4))},
        {"unsigned", QVariant(4000000000u)},
    };
    return cases;
}

TEST(PackedRows, ValuesRoundTripWithTypeAndNullness)
{
    // All values in one row (each read by index, which walks the ones before it), and each in a
    // row of its own.
    PackedRows rows;
    QVariantList all;
    for (const RoundTrip& c : roundTrips())
        all << c.value;
    rows.appendRow(all);
    for (const RoundTrip& c : roundTrips())
        rows.appendRow({c.value});

    ASSERT_EQ(rows.rowCount(), 1 + qint64(roundTrips().size()));
    ASSERT_EQ(rows.valueCount(0), all.size());
    const QVariantList whole = rows.row(0);
    for (int i = 0; i < int(roundTrips().size()); ++i) {
        const RoundTrip& c = roundTrips()[size_t(i)];
        SCOPED_TRACE(c.name);
        expectSame(whole.at(i), c.value);
        expectSame(rows.value(0, i), c.value);
        expectSame(rows.value(i + 1, 0), c.value);
    }
    EXPECT_FALSE(rows.value(0, int(all.size())).isValid()) << "past the last value";
    EXPECT_FALSE(rows.value(rows.rowCount(), 0).isValid()) << "past the last row";
    EXPECT_TRUE(rows.row(-1).isEmpty());
    rows.appendRow({});
    EXPECT_EQ(rows.valueCount(rows.rowCount() - 1), 0) << "a row without values";
}

TEST(PackedRows, RowsAcrossChunkEndsAndLargerThanAChunk)
{
    // 64-byte chunks: rows of growing length fill chunks unevenly, and every 50th row holds a text
    // or byte array that needs a chunk of its own.
    PackedRows rows(64);
    std::vector<QVariantList> expected;
    for (int i = 0; i < 400; ++i) {
        QVariantList row{
            i, QString(i % 23, QChar(i % 2 ? u'钢' : u'a')), i * 0.25, QDate(2020, 1, 1).addDays(i)};
        if (i % 50 == 7)
            row << QVariant(QString(300, u'水'));
        if (i % 50 == 31)
            row << QVariant(QByteArray(1000, char(i)));
        rows.appendRow(row);
        expected.push_back(row);
    }
    ASSERT_EQ(rows.rowCount(), 400);
    for (int i = 0; i < 400; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows.row(i), expected[size_t(i)]);
        EXPECT_EQ(rows.value(i, 3), expected[size_t(i)][3]);
    }
    EXPECT_GT(rows.bytesReserved(), 400 * 20);
    rows.clear();
    EXPECT_EQ(rows.rowCount(), 0);
    EXPECT_EQ(rows.bytesReserved(), 0);
    rows.appendRow({1});
    EXPECT_EQ(rows.row(0), QVariantList{1}) << "usable again after clearing";
}

TEST(PackedRows, ReplaceAndEraseKeepTheOtherRows)
{
    PackedRows rows(64);
    std::vector<QVariantList> expected;
    for (int i = 0; i < 6; ++i) {
        expected.push_back({i, QStringLiteral("row %1").arg(i), QVariant(QMetaType::fromType<QString>())});
        rows.appendRow(expected.back());
    }
    using Rows = std::vector<QVariantList>;
    struct Step {
        const char* name;
        std::function<void(PackedRows&)> apply;
        std::function<void(Rows&)> expect;
    } steps[] = {
        {"a text made longer", [](PackedRows& p) { p.replaceValue(2, 1, QString(100, u'螺')); },
            [](Rows& e) { e[2][1] = QString(100, u'螺'); }},
        {"a null filled", [](PackedRows& p) { p.replaceValue(0, 2, QStringLiteral("was null")); },
            [](Rows& e) { e[0][2] = QStringLiteral("was null"); }},
        {"a value made null",
            [](PackedRows& p) { p.replaceValue(5, 0, QVariant(QMetaType::fromType<int>())); },
            [](Rows& e) { e[5][0] = QVariant(QMetaType::fromType<int>()); }},
        {"the same row again", [](PackedRows& p) { p.replaceValue(2, 0, qlonglong(1) << 40); },
            [](Rows& e) { e[2][0] = qlonglong(1) << 40; }},
        {"the first row erased", [](PackedRows& p) { p.eraseRow(0); }, [](Rows& e) { e.erase(e.begin()); }},
        {"a middle row erased", [](PackedRows& p) { p.eraseRow(2); },
            [](Rows& e) { e.erase(e.begin() + 2); }},
        {"the last row erased", [](PackedRows& p) { p.eraseRow(p.rowCount() - 1); },
            [](Rows& e) { e.pop_back(); }},
        {"out of range changes nothing",
            [](PackedRows& p) {
                p.replaceValue(0, 3, 1);
                p.replaceValue(9, 0, 1);
                p.eraseRow(-1);
                p.eraseRow(9);
            },
            [](Rows&) {}},
        {"appended after the changes", [](PackedRows& p) { p.appendRow({QStringLiteral("new")}); },
            [](Rows& e) { e.push_back({QStringLiteral("new")}); }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.apply(rows);
        step.expect(expected);
        ASSERT_EQ(rows.rowCount(), qint64(expected.size()));
        for (qint64 r = 0; r < rows.rowCount(); ++r) {
            const QVariantList got = rows.row(r);
            ASSERT_EQ(got.size(), expected[size_t(r)].size());
            for (int i = 0; i < got.size(); ++i)
                expectSame(got.at(i), expected[size_t(r)].at(i));
        }
    }
}

// The query keeps its current row decoded: an edit or a deletion must show in it at once.
class PackedQueryTest : public test::GlobalsTest { };

TEST_F(PackedQueryTest, CurrentRowShowsEditsAndDeletions)
{
    test::TestDatabase db(test::Backend::Sqlite);
    ASSERT_FALSE(db.connection().isEmpty()) << db.skipReason().toStdString();
    DatabaseConnection connection(db.connection());
    OdbcQuery purchase("ADOQuery1", &connection, TForm1::purchaseFields());
    purchase.setSql("select * from sb_tsjh");
    purchase.setUpdateTable("sb_tsjh");
    purchase.open();
    const int name = purchase.fieldByName("CMNAME").index();
    const int amt = purchase.fieldByName("AMT").index();

    purchase.next();
    ASSERT_EQ(purchase.fieldText(name), "角钢");
    EXPECT_EQ(purchase.valueAt(0, name).toString(), "螺纹钢") << "another row, read while row 1 is current";
    purchase.postEdit(1, amt, "12.5");
    EXPECT_EQ(purchase.fieldValue(amt), QVariant(12.5));
    EXPECT_EQ(purchase.valueAt(1, amt), QVariant(12.5));
    purchase.postEdit(2, name, "白水泥");
    EXPECT_EQ(purchase.valueAt(2, name).toString(), "白水泥");

    purchase.deleteRow(1);
    EXPECT_EQ(purchase.currentRow(), 1);
    EXPECT_EQ(purchase.fieldText(name), "白水泥") << "the next row took the deleted one's place";
    EXPECT_FALSE(purchase.fieldValue(purchase.fieldByName("KPDATE").index()).isValid()) << "its null date";

    purchase.close();
    EXPECT_FALSE(purchase.fieldValue(name).isValid());
    purchase.open();
    EXPECT_EQ(purchase.fieldText(name), "螺纹钢") << "reopened on the first row";
    EXPECT_EQ(purchase.rowCount(), 5);
}

} // namespace
} // namespace vaskel
