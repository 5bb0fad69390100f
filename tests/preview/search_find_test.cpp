// The preview's text search over prepared pages built here: what counts as a hit, where the next
// step continues, and what the window is asked to do.
#include "engine/prepared_PagesFixture.h"

#include "report/model/EStreamError.h"
#include "report/preview/PreviewSearch.h"
#include "report/preview/SearchHost.h"

namespace vaskel::test {

namespace {

struct Hit {
    int page;
    QRect bounds;
};

// The window as the search sees it: it shows hits by making their page current.
struct WindowStandIn : SearchHost {
    int displayed = 1;
    bool painting = true;
    int paintingSwitchedOff = 0;
    std::vector<Hit> hits;
    QStringList status;
    int cancelAfterPages = -1; // Escape pressed once this many pages were searched
    int pagesSearched = 0;

    int displayedPage() const override { return displayed; }
    void setPaintingEnabled(bool enabled) override
    {
        painting = enabled;
        if (!enabled)
            ++paintingSwitchedOff;
    }
    void showHit(int pageIndex, const QRect& bounds) override
    {
        EXPECT_TRUE(painting) << "a hit is shown on an area that paints";
        displayed = pageIndex + 1;
        hits.push_back({pageIndex, bounds});
    }
    void showStatus(const QString& text) override { status << text; }
    bool cancelRequested() override { return ++pagesSearched == cancelAfterPages; }
};

class PreviewSearchTest : public PreparedPagesTest {
protected:
    // One page per entry, each holding one memo per text (one memo line each), one under another.
    void pagesWith(const std::vector<QStringList>& pageTexts)
    {
        for (const QStringList& texts : pageTexts) {
            std::vector<std::unique_ptr<TfrMemoView>> memos;
            std::vector<TfrView*> views;
            for (int i = 0; i < texts.size(); ++i) {
                memos.push_back(memo(QStringLiteral("Memo%1").arg(i), 40, 40 + 30 * i, 300, 20, {texts[i]}));
                views.push_back(memos.back().get());
            }
            addPage(store, views);
        }
    }

    TfrEMFPages store{nullptr};
    WindowStandIn window;
    PreviewSearch search;
};

TEST_F(PreviewSearchTest, CaseInsensitiveFindsEveryCasingCaseSensitiveOnlyTheExactOne)
{
    pagesWith({{"Grand TOTAL"}, {"Total due"}, {"subtotal"}, {"nothing"}});
    EXPECT_TRUE(search.start("total", false, false, store, window));
    EXPECT_TRUE(search.findAgain(store, window));
    EXPECT_TRUE(search.findAgain(store, window));
    EXPECT_FALSE(search.findAgain(store, window));
    ASSERT_EQ(window.hits.size(), 3u);
    EXPECT_EQ(window.hits[0].page, 0);
    EXPECT_EQ(window.hits[1].page, 1);
    EXPECT_EQ(window.hits[2].page, 2);
    EXPECT_EQ(search.SearchText, "TOTAL");

    window.hits.clear();
    window.displayed = 1;
    EXPECT_TRUE(search.start("total", true, false, store, window));
    EXPECT_FALSE(search.findAgain(store, window));
    ASSERT_EQ(window.hits.size(), 1u);
    EXPECT_EQ(window.hits[0].page, 2);
}

TEST_F(PreviewSearchTest, TwoOccurrencesInOneRunAreOneHitAndTheNextStepMovesToTheNextRun)
{
    pagesWith({{"total and total", "a second total"}});
    ASSERT_TRUE(search.start("total", false, false, store, window));
    ASSERT_TRUE(search.findAgain(store, window));
    EXPECT_FALSE(search.findAgain(store, window));
    ASSERT_EQ(window.hits.size(), 2u);
    // The runs lie one under another: the second hit is the second memo's line.
    EXPECT_GT(window.hits[1].bounds.top(), window.hits[0].bounds.bottom());
    EXPECT_GE(window.hits[0].bounds.top(), 40);
    EXPECT_LE(window.hits[0].bounds.bottom(), 60);
}

TEST_F(PreviewSearchTest, TextSplitOverTwoMemoLinesIsNotFoundAndTheStatusLineSaysSo)
{
    auto split = memo("Split", 40, 40, 300, 60, {"sub", "total"});
    split->Memo = QStringList{"grand to", "tal"};
    addPage(store, {split.get()});
    EXPECT_FALSE(search.start("total", false, false, store, window));
    EXPECT_TRUE(window.hits.empty());
    EXPECT_EQ(window.status, QStringList{"Text not found"});
    EXPECT_TRUE(window.painting);
    EXPECT_EQ(window.paintingSwitchedOff, 1);
}

TEST_F(PreviewSearchTest, AfterTheLastHitNothingIsFoundUntilTheDisplayedPageChanges)
{
    pagesWith({{"a"}, {"total"}, {"b"}});
    ASSERT_TRUE(search.start("total", false, false, store, window));
    EXPECT_EQ(window.displayed, 2);
    EXPECT_FALSE(search.findAgain(store, window));
    EXPECT_EQ(search.SearchPage, store.Count());
    EXPECT_FALSE(search.findAgain(store, window));
    window.displayed = 1;
    EXPECT_TRUE(search.findAgain(store, window));
    ASSERT_EQ(window.hits.size(), 2u);
    EXPECT_EQ(window.hits[1].page, 1);
}

TEST_F(PreviewSearchTest, OriginCurrentPageStartsAtTheDisplayedPagesFirstOperation)
{
    pagesWith({{"total"}, {"total"}, {"total"}, {"total", "total"}, {"total"}});
    window.displayed = 4;
    ASSERT_TRUE(search.start("total", false, true, store, window));
    ASSERT_EQ(window.hits.size(), 1u);
    EXPECT_EQ(window.hits[0].page, 3);
    EXPECT_LT(window.hits[0].bounds.top(), 60); // the page's first run, not its second
    // Origin "1st page" goes back to the start whatever is displayed.
    ASSERT_TRUE(search.start("total", false, false, store, window));
    EXPECT_EQ(window.hits.back().page, 0);
}

TEST_F(PreviewSearchTest, EmptyTextDoesNothingAndEscapeStopsALongSearch)
{
    pagesWith({{"a"}, {"b"}, {"c"}, {"total"}});
    EXPECT_FALSE(search.start("", false, false, store, window));
    EXPECT_FALSE(search.findAgain(store, window));
    EXPECT_EQ(window.paintingSwitchedOff, 0);
    EXPECT_TRUE(window.status.isEmpty());

    window.cancelAfterPages = 2;
    EXPECT_FALSE(search.start("total", false, false, store, window));
    EXPECT_TRUE(window.hits.empty());
    EXPECT_TRUE(window.status.isEmpty()) << "a stopped search is no search that found nothing";
    EXPECT_TRUE(window.painting);
    EXPECT_EQ(search.SearchPage, 2);
}

TEST_F(PreviewSearchTest, PaintingComesBackAndPagesAreReleasedWhenAPageCannotBeDecoded)
{
    pagesWith({{"a"}, {"b"}});
    store.PageAt(1).PageData.append(QByteArray("\x07garbage", 8));
    EXPECT_THROW(search.start("total", false, false, store, window), EStreamError);
    EXPECT_TRUE(window.painting);
    EXPECT_FALSE(store.PageAt(0).LivePage);
    EXPECT_FALSE(store.PageAt(1).InUse);
}

TEST_F(PreviewSearchTest, OnlyTheHitPageStaysDecoded)
{
    pagesWith({{"a"}, {"b"}, {"total"}, {"c"}});
    ASSERT_TRUE(search.start("total", false, false, store, window));
    for (int i = 0; i < store.Count(); ++i)
        EXPECT_EQ(static_cast<bool>(store.PageAt(i).LivePage), i == 2) << "page " << i;
}

TEST(PlaceHit, AHitNearTheBottomOfATallPageEndsAtTheAreasBottomEdge)
{
    const QRect layout(10, 10, 800, 3000); // a tall page at zoom 1
    const QSize client(700, 500);
    const HitPlacement low = placeHit(QRect(40, 2800, 200, 20), 1.0, layout, client);
    EXPECT_EQ(low.mark.top() + low.mark.height(), client.height());
    EXPECT_EQ(low.mark.height(), 20);
    EXPECT_EQ(low.scrollY, 10 + 2810 + 20 - 500 - 10);
    EXPECT_EQ(low.scrollX, 0); // fits across: the page's corner 10 pixels inside the area

    const HitPlacement high = placeHit(QRect(40, 100, 200, 20), 1.0, layout, client);
    EXPECT_EQ(high.scrollY, 0);
    EXPECT_EQ(high.mark.top(), 110);

    const HitPlacement zoomed = placeHit(QRect(40, 2800, 200, 20), 1.5, layout, client);
    EXPECT_EQ(zoomed.mark.height(), 30);
    EXPECT_EQ(zoomed.mark.top() + zoomed.mark.height(), client.height());
}

} // namespace

} // namespace vaskel::test
