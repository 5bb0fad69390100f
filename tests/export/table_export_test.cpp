// The spreadsheet, HTML and CSV exporters on hand-built prepared pages, as pages of a prepared-
// report file reach them (no notes of the run beside them): texts read back as numbers and dates
// only where they are written as the display formats write them, "0002" stays text, and a
// stopped export leaves the old file as it was.
#include "support/PrintedMemo.h"
#include "support/TestGlobals.h"

#include "report/engine/TfrEMFPages.h"
#include "report/export/CsvExport.h"
#include "report/export/ExportCells.h"
#include "report/export/HtmlExport.h"
#include "report/export/XlsxExport.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPage.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace vaskel::test {
namespace {

class TableExportTest : public GlobalsTest {
protected:
    void addMemo(int page, QRect rect, const QString& text)
    {
        TfrMemoView m;
        placeMemo(m, rect, text);
        m.FrameTyp = 15;
        appendPrinted(store, page, m);
    }
    void addPage()
    {
        store.InsertPage(store.Count(), TfrPage(&frPrinter(), 9, 2100, 2970, TfrPage::kDefaultBin, 0));
    }

    QTemporaryDir dir;
    TfrEMFPages store{nullptr};
};

TEST_F(TableExportTest, TextsReadBackAsNumbersAndDatesOnlyInTheirPrintedForms)
{
    struct Case {
        const char* text;
        ExportCell::Kind kind;
        double number;
        const char* plain; // the CSV field
    } cases[] = {
        {"213,011.58", ExportCell::Kind::Number, 213011.58, "213011.58"},
        {"-1,234", ExportCell::Kind::Number, -1234, "-1234"},
        {"0.50", ExportCell::Kind::Number, 0.5, "0.5"},
        {"17", ExportCell::Kind::Number, 17, "17"},
        {"2023-01-06", ExportCell::Kind::Date, 44932, "2023-01-06"},
        {"0002", ExportCell::Kind::Text, 0, "0002"},
        {"HT23002", ExportCell::Kind::Text, 0, "HT23002"},
        {"1,23", ExportCell::Kind::Text, 0, "1,23"}, // not grouped in threes
        {"12,3456", ExportCell::Kind::Text, 0, "12,3456"},
        {"2023-02-30", ExportCell::Kind::Text, 0, "2023-02-30"}, // no such day
        {"1e5", ExportCell::Kind::Text, 0, "1e5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ExportCell cell;
        cell.text = QString::fromUtf8(c.text);
        ExportCells::parseBack(cell);
        EXPECT_EQ(cell.kind, c.kind);
        if (cell.kind == ExportCell::Kind::Number) {
            EXPECT_DOUBLE_EQ(cell.number, c.number);
            EXPECT_EQ(cell.plainNumber(), QString::fromUtf8(c.plain));
        } else if (cell.kind == ExportCell::Kind::Date) {
            EXPECT_DOUBLE_EQ(cell.number, c.number);
            EXPECT_EQ(cell.isoDate(), QString::fromUtf8(c.plain));
        }
    }
}

TEST_F(TableExportTest, DisplayFormatsBecomeSheetFormats)
{
    struct Case {
        qint32 code;
        const char* formatText;
        const char* sheet;
    } cases[] = {
        {0x01040000, "#,##0.00", "#,##0.00"}, // custom number pattern
        {0x0101022E, "", "0.00"}, // fixed, two decimals
        {0x0103022E, "", "#,##0.00"}, // number notation
        {0x02040000, "yyyy-mm-dd", "yyyy-mm-dd"}, {0x02040000, "dd.mm.yyyy hh:nn", "dd.mm.yyyy hh:mm"},
        {0x03040000, "h:nn ampm", "h:mm AM/PM"}, {0x00000000, "", ""}, // text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sheet);
        EXPECT_EQ(
            ExportCells::sheetFormat(c.code, QString::fromUtf8(c.formatText)), QString::fromUtf8(c.sheet));
    }
}

TEST_F(TableExportTest, CsvLinesFollowRowsAndQuoteWhatNeedsIt)
{
    addPage();
    addMemo(0, QRect(20, 20, 100, 20), "0002");
    addMemo(0, QRect(120, 20, 200, 20), "Steel, \"cold\" rolled");
    addMemo(0, QRect(320, 22, 100, 18), "1,234.50");
    addMemo(0, QRect(20, 40, 100, 20), "two\nlines");
    addMemo(0, QRect(320, 40, 100, 20), "2023-01-06");
    const QString csv = dir.filePath("out.csv");
    ASSERT_TRUE(CsvExport().write(store, csv, {}));
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(),
        QByteArray("\xEF\xBB\xBF"
                   "0002,\"Steel, \"\"cold\"\" rolled\",1234.5\r\n"
                   "\"two\nlines\",2023-01-06\r\n"));
}

TEST_F(TableExportTest, StoppedExportsLeaveTheOldFile)
{
    for (int i = 0; i < 3; ++i) {
        addPage();
        addMemo(i, QRect(20, 20, 200, 20), QStringLiteral("page %1").arg(i + 1));
    }
    struct Case {
        const char* name;
        std::unique_ptr<ReportExporter> exporter;
    };
    Case cases[3] = {{"out.csv", std::make_unique<CsvExport>()}, {"out.xlsx", std::make_unique<XlsxExport>()},
        {"out.html", std::make_unique<HtmlExport>()}};
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString target = dir.filePath(c.name);
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        int seen = 0;
        EXPECT_FALSE(c.exporter->write(store, target, {}, [&seen](int page) {
            seen = page;
            return page == 2;
        }));
        EXPECT_EQ(seen, 2);
        QFile kept(target);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), "old");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(c.name).size(), 1)
            << "no temporary file stays beside it";
    }
}

} // namespace
} // namespace vaskel::test
