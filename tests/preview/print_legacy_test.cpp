// A prepared-report file of the oldest layout (every page an enhanced metafile) printed through
// the real CUPS PDF queue, its text read back from the job's PDF, and found by the preview's search.
#include "print_QueueFixture.h"
#include "support/LegacyFrp.h"

#include "report/preview/PreviewSearch.h"
#include "report/preview/SearchHost.h"

#include <QFile>
#include <QTemporaryDir>

namespace vaskel::test {
namespace {

struct SearchStandIn : SearchHost {
    std::vector<std::pair<int, QRect>> hits;
    int displayedPage() const override { return 1; }
    void setPaintingEnabled(bool) override { }
    void showHit(int pageIndex, const QRect& bounds) override { hits.emplace_back(pageIndex, bounds); }
    void showStatus(const QString&) override { }
    bool cancelRequested() override { return false; }
};

class LegacyPrintTest : public PrintQueueTest {
protected:
    void loadLegacy()
    {
        const QString frp = dir.filePath("archive.frp");
        QFile out(frp);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(LegacyFrp::file());
        out.close();
        report().LoadPrepared(frp);
        ASSERT_EQ(report().PreparedPages().Count(), 2);
    }
    QTemporaryDir dir;
};

TEST_F(LegacyPrintTest, PrintsWithItsTextThroughTheQueue)
{
    loadLegacy();
    ASSERT_TRUE(report().PrintPrepared(QString(), 1, 0, true));
    QStringList texts;
    for (int id = lastJobBefore + 1; id <= lastJobId(); ++id) {
        const QString pdf = CupsQueue::waitForJobOutput(id);
        if (pdf.isEmpty() || !pdf.contains(title.left(20)))
            continue;
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        ASSERT_TRUE(text.waitForFinished(20000));
        texts += QString::fromUtf8(text.readAllStandardOutput()).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    }
    ASSERT_EQ(texts.size(), 2) << texts.join("|").toStdString();
    EXPECT_TRUE(texts[0].contains(LegacyFrp::title())) << texts[0].toStdString();
    EXPECT_TRUE(texts[0].contains(LegacyFrp::chinese())) << texts[0].toStdString();
    EXPECT_TRUE(texts[1].contains(LegacyFrp::second())) << texts[1].toStdString();
}

TEST_F(LegacyPrintTest, SearchFindsTheMetafileText)
{
    loadLegacy();
    TfrEMFPages& pages = report().PreparedPages();
    struct Case {
        QString text;
        bool caseSensitive;
        int page; // -1: not found
    } cases[] = {
        {QStringLiteral("closing BALANCE"), false, 1},
        {QStringLiteral("closing BALANCE"), true, -1},
        {LegacyFrp::chinese(), false, 0},
        {QStringLiteral("archive 1998"), true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        PreviewSearch search;
        SearchStandIn window;
        EXPECT_EQ(search.start(c.text, c.caseSensitive, false, pages, window), c.page >= 0);
        if (c.page < 0) {
            EXPECT_TRUE(window.hits.empty());
            continue;
        }
        ASSERT_EQ(window.hits.size(), 1u);
        EXPECT_EQ(window.hits[0].first, c.page);
        EXPECT_FALSE(window.hits[0].second.isEmpty());
    }
}

} // namespace
} // namespace vaskel::test
