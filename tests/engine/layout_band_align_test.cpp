// Band-aligned views while a report runs: each record of a data band places its views against the
// page's limits and their neighbours on the same line of the band, as outside a run, however far
// down the page the record prints.
#include "layout_ReportFixture.h"

namespace vaskel::test {
namespace {

class LayoutBandAlign : public LayoutTest { };

TEST_F(LayoutBandAlign, ViewsOfADataBandKeepTheirPlacesOnEveryRecord)
{
    numbered("Q1", 5);
    band(MasterData, "Data", 40, 20, "Q1Set");
    const qint32 L = page->LeftLimit();
    const qint32 R = page->RightLimit();
    const qint32 D = R - L;
    // Added in this order: a view finds neighbours already placed before it.
    struct Case {
        const char* name;
        quint8 align;
        qint32 left, width; // in the template
        qint32 placedLeft, placedWidth;
    };
    const Case cases[] = {
        {"left without a neighbour: the left limit", baLeft, 300, 50, L, 50},
        {"left after its left neighbour", baLeft, 400, 60, L + 50, 60},
        {"right without a neighbour: the right limit", baRight, 500, 40, R - 40, 40},
        {"right before its right neighbour", baRight, 450, 30, R - 40 - 30 - 1, 30},
        {"centre", baCenter, 10, 100, L + (D - 100) / 2, 100},
        {"rest between the neighbours", baRest, 200, 10, L + 110, (R - 71) - (L + 110)},
        {"width: the whole line", baWidth, 30, 10, L, D - 1},
    };
    for (const Case& c : cases) {
        TfrMemoView* m
            = memo(QString::fromLatin1(c.name), 40, QStringLiteral("%1 [Q1.KEY]").arg(c.name), 10, c.left);
        m->Width = c.width;
        m->BandAlign = c.align;
    }
    // A view on another line of the band is no neighbour.
    memo("Below", 50, "below [Q1.KEY]", 10, 250)->BandAlign = baRest;
    ASSERT_TRUE(report.Prepare());

    QHash<QString, QJsonArray> rects; // printed text → rectangle
    for (const QJsonValue& p :
        PreparedPagesJson::toJson(report.PreparedPages()).object().value("pages").toArray())
        for (const QJsonValue& o : p.toObject().value("objects").toArray())
            rects.insert(
                o.toObject().value("lines").toArray().at(0).toString(), o.toObject().value("rect").toArray());
    for (const char* record : {"R1", "R4"}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(QStringLiteral("%1, record %2").arg(c.name, record).toStdString());
            const QJsonArray r = rects.value(QStringLiteral("%1 %2").arg(c.name, record));
            ASSERT_EQ(r.size(), 4);
            EXPECT_EQ(r.at(0).toInt(), c.placedLeft);
            EXPECT_EQ(r.at(2).toInt(), c.placedWidth);
            EXPECT_EQ(r.at(1).toInt(), kTop + (QString::fromLatin1(record) == "R4" ? 60 : 0));
        }
    }
    const QJsonArray below = rects.value("below R4");
    ASSERT_EQ(below.size(), 4);
    EXPECT_EQ(below.at(0).toInt(), L);
    EXPECT_EQ(below.at(2).toInt(), D);
}

} // namespace
} // namespace vaskel::test
