#include "report/model/TfrBandView.h"

#include "platform/Rounding.h"
#include "report/expr/ExprGlobals.h"
#include "report/expr/StringTable.h"
#include "report/model/ReportStreamReader.h"
#include "report/model/ReportStreamWriter.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrPage.h"

#include <QFont>
#include <QPainter>

#include <initializer_list>

namespace vaskel {

namespace {

struct FlagName {
    const char* name;
    quint16 bit;
};

const FlagName kFlagNames[] = {{"FORMNEWPAGE", BandFlags::FormNewPage},
    {"PRINTIFSUBSETEMPTY", BandFlags::PrintIfSubsetEmpty}, {"BREAKED", BandFlags::Breaked},
    {"ONFIRSTPAGE", BandFlags::OnFirstPage}, {"ONLASTPAGE", BandFlags::OnLastPage},
    {"REPEATHEADER", BandFlags::RepeatHeader}, {"PRINTCHILDIFINVISIBLE", BandFlags::PrintChildIfInvisible}};

bool kindIn(quint16 kind, std::initializer_list<int> kinds)
{
    for (int k : kinds) {
        if (k == kind)
            return true;
    }
    return false;
}

} // namespace

TfrBandView::TfrBandView()
{
    TypeCode = 2;
    NamePrefix = QStringLiteral("Band");
    FormatCode = 0;
    Flags = BandFlags::OnFirstPage | BandFlags::OnLastPage;
}

void TfrBandView::WriteProp(const QString& name, const Value& value)
{
    TfrView::WriteProp(name, value);
    const QString n = name.toUpper();
    if (n == u"CHILDBAND")
        ChildBand = value.toText();
    else if (n == u"MASTER")
        Master = value.toText();
    else if (n == u"CONDITION")
        FormatText = value.toText();
    else if (n == u"COLUMNS")
        Columns = value.toInt();
    else if (n == u"COLUMNGAP")
        ColumnGap = value.toInt();
    else if (n == u"COLUMNWIDTH")
        ColumnWidth = value.toInt();
    else if (n == u"NEWCOLUMNAFTER")
        NewColumnAfter = value.toInt();
    else {
        for (const FlagName& f : kFlagNames) {
            if (n == QLatin1String(f.name))
                Flags = value.toBool() ? (Flags | f.bit) : (Flags & ~f.bit);
        }
    }
    if (EngineBand && frRun().PrintMode)
        EngineBand->bandPropertyWritten(n, value);
}

Value TfrBandView::ReadProp(const QString& name)
{
    if (EngineBand && frRun().PrintMode) {
        if (std::optional<Value> v = EngineBand->bandPropertyRead(name.toUpper()))
            return *v;
    }
    Value v = TfrView::ReadProp(name);
    if (!v.isNull())
        return v;
    const QString n = name.toUpper();
    if (n == u"CHILDBAND")
        return Value(ChildBand);
    if (n == u"MASTER")
        return Value(Master);
    if (n == u"CONDITION")
        return Value(FormatText);
    if (n == u"COLUMNS")
        return Value(Columns);
    if (n == u"COLUMNGAP")
        return Value(ColumnGap);
    if (n == u"COLUMNWIDTH")
        return Value(ColumnWidth);
    if (n == u"NEWCOLUMNAFTER")
        return Value(NewColumnAfter);
    if (n == u"EOF")
        return Value(false); // no engine band with a dataset outside a run
    for (const FlagName& f : kFlagNames) {
        if (n == QLatin1String(f.name))
            return Value((Flags & f.bit) != 0);
    }
    return v;
}

Value TfrBandView::CallMethod(const QString& name, const Value& a, const Value& b, const Value& c)
{
    if (EngineBand && frRun().PrintMode && EngineBand->bandMethodCalled(name.toUpper()))
        return Value::null();
    return TfrView::CallMethod(name, a, b, c);
}

void TfrBandView::BuildPropertyTable()
{
    ClearPropertyTable();
    AppendProperty(QStringLiteral("Name"), PropFlags::Named | PropFlags::Text);
    for (const char* geometry : {"Left", "Top", "Width", "Height"})
        AppendProperty(QString::fromLatin1(geometry), PropFlags::ReportUnits);
    AppendProperty(QStringLiteral("Flags"), 0);
    AppendProperty(QStringLiteral("Visible"), PropFlags::Boolean);
    AppendProperty(QStringLiteral("OnBeforePrint"), PropFlags::Named | PropFlags::Editor);
    AppendProperty(QStringLiteral("Memo.Count"), 0);
    AppendProperty(QStringLiteral("Restrictions"), PropFlags::Editor);

    // The band-name enumerations list the other band views of the page outside a run; while a
    // report runs they are empty.
    auto bandNames = [this](std::initializer_list<int> kinds) {
        QStringList names;
        if (!frRun().PrintMode && OwnerPage) {
            for (const auto& v : OwnerPage->ObjectList) {
                if (v.get() != this && v->TypeCode == 2 && kindIn(v->FrameTyp, kinds))
                    names << v->Name;
            }
        }
        return names.join(QLatin1Char(';'));
    };
    const quint16 k = FrameTyp;
    if (k != PageFooter) {
        AppendEnumProperty(QStringLiteral("ChildBand"), bandNames({Child}), std::nullopt);
        AppendProperty(QStringLiteral("PrintChildIfInvisible"), PropFlags::Boolean);
    }
    if (kindIn(k, {0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 16, 17, 18, 21}))
        AppendProperty(QStringLiteral("Stretched"), PropFlags::Boolean);
    if (kindIn(k, {0, 1, 5, 6, 8, 9, 11, 12, 16}))
        AppendProperty(QStringLiteral("FormNewPage"), PropFlags::Boolean);
    if (kindIn(k, {5, 8}))
        AppendProperty(QStringLiteral("PrintIfSubsetEmpty"), PropFlags::Boolean);
    if (kindIn(k, {0, 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 16, 17, 21}))
        AppendProperty(QStringLiteral("Breaked"), PropFlags::Boolean);
    if (kindIn(k, {2, 3}))
        AppendProperty(QStringLiteral("OnFirstPage"), PropFlags::Boolean);
    if (k == PageFooter)
        AppendProperty(QStringLiteral("OnLastPage"), PropFlags::Boolean);
    if (kindIn(k, {4, 7, 10, 16, 18}))
        AppendProperty(QStringLiteral("RepeatHeader"), PropFlags::Boolean);
    if (k == CrossData)
        AppendProperty(QStringLiteral("DataSource"), PropFlags::Editor);
    if (kindIn(k, {5, 8, 11})) {
        AppendProperty(QStringLiteral("Columns"), PropFlags::Integer);
        AppendProperty(QStringLiteral("ColumnWidth"), PropFlags::ReportUnits);
        AppendProperty(QStringLiteral("ColumnGap"), PropFlags::ReportUnits);
        AppendProperty(QStringLiteral("DataSource"), PropFlags::Editor);
    }
    if (k == GroupHeader) {
        AppendProperty(QStringLiteral("Condition"), PropFlags::Text);
        AppendEnumProperty(
            QStringLiteral("Master"), bandNames({MasterData, DetailData, SubdetailData}), std::nullopt);
    }
    AppendProperty(QStringLiteral("EOF"), 0);
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
