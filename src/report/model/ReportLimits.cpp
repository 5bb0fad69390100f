#include "report/model/ReportLimits.h"

#include "report/model/TfrBandView.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPage.h"

namespace vaskel::ReportLimits {

namespace {

QString outside(const char* what, double value, qint64 lo, qint64 hi)
{
    return QStringLiteral("%1 %2 outside %3 .. %4")
        .arg(QLatin1String(what))
        .arg(value, 0, 'g', 17)
        .arg(lo)
        .arg(hi);
}

} // namespace

bool within(double value, double limit)
{
    return value >= -limit && value <= limit;
}

QString paperProblem(qint32 width, qint32 height)
{
    for (qint32 size : {width, height}) {
        if (size < 0 || size > kMaxPaperSize)
            return outside("paper size", size, 0, kMaxPaperSize);
    }
    return {};
}

QString pageProblem(const TfrPage& page)
{
    if (QString bad = paperProblem(page.PaperSizeX, page.PaperSizeY); !bad.isEmpty())
        return bad;
    for (qint32 margin : page.Margins) {
        if (!within(margin, kMaxCoordinate))
            return outside("margin", margin, -kMaxCoordinate, kMaxCoordinate);
    }
    if (page.Columns < 0 || page.Columns > kMaxColumns)
        return outside("column count", page.Columns, 0, kMaxColumns);
    for (qint32 v : {page.ColumnWidth, page.ColumnGap}) {
        if (!within(v, kMaxCoordinate))
            return outside("column width or gap", v, -kMaxCoordinate, kMaxCoordinate);
    }
    return {};
}

QString frameWidthProblem(double width)
{
    return within(width, kMaxCoordinate) ? QString()
                                         : outside("frame width", width, -kMaxCoordinate, kMaxCoordinate);
}

QString viewProblem(const TfrView& view)
{
    for (qint32 v : {view.Left, view.Top, view.Width, view.Height, view.GapX, view.GapY}) {
        if (!within(v, kMaxCoordinate))
            return outside("object geometry", v, -kMaxCoordinate, kMaxCoordinate);
    }
    if (QString bad = frameWidthProblem(view.FrameWidth); !bad.isEmpty())
        return bad;
    if (const auto* memo = dynamic_cast<const TfrMemoView*>(&view)) {
        if (!within(memo->Font.Size, kMaxFontSize))
            return outside("font size", memo->Font.Size, -kMaxFontSize, kMaxFontSize);
        for (qint32 v : {memo->LineSpacing, memo->CharSpacing}) {
            if (!within(v, kMaxSpacing))
                return outside("line or character spacing", v, -kMaxSpacing, kMaxSpacing);
        }
    }
    if (const auto* band = dynamic_cast<const TfrBandView*>(&view)) {
        if (band->Columns < 0 || band->Columns > kMaxColumns)
            return outside("column count", band->Columns, 0, kMaxColumns);
        for (qint32 v : {band->ColumnWidth, band->ColumnGap}) {
            if (!within(v, kMaxCoordinate))
                return outside("column width or gap", v, -kMaxCoordinate, kMaxCoordinate);
        }
    }
    return {};
}

} // namespace vaskel::ReportLimits
