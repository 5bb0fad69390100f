// Where a page lands on the sheet (printer and PDF alike), and the paper sources a printer's
// description file offers.
#include "support/TestGlobals.h"

#include "report/engine/PageTarget.h"
#include "report/engine/TfrEMFPages.h"
#include "ui/desktop/QtPrinterBackend.h"

#include <QTemporaryDir>

namespace vaskel::test {

namespace {

// A4 at 600 dpi with a 5 mm printable-area offset: pixels and the matching report units.
TfrPreparedPage a4Page(bool marginsFlag)
{
    TfrPreparedPage page;
    page.MarginsFlag = marginsFlag ? 1 : 0;
    page.Margins[0] = 40;
    page.Margins[1] = 20;
    page.Margins[2] = 30;
    page.Margins[3] = 10;
    page.Metrics = {4961, 7016, 758, 1071, 118, 118, 18, 18, 4725, 6780, 722, 1035};
    return page;
}

TEST(PageTarget, MarginsFlagTakesTheWholeSheetOtherwiseThePrintableAreaInsideTheMargins)
{
    const TfrPreparedPage flagged = a4Page(true);
    EXPECT_EQ(PageTarget::onPrinter(flagged, flagged.Metrics), QRect(QPoint(-118, -118), QPoint(4842, 6897)));

    const TfrPreparedPage inside = a4Page(false);
    // round(40 × 4725 / 722) = 262, round(20 × 6780 / 1035) = 131, round(30 × 4725 / 722) = 196,
    // round(10 × 6780 / 1035) = 66.
    EXPECT_EQ(PageTarget::onPrinter(inside, inside.Metrics),
        QRect(QPoint(262, 131), QPoint(4725 - 196 - 1, 6780 - 66 - 1)));
}

TEST(PageTarget, OnAPdfSheetThePageSitsWhereThePrinterPutsIt)
{
    const TfrPreparedPage flagged = a4Page(true);
    EXPECT_EQ(PageTarget::onSheet(flagged, QSize(4961, 7016)), QRect(0, 0, 4961, 7016));

    const TfrPreparedPage inside = a4Page(false);
    const QRect r = PageTarget::onSheet(inside, QSize(4961, 7016));
    // The printable area starts 18 units (5 mm) in, the left margin another 40 units.
    const double perUnitX = 4961.0 / 758;
    const double perUnitY = 7016.0 / 1071;
    EXPECT_NEAR(r.left(), (18 + 40) * perUnitX, 2);
    EXPECT_NEAR(r.top(), (18 + 20) * perUnitY, 2);
    EXPECT_NEAR(r.right() + 1, (18 + 722 - 30) * perUnitX, 2);
    EXPECT_NEAR(r.bottom() + 1, (18 + 1035 - 10) * perUnitY, 2);
}

TEST(PaperSources, InputSlotsOfTheDescriptionFileWithStandardAndPrinterCodes)
{
    QTemporaryDir dir;
    const QString ppd = dir.filePath("trays.ppd");
    QFile f(ppd);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("*PPD-Adobe: \"4.3\"\n"
            "*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n"
            "*LanguageEncoding: ISOLatin1\n*PCFileName: \"TRAYS.PPD\"\n*Manufacturer: \"Test\"\n"
            "*Product: \"(Trays)\"\n*ModelName: \"Trays\"\n*ShortNickName: \"Trays\"\n"
            "*NickName: \"Trays\"\n*PSVersion: \"(3010.000) 0\"\n"
            "*OpenUI *InputSlot/Media Source: PickOne\n"
            "*DefaultInputSlot: Auto\n"
            "*InputSlot Auto/Automatic: \"\"\n"
            "*InputSlot Tray1/Tray 1: \"\"\n"
            "*InputSlot Manual/Manual Feed: \"\"\n"
            "*InputSlot Tray2/Tray 2: \"\"\n"
            "*CloseUI: *InputSlot\n"
            "*OpenUI *PageSize: PickOne\n*DefaultPageSize: A4\n*PageSize A4/A4: \"\"\n*CloseUI: *PageSize\n");
    f.close();
    const QList<QtPrinterBackend::InputSlot> slotList = QtPrinterBackend::inputSlotsFromPpd(ppd);
    ASSERT_EQ(slotList.size(), 4);
    EXPECT_EQ(slotList[0].code, 7);
    EXPECT_EQ(slotList[0].name, "Automatic");
    EXPECT_EQ(slotList[1].code, 256);
    EXPECT_EQ(slotList[1].keyword, "Tray1");
    EXPECT_EQ(slotList[2].code, 4);
    EXPECT_EQ(slotList[3].code, 257);
    EXPECT_TRUE(QtPrinterBackend::inputSlotsFromPpd(dir.filePath("missing.ppd")).isEmpty());
}

} // namespace

} // namespace vaskel::test
