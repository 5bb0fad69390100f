#include "report/model/TfrMemoView.h"

#include "platform/PlatformError.h"
#include "platform/PlatformGlobals.h"
#include "platform/RecordingDevice.h"
#include "platform/Rounding.h"
#include "report/expr/ExprGlobals.h"
#include "report/expr/StringTable.h"
#include "report/expr/ValueOperators.h"
#include "report/model/CallbackScope.h"
#include "report/model/MemoPainter.h"
#include "report/model/MemoWrapper.h"
#include "report/model/PreparedObjectEntry.h"
#include "report/model/ReportStreamReader.h"
#include "report/model/ReportStreamWriter.h"
#include "report/model/TextExpansion.h"
#include "report/model/TfrGlobals.h"
#include "report/model/ViewFieldTable.h"

#include <QPainter>
#include <QScopeGuard>

#include <algorithm>
#include <cmath>

namespace vaskel {

namespace {

const TfrMemoView& memoOf(const TfrView& v)
{
    return static_cast<const TfrMemoView&>(v);
}

TfrMemoView& memoOf(TfrView& v)
{
    return static_cast<TfrMemoView&>(v);
}

quint16 defaultCharset()
{
    return static_cast<quint16>(LoadStr(StringTable::sCharset).toInt());
}

// Whether a line may need more than the 65,535 bytes a record stores for it: a character takes at
// most three bytes in the code pages files use.
bool holdsLineTooLongForARecord(const QStringList& lines)
{
    constexpr qsizetype kSafeLength = 0xFFFF / 3;
    return std::any_of(
        lines.cbegin(), lines.cend(), [](const QString& line) { return line.size() > kSafeLength; });
}

// The text `Suppress` compares: the lines joined as a text list's text.
QString joinedText(const QStringList& lines)
{
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace

TfrMemoView::TfrMemoView()
{
    TypeCode = 0;
    NamePrefix = QStringLiteral("Memo");
    Flags = ViewFlags::Stretched | MemoFlags::WordWrap;
    Font.Charset = defaultCharset();
}

qint32 TfrMemoView::CharacterHeight() const
{
    return roundToInt(Font.Size * 96.0 / 72.0);
}

Value TfrMemoView::CallMethod(const QString& name, const Value& a, const Value& b, const Value& c)
{
    Value result = Value::null();
    if (CallListMethod(QStringLiteral("LINES"), name.toUpper(), a, b, c, result))
        return result;
    return TfrStretcheable::CallMethod(name, a, b, c);
}

const ViewFieldTable& TfrMemoView::Fields() const
{
    using namespace PropFlags;
    using namespace ReportLimits;
    using F = FieldValue;
    using K = FieldKind;
    using V = TfrView;
    static const ViewFieldTable table(sharedViewFields(),
        {
            {.name = "Font.Name",
                .key = "font.name",
                .kind = K::Text,
                .get = [](const V& v) -> F { return memoOf(v).Font.Name; },
                .set = [](V& v, const F& x) { memoOf(v).Font.Name = textOf(x); },
                .write = JsonWrite::Always,
                .listed = true},
            {.name = "Font.Size",
                .key = "font.size",
                .kind = K::Int32,
                .get = [](const V& v) -> F { return qint64(memoOf(v).Font.Size); },
                .set = [](V& v, const F& x) { memoOf(v).Font.Size = qint32(wholeOf(x)); },
                .write = JsonWrite::Always,
                .listed = true,
                .range = &kFontSizeRange},
            {.name = "Font.Style",
                .key = "font.style",
                .kind = K::UInt16,
                .get = [](const V& v) -> F { return qint64(memoOf(v).Font.Style); },
                .set = [](V& v, const F& x) { memoOf(v).Font.Style = quint16(wholeOf(x)); },
                .listed = true},
            {.name = "Font.Color",
                .key = "font.color",
                .kind = K::Colour,
                .get = [](const V& v) -> F { return qint64(memoOf(v).Font.Color); },
                .set = [](V& v, const F& x) { memoOf(v).Font.Color = quint32(wholeOf(x)); },
                .listed = true},
            {.key = "font.charset",
                .kind = K::UInt16,
                .get = [](const V& v) -> F { return qint64(memoOf(v).Font.Charset); },
                .set = [](V& v, const F& x) { memoOf(v).Font.Charset = quint16(wholeOf(x)); }},
            listingEntry("Font", Editor),
            {.name = "Alignment",
                .key = "alignment",
                .kind = K::UInt32,
                .get = [](const V& v) -> F { return qint64(memoOf(v).Alignment); },
                .set = [](V& v, const F& x) { memoOf(v).Alignment = quint32(wholeOf(x)); },
                .listed = true},
            listingEntry("DisplayFormat", Editor),
            listingEntry("Highlight", Editor),
            {.key = "highlight.fontStyle",
                .kind = K::UInt16,
                .get = [](const V& v) -> F { return qint64(memoOf(v).HighlightFontStyle); },
                .set = [](V& v, const F& x) { memoOf(v).HighlightFontStyle = quint16(wholeOf(x)); }},
            {.key = "highlight.fontColor",
                .kind = K::Colour,
                .get = [](const V& v) -> F { return qint64(memoOf(v).HighlightFontColor); },
                .set = [](V& v, const F& x) { memoOf(v).HighlightFontColor = quint32(wholeOf(x)); }},
            {.key = "highlight.fillColor",
                .kind = K::Colour,
                .get = [](const V& v) -> F { return qint64(memoOf(v).HighlightFillColor); },
                .set = [](V& v, const F& x) { memoOf(v).HighlightFillColor = quint32(wholeOf(x)); }},
            {.key = "highlight.condition",
                .kind = K::Text,
                .get = [](const V& v) -> F { return memoOf(v).HighlightCondition; },
                .set = [](V& v, const F& x) { memoOf(v).HighlightCondition = textOf(x); }},
            {.name = "LineSpacing",
                .key = "lineSpacing",
                .kind = K::Int32,
                .get = [](const V& v) -> F { return qint64(memoOf(v).LineSpacing); },
                .set = [](V& v, const F& x) { memoOf(v).LineSpacing = qint32(wholeOf(x)); },
                .listFlags = Integer,
                .listed = true,
                .range = &kSpacingRange},
            {.name = "CharSpacing",
                .key = "charSpacing",
                .kind = K::Int32,
                .get = [](const V& v) -> F { return qint64(memoOf(v).CharSpacing); },
                .set = [](V& v, const F& x) { memoOf(v).CharSpacing = qint32(wholeOf(x)); },
                .listFlags = Integer,
                .listed = true,
                .range = &kSpacingRange},
            // Fields every view has, listed here for a memo.
            listingEntry("GapX", Integer),
            listingEntry("GapY", Integer),
            listingEntry("Stretched", Boolean),
            flagField("WordWrap", MemoFlags::WordWrap),
            flagField("WordBreak", MemoFlags::WordBreak),
            flagField("AutoWidth", MemoFlags::AutoWidth),
            flagField("TextOnly", MemoFlags::TextOnly),
            flagField("Suppress", MemoFlags::Suppress),
            flagField("HideZeros", MemoFlags::HideZeros),
            {.name = "Lines.Count",
                .kind = K::Int32,
                .get = [](const V& v) -> F { return qint64(v.Memo.size()); },
                .listed = true},
            flagField("Underlines", MemoFlags::Underlines),
            flagField("RTLReading", MemoFlags::RTLReading),
        });
    return table;
}

void TfrMemoView::ReadRecord(ReportStreamReader& r)
{
    TfrView::ReadRecord(r);
    const int v = r.version();
    Font.Name = r.readString();
    Font.Size = r.readI32();
    Font.Style = r.readU16();
    Font.Color = r.readU32();
    Alignment = r.readU32();
    Font.Charset = r.readU16();
    if (v <= 22)
        Font.Charset = defaultCharset();
    if (!PreparedMode) {
        HighlightFontStyle = r.readU16();
        HighlightFontColor = r.readU32();
        HighlightFillColor = r.readU32();
        HighlightCondition = r.readString();
    }
    if (v >= 24) {
        LineSpacing = r.readI32();
        CharSpacing = r.readI32();
    }
    if (v == 21)
        Flags |= MemoFlags::WordWrap;
}

void TfrMemoView::WriteRecord(ReportStreamWriter& w)
{
    TfrView::WriteRecord(w);
    w.writeString(Font.Name);
    w.writeI32(Font.Size);
    w.writeU16(Font.Style);
    w.writeU32(Font.Color);
    w.writeU32(Alignment);
    w.writeU16(Font.Charset);
    if (!PreparedMode) {
        w.writeU16(HighlightFontStyle);
        w.writeU32(HighlightFontColor);
        w.writeU32(HighlightFillColor);
        w.writeString(HighlightCondition);
    }
    w.writeI32(LineSpacing);
    w.writeI32(CharSpacing);
}

void TfrMemoView::LoadFromField(const QVariant& content)
{
    if (content.isNull()) {
        ExpandedText.clear();
        return;
    }
    // Binary memo content holds text in the code page of the data, as the files do.
    const QString text = content.typeId() == QMetaType::QByteArray
        ? PlatformGlobals::get().codePage.decode(content.toByteArray())
        : content.toString();
    ExpandedText = splitTextLines(text);
}

void TfrMemoView::ExpandMemo()
{
    // The memo's format and HideZeros apply to its brackets, even when its script measured or
    // printed another view and left that one current.
    const CallbackScope callbacks(this);
    ExpandedText.clear();
    ExpandedValue.reset();
    const bool single = Memo.size() == 1;
    for (const QString& line : Memo) {
        const QString text = (!line.isEmpty() && !flag(MemoFlags::TextOnly))
            ? ExpandBrackets(line, single ? &ExpandedValue : nullptr)
            : line;
        if (text.isEmpty())
            ExpandedText.append(QString());
        else
            ExpandedText.append(splitTextLines(text));
    }
}

QStringList TfrMemoView::WrapLines(bool printMode)
{
    ScratchSurface& scratch = PlatformGlobals::get().scratch;
    const bool rotated = (Alignment & frtaVertical) != 0;
    scratch.setFont(DrawFont::select(Font.Name, qMax(1, CharacterHeight()), Font.Style, rotated));
    scratch.setCharacterExtra(CharSpacing);

    const qint32 pitch = LineSpacing + CharacterHeight();
    const qint32 available = rotated ? Height - 2 * GapY : Width - 2 * GapX;
    QStringList lines;
    const QString mark(MemoWrapper::kParagraphMark);
    if (!printMode && ExpandedText.size() == 1 && ExpandedText[0].startsWith(u'[')
        && scratch.textWidth(ExpandedText[0]) > available) {
        // In the designer a lone expression too wide for its memo stays whole.
        lines = ExpandedText;
    } else {
        MemoWrapper wrapper(scratch, available, flag(MemoFlags::WordBreak));
        for (const QString& line : ExpandedText) {
            if (Prewrapped)
                lines.append(line);
            else if (flag(MemoFlags::WordWrap))
                wrapper.wrapParagraph(line, lines);
            else
                lines.append(rotated ? line : line + mark);
        }
    }
    const qint32 gap = rotated ? GapX : GapY;
    TextExtent = qint32(lines.size()) * pitch + 2 * gap;
    LinePitch = pitch;
    scratch.setCharacterExtra(0);
    return lines;
}

qint32 TfrMemoView::neededWidth(const QStringList& lines, double zoom) const
{
    QString text = lines.join(QStringLiteral("\r\n"));
    text.remove(MemoWrapper::kParagraphMark);
    // The font drawing selects at this zoom, so that the width holds for what is drawn.
    const double h = Font.Size * 96.0 / 72.0 * zoom;
    const int height = zoom == 1.0 ? roundToInt(h) : int(std::trunc(h));
    ScratchSurface& scratch = PlatformGlobals::get().scratch;
    scratch.setFont(DrawFont::select(Font.Name, qMax(1, height), Font.Style));
    scratch.setCharacterExtra(roundToInt(CharSpacing * zoom));
    const int right = scratch.textExtent(text).width();
    scratch.setCharacterExtra(0);
    const double z = zoom > 0 ? zoom : 1.0;
    return roundToInt(right / z + FrameWidth + 2 * GapX + 1);
}

qint32 TfrMemoView::CalcWidth()
{
    if (m_calculatingWidth)
        return Width;
    m_calculatingWidth = true;
    const auto restore = qScopeGuard([this, kept = ExpandedText] {
        ExpandedText = kept;
        m_calculatingWidth = false;
    });
    ExpandMemo();
    return neededWidth(ExpandedText, 1.0);
}

void TfrMemoView::Paint(QPainter& canvas, const PrintContext& ctx)
{
    const bool autoWidth = flag(MemoFlags::AutoWidth) && ctx.PrintMode;
    if (autoWidth && !Memo.isEmpty()) {
        // The printed copy takes the width of its text; right-aligned text keeps its right edge.
        const qint32 w = neededWidth(Memo, ZoomX);
        if ((Alignment & frtaVertical) != 0) {
            Height = w;
        } else {
            if ((Alignment & frtaRight) != 0)
                Left += Width - w;
            Width = w;
        }
    }
    PlaceLayout(&canvas, ctx);
    FitOnly = false;
    ExpandedText = Memo;
    if (!ExpandedText.isEmpty()) {
        const QString mark(MemoWrapper::kParagraphMark);
        Prewrapped = ExpandedText.join(QString()).contains(mark);
        if (ExpandedText.last() == mark)
            ExpandedText.removeLast();
        // Text is always wrapped at zoom 1 so that every zoom shows the same lines.
        const double zoomX = ZoomX;
        const double zoomY = ZoomY;
        ZoomX = ZoomY = 1.0;
        ApplyZoom(ctx);
        // Measuring and drawing round differently; the slack keeps a fitted line from wrapping.
        if (autoWidth)
            Width += 100;
        const QStringList wrapped = WrapLines(ctx.PrintMode);
        ZoomX = zoomX;
        ZoomY = zoomY;
        RestoreGeometry();
        ExpandedText = wrapped;
    }
    ApplyZoom(ctx);
    PaintFill(ctx);
    PaintBorder(ctx);
    MemoPainter painter(*this, canvas, ctx.PrintMode);
    if (flag(MemoFlags::Underlines))
        painter.drawUnderlines();
    if (!ExpandedText.isEmpty())
        painter.drawText();
    RestoreGeometry();
}

qint32 TfrMemoView::MeasureHeight(const PrintContext& ctx)
{
    SplitMode = SplitStep::Measured;
    m_holdsWrappedText = false;
    PlaceLayout(nullptr, ctx);
    const CallbackScope callbacks(this);
    RunBeforePrintScript();
    if (!Visible)
        return 0;
    if (!RunBeforePrintStep(ctx))
        ExpandMemo();
    // A highlight style (bold) can change the widths the text wraps to.
    const auto restoreLook = qScopeGuard([this, font = Font, fill = FillColor] {
        Font = font;
        FillColor = fill;
    });
    applyHighlight();
    qint32 result = 0;
    ApplyZoom(ctx);
    if (!ExpandedText.isEmpty()) {
        ExpandedText = WrapLines(ctx.PrintMode);
        const QString text = joinedText(ExpandedText);
        const bool suppress = flag(MemoFlags::Suppress);
        result = (suppress && text == LastText) ? 0 : TextExtent;
        if (ctx.FirstPass && suppress)
            LastText = text;
    }
    RestoreGeometry();
    m_holdsWrappedText = true;
    return result;
}

void TfrMemoView::EmitPrepared(ReportStreamWriter& out, const PrintContext& ctx)
{
    PlaceLayout(nullptr, ctx);
    const CallbackScope callbacks(this);
    FitOnly = true;
    if (SplitMode == SplitStep::Remainder && !m_holdsWrappedText) {
        // A band that is not stretched splits its memos without measuring them: the text of this
        // record is prepared and wrapped here, or the part printed would be the previous record's.
        MeasureHeight(ctx);
        SplitMode = SplitStep::Remainder;
    }
    if (SplitMode == SplitStep::Whole)
        RunBeforePrintScript();
    bool expand = SplitMode != SplitStep::Measured;
    if (SplitMode == SplitStep::Whole && ctx.Hooks && ctx.Hooks->HasBeforePrint())
        expand = !RunBeforePrintStep(ctx);
    if (SplitMode != SplitStep::Remainder && expand)
        ExpandMemo();

    const bool remainder = SplitMode == SplitStep::Remainder;
    const auto restore = qScopeGuard([this, font = Font, fill = FillColor, tag = Tag, align = BandAlign] {
        Font = font;
        FillColor = fill;
        Tag = tag;
        BandAlign = align;
        SplitMode = SplitStep::Whole;
    });
    if (!Visible) {
        m_holdsWrappedText = false;
        return;
    }
    applyHighlight();

    QStringList wrapped;
    if (remainder) {
        ApplyZoom(ctx);
        countLinesThatFit();
        RestoreGeometry();
        wrapped = ExpandedText;
        ExpandedText = wrapped.mid(0, LinesOut);
        // The part is drawn as it was wrapped here: a paragraph mark anywhere marks it so.
        const QString mark(MemoWrapper::kParagraphMark);
        if (!ExpandedText.join(QString()).contains(mark))
            ExpandedText.append(mark);
    } else if (SplitMode == SplitStep::Whole && holdsLineTooLongForARecord(ExpandedText)) {
        // A record stores a line in at most 65,535 bytes. A longer paragraph is stored wrapped, as
        // a measured memo is, which draws the same lines.
        ApplyZoom(ctx);
        ExpandedText = WrapLines(ctx.PrintMode);
        RestoreGeometry();
    }

    {
        const auto restoreFormat = qScopeGuard([this, code = FormatCode] { FormatCode = code; });
        FormatCode = 0;
        ExpandTag();
    }
    const std::optional<PrintingBand>& band = ctx.BandGeometry;
    if (BandAlign == baBottom) {
        // The band printing places bottom-aligned memos itself.
        BandAlign = baNone;
    } else if (BandAlign == baTop && band) {
        Top = band->Top;
    } else if (BandAlign == baWidth && band && IsCrossBand(band->Kind)) {
        Width = band->Width;
        BandAlign = baNone;
    }

    const bool suppress = flag(MemoFlags::Suppress);
    const QString text = joinedText(ExpandedText);
    if (!suppress || text != LastText) {
        PreparedObjectEntry::write(*this, out);
        if (suppress)
            LastText = text;
    }
    if (remainder) {
        // The rest waits for the next page as it is: wrapped, not expanded again. Once it is used
        // up the view prints empty parts until the band's split ends; it never starts over.
        ExpandedText = wrapped.mid(LinesOut);
        m_holdsWrappedText = true;
    } else {
        m_holdsWrappedText = false;
    }
}

void TfrMemoView::CompileHighlight()
{
    if (HighlightCondition.isEmpty() || HighlightCondition == m_compiledHighlight)
        return;
    HighlightCondition = TfrGlobals::get().parser.Compile(HighlightCondition);
    m_compiledHighlight = HighlightCondition;
}

void TfrMemoView::applyHighlight()
{
    if (HighlightCondition.isEmpty())
        return;
    try {
        // The layout engine compiles the condition of every memo on a page it starts to prepare
        // (and marks the memo prepared); a memo printed otherwise still holds the source text.
        if (!PreparedMode)
            CompileHighlight();
        if (ValueOps::equalsZero(TfrGlobals::get().parser.EvaluateCompiled(HighlightCondition)))
            return;
    } catch (const VaskelError&) {
        return; // a failing condition prints the memo in its normal colours
    }
    Font.Style = HighlightFontStyle;
    Font.Color = HighlightFontColor;
    FillColor = HighlightFillColor;
}

void TfrMemoView::countLinesThatFit()
{
    // The text output decides what fits, so that the split and the drawing of the part agree; a
    // recording device keeps the drawing from costing more than the measuring.
    RecordingDevice device(QSize(qMax(1, DrawRect.Right), qMax(1, DrawRect.Bottom)));
    QPainter canvas(&device);
    MemoPainter(*this, canvas, true).drawText();
}

qint32 TfrMemoView::MinimumHeight()
{
    LinePitch = LineSpacing + CharacterHeight();
    return roundToInt(2.0 * FrameWidth) + LinePitch + 2 * GapY;
}

qint32 TfrMemoView::LeftoverHeight()
{
    LinePitch = LineSpacing + CharacterHeight();
    const qint32 frame = roundToInt(2.0 * FrameWidth);
    if (LinePitch <= 0)
        return 2 * GapY + frame;
    return 2 * GapY + ((Height - frame - 2 * GapY) % LinePitch) + frame;
}

} // namespace vaskel
