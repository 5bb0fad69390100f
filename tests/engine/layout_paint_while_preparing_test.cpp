// A preview paints prepared pages while a report is still being prepared (preparing lets window
// events run between pages). Drawing and hit-testing a prepared page must leave the run alone:
// the pages prepared with a paint after every page equal, byte for byte, those of a run nobody
// watched, and the run state is the same after each paint as before it.
#include "layout_ReportFixture.h"

#include "report/model/TfrGlobals.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

namespace vaskel::test {
namespace {

class LayoutPaintWhilePreparing : public LayoutTest {
protected:
    // Over twelve records, with page numbers, line numbers, band-aligned and stretched
    // memos: everything whose printing reads the page, the band or the view being processed.
    void buildTemplate()
    {
        printing(PageHeader, "Head", 0, 20, "head [PAGE#]");
        memo("HeadRight", 0, "right", 10, 300)->BandAlign = baRight;
        TfrBandView* data = printing(MasterData, "Data", 40, 50, "[Q1.KEY] line [LINE#]", "Q1Set");
        data->Flags |= ViewFlags::Stretched;
        memo("Wide", 50, "wide [Q1.KEY]", 10, 10)->BandAlign = baWidth;
        memo("Bottom", 60, "bottom [Q1.KEY]", 10, 10)->BandAlign = baBottom;
        memo("Long", 70, "[Q1.KEY] runs on over several lines of text in a narrow memo", 10, 250)->Flags
            |= ViewFlags::Stretched;
        printing(PageFooter, "Foot", 380, 20, "foot [PAGE#]");
    }

    QByteArray preparedBytes()
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        report.PreparedPages().SaveTo(buffer);
        return buffer.data();
    }

    // Draws and hit-tests every page prepared so far, as a preview would between pages.
    void paintPreparedPages()
    {
        TfrEMFPages& store = report.PreparedPages();
        QImage image(300, 420, QImage::Format_ARGB32_Premultiplied);
        for (int i = 0; i < store.Count(); ++i) {
            image.fill(Qt::white);
            QPainter painter(&image);
            store.DrawPage(i, painter, image.rect());
            painter.end();
            QString target;
            Qt::CursorShape cursor = Qt::ArrowCursor;
            store.ObjectAt(i, QPoint(20, 45), HitMode::Hover, target, cursor);
        }
        ++paints;
    }

    int paints = 0;
};

TEST_F(LayoutPaintWhilePreparing, PagesEqualAnUndisturbedRun)
{
    numbered("Q1", 12);
    for (const bool twoPass : {false, true}) {
        SCOPED_TRACE(twoPass ? "two passes" : "one pass");
        report.TemplatePages().Clear();
        page = addPage();
        buildTemplate();
        report.TwoPass = twoPass;
        report.OnEndPage = nullptr;
        ASSERT_TRUE(report.Prepare());
        const QByteArray undisturbed = preparedBytes();
        const QStringList undisturbedTexts = texts();
        ASSERT_GE(pageCount(), 2);

        paints = 0;
        report.OnEndPage = [this](qint32) {
            const RunState before = frRun();
            paintPreparedPages();
            const RunState& after = frRun();
            EXPECT_EQ(after.CurrentPage, before.CurrentPage);
            EXPECT_EQ(after.CurrentBand, before.CurrentBand);
            EXPECT_EQ(after.CurrentView, before.CurrentView);
            EXPECT_EQ(after.PrintMode, before.PrintMode);
            EXPECT_EQ(after.FirstPass, before.FirstPass);
            EXPECT_EQ(after.PageNumber, before.PageNumber);
            EXPECT_EQ(after.ErrorPending, before.ErrorPending);
        };
        ASSERT_TRUE(report.Prepare());
        report.OnEndPage = nullptr;
        EXPECT_GE(paints, pageCount()) << "painted between the pages";
        EXPECT_EQ(texts(), undisturbedTexts);
        EXPECT_EQ(preparedBytes(), undisturbed);
    }
}

} // namespace
} // namespace vaskel::test
