#include "report/model/TfrBandView.h"

#include "platform/Rounding.h"
#include "report/expr/ExprGlobals.h"
#include "report/expr/StringTable.h"
#include "report/model/ReportStreamReader.h"
#include "report/model/ReportStreamWriter.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrPage.h"
#include "report/model/ViewFieldTable.h"

#include <QFont>
#include <QPainter>

#include <initializer_list>

namespace vaskel {

namespace {

bool kindIn(quint16 kind, std::initializer_list<int> kinds)
{
    for (int k : kinds) {
        if (k == kind)
            return true;
    }
    return false;
}

const TfrBandView& bandOf(const TfrView& v)
{
    return static_cast<const TfrBandView&>(v);
}

TfrBandView& bandOf(TfrView& v)
{
    return static_cast<TfrBandView&>(v);
}

// The names of the other band views of the page of `kinds`, for a band-name enumeration: empty
// while a report runs.
QString bandNames(const TfrView& band, std::initializer_list<int> kinds)
{
    QStringList names;
    if (!frRun().PrintMode && band.OwnerPage) {
        for (const auto& v : band.OwnerPage->ObjectList) {
            if (v.get() != &band && v->TypeCode == 2 && kindIn(v->FrameTyp, kinds))
                names << v->Name;
        }
    }
    return names.join(QLatin1Char(';'));
}

// The property table lists some fields only for the band kinds they apply to.
bool notPageFooter(const TfrView& v)
{
    return v.FrameTyp != PageFooter;
}
bool stretchable(const TfrView& v)
{
    return kindIn(v.FrameTyp, {0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 16, 17, 18, 21});
}
bool breaksPage(const TfrView& v)
{
    return kindIn(v.FrameTyp, {0, 1, 5, 6, 8, 9, 11, 12, 16});
}
bool dataBand(const TfrView& v)
{
    return kindIn(v.FrameTyp, {5, 8});
}
bool breakable(const TfrView& v)
{
    return kindIn(v.FrameTyp, {0, 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 16, 17, 21});
}
bool pageHeaderOrFooter(const TfrView& v)
{
    return kindIn(v.FrameTyp, {2, 3});
}
bool pageFooter(const TfrView& v)
{
    return v.FrameTyp == PageFooter;
}
bool headerThatRepeats(const TfrView& v)
{
    return kindIn(v.FrameTyp, {4, 7, 10, 16, 18});
}
bool crossData(const TfrView& v)
{
    return v.FrameTyp == CrossData;
}
bool hasColumns(const TfrView& v)
{
    return kindIn(v.FrameTyp, {5, 8, 11});
}
bool groupHeader(const TfrView& v)
{
    return v.FrameTyp == GroupHeader;
}

ViewField bandFlag(const char* name, quint16 bit, bool (*when)(const TfrView&))
{
    ViewField f = flagField(name, bit);
    f.listedWhen = when;
    return f;
}

} // namespace

TfrBandView::TfrBandView()
{
    TypeCode = 2;
    NamePrefix = QStringLiteral("Band");
    FormatCode = 0;
    Flags = BandFlags::OnFirstPage | BandFlags::OnLastPage;
}

const ViewFieldTable& TfrBandView::Fields() const
{
    using namespace PropFlags;
    using namespace ReportLimits;
    using F = FieldValue;
    using K = FieldKind;
    using V = TfrView;
    static const ViewFieldTable table(listingOnly(sharedViewFields(),
                                          {"Name", "Left", "Top", "Width", "Height", "Flags", "Visible",
                                              "OnBeforePrint", "Memo.Count", "Restrictions"}),
        {
            // The band kind is kept in FrameTyp; the text form names it.
            {.name = "FrameTyp",
                .key = "bandKind",
                .kind = K::BandKind,
                .get = [](const V& v) -> F { return qint64(v.FrameTyp); },
                .set = [](V& v, const F& x) { v.FrameTyp = quint16(wholeOf(x)); },
                .write = JsonWrite::Always},
            // A band's record revision is always written anew; the text form does not keep it.
            {.key = "recordRevision",
                .kind = K::UInt8,
                .get = [](const V& v) -> F { return qint64(v.RecordRevision); },
                .set = [](V& v, const F& x) { v.RecordRevision = quint8(wholeOf(x)); },
                .write = JsonWrite::Never},
            {.name = "ChildBand",
                .key = "childBand",
                .kind = K::Text,
                .get = [](const V& v) -> F { return bandOf(v).ChildBand; },
                .set = [](V& v, const F& x) { bandOf(v).ChildBand = textOf(x); },
                .listed = true,
                .enumNamesOf = [](const V& v) { return bandNames(v, {Child}); },
                .listedWhen = notPageFooter},
            bandFlag("PrintChildIfInvisible", BandFlags::PrintChildIfInvisible, notPageFooter),
            {.name = "Stretched", .listFlags = Boolean, .listed = true, .listedWhen = stretchable},
            bandFlag("FormNewPage", BandFlags::FormNewPage, breaksPage),
            bandFlag("PrintIfSubsetEmpty", BandFlags::PrintIfSubsetEmpty, dataBand),
            bandFlag("Breaked", BandFlags::Breaked, breakable),
            bandFlag("OnFirstPage", BandFlags::OnFirstPage, pageHeaderOrFooter),
            bandFlag("OnLastPage", BandFlags::OnLastPage, pageFooter),
            bandFlag("RepeatHeader", BandFlags::RepeatHeader, headerThatRepeats),
            {.name = "DataSource", .listFlags = Editor, .listed = true, .listedWhen = crossData},
            {.name = "Columns",
                .key = "columns",
                .kind = K::Int32,
                .get = [](const V& v) -> F { return qint64(bandOf(v).Columns); },
                .set = [](V& v, const F& x) { bandOf(v).Columns = qint32(wholeOf(x)); },
                .listFlags = Integer,
                .listed = true,
                .listedWhen = hasColumns,
                .range = &kColumnCountRange},
            {.name = "ColumnWidth",
                .key = "columnWidth",
                .kind = K::Int32,
                .get = [](const V& v) -> F { return qint64(bandOf(v).ColumnWidth); },
                .set = [](V& v, const F& x) { bandOf(v).ColumnWidth = qint32(wholeOf(x)); },
                .listFlags = ReportUnits,
                .listed = true,
                .listedWhen = hasColumns,
                .range = &kColumnSizeRange},
            {.name = "ColumnGap",
                .key = "columnGap",
                .kind = K::Int32,
                .get = [](const V& v) -> F { return qint64(bandOf(v).ColumnGap); },
                .set = [](V& v, const F& x) { bandOf(v).ColumnGap = qint32(wholeOf(x)); },
                .listFlags = ReportUnits,
                .listed = true,
                .listedWhen = hasColumns,
                .range = &kColumnSizeRange},
            {.name = "NewColumnAfter",
                .key = "newColumnAfter",
                .kind = K::Int32,
                .get = [](const V& v) -> F { return qint64(bandOf(v).NewColumnAfter); },
                .set = [](V& v, const F& x) { bandOf(v).NewColumnAfter = qint32(wholeOf(x)); }},
            {.name = "DataSource", .listFlags = Editor, .listed = true, .listedWhen = hasColumns},
            // A group's condition is kept in FormatText.
            {.name = "Condition",
                .kind = K::Text,
                .get = [](const V& v) -> F { return v.FormatText; },
                .set = [](V& v, const F& x) { v.FormatText = textOf(x); },
                .listFlags = Text,
                .listed = true,
                .listedWhen = groupHeader},
            {.name = "Master",
                .key = "master",
                .kind = K::Text,
                .get = [](const V& v) -> F { return bandOf(v).Master; },
                .set = [](V& v, const F& x) { bandOf(v).Master = textOf(x); },
                .listed = true,
                .enumNamesOf =
                    [](const V& v) {
                        return bandNames(v, {MasterData, DetailData, SubdetailData});
                    },
                .listedWhen = groupHeader},
            // Outside a run no engine band with a dataset is there to be at its end.
            {.name = "EOF", .kind = K::Boolean, .get = [](const V&) -> F { return false; }, .listed = true},
        });
    return table;
}

void TfrBandView::WriteProp(const QString& name, const Value& value)
{
    TfrView::WriteProp(name, value);
    if (EngineBand && frRun().PrintMode)
        EngineBand->bandPropertyWritten(name.toUpper(), value);
}

Value TfrBandView::ReadProp(const QString& name)
{
    if (EngineBand && frRun().PrintMode) {
        if (std::optional<Value> v = EngineBand->bandPropertyRead(name.toUpper()))
            return *v;
    }
    return TfrView::ReadProp(name);
}

Value TfrBandView::CallMethod(const QString& name, const Value& a, const Value& b, const Value& c)
{
    if (EngineBand && frRun().PrintMode && EngineBand->bandMethodCalled(name.toUpper()))
        return Value::null();
    return TfrView::CallMethod(name, a, b, c);
}

void TfrBandView::ReadRecord(ReportStreamReader& r)
{
    TfrView::ReadRecord(r);
    if (r.version() < 24)
        return;
    ChildBand = r.readString23();
    Columns = r.readI32();
    ColumnWidth = r.readI32();
    ColumnGap = r.readI32();
    NewColumnAfter = r.readI32();
    if (RecordVersion * 10 + RecordRevision > 20)
        Master = r.readString23();
}

void TfrBandView::WriteRecord(ReportStreamWriter& w)
{
    RecordRevision = 1;
    TfrView::WriteRecord(w);
    w.writeString(ChildBand);
    w.writeI32(Columns);
    w.writeI32(ColumnWidth);
    w.writeI32(ColumnGap);
    w.writeI32(NewColumnAfter);
    w.writeString(Master);
}

void TfrBandView::Paint(QPainter& canvas, const PrintContext& ctx)
{
    // A designer's picture of the band: a hatched, outlined strip with its kind's name. Band
    // views span the page width (cross bands the page height).
    PlaceLayout(&canvas, ctx);
    ApplyZoom(ctx);
    canvas.save();
    QRect strip(Left, Top, Width, Height);
    if (const TfrPage* page = OwnerPage) {
        if (isCrossBand())
            strip = QRect(Left, 0, Width, roundToInt(page->Metrics.UnitPaperHeight * ZoomY));
        else
            strip = QRect(0, Top, roundToInt(page->Metrics.UnitPaperWidth * ZoomX), Height);
    }
    canvas.fillRect(strip, QBrush(QColor(192, 192, 192), Qt::BDiagPattern));
    canvas.setPen(QPen(Qt::gray, 1));
    canvas.setBrush(Qt::NoBrush);
    canvas.drawRect(strip);
    if (Columns > 1 && !isCrossBand()) {
        QPen dotted(Qt::gray, 1, Qt::DotLine);
        canvas.setPen(dotted);
        for (qint32 i = 1; i < Columns; ++i) {
            const qint32 x = Left + roundToInt((ColumnWidth * i + ColumnGap * (i - 1)) * ZoomX);
            canvas.drawLine(x, strip.top(), x, strip.bottom());
            const qint32 x2 = x + roundToInt(ColumnGap * ZoomX);
            canvas.drawLine(x2, strip.top(), x2, strip.bottom());
        }
    }
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(qMax(1, roundToInt(8 * 96.0 / 72.0 * ZoomY)));
    canvas.setFont(font);
    canvas.setPen(Qt::black);
    const QString title = FrameTyp <= NoBand ? LoadStr(StringTable::sBandNameFirst + FrameTyp) : QString();
    if (isCrossBand()) {
        canvas.translate(strip.left() + 2, strip.bottom() - 2);
        canvas.rotate(-90);
        canvas.drawText(QPoint(0, canvas.fontMetrics().ascent()), title);
    } else {
        canvas.drawText(QPoint(strip.left() + 2, strip.top() + 2 + canvas.fontMetrics().ascent()), title);
    }
    canvas.restore();
    RestoreGeometry();
}

QRegion TfrBandView::MakeHitRegion(bool enlarged) const
{
    // The band's own rectangle joined with a tab above its top edge where its name is written.
    QRegion region(QRect(Left, Top, Width + 1, Height + 1));
    region = region.united(QRect(Left, Top - 13, 95, 14));
    if (enlarged)
        region = region.united(QRect(Left - 10, Top - 10, Width + 21, Height + 21));
    return region;
}

} // namespace vaskel
