// Justified and spaced text as `vaskel render` prints it: at 96, 192 and 600 pixels per inch and
// in a PDF, every word stays inside its memo, a justified paragraph reaches the memo's right edge
// on all but its last line, and extra character spacing is as wide in report units everywhere.
#include "PdfText.h"
#include "support/CommandRun.h"
#include "support/PrintedMemo.h"
#include "support/TestGlobals.h"

#include "report/engine/TfrEMFPages.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPage.h"
#include "report/model/TfrPrinter.h"
#include "tools/RenderCommand.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <map>

namespace vaskel::test {
namespace {

// Report units of the memos (left, top, width, height); gaps 2 units.
const QRect kJustified(60, 40, 300, 120);
const QRect kSpaced(60, 200, 300, 24);
const QRect kPlain(60, 240, 300, 24);
const QRect kSpacedRight(60, 280, 300, 24);
constexpr int kCharSpacing = 2; // pixels at zoom 1: report units
const QString kParagraph = QStringLiteral(
    "Justified lines spread their spare room over the blanks between words so that every line "
    "but the last one of a paragraph ends exactly at the right edge of the memo, mike");

class RenderTextLayoutTest : public GlobalsTest {
protected:
    void SetUp() override
    {
        TfrEMFPages store(nullptr);
        store.InsertPage(0, TfrPage(&frPrinter(), 9, 2100, 2970, TfrPage::kDefaultBin, 0));
        auto add = [&](const QString& name, QRect rect, const QString& text, quint32 alignment, int spacing) {
            TfrMemoView m;
            m.Name = name;
            placeMemo(m, rect, text);
            m.Alignment = alignment;
            m.CharSpacing = spacing;
            m.Font.Size = 10;
            appendPrinted(store, 0, m);
        };
        add("Justified", kJustified, kParagraph, 3, 0);
        add("Spaced", kSpaced, "Spaced", 0, kCharSpacing);
        add("Plain", kPlain, "Spaced", 0, 0);
        add("SpacedRight", kSpacedRight, "Spaced", 1, kCharSpacing);
        frp = dir.filePath("text.frp");
        store.SaveToFile(frp);
    }

    QTemporaryDir dir;
    QString frp;
};

// The inked columns of each pixel row band of a memo's rectangle: left and right ink edge per
// text line (rows separated by blank rows), top to bottom.
std::vector<std::pair<int, int>> inkedLines(const QImage& page, const QRect& area)
{
    std::vector<std::pair<int, int>> lines;
    bool inLine = false;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        int left = -1, right = -1;
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(page.pixel(x, y)) < 160) {
                if (left < 0)
                    left = x;
                right = x;
            }
        }
        if (left < 0) {
            inLine = false;
            continue;
        }
        if (!inLine)
            lines.emplace_back(left, right);
        lines.back().first = std::min(lines.back().first, left);
        lines.back().second = std::max(lines.back().second, right);
        inLine = true;
    }
    return lines;
}

TEST_F(RenderTextLayoutTest, PngWordsStayInTheirMemoAndScaleWithTheResolution)
{
    // An A4 page at 600 pixels per inch is over Qt's default limit for reading an image.
    QImageReader::setAllocationLimit(1024);
    for (const int dpi : {96, 192, 600}) {
        SCOPED_TRACE(dpi);
        const QString out = dir.filePath(QStringLiteral("png%1").arg(dpi));
        const CommandRun r
            = runCommand(runRenderCommand, {"--frp", frp, "--png", out, "--dpi", QString::number(dpi)});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        const QImage page(QDir(out).filePath("page-001.png"));
        ASSERT_FALSE(page.isNull());
        const double k = dpi / TfrPrinter::kUnitsPerInch; // pixels per report unit
        auto pixels = [k](const QRect& units) {
            return QRect(QPoint(qRound(units.left() * k), qRound(units.top() * k)),
                QPoint(qRound((units.right() + 1) * k) - 1, qRound((units.bottom() + 1) * k) - 1));
        };
        const int slack = std::max(2, qRound(k)); // a device pixel or two, or a unit at zoom above 1

        // Justified: ink in the memo only (a wider area is searched), every line but the last
        // ending at the right gap.
        const QRect memo = pixels(kJustified);
        const std::vector<std::pair<int, int>> lines = inkedLines(page, memo.adjusted(-40, 0, 40, 0));
        ASSERT_GE(lines.size(), 3u);
        const int innerRight = memo.right() - qRound(2 * k);
        for (size_t i = 0; i < lines.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_GE(lines[i].first, memo.left());
            EXPECT_LE(lines[i].second, memo.right());
            if (i + 1 < lines.size()) {
                EXPECT_NEAR(lines[i].second, innerRight, 2 * slack) << "justified up to the right gap";
            }
        }
        EXPECT_LT(lines.back().second, innerRight - 10 * slack) << "the last line is not justified";

        // Spacing: five gaps between six letters, each round(2 × zoom) pixels wider.
        const auto spaced = inkedLines(page, pixels(kSpaced).adjusted(-40, 0, 40, 0));
        const auto plain = inkedLines(page, pixels(kPlain).adjusted(-40, 0, 40, 0));
        const auto right = inkedLines(page, pixels(kSpacedRight).adjusted(-40, 0, 40, 0));
        ASSERT_EQ(spaced.size(), 1u);
        ASSERT_EQ(plain.size(), 1u);
        ASSERT_EQ(right.size(), 1u);
        const int extra = qRound(kCharSpacing * k);
        EXPECT_NEAR(spaced[0].second - spaced[0].first, plain[0].second - plain[0].first + 5 * extra, slack);
        EXPECT_EQ(spaced[0].first, plain[0].first);
        // Right alignment measures the spacing too: the spaced word ends where a right-aligned
        // line ends, at the right gap less the spacing after its last letter.
        EXPECT_NEAR(right[0].second, pixels(kSpacedRight).right() - qRound(2 * k) - extra, 2 * slack);
        EXPECT_LE(right[0].second, pixels(kSpacedRight).right());
    }
}

TEST_F(RenderTextLayoutTest, PdfWordBoxesStayInTheirMemo)
{
    const QString pdf = dir.filePath("text.pdf");
    const CommandRun r = runCommand(runRenderCommand, {"--frp", frp, "--pdf", pdf});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QList<PdfWord> words = pdfWords(pdf);
    ASSERT_FALSE(words.isEmpty());
    const double pt = 72.0 / TfrPrinter::kUnitsPerInch; // points per report unit
    auto inPoints = [pt](const QRect& units) {
        return QRectF(
            units.left() * pt, units.top() * pt, (units.width() + 1) * pt, (units.height() + 1) * pt);
    };

    const QRectF memo = inPoints(kJustified);
    std::map<int, double> lineEnds; // line top (rounded points) → right end of its last word
    int justifiedWords = 0;
    for (const PdfWord& w : words) {
        if (!memo.contains(w.box.center()))
            continue;
        ++justifiedWords;
        SCOPED_TRACE(w.text.toStdString());
        EXPECT_GE(w.box.left(), memo.left() - 0.5);
        EXPECT_LE(w.box.right(), memo.right() + 0.5);
        double& end = lineEnds[qRound(w.box.top())];
        end = std::max(end, w.box.right());
    }
    EXPECT_EQ(justifiedWords, kParagraph.count(' ') + 1) << "every word read back, none lost or split";
    ASSERT_GE(lineEnds.size(), 3u);
    const double innerRight = memo.right() - 3 * pt;
    for (auto it = lineEnds.begin(); std::next(it) != lineEnds.end(); ++it)
        EXPECT_NEAR(it->second, innerRight, 2.5) << "line at " << it->first << " pt";
    EXPECT_LT(lineEnds.rbegin()->second, innerRight - 10) << "the last line is not justified";

    // The spaced word is wider than the plain one by five gaps of 2 units (it may read back as
    // several words: their boxes together).
    QRectF spaced, plain;
    for (const PdfWord& w : words) {
        if (inPoints(kSpaced).contains(w.box.center()))
            spaced |= w.box;
        if (inPoints(kPlain).contains(w.box.center()))
            plain |= w.box;
    }
    ASSERT_FALSE(spaced.isNull());
    ASSERT_FALSE(plain.isNull());
    EXPECT_NEAR(spaced.width() - plain.width(), 5 * kCharSpacing * pt, 1.5);
}

} // namespace
} // namespace vaskel::test
