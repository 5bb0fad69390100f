// The ceiling on pages per run comes from the settings store ("Report/MaxPages"), read when the
// engine globals are created at start-up; values that are missing, not numbers or below one page
// keep the default of a million.
#include "support/TestGlobals.h"

#include "platform/SettingsStore.h"
#include "report/engine/TfrReport.h"

namespace vaskel::test {
namespace {

class PageCeilingSetting : public GlobalsTest {
protected:
    void SetUp() override { clear(); }
    void TearDown() override { clear(); }
    void clear()
    {
        SettingsStore store;
        store.remove(QLatin1String(TfrGlobals::kMaxPagesKey));
        store.sync();
    }
};

TEST_F(PageCeilingSetting, NewReportsTakeTheStoredCeiling)
{
    const qint32 fallback = TfrGlobals::kDefaultMaxPreparedPages;
    EXPECT_EQ(fallback, 1000000);
    struct Case {
        const char* stored; // null: no value
        qint32 expected;
    } cases[] = {
        {nullptr, fallback},
        {"250", 250},
        {" 5000000 ", 5000000},
        {"many", fallback},
        {"0", fallback},
        {"-3", fallback},
        {"1e6", fallback},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "missing");
        {
            SettingsStore store;
            if (c.stored)
                store.setValue(QLatin1String(TfrGlobals::kMaxPagesKey), QString::fromLatin1(c.stored));
            else
                store.remove(QLatin1String(TfrGlobals::kMaxPagesKey));
            store.sync();
        }
        TfrGlobals startUp; // as the program creates it when it starts
        EXPECT_EQ(startUp.maxPreparedPages, c.expected);
        TfrReport report;
        EXPECT_EQ(report.MaxPreparedPages, c.expected);
    }
}

} // namespace
} // namespace vaskel::test
