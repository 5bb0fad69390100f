#pragma once
// The text object of a report: `Memo` lines of literal text and `[ ]` expressions, a font,
// alignment, highlight colours and spacing. This class holds the memo's stored fields, its flags,
// its by-name interface and its object record; measuring, wrapping and drawing the text belong to
// the memo's text layout.
#include "report/model/ReportFont.h"
#include "report/model/TextExpansion.h"
#include "report/model/TfrStretcheable.h"

#include <optional>

namespace vaskel {

// Memo bits of `Flags` (bit 0 is `Stretched`).
namespace MemoFlags {
inline constexpr quint16 WordWrap = 0x0002;
inline constexpr quint16 WordBreak = 0x0004;
inline constexpr quint16 AutoWidth = 0x0008;
inline constexpr quint16 TextOnly = 0x0010;
inline constexpr quint16 Suppress = 0x0020;
inline constexpr quint16 HideZeros = 0x0040;
inline constexpr quint16 Underlines = 0x0080;
inline constexpr quint16 RTLReading = 0x0100;
} // namespace MemoFlags

// `Alignment` bits: horizontal in bits 0-1, rotation in bit 2, vertical in bits 3-4.
enum TfrTextAlign : quint32 {
    frtaLeft = 0,
    frtaRight = 1,
    frtaCenter = 2,
    frtaVertical = 4,
    frtaMiddle = 8,
    frtaDown = 16
};

class TfrMemoView : public TfrStretcheable {
public:
    TfrMemoView();

    ReportFont Font;
    QString LastText;
    bool Prewrapped = false;
    qint32 TextExtent = 0;
    bool FitOnly = false;
    qint32 LinePitch = 0;
    qint32 LinesOut = 0;
    bool ToExport = false;
    quint32 Alignment = frtaLeft;
    quint16 HighlightFontStyle = FontStyle::Bold;
    quint32 HighlightFontColor = 0;
    quint32 HighlightFillColor = clWhite;
    QString HighlightCondition;
    qint32 LineSpacing = 2; // pixels at zoom 1
    qint32 CharSpacing = 0;
    // When the memo is one line holding one bracket and nothing else: that bracket's value and
    // format as ExpandMemo last expanded it, so that exports can keep numbers and dates typed.
    std::optional<FormattedValue> ExpandedValue;

    QString ClassName() const override { return QStringLiteral("TfrMemoView"); }

    const ViewFieldTable& Fields() const override;
    Value CallMethod(const QString& name, const Value& a, const Value& b, const Value& c) override;

    void ReadRecord(ReportStreamReader& reader) override;
    void WriteRecord(ReportStreamWriter& writer) override;

    // The field's whole content becomes the text to print.
    void LoadFromField(const QVariant& content) override;

    void Paint(QPainter& canvas, const PrintContext& ctx) override;
    // The memo's printed copy: the text expanded (or the text `MeasureHeight` left, or for the
    // remainder of a split only the lines that fit, the rest staying for the next page), in
    // highlight colours when the condition holds, left out when `Suppress` finds it equal to the
    // text printed last. Resets `SplitMode` to `Whole`.
    void EmitPrepared(ReportStreamWriter& out, const PrintContext& ctx) override;
    // Runs the script and expands and wraps the text as printing would; the height in report units
    // the whole text needs, 0 for an invisible or empty memo (or a suppressed repeat). Leaves
    // `SplitMode` `Measured` so that the next print reuses the wrapped text.
    qint32 MeasureHeight(const PrintContext& ctx) override;
    qint32 MinimumHeight() override;
    qint32 LeftoverHeight() override;
    void EndSplit() override { m_holdsWrappedText = false; }

    // The character height text is measured with: the font size at 96 pixels per inch.
    qint32 CharacterHeight() const;

    // `ExpandedText` := the `Memo` lines with their `[ ]` expressions expanded (unless `TextOnly`);
    // values holding line breaks become several lines.
    void ExpandMemo();
    // Wraps `ExpandedText` to the width (turned text: the height) at 96 pixels per inch, after
    // `ApplyZoom` at zoom 1, and returns the lines; sets `TextExtent` and `LinePitch`. Outside
    // print mode a lone expression too wide for the memo stays whole.
    QStringList WrapLines(bool printMode);

    // The width in report units the memo's expanded lines need: the widest line at zoom 1, plus
    // the frame, both gaps and one pixel. `ExpandedText` is left as it was. A text that asks for
    // its own width while being measured gets the memo's `Width`.
    qint32 CalcWidth();

    // Replaces `HighlightCondition` by its compiled form; a condition already compiled by this
    // call stays as it is, so a second pass over a page does not compile the compiled form again.
    // The layout engine compiles the conditions when a page starts to be prepared; a memo printed
    // while not `PreparedMode` compiles its condition on first use.
    void CompileHighlight();

private:
    // Takes the highlight font style, font colour and fill colour when the condition's value is
    // not 0; a condition that fails to compile or evaluate leaves the normal colours. The caller
    // restores the font and fill colour.
    void applyHighlight();
    // Runs the text output with `FitOnly` after ApplyZoom and leaves the number of lines that fit
    // in `LinesOut`; nothing is kept of the drawing.
    void countLinesThatFit();

    // Width in report units that `lines` need at `zoom` (the `AutoWidth` rule): paragraph marks
    // dropped, the widest line measured in the font and spacing drawing would use at that zoom.
    qint32 neededWidth(const QStringList& lines, double zoom) const;

    bool flag(quint16 bit) const { return (Flags & bit) != 0; }

    bool m_calculatingWidth = false;
    // The compiled form CompileHighlight produced, to tell it from a condition still in source form.
    QString m_compiledHighlight;
    // `ExpandedText` holds this record's wrapped text (measured, or the rest of a split) that
    // the remainder of a split prints from.
    bool m_holdsWrappedText = false;
};

} // namespace vaskel
