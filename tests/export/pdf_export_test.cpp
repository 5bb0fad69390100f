// The PDF exporter on hand-built prepared pages: words stand where Qt's own PDF writer puts them,
// the text (Chinese included) reads back, fonts are embedded subsets, bold without a bold face stays
// bold, the document information is kept, the outline lists the pages or the group headers noted
// beside them, and a stopped or failed export leaves the old file.
#include "support/PrintedMemo.h"
#include "support/TestGlobals.h"

#include "platform/PlatformError.h"
#include "report/engine/PageTarget.h"
#include "report/engine/TfrEMFPages.h"
#include "report/export/PdfExport.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPage.h"
#include "report/model/TfrPrinter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace vaskel::test {
namespace {

struct Word {
    QString text;
    QRectF box; // points
};

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000))
        return QStringLiteral("%1 did not finish").arg(program);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The words of one page of the PDF with their boxes, as pdftotext reads them.
QList<Word> words(const QString& pdf, int page = 1)
{
    const QString number = QString::number(page);
    const QString html = run(QStringLiteral("pdftotext"), {"-bbox", "-f", number, "-l", number, pdf, "-"});
    QList<Word> result;
    static const QRegularExpression word(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    for (const QRegularExpressionMatch& m : word.globalMatch(html))
        result.push_back({m.captured(5),
            QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    return result;
}

// The first page at `dpi` as poppler draws it.
QImage raster(const QString& pdf, int dpi)
{
    const QString base = pdf + QStringLiteral(".page");
    run(QStringLiteral("pdftoppm"),
        {"-png", "-r", QString::number(dpi), "-f", "1", "-l", "1", "-singlefile", pdf, base});
    return QImage(base + QStringLiteral(".png")).convertToFormat(QImage::Format_Grayscale8);
}

// Dark pixels inside `box` (points) of a page drawn at `dpi`.
int ink(const QImage& page, const QRectF& box, int dpi)
{
    const QRect r
        = QRectF(box.topLeft() * dpi / 72.0, box.bottomRight() * dpi / 72.0).toAlignedRect() & page.rect();
    int dark = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            dark += qGray(page.pixel(x, y)) < 128;
    return dark;
}

class PdfExportTest : public GlobalsTest {
protected:
    // One A4 page: Latin text, Chinese text in the stand-in of 宋体 (a family without a bold face)
    // regular and bold, a framed box and a line of mixed text.
    void addPage()
    {
        store.InsertPage(store.Count(), TfrPage(&frPrinter(), 9, 2100, 2970, TfrPage::kDefaultBin, 0));
        const int page = store.Count() - 1;
        struct Memo {
            QRect rect;
            QString text;
            QString font;
            quint16 style;
        };
        const Memo memos[] = {
            {QRect(40, 40, 500, 30), "Purchase bill 4711", "Arial", 0},
            {QRect(40, 100, 500, 30), "材料供应有限公司", "宋体", 0},
            {QRect(40, 160, 500, 30), "材料供应有限公司", "宋体", fsBold},
            {QRect(40, 220, 600, 30), "Total 合计 1,234.50 kg", "Arial", 0},
            {QRect(40, 280, 300, 30), "Closing page", "Arial", 0},
        };
        for (const Memo& memo : memos) {
            TfrMemoView m;
            // The last line jumps to the next page, as a hyperlink with a target "@N" does.
            const bool link = &memo == &memos[std::size(memos) - 1];
            m.Name = link ? QStringLiteral("URL1") : memo.text;
            if (link)
                m.Tag = QStringLiteral("@%1").arg(page + 2);
            placeMemo(m, memo.rect, memo.text);
            m.Font.Name = memo.font;
            m.Font.Size = 12;
            m.Font.Style = memo.style;
            m.FrameTyp = 15;
            appendPrinted(store, page, m);
        }
    }

    // The same pages through Qt's own PDF writer at the same resolution, as the program wrote
    // them before it drew PDFs itself: the reference for where text stands.
    void writeWithQt(const QString& fileName)
    {
        QPdfWriter pdf(fileName);
        pdf.setResolution(600);
        const TfrPreparedPage& first = store.PageAt(0);
        const double mmPerUnit = 25.4 / TfrPrinter::kUnitsPerInch;
        pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(first.Metrics.UnitPaperWidth * mmPerUnit,
                                                    first.Metrics.UnitPaperHeight * mmPerUnit),
                                          QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
            QPageLayout::Portrait, QMarginsF()));
        QPainter painter(&pdf);
        store.PageAt(0).InUse = true;
        store.DrawPage(0, painter, PageTarget::onSheet(store.PageAt(0), QSize(pdf.width(), pdf.height())));
        store.PageAt(0).InUse = false;
        store.ReleasePage(0);
    }

    TfrEMFPages store{nullptr};
    QTemporaryDir dir;
};

TEST_F(PdfExportTest, WordsStandWhereQtsWriterPutsThemAndReadBack)
{
    addPage();
    const QString ours = dir.filePath("ours.pdf");
    const QString qt = dir.filePath("qt.pdf");
    ASSERT_TRUE(PdfExport().write(store, ours, {}));
    writeWithQt(qt);

    const QList<Word> got = words(ours);
    const QList<Word> want = words(qt);
    ASSERT_EQ(got.size(), want.size());
    ASSERT_GE(got.size(), 8);
    for (qsizetype i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(want[i].text.toStdString());
        EXPECT_EQ(got[i].text, want[i].text);
        EXPECT_NEAR(got[i].box.left(), want[i].box.left(), 0.5);
        EXPECT_NEAR(got[i].box.right(), want[i].box.right(), 0.5);
        EXPECT_NEAR(got[i].box.top(), want[i].box.top(), 0.5);
        // The bottom edge is the baseline plus the descent each writer declares for the font
        // (the Chinese face's differs by 0.7 pt); the glyphs themselves stand where the top says.
        EXPECT_NEAR(got[i].box.bottom(), want[i].box.bottom(), 1.0);
    }

    // Every font is embedded as a subset and maps its glyphs back to characters.
    const QStringList fonts = run(QStringLiteral("pdffonts"), {ours}).split(u'\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fonts.isEmpty());
    for (const QString& line : fonts)
        EXPECT_TRUE(line.contains(QRegularExpression(QStringLiteral(R"(\byes\s+yes\s+yes\b)"))))
            << line.toStdString();
}

TEST_F(PdfExportTest, TheSamePageTwiceReadsTheSame)
{
    // Lines reach cairo without Qt's layout, queued and taking the painter's state when they are
    // drawn: nothing of one page may carry over to the next.
    addPage();
    addPage();
    const QString ours = dir.filePath("twice.pdf");
    ASSERT_TRUE(PdfExport().write(store, ours, {}));
    const QList<Word> first = words(ours, 1);
    const QList<Word> second = words(ours, 2);
    ASSERT_EQ(first.size(), second.size());
    ASSERT_GE(first.size(), 8);
    for (qsizetype i = 0; i < first.size(); ++i) {
        SCOPED_TRACE(first[i].text.toStdString());
        EXPECT_EQ(second[i].text, first[i].text);
        EXPECT_NEAR(second[i].box.left(), first[i].box.left(), 0.01);
        EXPECT_NEAR(second[i].box.right(), first[i].box.right(), 0.01);
    }
}

TEST_F(PdfExportTest, BoldWithoutABoldFaceStaysBold)
{
    addPage();
    const QString ours = dir.filePath("bold.pdf");
    ASSERT_TRUE(PdfExport().write(store, ours, {}));
    const QList<Word> got = words(ours);
    QList<QRectF> chinese;
    for (const Word& w : got)
        if (w.text == QStringLiteral("材料供应有限公司"))
            chinese.push_back(w.box);
    ASSERT_EQ(chinese.size(), 2) << "regular and bold line";
    const QImage page = raster(ours, 200);
    const int regular = ink(page, chinese[0], 200);
    const int bold = ink(page, chinese[1], 200);
    EXPECT_GT(bold, regular * 1.15) << regular << " dark pixels regular, " << bold << " bold";
}

TEST_F(PdfExportTest, DocumentInformationIsKept)
{
    addPage();
    const QString ours = dir.filePath("info.pdf");
    ExportDocumentInfo info;
    info.title = QStringLiteral("库存清单 Stock list");
    info.author = QStringLiteral("Storekeeper");
    info.subject = QStringLiteral("Materials");
    ASSERT_TRUE(PdfExport().write(store, ours, info));
    const QString text = run(QStringLiteral("pdfinfo"), {ours});
    for (const char* line : {"Title:\\s+库存清单 Stock list\\n", "Author:\\s+Storekeeper\\n",
             "Subject:\\s+Materials\\n", "Creator:\\s+vaskel\\n", "Pages:\\s+1\\n"})
        EXPECT_TRUE(text.contains(QRegularExpression(QString::fromUtf8(line)))) << line << "\n"
                                                                                << text.toStdString();
}

TEST_F(PdfExportTest, StoppedOrFailedExportLeavesTheOldFile)
{
    addPage();
    addPage();
    const QString target = dir.filePath("kept.pdf");
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    int seen = 0;
    EXPECT_FALSE(PdfExport().write(store, target, {}, [&seen](int page) {
        seen = page;
        return page == 1;
    }));
    EXPECT_EQ(seen, 1);
    QFile kept(target);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("old contents"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "no temporary file is left";

    EXPECT_THROW(PdfExport().write(store, dir.filePath("missing/folder/x.pdf"), {}), VaskelError);
}

TEST_F(PdfExportTest, OutlineListsThePagesAndPageJumpsLink)
{
    addPage();
    addPage();
    const QString ours = dir.filePath("outline.pdf");
    ASSERT_TRUE(PdfExport().write(store, ours, {}));
    run(QStringLiteral("pdftohtml"), {"-xml", "-i", "-q", ours, dir.filePath("outline")});
    QFile file(dir.filePath("outline.xml"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(file.readAll());
    const QRegularExpression item(QStringLiteral(R"re(<item page="(\d+)">([^<]*)</item>)re"));
    QStringList outline;
    for (const QRegularExpressionMatch& m : item.globalMatch(xml))
        outline << m.captured(1) + u' ' + m.captured(2);
    EXPECT_EQ(outline, QStringList({"1 Page 1", "2 Page 2"})) << xml.toStdString();
    // The jump on page 1 leads to page 2 (written after it); the one on page 2 to a page 3 that
    // does not exist, so it links nowhere.
    const QRegularExpression link(QStringLiteral(R"re(<a href="[^"#]*#(\d+)">Closing page</a>)re"));
    QStringList targets;
    for (const QRegularExpressionMatch& m : link.globalMatch(xml))
        targets << m.captured(1);
    EXPECT_EQ(targets, QStringList({"2"})) << xml.toStdString();
}

TEST_F(PdfExportTest, PagesHandedOverAsARunGoesMakeTheSameFile)
{
    // Each page jumps to the next, which the writer meets before it has it; the last jump leads
    // past the end and links nowhere, as in the finished store.
    for (int i = 0; i < 4; ++i)
        addPage();
    const QString whole = dir.filePath("whole.pdf");
    ASSERT_TRUE(PdfExport().write(store, whole, {}));
    const QString handed = dir.filePath("handed.pdf");
    {
        PdfRunWriter writer(handed, {});
        store.SetFinishedPageSink(&writer);
        store.HandOverRemaining();
        writer.finish();
    }
    // The same bytes but for the creation time.
    const auto content = [](const QString& name) {
        QFile f(name);
        return f.open(QIODevice::ReadOnly)
            ? QString::fromLatin1(f.readAll())
                  .remove(QRegularExpression(QStringLiteral("/(Creation|Mod)Date \\([^)]*\\)")))
            : QString();
    };
    EXPECT_FALSE(content(whole).isEmpty());
    EXPECT_TRUE(content(whole) == content(handed));
}

TEST_F(PdfExportTest, WriterGivenUpLeavesTheOldFile)
{
    addPage();
    const QString target = dir.filePath("kept.pdf");
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    {
        PdfRunWriter writer(target, {});
        store.SetFinishedPageSink(&writer);
        store.HandOverRemaining();
    } // the run failed: the writer goes without finish()
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old");
}

TEST_F(PdfExportTest, OutlineFollowsTheNotedGroupHeaders)
{
    // Notes of group headers as a report run leaves them: with them the pages are not listed,
    // and a header that printed no text is named by its page.
    addPage();
    addPage();
    addPage();
    store.PageAt(0).Outline = {{40, QStringLiteral("Supplier (A) & B")}, {220, QStringLiteral("合计 C")}};
    store.PageAt(2).Outline = {{100, QString()}};
    const QString ours = dir.filePath("groups.pdf");
    ASSERT_TRUE(PdfExport().write(store, ours, {}));
    const QString xml = run(QStringLiteral("pdftohtml"), {"-xml", "-i", "-q", "-stdout", ours});
    const QRegularExpression item(QStringLiteral(R"re(<item page="(\d+)">([^<]*)</item>)re"));
    QStringList outline;
    for (const QRegularExpressionMatch& m : item.globalMatch(xml))
        outline << m.captured(1) + u' ' + m.captured(2);
    EXPECT_EQ(outline.join(u'\n').toStdString(), "1 Supplier (A) &amp; B\n1 合计 C\n3 Page 3")
        << xml.toStdString();
}

TEST_F(PdfExportTest, EmptyReportGivesOneBlankPage)
{
    const QString ours = dir.filePath("empty.pdf");
    ASSERT_TRUE(PdfExport().write(store, ours, {}));
    EXPECT_TRUE(run(QStringLiteral("pdfinfo"), {ours})
                    .contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
}

} // namespace
} // namespace vaskel::test
