// The fields every view kind has, from TfrView: the first part of every kind's field table. The
// entries listed here are what a memo, picture or line view lists; other kinds choose their own
// listing of them (listingOnly, listingWithout). Ranges come first for the geometry and gaps, so
// that a reader reports an object's geometry before its frame.
#include "report/model/TfrPropRec.h"
#include "report/model/TfrView.h"
#include "report/model/ViewFieldTable.h"

namespace vaskel {

using F = FieldValue;
using K = FieldKind;
using V = TfrView;

std::vector<ViewField> sharedViewFields()
{
    using namespace PropFlags;
    using namespace ReportLimits;
    return {
        {.name = "Name", .key = "name", .kind = K::Text, .get = [](const V& v) -> F { return v.Name; },
            .set = [](V& v, const F& x) { v.Name = textOf(x); }, .write = JsonWrite::Always,
            .listFlags = Named | Text, .listed = true},
        {.name = "Left", .key = "left", .kind = K::Int32, .get = [](const V& v) -> F { return qint64(v.Left); },
            .set = [](V& v, const F& x) { v.Left = qint32(wholeOf(x)); }, .write = JsonWrite::Always,
            .listFlags = ReportUnits, .listed = true, .range = &kGeometryRange},
        {.name = "Top", .key = "top", .kind = K::Int32, .get = [](const V& v) -> F { return qint64(v.Top); },
            .set = [](V& v, const F& x) { v.Top = qint32(wholeOf(x)); }, .write = JsonWrite::Always,
            .listFlags = ReportUnits, .listed = true, .range = &kGeometryRange},
        {.name = "Width", .key = "width", .kind = K::Int32, .get = [](const V& v) -> F { return qint64(v.Width); },
            .set = [](V& v, const F& x) { v.Width = qint32(wholeOf(x)); }, .write = JsonWrite::Always,
            .listFlags = ReportUnits, .listed = true, .range = &kGeometryRange},
        {.name = "Height", .key = "height", .kind = K::Int32,
            .get = [](const V& v) -> F { return qint64(v.Height); },
            .set = [](V& v, const F& x) { v.Height = qint32(wholeOf(x)); }, .write = JsonWrite::Always,
            .listFlags = ReportUnits, .listed = true, .range = &kGeometryRange},
        {.name = "GapX", .key = "gapX", .kind = K::Int32, .get = [](const V& v) -> F { return qint64(v.GapX); },
            .set = [](V& v, const F& x) { v.GapX = qint32(wholeOf(x)); }, .listFlags = Integer,
            .range = &kGeometryRange},
        {.name = "GapY", .key = "gapY", .kind = K::Int32, .get = [](const V& v) -> F { return qint64(v.GapY); },
            .set = [](V& v, const F& x) { v.GapY = qint32(wholeOf(x)); }, .listFlags = Integer,
            .range = &kGeometryRange},
        {.key = "formatCode", .kind = K::Int32, .get = [](const V& v) -> F { return qint64(v.FormatCode); },
            .set = [](V& v, const F& x) { v.FormatCode = qint32(wholeOf(x)); }, .write = JsonWrite::Always},
        {.name = "Flags", .key = "flags", .kind = K::UInt16, .get = [](const V& v) -> F { return qint64(v.Flags); },
            .set = [](V& v, const F& x) { v.Flags = quint16(wholeOf(x)); }, .listed = true},
        {.name = "FrameTyp", .key = "frameTyp", .kind = K::UInt16,
            .get = [](const V& v) -> F { return qint64(v.FrameTyp); },
            .set = [](V& v, const F& x) { v.FrameTyp = quint16(wholeOf(x)); }, .listFlags = Integer,
            .listed = true},
        {.name = "FrameWidth", .key = "frameWidth", .kind = K::Fraction,
            .get = [](const V& v) -> F { return double(v.FrameWidth); },
            .set = [](V& v, const F& x) { v.FrameWidth = float(fractionOf(x)); },
            .listFlags = ReportUnits | Fraction, .listed = true, .range = &kFrameWidthRange},
        {.name = "FrameColor", .key = "frameColor", .kind = K::Colour,
            .get = [](const V& v) -> F { return qint64(v.FrameColor); },
            .set = [](V& v, const F& x) { v.FrameColor = quint32(wholeOf(x)); }, .listFlags = Colour,
            .listed = true},
        {.name = "FrameStyle", .key = "frameStyle", .kind = K::UInt16,
            .get = [](const V& v) -> F { return qint64(v.FrameStyle); },
            .set = [](V& v, const F& x) { v.FrameStyle = quint16(wholeOf(x)); }, .listed = true,
            .enumNames = "psSolid;psDash;psDot;psDashDot;psDashDotDot;psDouble"},
        {.name = "FillColor", .key = "fillColor", .kind = K::Colour,
            .get = [](const V& v) -> F { return qint64(v.FillColor); },
            .set = [](V& v, const F& x) { v.FillColor = quint32(wholeOf(x)); }, .listFlags = Colour,
            .listed = true},
        {.key = "formatText", .kind = K::Text, .get = [](const V& v) -> F { return v.FormatText; },
            .set = [](V& v, const F& x) { v.FormatText = textOf(x); }},
        {.name = "Tag", .key = "tag", .kind = K::Text, .get = [](const V& v) -> F { return v.Tag; },
            .set = [](V& v, const F& x) { v.Tag = textOf(x); }, .listFlags = Named | Editor, .listed = true},
        {.name = "BandAlign", .key = "bandAlign", .kind = K::UInt8,
            .get = [](const V& v) -> F { return qint64(v.BandAlign); },
            .set = [](V& v, const F& x) { v.BandAlign = quint8(wholeOf(x)); }, .listed = true,
            .enumNames = "baNone;baLeft;baRight;baCenter;baWidth;baBottom;baTop;baRest"},
        {.name = "Visible", .key = "visible", .kind = K::Boolean, .get = [](const V& v) -> F { return v.Visible; },
            .set = [](V& v, const F& x) { v.Visible = truthOf(x); }, .listFlags = Boolean, .listed = true},
        {.name = "Memo", .key = "memo", .kind = K::Lines, .get = [](const V& v) -> F { return v.Memo; },
            .set = [](V& v, const F& x) { v.Memo = linesOf(x); }, .listFlags = Named | Editor, .listed = true},
        // The band's "OnBeforePrint"; scripts do not reach it by name.
        {.name = "OnBeforePrint", .key = "script", .kind = K::Lines,
            .get = [](const V& v) -> F { return v.BeforePrintScript; },
            .set = [](V& v, const F& x) { v.BeforePrintScript = linesOf(x); }, .byName = false,
            .listFlags = Named | Editor},
        {.name = "Memo.Count", .kind = K::Int32, .get = [](const V& v) -> F { return qint64(v.Memo.size()); },
            .listed = true},
        // Stored as one 16-bit word; a designer's editor, not a script's.
        {.name = "Restrictions", .key = "restrictions", .kind = K::UInt16,
            .get = [](const V& v) -> F { return qint64(v.RestrictionsWord()); },
            .set = [](V& v, const F& x) { v.SetRestrictionsWord(quint16(wholeOf(x))); }, .byName = false,
            .listFlags = Editor, .listed = true},
        {.key = "recordRevision", .kind = K::UInt8, .get = [](const V& v) -> F { return qint64(v.RecordRevision); },
            .set = [](V& v, const F& x) { v.RecordRevision = quint8(wholeOf(x)); }},
        {.name = "Stretched", .kind = K::FlagBit, .bit = ViewFlags::Stretched, .listFlags = Boolean},
        // A field's name is the first line of the text; writing it sets the text.
        {.name = "DataField", .kind = K::Text,
            .get = [](const V& v) -> F { return v.Memo.isEmpty() ? QString() : v.Memo.first(); },
            .set = [](V& v, const F& x) { v.SetMemoText(textOf(x)); }, .listFlags = Named | Editor | Text},
    };
}

const std::vector<const char*>& frameFieldNames()
{
    static const std::vector<const char*> names{
        "FrameTyp", "FrameWidth", "FrameColor", "FrameStyle", "FillColor", "Tag", "BandAlign"};
    return names;
}

} // namespace vaskel
