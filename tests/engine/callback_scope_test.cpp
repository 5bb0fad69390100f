// The run state a callback scope sets: the view or the band for the duration of the call, and
// back afterwards; what the call itself made current (a band printed by a script, a view measured
// inside a band's call) is not undone by a scope that did not set it.
#include "lookup_ScopeFixture.h"

#include "report/engine/TfrBand.h"
#include "report/model/CallbackScope.h"
#include "report/model/TfrMemoView.h"

namespace vaskel::test {
namespace {

class CallbackScopeTest : public ScopeTest {
protected:
    RunState& run = frRun();
    TfrMemoView outerView, innerView;
    TfrBand outerBand{MasterData, nullptr}, innerBand{MasterData, nullptr};
};

TEST_F(CallbackScopeTest, PutsBackOnlyWhatItSet)
{
    run.CurrentView = &outerView;
    run.CurrentBand = &outerBand;
    {
        const CallbackScope scope(&innerView);
        EXPECT_EQ(run.CurrentView, &innerView);
        run.CurrentBand = &innerBand; // the view's script printed another band
    }
    EXPECT_EQ(run.CurrentView, &outerView);
    EXPECT_EQ(run.CurrentBand, &innerBand);

    run.CurrentBand = &outerBand;
    {
        const CallbackScope scope(&innerBand);
        EXPECT_EQ(run.CurrentBand, &innerBand);
        run.CurrentView = &innerView; // a view measured in the call stays current
    }
    EXPECT_EQ(run.CurrentBand, &outerBand);
    EXPECT_EQ(run.CurrentView, &innerView);
    run.CurrentView = nullptr;
    run.CurrentBand = nullptr;
}

} // namespace
} // namespace vaskel::test
