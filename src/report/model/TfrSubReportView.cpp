#include "report/model/TfrSubReportView.h"

#include "platform/Rounding.h"
#include "report/model/ReportStreamReader.h"
#include "report/model/ReportStreamWriter.h"
#include "report/model/ViewFieldTable.h"

#include <QFont>
#include <QPainter>

namespace vaskel {

TfrSubReportView::TfrSubReportView()
{
    TypeCode = 3;
    NamePrefix = QStringLiteral("SubReport");
}

const ViewFieldTable& TfrSubReportView::Fields() const
{
    using F = FieldValue;
    static const ViewFieldTable table(listingWithout(sharedViewFields(), frameFieldNames()),
        {
            {.key = "pageIndex",
                .kind = FieldKind::Int32,
                .get = [](const TfrView& v) -> F {
                    return qint64(static_cast<const TfrSubReportView&>(v).PageIndex);
                },
                .set = [](TfrView& v,
                           const F& x) { static_cast<TfrSubReportView&>(v).PageIndex = qint32(wholeOf(x)); },
                .write = JsonWrite::Always},
        });
    return table;
}

void TfrSubReportView::ReadRecord(ReportStreamReader& r)
{
    TfrView::ReadRecord(r);
    PageIndex = r.readI32();
}

void TfrSubReportView::WriteRecord(ReportStreamWriter& w)
{
    TfrView::WriteRecord(w);
    w.writeI32(PageIndex);
}

void TfrSubReportView::Paint(QPainter& canvas, const PrintContext& ctx)
{
    PlaceLayout(&canvas, ctx);
    ApplyZoom(ctx);
    canvas.save();
    canvas.setPen(QPen(Qt::black, 1));
    canvas.setBrush(Qt::white);
    canvas.drawRect(QRect(Left, Top, Width, Height));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(qMax(1, roundToInt(8 * 96.0 / 72.0 * ZoomY)));
    canvas.setFont(font);
    canvas.drawText(QPoint(Left + 2, Top + 2 + canvas.fontMetrics().ascent()), Name);
    canvas.restore();
    RestoreGeometry();
}

} // namespace vaskel
