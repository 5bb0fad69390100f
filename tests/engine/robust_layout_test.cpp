// Band settings on which a page former would never finish: child links that loop, a page footer
// that asks for a new page after itself, a page with no room for a band, and a run that would
// prepare pages without end. Each ends the run with a message naming the problem.
#include "layout_ReportFixture.h"

#include <QElapsedTimer>

namespace vaskel::test {
namespace {

class RobustLayout : public LayoutTest {
public:
    // The case table builds its templates through these.
    using LayoutTest::numbered;
    using LayoutTest::page;
    using LayoutTest::printing;

protected:
    QStringList errors() const
    {
        QStringList texts;
        for (const Interaction& i : scriptedUi->interactionsOf(Interaction::Kind::MessageBox))
            texts << i.text;
        return texts;
    }
};

TEST_F(RobustLayout, SettingsThatCouldNeverFinishEndTheRunWithAMessage)
{
    struct Case {
        const char* name;
        std::function<void(RobustLayout&)> build;
        const char* message; // empty: the run finishes normally
    };
    const Case cases[] = {
        {"two children naming each other",
            [](RobustLayout& t) {
                t.printing(ReportTitle, "Band1", 0, 20, "title")->ChildBand = "Band3";
                t.printing(Child, "Band3", 40, 20, "three")->ChildBand = "Band5";
                t.printing(Child, "Band5", 80, 20, "five")->ChildBand = "Band3";
            },
            "Child bands form a loop: Band3 -> Band5 -> Band3"},
        {"a band that is its own child",
            [](RobustLayout& t) { t.printing(ReportTitle, "Band2", 0, 20, "title")->ChildBand = "band2"; },
            "Child bands form a loop: Band2 -> Band2"},
        {"page footer with new page after",
            [](RobustLayout& t) {
                t.numbered("Q1", 30);
                t.printing(MasterData, "Data", 40, 20, "[Q1.KEY]", "Q1Set");
                t.printing(PageFooter, "Foot", 380, 20, "foot")->Flags |= BandFlags::FormNewPage;
            },
            ""},
        {"no room on the page",
            [](RobustLayout& t) {
                t.page->Margins[3] = t.page->Metrics.UnitPaperHeight - kTop; // bottom at the top
                t.printing(ReportTitle, "Band2", 0, 50, "title");
            },
            "No room on the page for band Band2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        scriptedUi->clear();
        report.TemplatePages().Clear();
        page = addPage();
        c.build(*this);
        report.Prepare();
        if (*c.message) {
            ASSERT_EQ(errors().size(), 1) << errors().join('\n').toStdString();
            EXPECT_TRUE(errors()[0].contains(QLatin1String(c.message))) << errors()[0].toStdString();
        } else {
            EXPECT_TRUE(errors().isEmpty()) << errors().join('\n').toStdString();
            EXPECT_EQ(report.PreparedPages().Count(), 2) << "30 rows of 20 on pages of 360 units";
        }
    }
}

TEST_F(RobustLayout, PageCeilingStopsARunThatWouldNotEnd)
{
    numbered("Q1", 50);
    printing(MasterData, "Data", 40, 20, "[Q1.KEY]", "Q1Set")->Flags |= BandFlags::FormNewPage;
    report.MaxPreparedPages = 10;
    report.Prepare();
    const QList<Interaction> shown = scriptedUi->interactionsOf(Interaction::Kind::MessageBox);
    ASSERT_EQ(shown.size(), 1);
    // The run as a whole stopped: no object is named as if its calculation had failed.
    EXPECT_EQ(shown[0].text, "The report has reached 10 pages, the most a run may prepare; it was stopped");
}

// Scripts that never end: a loop whose condition never changes, and a jump back to itself.
TEST_F(RobustLayout, EndlessScriptsEndAtTheTimeLimitOrAtCancel)
{
    struct Case {
        const char* name;
        const char* script; // lines end with '\n'
        bool cancel; // Cancel pressed in the progress window, else a time limit of 1 s
    } cases[] = {
        {"while loop, time limit", "begin\nwhile 1 = 1 do X := 1\nend", false},
        {"goto back to itself, time limit", "begin\n1: goto 1\nend", false},
        {"while loop, Cancel", "begin\nwhile 1 = 1 do X := 1\nend", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        scriptedUi->clear();
        report.TemplatePages().Clear();
        page = addPage();
        printing(ReportTitle, "Title", 0, 20, "title");
        page->ObjectList.back()->BeforePrintScript = QString::fromLatin1(c.script).split('\n');
        report.TimeLimit = c.cancel ? 0 : 1;
        report.ShowProgress = c.cancel;
        if (c.cancel)
            scriptedUi->cancelProgressAfter(5); // pressed while the script runs
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(report.Prepare());
        EXPECT_LT(clock.elapsed(), 20000) << "ended long before a person would give up";
        EXPECT_EQ(report.PreparedPages().Count(), 0);
        if (c.cancel)
            EXPECT_TRUE(errors().isEmpty()) << "Cancel is no error: " << errors().join('\n').toStdString();
        else
            EXPECT_EQ(errors(), QStringList{"Time limit of 1 s reached"});
    }
    report.ShowProgress = false;
    report.TimeLimit = 0;
}

} // namespace
} // namespace vaskel::test
