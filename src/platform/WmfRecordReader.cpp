#include "platform/WmfRecordReader.h"

#include "platform/MetafileBitmap.h"
#include "platform/MetafileCanvas.h"
#include "platform/MetafileTextPainter.h"

extern "C" {
#include <uwmf.h>
}

#include <QtEndian>

#include <cstring>

namespace vaskel {

namespace {

struct BadRecord { };

// Placeable metafile key.
constexpr quint32 kPlaceableKey = 0x9AC6CDD7u;

QPointF point(U_POINT16 p)
{
    return QPointF(p.x, p.y);
}

QRectF rect(U_RECT16 r)
{
    return QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom));
}

QColor color(U_COLORREF c)
{
    return QColor(c.Red, c.Green, c.Blue);
}

// `count` points of 16-bit pairs at `data`, which must lie inside the record.
QPolygonF points(const char* data, quint32 count, const char* recordEnd)
{
    if (!data || data + quint64(count) * 4 > recordEnd)
        throw BadRecord{};
    QPolygonF poly;
    poly.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        qint16 xy[2];
        std::memcpy(xy, data + i * 4ull, 4);
        poly.append(QPointF(qFromLittleEndian(xy[0]), qFromLittleEndian(xy[1])));
    }
    return poly;
}

// A record's bitmap; one that does not decode makes the record bad.
QImage dibAt(const char* dib, const char* end, quint16 usage)
{
    if (!dib || dib >= end)
        throw BadRecord{};
    QImage image = MetafileBitmap::decodePacked(QByteArrayView(dib, end - dib), usage == 1);
    if (image.isNull())
        throw BadRecord{};
    return image;
}

void playRecord(const char* p, const char* end, MetafileCanvas& canvas)
{
    MetafileDeviceContext& dc = canvas.dc();
    U_POINT16 a{}, b{}, c{}, d{};
    U_RECT16 r{};
    U_COLORREF cr{};
    uint16_t u = 0, v = 0;
    int16_t s = 0, t = 0;
    uint32_t rop = 0;
    const char* data = nullptr;
    const quint8 function = quint8(p[4]);
    switch (function) {
    case U_WMR_SETBKCOLOR:
        U_WMRSETBKCOLOR_get(p, &cr);
        dc.backgroundColor = color(cr);
        break;
    case U_WMR_SETBKMODE:
        U_WMRSETBKMODE_get(p, &u);
        dc.opaqueBackground = u == 2;
        break;
    case U_WMR_SETMAPMODE:
        U_WMRSETMAPMODE_get(p, &u);
        canvas.setMapMode(u);
        break;
    case U_WMR_SETROP2:
        U_WMRSETROP2_get(p, &u);
        dc.rop2 = u;
        break;
    case U_WMR_SETPOLYFILLMODE:
        U_WMRSETPOLYFILLMODE_get(p, &u);
        dc.fillWinding = u == 2;
        break;
    case U_WMR_SETTEXTCHAREXTRA:
        U_WMRSETTEXTCHAREXTRA_get(p, &u);
        dc.characterExtra = qint16(u);
        break;
    case U_WMR_SETTEXTCOLOR:
        U_WMRSETTEXTCOLOR_get(p, &cr);
        dc.textColor = color(cr);
        break;
    case U_WMR_SETTEXTALIGN:
        U_WMRSETTEXTALIGN_get(p, &u);
        dc.textAlign = u;
        break;
    case U_WMR_SETWINDOWORG:
        U_WMRSETWINDOWORG_get(p, &a);
        dc.mapping.windowOrg = point(a);
        break;
    case U_WMR_SETWINDOWEXT:
        U_WMRSETWINDOWEXT_get(p, &a);
        dc.mapping.windowExt = QSizeF(a.x, a.y);
        break;
    case U_WMR_OFFSETWINDOWORG:
        U_WMROFFSETWINDOWORG_get(p, &a);
        dc.mapping.windowOrg += point(a);
        break;
    case U_WMR_SCALEWINDOWEXT:
        U_WMRSCALEWINDOWEXT_get(p, &a, &b);
        if (a.x != 0 && a.y != 0) {
            QSizeF& ext = dc.mapping.windowExt;
            ext = QSizeF(ext.width() * b.x / a.x, ext.height() * b.y / a.y);
        }
        break;
    case U_WMR_LINETO:
        U_WMRLINETO_get(p, &a);
        canvas.lineTo(point(a));
        break;
    case U_WMR_MOVETO:
        U_WMRMOVETO_get(p, &a);
        canvas.moveTo(point(a));
        break;
    case U_WMR_EXCLUDECLIPRECT:
        U_WMREXCLUDECLIPRECT_get(p, &r);
        canvas.excludeClipRect(rect(r));
        break;
    case U_WMR_INTERSECTCLIPRECT:
        U_WMRINTERSECTCLIPRECT_get(p, &r);
        canvas.intersectClipRect(rect(r));
        break;
    case U_WMR_OFFSETCLIPRGN:
        U_WMROFFSETCLIPRGN_get(p, &a);
        canvas.offsetClip(point(a));
        break;
    case U_WMR_ARC:
        U_WMRARC_get(p, &a, &b, &r);
        canvas.arc(MetafileCanvas::ArcKind::Arc, rect(r), point(a), point(b));
        break;
    case U_WMR_PIE:
        U_WMRPIE_get(p, &a, &b, &r);
        canvas.arc(MetafileCanvas::ArcKind::Pie, rect(r), point(a), point(b));
        break;
    case U_WMR_CHORD:
        U_WMRCHORD_get(p, &a, &b, &r);
        canvas.arc(MetafileCanvas::ArcKind::Chord, rect(r), point(a), point(b));
        break;
    case U_WMR_ELLIPSE:
        U_WMRELLIPSE_get(p, &r);
        canvas.ellipse(rect(r));
        break;
    case U_WMR_RECTANGLE:
        U_WMRRECTANGLE_get(p, &r);
        canvas.rectangle(rect(r));
        break;
    case U_WMR_ROUNDRECT:
        U_WMRROUNDRECT_get(p, &s, &t, &r);
        canvas.roundRect(rect(r), QSizeF(s, t));
        break;
    case U_WMR_SETPIXEL:
        U_WMRSETPIXEL_get(p, &cr, &a);
        canvas.setPixel(point(a), color(cr));
        break;
    case U_WMR_PATBLT:
        U_WMRPATBLT_get(p, &a, &b, &rop);
        canvas.patBlt(QRectF(point(a), QSizeF(b.x, b.y)), rop);
        break;
    case U_WMR_SAVEDC:
        canvas.saveDC();
        break;
    case U_WMR_RESTOREDC:
        U_WMRRESTOREDC_get(p, &s);
        canvas.restoreDC(s);
        break;
    case U_WMR_POLYGON:
        U_WMRPOLYGON_get(p, &u, &data);
        canvas.polygon(points(data, u, end));
        break;
    case U_WMR_POLYLINE:
        U_WMRPOLYLINE_get(p, &u, &data);
        canvas.polyline(points(data, u, end), false);
        break;
    case U_WMR_POLYPOLYGON: {
        const uint16_t* counts = nullptr;
        U_WMRPOLYPOLYGON_get(p, &u, &counts, &data);
        if (!counts || reinterpret_cast<const char*>(counts) + quint64(u) * 2 > end)
            throw BadRecord{};
        std::vector<QPolygonF> polys;
        for (uint16_t i = 0; i < u; ++i) {
            uint16_t n = 0;
            std::memcpy(&n, reinterpret_cast<const char*>(counts) + i * 2, 2);
            polys.push_back(points(data, n, end));
            data += n * 4ull;
        }
        canvas.polyPolygon(polys);
        break;
    }
    case U_WMR_TEXTOUT:
    case U_WMR_EXTTEXTOUT: {
        MetafileCanvas::TextRecord text;
        const int16_t* dx = nullptr;
        // libuemf reads the position after the string, and the rectangle, without checking them
        // against the record: check the lengths here first.
        const qint64 available = end - p;
        const bool plain = function == U_WMR_TEXTOUT;
        const qint16 length
            = plain || available < 14 ? qFromLittleEndian<qint16>(p + 6) : qFromLittleEndian<qint16>(p + 10);
        const bool hasRect = !plain && available >= 14 && (qFromLittleEndian<quint16>(p + 12) & 6) != 0;
        const qint64 needed = plain ? 12 + ((length + 1) & ~1) : 14 + (hasRect ? 8 : 0) + ((length + 1) & ~1);
        if (length < 0 || available < needed)
            throw BadRecord{};
        if (function == U_WMR_TEXTOUT) {
            U_WMRTEXTOUT_get(p, &a, &s, &data);
        } else {
            U_WMREXTTEXTOUT_get(p, &a, &s, &u, &data, &dx, &r);
            text.options = u;
            text.rect = rect(r);
        }
        if (s < 0 || !data || data + s > end)
            throw BadRecord{};
        text.reference = (dc.textAlign & 1) ? dc.position : point(a);
        if (dx && reinterpret_cast<const char*>(dx) + s * 2ll <= end) {
            for (int16_t i = 0; i < s; ++i) {
                int16_t one = 0;
                std::memcpy(&one, reinterpret_cast<const char*>(dx) + i * 2, 2);
                text.dx.push_back(one);
            }
        }
        text.text = canvas.decodeAnsi(QByteArray(data, s), &text.dx);
        canvas.textOut(text);
        break;
    }
    case U_WMR_SELECTOBJECT:
        U_WMRSELECTOBJECT_get(p, &u);
        canvas.selectObject(u);
        break;
    case U_WMR_DELETEOBJECT:
        U_WMRDELETEOBJECT_get(p, &u);
        canvas.deleteObject(u);
        break;
    case U_WMR_CREATEPENINDIRECT: {
        U_PEN pen{};
        U_WMRCREATEPENINDIRECT_get(p, &pen);
        canvas.createPen(
            canvas.firstFreeIndex(), MetafilePen{pen.Style, double(pen.Widthw[0]), color(pen.Color)});
        break;
    }
    case U_WMR_CREATEBRUSHINDIRECT: {
        U_WMRCREATEBRUSHINDIRECT_get(p, &data);
        if (!data || data + 8 > end)
            throw BadRecord{};
        U_WLOGBRUSH lb{};
        std::memcpy(&lb.Style, data, 2);
        std::memcpy(&lb.Color, data + 2, 4);
        std::memcpy(&lb.Hatch, data + 6, 2);
        canvas.createBrush(
            canvas.firstFreeIndex(), MetafileBrush{lb.Style, color(lb.Color), lb.Hatch, {}, false});
        break;
    }
    case U_WMR_CREATEFONTINDIRECT: {
        U_WMRCREATEFONTINDIRECT_get(p, &data);
        if (!data || data + 18 > end)
            throw BadRecord{};
        U_FONT lf{};
        std::memcpy(&lf, data, 18);
        MetafileFont f;
        f.height = lf.Height;
        f.width = lf.Width;
        f.escapement = lf.Escapement % 3600;
        f.weight = lf.Weight;
        f.italic = lf.Italic;
        f.underline = lf.Underline;
        f.strikeOut = lf.StrikeOut;
        f.charSet = lf.CharSet;
        const QByteArrayView rest(data + 18, std::min<qsizetype>(32, end - (data + 18)));
        const qsizetype nul = rest.indexOf('\0');
        const QString face = MetafileTextPainter::decodeAnsi(
            rest.first(nul < 0 ? rest.size() : nul).toByteArray(), lf.CharSet, nullptr);
        if (!face.isEmpty())
            f.faceName = face;
        canvas.createFont(canvas.firstFreeIndex(), f);
        break;
    }
    case U_WMR_DIBCREATEPATTERNBRUSH: {
        const char* bm16 = nullptr;
        U_WMRDIBCREATEPATTERNBRUSH_get(p, &u, &v, &bm16, &data);
        MetafileBrush brush;
        brush.style = MetafileBrush::DibPatternPt;
        brush.pattern = dibAt(data, end, v);
        canvas.createBrush(canvas.firstFreeIndex(), brush);
        break;
    }
    case U_WMR_CREATEPALETTE:
    case U_WMR_CREATEPATTERNBRUSH:
    case U_WMR_CREATEREGION:
    case U_WMR_CREATEBITMAP:
    case U_WMR_CREATEBITMAPINDIRECT:
        canvas.createPlaceholder(canvas.firstFreeIndex()); // keeps the numbering of later objects
        break;
    case U_WMR_DIBBITBLT:
        U_WMRDIBBITBLT_get(p, &a, &b, &c, &rop, &data);
        canvas.drawImage(
            QRectF(point(a), QSizeF(b.x, b.y)), dibAt(data, end, 0), QRectF(point(c), QSizeF(b.x, b.y)), rop);
        break;
    case U_WMR_DIBSTRETCHBLT:
        U_WMRDIBSTRETCHBLT_get(p, &a, &b, &c, &d, &rop, &data);
        canvas.drawImage(
            QRectF(point(a), QSizeF(b.x, b.y)), dibAt(data, end, 0), QRectF(point(c), QSizeF(d.x, d.y)), rop);
        break;
    case U_WMR_STRETCHDIB: {
        U_WMRSTRETCHDIB_get(p, &a, &b, &c, &d, &u, &rop, &data);
        const QImage image = dibAt(data, end, u);
        QRectF source(point(c), QSizeF(d.x, d.y));
        if (!image.isNull() && data && data + 12 <= end && qFromLittleEndian<qint32>(data + 8) > 0)
            source.moveTop(image.height() - source.bottom());
        canvas.drawImage(QRectF(point(a), QSizeF(b.x, b.y)), image, source, rop);
        break;
    }
    case U_WMR_SETDIBTODEV: {
        uint16_t scans = 0, start = 0;
        U_WMRSETDIBTODEV_get(p, &a, &b, &c, &u, &scans, &start, &data);
        canvas.drawImage(QRectF(point(a), QSizeF(b.x, b.y)), dibAt(data, end, u),
            QRectF(point(c), QSizeF(b.x, b.y)), 0x00CC0020);
        break;
    }
    default:
        break; // escapes, palettes, regions by handle, old device-dependent bitmaps
    }
}

} // namespace

bool WmfRecordReader::readHeader(QByteArrayView data, Header& header)
{
    if (data.size() < 22 + 18 || qFromLittleEndian<quint32>(data.data()) != kPlaceableKey)
        return false;
    U_WMRPLACEABLE placeable{};
    U_WMRHEADER wmf{};
    const int size = wmfheader_get(data.data(), data.data() + data.size(), &placeable, &wmf);
    if (size <= 0 || size > data.size())
        return false;
    header.bounds = QRect(
        QPoint(placeable.Dst.left, placeable.Dst.top), QPoint(placeable.Dst.right, placeable.Dst.bottom))
                        .normalized();
    header.unitsPerInch = placeable.Inch > 0 ? placeable.Inch : 1440;
    header.recordsStart = size;
    return true;
}

WmfRecordReader::Outcome WmfRecordReader::play(
    QByteArrayView data, const Header& header, MetafileCanvas& canvas)
{
    Outcome outcome;
    // Until the records set a window, the picture's bounds are the window.
    MetafileMapping& mapping = canvas.dc().mapping;
    mapping.windowOrg = header.bounds.topLeft();
    mapping.windowExt = header.bounds.size();
    canvas.setWindowIsTarget(true);

    const char* const end = data.data() + data.size();
    const char* p = data.data() + header.recordsStart;
    while (p + 6 <= end) {
        const size_t size = U_WMRRECSAFE_get(p, end);
        if (size < 6 || size > size_t(end - p)) {
            outcome.damaged = true;
            break;
        }
        if (quint8(p[4]) == U_WMR_EOF && quint8(p[5]) == 0)
            break;
        try {
            playRecord(p, p + size, canvas);
        } catch (const BadRecord&) {
            outcome.damaged = true;
            break;
        }
        ++outcome.records;
        p += size;
    }
    return outcome;
}

} // namespace vaskel
