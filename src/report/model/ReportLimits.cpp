#include "report/model/ReportLimits.h"

#include "report/model/TfrPage.h"
#include "report/model/ViewFieldTable.h"

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

QString ValueRange::problem(double value) const
{
    return value >= double(lo) && value <= double(hi) ? QString() : outside(what, value, lo, hi);
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
    if (QString bad = kColumnCountRange.problem(page.Columns); !bad.isEmpty())
        return bad;
    for (qint32 v : {page.ColumnWidth, page.ColumnGap}) {
        if (QString bad = kColumnSizeRange.problem(v); !bad.isEmpty())
            return bad;
    }
    return {};
}

QString viewProblem(const TfrView& view)
{
    return view.Fields().problem(view);
}

} // namespace vaskel::ReportLimits
