// The printer model on this machine's real printing: a CUPS queue that writes PDF files, seen
// through Qt. Skipped with a message where no CUPS scheduler can be had.
#include "support/CupsQueue.h"
#include "support/TestGlobals.h"

#include "report/model/TfrGlobals.h"
#include "ui/desktop/QtPrinterBackend.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinterInfo>

#include <algorithm>
#include <cmath>
#include <span>

namespace vaskel {
namespace {

class RealPrinter : public test::GlobalsTest {
protected:
    static void SetUpTestSuite() { s_queue = new test::CupsQueue; }
    static void TearDownTestSuite()
    {
        delete s_queue;
        s_queue = nullptr;
    }

    void SetUp() override
    {
        if (!s_queue->available())
            GTEST_SKIP() << "no CUPS queue: " << s_queue->skipReason().toStdString();
        auto backend = std::make_unique<QtPrinterBackend>();
        qt = backend.get();
        globals.startPrinter(std::move(backend));
        queueIndex = static_cast<int>(prn().PrinterList.indexOf(test::CupsQueue::queueName()));
        ASSERT_GE(queueIndex, 0) << prn().PrinterList.join(", ").toStdString();
        prn().SelectPrinter(queueIndex);
        ASSERT_EQ(prn().CurrentIndex, queueIndex);
    }

    TfrPrinter& prn() { return globals.printer(); }

    // What Qt's page layout says for the queue on that paper, converted as the page metrics
    // define: the printable area is the paper less the device's minimum margins.
    static TfrPageMetrics layoutMetrics(
        QPageSize::PageSizeId id, QPageLayout::Orientation orientation, int* resolution)
    {
        QPrinter reference(QPrinterInfo::printerInfo(test::CupsQueue::queueName()), QPrinter::HighResolution);
        reference.setPageSize(QPageSize(id));
        reference.setPageOrientation(orientation);
        QPageLayout layout = reference.pageLayout();
        layout.setMargins(layout.minimumMargins());
        const int res = reference.resolution();
        *resolution = res;
        const QRect full = layout.fullRectPixels(res);
        const QRect paint = layout.paintRectPixels(res);
        const double k = 93 / 1.015 / res;
        auto units = [k](int pixels) { return static_cast<qint32>(std::nearbyint(k * pixels)); };
        return {full.width(), full.height(), units(full.width()), units(full.height()), paint.x(), paint.y(),
            units(paint.x()), units(paint.y()), paint.width(), paint.height(), units(paint.width()),
            units(paint.height())};
    }

    static inline test::CupsQueue* s_queue = nullptr;
    QtPrinterBackend* qt = nullptr;
    int queueIndex = -1;
};

TEST_F(RealPrinter, PrinterListHoldsTheQueuesThenTheVirtualPrinter)
{
    QStringList expected = QPrinterInfo::availablePrinterNames();
    expected.append("Virtual printer");
    EXPECT_EQ(prn().PrinterList, expected);
    EXPECT_EQ(prn().VirtualIndex, expected.size() - 1);
    EXPECT_EQ(prn().DeviceName, test::CupsQueue::queueName());
    ASSERT_TRUE(prn().SettingsHandle.has_value());

    const auto codes = std::span(prn().PaperCodes).first(prn().PaperCount);
    EXPECT_NE(std::find(codes.begin(), codes.end(), 9), codes.end()) << "A4";
    EXPECT_NE(std::find(codes.begin(), codes.end(), 1), codes.end()) << "Letter";
    EXPECT_EQ(prn().PaperNameList.size(), prn().PaperCount);
    // Qt names no paper sources here: only the printer's default source is offered.
    EXPECT_EQ(prn().BinCount, 1);
    EXPECT_EQ(prn().BinCodes[0], -1);
}

TEST_F(RealPrinter, MetricsAreWhatThePageLayoutReports)
{
    struct Case {
        const char* name;
        qint32 code;
        QPageSize::PageSizeId id;
        quint8 orientation;
    } cases[] = {
        {"A4", 9, QPageSize::A4, 0},
        {"Letter", 1, QPageSize::Letter, 0},
        {"A4 landscape", 9, QPageSize::A4, 1},
        {"Letter landscape", 1, QPageSize::Letter, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prn().SetPaper(c.code, 0, 0, -1, c.orientation, true);
        EXPECT_EQ(prn().CurPaperCode, c.code);
        EXPECT_EQ(prn().CurOrientation, c.orientation);
        int res = 0;
        const TfrPageMetrics expected
            = layoutMetrics(c.id, c.orientation ? QPageLayout::Landscape : QPageLayout::Portrait, &res);
        TfrPageMetrics m;
        prn().FillMetrics(m);
        EXPECT_EQ(m, expected);
        EXPECT_EQ(prn().CurPaperWidth, std::lround(expected.DevPaperWidth * 254.0 / res));
        EXPECT_EQ(prn().CurPaperHeight, std::lround(expected.DevPaperHeight * 254.0 / res));
    }

    // The figures themselves, for the queue's 1200 dpi: A4 is 9917 x 14033 pixels.
    prn().SetPaper(9, 0, 0, -1, 0, false);
    TfrPageMetrics a4;
    prn().FillMetrics(a4);
    if (qt->currentPrinter()->resolution() == 1200) {
        EXPECT_EQ(a4.DevPaperWidth, 9917);
        EXPECT_EQ(a4.DevPaperHeight, 14033);
        EXPECT_EQ(a4.UnitPaperWidth, 757);
        EXPECT_EQ(a4.UnitPaperHeight, 1071);
    }
    EXPECT_EQ(prn().CurPaperWidth, 2099);
    EXPECT_EQ(prn().CurPaperHeight, 2970);
}

TEST_F(RealPrinter, CustomSizesStayCustomAndKeepTheirOrientation)
{
    prn().SetPaper(256, 1500, 1000, -1, 1, true);
    EXPECT_EQ(prn().CurPaperCode, 256);
    EXPECT_EQ(prn().CurOrientation, 1);
    EXPECT_NEAR(prn().CurPaperWidth, 1500, 2);
    EXPECT_NEAR(prn().CurPaperHeight, 1000, 2);
    TfrPageMetrics m;
    prn().FillMetrics(m);
    EXPECT_GT(m.DevPaperWidth, m.DevPaperHeight);

    // A custom size equal to A4 is still the custom size the page asked for, so that the print
    // run does not take every such page for a paper change.
    prn().SetPaper(256, 2100, 2970, -1, 0, true);
    EXPECT_EQ(prn().CurPaperCode, 256);
    EXPECT_TRUE(prn().SamePaper(256, 2100, 2970, -1, 0));
}

TEST_F(RealPrinter, CodeWithoutAKnownSizeLeavesThePaper)
{
    prn().SetPaper(11, 0, 0, -1, 0, true);
    ASSERT_EQ(prn().CurPaperCode, 11);
    prn().SetPaper(14, 2159, 3302, -1, 0, true);
    EXPECT_EQ(prn().CurPaperCode, 11);
}

TEST_F(RealPrinter, PropertiesDialogAppliesOnlyWhenConfirmed)
{
    prn().SetPaper(9, 0, 0, -1, 0, true);
    qt->setPropertiesDialog([](QPrinter& printer) {
        printer.setPageSize(QPageSize(QPageSize::Legal));
        return false;
    });
    prn().ShowProperties();
    prn().ReadPrinter();
    EXPECT_EQ(prn().CurPaperCode, 9);

    qt->setPropertiesDialog([](QPrinter& printer) {
        printer.setPageSize(QPageSize(QPageSize::Letter));
        printer.setPageOrientation(QPageLayout::Landscape);
        return true;
    });
    prn().ShowProperties();
    prn().ReadPrinter();
    EXPECT_EQ(prn().CurPaperCode, 1);
    EXPECT_EQ(prn().CurOrientation, 1);
}

TEST_F(RealPrinter, PaperDoesNotChangeWhileAJobPrints)
{
    prn().SetPaper(9, 0, 0, -1, 0, true);
    QPrinter* printer = qt->currentPrinter();
    printer->setDocName("vaskel printer model test");
    QPainter painter;
    ASSERT_TRUE(painter.begin(printer));
    prn().SetPaper(1, 0, 0, -1, 1, true);
    EXPECT_EQ(prn().CurPaperCode, 9);
    printer->abort();
    painter.end();
    prn().SetPaper(1, 0, 0, -1, 1, true);
    EXPECT_EQ(prn().CurPaperCode, 1);
}

} // namespace
} // namespace vaskel
