#include "report/model/TfrView.h"

#include "platform/DrawingAdapter.h"
#include "platform/PlatformGlobals.h"
#include "platform/Rounding.h"
#include "report/model/CallbackScope.h"
#include "report/model/EListIndexError.h"
#include "report/model/ExpressionHook.h"
#include "report/model/PreparedObjectEntry.h"
#include "report/model/ReportColor.h"
#include "report/model/ReportStreamReader.h"
#include "report/model/ReportStreamWriter.h"
#include "report/model/TextExpansion.h"
#include "report/model/TfrBandView.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrPage.h"
#include "report/model/ViewFieldTable.h"

#include <QPainter>
#include <QScopeGuard>

#include <cmath>

namespace vaskel {

QStringList splitTextLines(const QString& text)
{
    QStringList lines;
    QString line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n')) {
            lines << line;
            line.clear();
            if (ch == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else {
            line.append(ch);
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

TfrView::TfrView()
{
    // Text format with two decimals and the locale's decimal separator in the low byte.
    FormatCode = 0x200 + PlatformGlobals::get().locale.decimalSeparator.unicode();
}

QString TfrView::MemoText() const
{
    return Memo.join(QStringLiteral("\r\n"));
}

void TfrView::SetMemoText(const QString& text)
{
    Memo = splitTextLines(text);
}

// ---- by-name access ---------------------------------------------------------------------------

const ViewFieldTable& TfrView::Fields() const
{
    static const ViewFieldTable table(sharedViewFields());
    return table;
}

void TfrView::WriteProp(const QString& name, const Value& value)
{
    Fields().writeProp(*this, name, value);
}

Value TfrView::ReadProp(const QString& name)
{
    return Fields().readProp(*this, name);
}

bool TfrView::CallListMethod(const QString& listName, const QString& method, const Value& a, const Value& b,
    const Value& c, Value& result)
{
    auto checkedIndex = [this](qint64 i) {
        if (i < 0 || i >= Memo.size())
            throw EListIndexError(i);
        return static_cast<qsizetype>(i);
    };
    if (method == u"SETINDEXPROPERTY") {
        if (a.toText().compare(listName, Qt::CaseInsensitive) != 0)
            return false;
        Memo[checkedIndex(b.toInt())] = c.toText();
        return true;
    }
    if (method == u"GETINDEXPROPERTY") {
        if (a.toText().compare(listName, Qt::CaseInsensitive) != 0)
            return false;
        result = Value(Memo.at(checkedIndex(b.toInt())));
        return true;
    }
    if (!method.startsWith(listName + QLatin1Char('.')))
        return false;
    const QString suffix = method.mid(listName.size() + 1);
    if (suffix == u"ADD") {
        Memo << ExpressionHook::evaluate(a.toText()).toText();
    } else if (suffix == u"CLEAR") {
        Memo.clear();
    } else if (suffix == u"DELETE") {
        Memo.removeAt(checkedIndex(ExpressionHook::evaluate(a.toText()).toInt()));
    } else if (suffix == u"INDEXOF") {
        const QLocale& caseLocale = PlatformGlobals::get().locale.caseLocale;
        const QString wanted = caseLocale.toUpper(ExpressionHook::evaluate(a.toText()).toText());
        qint32 found = -1;
        for (qsizetype i = 0; i < Memo.size(); ++i) {
            if (caseLocale.toUpper(Memo.at(i)) == wanted) {
                found = static_cast<qint32>(i);
                break;
            }
        }
        result = Value(found);
    } else {
        return false;
    }
    return true;
}

Value TfrView::CallMethod(const QString& name, const Value& a, const Value& b, const Value& c)
{
    const QString n = name.toUpper();
    Value result = Value::null();
    if (CallListMethod(QStringLiteral("MEMO"), n, a, b, c, result))
        return result;
    if (n == u"HIDE") {
        WriteProp(QStringLiteral("Visible"), Value(false));
        return Value::null();
    }
    if (n == u"SHOW") {
        WriteProp(QStringLiteral("Visible"), Value(true));
        return Value::null();
    }
    return TfrObject::CallMethod(name, a, b, c);
}

void TfrView::BuildPropertyTable()
{
    Fields().buildPropertyTable(*this);
}

void TfrView::LoadFromField(const QVariant&)
{
}

void TfrView::NotifyView(TfrView*)
{
}

// ---- the object record ------------------------------------------------------------------------

bool TfrView::RecordHasName(int streamVersion, bool preparedMode)
{
    return streamVersion >= 24 || (streamVersion == 23 && !preparedMode);
}

void TfrView::ReadRecord(ReportStreamReader& r)
{
    const int v = r.version();
    if (RecordHasName(v, PreparedMode))
        Name = r.readString();
    if (v >= 24) {
        RecordVersion = r.readU8();
        RecordRevision = r.readU8();
    }
    Left = r.readI32();
    Top = r.readI32();
    Width = r.readI32();
    Height = r.readI32();
    Flags = r.readU16();
    FrameTyp = r.readU16();
    // Small whole numbers are stored as they are, everything else in thousandths.
    qint64 n = r.readI32();
    if (n <= 10)
        n *= 1000;
    FrameWidth = static_cast<float>(static_cast<double>(n) / 1000.0);
    FrameColor = r.readU32();
    FrameStyle = r.readU16();
    FillColor = r.readU32();
    if (!PreparedMode) {
        FormatCode = r.readI32();
        FormatText = r.readString();
    }
    Memo = r.readStringList();
    if (v >= 23 && !PreparedMode) {
        BeforePrintScript = r.readStringList();
        Visible = r.readBool16();
    }
    if (v >= 24) {
        const quint16 restrictions = r.readU16();
        Restrictions = static_cast<quint8>(restrictions & 0xFF);
        m_restrictionsHigh = static_cast<quint8>(restrictions >> 8);
        Tag = r.readString23();
        GapX = r.readI32();
        GapY = r.readI32();
    }
    if (RecordVersion > 1)
        BandAlign = r.readU8();
}

void TfrView::WriteRecord(ReportStreamWriter& w)
{
    RecordVersion = 2;
    w.writeString(Name);
    w.writeU8(RecordVersion);
    w.writeU8(RecordRevision);
    w.writeI32(Left);
    w.writeI32(Top);
    w.writeI32(Width);
    w.writeI32(Height);
    w.writeU16(Flags);
    w.writeU16(FrameTyp);
    // Whole widths up to 10 are stored as they are; everything else in thousandths, which is how
    // the reader takes any stored value above 10 (a whole width of 12 stored as 12 would read back
    // as 0.012).
    const double fw = FrameWidth;
    const bool whole = fw == std::floor(fw);
    w.writeI32(whole && fw <= 10 ? roundToInt(fw) : roundToInt(fw * 1000.0));
    w.writeU32(FrameColor);
    w.writeU16(FrameStyle);
    w.writeU32(FillColor);
    if (!PreparedMode) {
        w.writeI32(FormatCode);
        w.writeString(FormatText);
        w.writeStringList(Memo);
        w.writeStringList(BeforePrintScript);
        w.writeBool16(Visible);
    } else {
        w.writeStringList(ExpandedText);
    }
    w.writeU16(static_cast<quint16>(Restrictions | (m_restrictionsHigh << 8)));
    w.writeString(Tag);
    w.writeI32(GapX);
    w.writeI32(GapY);
    w.writeU8(BandAlign);
}

// ---- printing into prepared pages ------------------------------------------------------------

bool TfrView::IsCrossBand(int kind)
{
    return kind >= CrossHeader && kind <= CrossFooter;
}

void TfrView::RunBeforePrintScript()
{
    if (!BeforePrintScript.isEmpty())
        TfrGlobals::get().interpreter.RunScript(BeforePrintScript);
}

bool TfrView::RunBeforePrintStep(const PrintContext& ctx)
{
    ExpandedText = Memo;
    if (ctx.Hooks)
        ctx.Hooks->BeforePrint(ExpandedText, *this);
    return ExpandedText != Memo;
}

void TfrView::ExpandTag()
{
    if (Tag.contains(QLatin1Char('[')))
        Tag = ExpandBrackets(Tag);
}

void TfrView::EmitPrepared(ReportStreamWriter& out, const PrintContext& ctx)
{
    // Printing draws nothing: no canvas is kept (one left from an earlier drawing may be gone).
    PlaceLayout(nullptr, ctx);
    const CallbackScope callbacks(this);
    RunBeforePrintStep(ctx);
    RunBeforePrintScript();
    if (!Visible)
        return;
    const auto restoreTag = qScopeGuard([this, tag = Tag] { Tag = tag; });
    ExpandTag();
    if (const std::optional<PrintingBand>& band = ctx.BandGeometry) {
        // The band's final height is known only now; bottom-aligned views follow it.
        if (BandAlign == baBottom)
            Top = band->Top + band->MeasuredHeight - Height;
        else if (BandAlign == baTop)
            Top = band->Top;
        else if (BandAlign == baWidth && IsCrossBand(band->Kind))
            Width = band->Width;
    }
    PreparedObjectEntry::write(*this, out);
}

// ---- geometry and drawing ---------------------------------------------------------------------

void TfrView::ApplyZoom(const PrintContext& ctx)
{
    SavedGeometry = Geometry{Left, Top, Width, Height, GapX, GapY, FrameWidth};
    if (!ctx.PrintMode) {
        ZoomX = ZoomY = 1.0;
        ShiftX = ShiftY = 0;
    }
    const Geometry& s = SavedGeometry;
    Left = roundToInt(s.Left * ZoomX) + ShiftX;
    Top = roundToInt(s.Top * ZoomY) + ShiftY;
    Width = roundToInt(s.Width * ZoomX);
    Height = roundToInt(s.Height * ZoomY);

    const double w = s.FrameWidth;
    const qint32 a = roundToInt((w * ZoomX - 1) / 2);
    const qint32 b = roundToInt(w * ZoomX / 2);
    const qint32 c = roundToInt((w * ZoomY - 1) / 2);
    const qint32 d = roundToInt(w * ZoomY / 2);
    FrameWidth = static_cast<float>(w * ZoomX);
    GapX = roundToInt(s.GapX * ZoomX) + b;
    GapY = roundToInt(s.GapY * ZoomY) + d / 2;

    qint32 right = roundToInt((double(s.Left) + s.Width) * ZoomX + ShiftX);
    qint32 bottom = roundToInt((double(s.Top) + s.Height) * ZoomY + ShiftY);
    qint32 left = Left;
    qint32 top = Top;
    if (FrameTyp & FrameSides::Right)
        right -= b;
    if (FrameTyp & FrameSides::Bottom)
        bottom -= d;
    if (FrameTyp & FrameSides::Left)
        left += a;
    if (FrameTyp & FrameSides::Top)
        top += c;
    DrawRect = ReportRect{left, top, right + 1, bottom + 1};
}

void TfrView::RestoreGeometry()
{
    Left = SavedGeometry.Left;
    Top = SavedGeometry.Top;
    Width = SavedGeometry.Width;
    Height = SavedGeometry.Height;
    GapX = SavedGeometry.GapX;
    GapY = SavedGeometry.GapY;
    FrameWidth = SavedGeometry.FrameWidth;
}

void TfrView::PaintFill(const PrintContext& ctx)
{
    if (ctx.FirstPass || !DrawSurface)
        return;
    if (ctx.PrintMode && FillColor == clNone)
        return;
    const QColor colour = FillColor == clNone ? QColor(Qt::white) : ReportColor::toQColor(FillColor);
    QRect r;
    if (ctx.PrintMode) {
        const qint32 right = roundToInt((double(SavedGeometry.Left) + SavedGeometry.Width) * ZoomX + ShiftX);
        const qint32 bottom = roundToInt((double(SavedGeometry.Top) + SavedGeometry.Height) * ZoomY + ShiftY);
        r = QRect(Left, Top, right - Left, bottom - Top);
    } else {
        r = DrawRect.toQRect();
    }
    DrawingAdapter(*DrawSurface).fillRect(r, colour);
}

void TfrView::PaintBorder(const PrintContext& ctx)
{
    if (ctx.FirstPass || !DrawSurface)
        return;
    if (ctx.PrintMode && (FrameTyp & 0x0F) == 0)
        return;
    QPainter& p = *DrawSurface;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    DrawingAdapter d(p);
    const qint32 width = roundToInt(FrameWidth);
    const QColor frameColour = ReportColor::toQColor(FrameColor);
    const QColor fillColour = FillColor == clNone ? QColor(Qt::white) : ReportColor::toQColor(FillColor);
    const bool dashed = FrameStyle >= psDash && FrameStyle <= psDashDotDot;
    const PenStyle style = dashed ? static_cast<PenStyle>(FrameStyle) : PenStyle::psSolid;
    const qint32 R = roundToInt((double(SavedGeometry.Left) + SavedGeometry.Width) * ZoomX + ShiftX);
    const qint32 B = roundToInt((double(SavedGeometry.Top) + SavedGeometry.Height) * ZoomY + ShiftY);

    // `across` is the unit step across the side: x for the vertical sides, y for the others.
    auto side = [&](QPoint from, QPoint to, QPoint across) {
        if (dashed) {
            // Wide dashed pens do not exist on the window system: a dashed frame of width w is w
            // parallel one-unit dashed lines, their gaps in the fill colour.
            d.setBackground(FillColor != clNone, fillColour);
            d.setPen(frameColour, 1, style);
            const qint32 w = qMax(width, 1);
            for (qint32 i = 0; i < w; ++i) {
                const QPoint offset = across * (i - w / 2);
                d.drawLine(from + offset, to + offset);
            }
        } else if (FrameStyle == psDouble) {
            d.setPen(frameColour, width);
            d.drawLine(from - across * width, to - across * width);
            d.setPen(fillColour, width);
            d.drawLine(from, to);
            d.setPen(frameColour, width);
            d.drawLine(from + across * width, to + across * width);
        } else {
            d.setPen(frameColour, width);
            d.drawLine(from, to);
        }
    };
    const QPoint x(1, 0), y(0, 1);
    if (FrameTyp & FrameSides::Right)
        side(QPoint(R, Top), QPoint(R, B), x);
    if (FrameTyp & FrameSides::Left)
        side(QPoint(Left, Top), QPoint(Left, B), x);
    if (FrameTyp & FrameSides::Bottom)
        side(QPoint(Left, B), QPoint(R, B), y);
    if (FrameTyp & FrameSides::Top)
        side(QPoint(Left, Top), QPoint(R, Top), y);
    p.restore();
}

QRegion TfrView::MakeHitRegion(bool enlarged) const
{
    qint32 left = Left, top = Top, right = Left + Width + 1, bottom = Top + Height + 1;
    qint32 outer, inner;
    if (FrameStyle == psDouble) {
        outer = roundToInt(1.5 * FrameWidth);
        inner = roundToInt(FrameWidth + (FrameWidth - 1.0) / 2);
    } else {
        outer = roundToInt(FrameWidth / 2.0);
        inner = roundToInt((FrameWidth - 1.0) / 2);
    }
    if (FrameTyp & FrameSides::Left)
        left -= outer;
    if (FrameTyp & FrameSides::Top)
        top -= outer;
    if (FrameTyp & FrameSides::Right)
        right += inner;
    if (FrameTyp & FrameSides::Bottom)
        bottom += inner;
    return HitRegion(left, top, right, bottom, enlarged);
}

QRegion TfrView::HitRegion(qint32 left, qint32 top, qint32 right, qint32 bottom, bool enlarged)
{
    if (enlarged) {
        left -= 10;
        top -= 10;
        right += 10;
        bottom += 10;
    }
    return QRegion(QRect(left, top, right - left, bottom - top));
}

void TfrView::PlaceLayout(QPainter* canvas, const PrintContext& ctx)
{
    DrawSurface = canvas;
    TfrPage* page = ctx.Page;
    if (!page || BandAlign == baNone)
        return;
    const qint32 L = page->LeftLimit();
    const qint32 R = page->RightLimit();
    const qint32 D = R - L;

    // Neighbours on the same line: the closest left-aligned view to the left and right-aligned
    // view to the right. While this view prints, its Top is a place on the page and the other
    // views of bands keep theirs in their bands: they are on its line at its place in the band (in
    // a stretched band also at its Top itself).
    const bool printing = ctx.PrintMode && ctx.PrintedShiftY.has_value();
    const bool stretched = printing && ctx.BandGeometry && ctx.BandGeometry->Stretched;
    auto onSameLine = [&](const TfrView& q) {
        if (!printing || q.OwnerBand == ctx.LooseBand)
            return q.Top == Top;
        return q.Top == Top - *ctx.PrintedShiftY || (stretched && q.Top == Top);
    };
    const TfrView* leftNeighbour = nullptr;
    const TfrView* rightNeighbour = nullptr;
    for (const auto& q : page->ObjectList) {
        if (q.get() == this || q->TypeCode == 2 || !onSameLine(*q))
            continue;
        if (q->BandAlign == baLeft && q->Left < Left && (!leftNeighbour || q->Left > leftNeighbour->Left))
            leftNeighbour = q.get();
        if (q->BandAlign == baRight && q->Left > Left && (!rightNeighbour || q->Left < rightNeighbour->Left))
            rightNeighbour = q.get();
    }

    switch (BandAlign) {
    case baLeft:
        if (leftNeighbour) {
            Left = leftNeighbour->Left + leftNeighbour->Width;
            if (Left > R)
                Width = leftNeighbour->Left - R;
        } else {
            Left = L;
        }
        break;
    case baRight:
        Left = rightNeighbour ? rightNeighbour->Left - Width - 1 : R - Width;
        break;
    case baCenter:
        Left = L + (D - Width) / 2;
        break;
    case baWidth:
        if (ctx.PrintMode && ctx.Band)
            break;
        Left = L;
        Width = ctx.PrintMode ? D - 1 : D;
        break;
    case baRest:
        Left = leftNeighbour ? leftNeighbour->Left + leftNeighbour->Width : L;
        Width = rightNeighbour ? rightNeighbour->Left - Left : R - Left;
        break;
    default:
        // baBottom and baTop are placed by the band printing while a report runs; outside a run
        // nothing in this system draws a template.
        break;
    }
}

} // namespace vaskel
