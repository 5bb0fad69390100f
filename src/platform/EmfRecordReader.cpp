#include "platform/EmfRecordReader.h"

#include "platform/MetafileBitmap.h"
#include "platform/MetafileCanvas.h"

extern "C" {
#include <uemf.h>
#include <uemf_safe.h>
}

#include <QtEndian>

#include <cmath>

namespace vaskel {

namespace {

// Region data beyond this many rectangles is not followed: clip areas are combined as paths, whose
// cost grows with the number of rectangles, and a page's clip regions have a handful.
constexpr quint32 kMaxRegionRects = 2000;

// Thrown by a read outside the record; ends the playing.
struct BadRecord { };

// One record: typed reads at byte offsets, each checked against the record's size.
class Record {
public:
    Record(const char* data, quint32 size) : m_data(data), m_size(size) { }
    quint32 type() const { return u32(0); }
    quint32 size() const { return m_size; }
    bool has(quint64 at, quint64 bytes) const { return at + bytes <= m_size; }
    quint32 u32(quint64 at) const
    {
        return has(at, 4) ? qFromLittleEndian<quint32>(m_data + at) : throw BadRecord{};
    }
    qint32 i32(quint64 at) const { return qint32(u32(at)); }
    qint16 i16(quint64 at) const
    {
        return has(at, 2) ? qFromLittleEndian<qint16>(m_data + at) : throw BadRecord{};
    }
    float f32(quint64 at) const
    {
        return has(at, 4) ? qFromLittleEndian<float>(m_data + at) : throw BadRecord{};
    }
    QPointF pointl(quint64 at) const { return QPointF(i32(at), i32(at + 4)); }
    QPointF point16(quint64 at) const { return QPointF(i16(at), i16(at + 2)); }
    QRectF rectl(quint64 at) const { return QRectF(pointl(at), pointl(at + 8)); }
    QColor color(quint64 at) const
    {
        const quint32 c = u32(at);
        return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    }
    QByteArrayView bytes(quint64 at, quint64 count) const
    {
        if (!has(at, count))
            throw BadRecord{};
        return QByteArrayView(m_data + at, qsizetype(count));
    }
    QTransform xform(quint64 at) const
    {
        const QTransform t(f32(at), f32(at + 4), f32(at + 8), f32(at + 12), f32(at + 16), f32(at + 20));
        for (double v : {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()}) {
            if (!std::isfinite(v))
                throw BadRecord{};
        }
        return t;
    }

private:
    const char* m_data;
    quint32 m_size;
};

QPolygonF points(const Record& r, quint64 at, quint32 count, bool small)
{
    if (!r.has(at, quint64(count) * (small ? 4 : 8)))
        throw BadRecord{};
    QPolygonF poly;
    poly.reserve(count);
    for (quint32 i = 0; i < count; ++i)
        poly.append(small ? r.point16(at + i * 4ull) : r.pointl(at + i * 8ull));
    return poly;
}

// POLYPOLYLINE/POLYPOLYGON and their 16-bit forms: counts, then all points.
std::vector<QPolygonF> polyPolygons(const Record& r, bool small)
{
    const quint32 polys = r.u32(24), total = r.u32(28);
    if (!r.has(32, quint64(polys) * 4))
        throw BadRecord{};
    const QPolygonF all = points(r, 32 + quint64(polys) * 4, total, small);
    std::vector<QPolygonF> out;
    qsizetype at = 0;
    for (quint32 i = 0; i < polys; ++i) {
        const quint32 n = r.u32(32 + i * 4ull);
        if (n > quint32(all.size() - at))
            throw BadRecord{};
        out.push_back(all.mid(at, n));
        at += n;
    }
    return out;
}

std::vector<QRectF> regionRects(const Record& r, quint64 at, quint32 cbRgnData)
{
    if (!r.has(at, cbRgnData) || cbRgnData < 32)
        throw BadRecord{};
    const quint32 count = r.u32(at + 8);
    if (count > kMaxRegionRects || quint64(count) * 16 + 32 > cbRgnData)
        throw BadRecord{};
    std::vector<QRectF> rects;
    for (quint32 i = 0; i < count; ++i)
        rects.push_back(r.rectl(at + 32 + i * 16ull));
    return rects;
}

// The record's bitmap; none when it carries none (a block transfer of the brush alone). A bitmap
// that does not decode (a header promising more pixels than the record holds, an unknown format)
// makes the record bad.
QImage bitmap(const Record& r, quint32 offBmi, quint32 cbBmi, quint32 offBits, quint32 cbBits, quint32 usage)
{
    if (cbBmi == 0)
        return {};
    QImage image = MetafileBitmap::decode(r.bytes(offBmi, cbBmi), r.bytes(offBits, cbBits), usage == 1);
    if (image.isNull())
        throw BadRecord{};
    return image;
}

MetafileFont logFont(const Record& r, quint64 at)
{
    MetafileFont f;
    f.height = r.i32(at);
    f.width = r.i32(at + 4);
    f.escapement = r.i32(at + 8) % 3600;
    f.weight = r.i32(at + 16);
    const QByteArrayView b = r.bytes(at + 20, 8);
    f.italic = b[0] != 0;
    f.underline = b[1] != 0;
    f.strikeOut = b[2] != 0;
    f.charSet = quint8(b[3]);
    const QByteArrayView face = r.bytes(at + 28, 64);
    QString name = QString::fromUtf16(reinterpret_cast<const char16_t*>(face.data()), 32);
    name.truncate(name.indexOf(QChar(0)) < 0 ? 32 : name.indexOf(QChar(0)));
    if (!name.isEmpty())
        f.faceName = name;
    return f;
}

// One EMRTEXT structure at `at`; returns the bytes it takes in the record's fixed part.
quint64 text(const Record& r, quint64 at, bool wide, MetafileCanvas& canvas)
{
    MetafileCanvas::TextRecord t;
    t.reference = r.pointl(at);
    const quint32 chars = r.u32(at + 8), offString = r.u32(at + 12);
    t.options = r.u32(at + 16);
    quint64 next = at + 20;
    if (!(t.options & U_ETO_NO_RECT)) {
        t.rect = r.rectl(next);
        next += 16;
    }
    const quint32 offDx = r.u32(next);
    next += 4;
    const QByteArrayView str = r.bytes(offString, quint64(chars) * (wide ? 2 : 1));
    const int dxStep = (t.options & U_ETO_PDY) ? 2 : 1;
    if (offDx != 0 && r.has(offDx, quint64(chars) * 4 * dxStep)) {
        for (quint32 i = 0; i < chars; ++i)
            t.dx.push_back(r.i32(offDx + quint64(i) * 4 * dxStep));
    }
    if (wide)
        t.text = QString::fromUtf16(reinterpret_cast<const char16_t*>(str.data()), chars);
    else
        t.text = canvas.decodeAnsi(str.toByteArray(), &t.dx);
    if (canvas.dc().textAlign & 1)
        t.reference = canvas.dc().position;
    canvas.textOut(t);
    return next - at;
}

void playRecord(const Record& r, MetafileCanvas& canvas)
{
    MetafileDeviceContext& dc = canvas.dc();
    switch (r.type()) {
    case U_EMR_POLYBEZIER:
        canvas.polyBezier(points(r, 28, r.u32(24), false), false);
        break;
    case U_EMR_POLYBEZIER16:
        canvas.polyBezier(points(r, 28, r.u32(24), true), false);
        break;
    case U_EMR_POLYGON:
        canvas.polygon(points(r, 28, r.u32(24), false));
        break;
    case U_EMR_POLYGON16:
        canvas.polygon(points(r, 28, r.u32(24), true));
        break;
    case U_EMR_POLYLINE:
        canvas.polyline(points(r, 28, r.u32(24), false), false);
        break;
    case U_EMR_POLYLINE16:
        canvas.polyline(points(r, 28, r.u32(24), true), false);
        break;
    case U_EMR_POLYBEZIERTO:
        canvas.polyBezier(points(r, 28, r.u32(24), false), true);
        break;
    case U_EMR_POLYBEZIERTO16:
        canvas.polyBezier(points(r, 28, r.u32(24), true), true);
        break;
    case U_EMR_POLYLINETO:
        canvas.polyline(points(r, 28, r.u32(24), false), true);
        break;
    case U_EMR_POLYLINETO16:
        canvas.polyline(points(r, 28, r.u32(24), true), true);
        break;
    case U_EMR_POLYPOLYLINE:
        canvas.polyPolyline(polyPolygons(r, false));
        break;
    case U_EMR_POLYPOLYLINE16:
        canvas.polyPolyline(polyPolygons(r, true));
        break;
    case U_EMR_POLYPOLYGON:
        canvas.polyPolygon(polyPolygons(r, false));
        break;
    case U_EMR_POLYPOLYGON16:
        canvas.polyPolygon(polyPolygons(r, true));
        break;
    case U_EMR_SETWINDOWEXTEX:
        dc.mapping.windowExt = QSizeF(r.i32(8), r.i32(12));
        break;
    case U_EMR_SETWINDOWORGEX:
        dc.mapping.windowOrg = r.pointl(8);
        break;
    case U_EMR_SETVIEWPORTEXTEX:
        dc.mapping.viewportExt = QSizeF(r.i32(8), r.i32(12));
        break;
    case U_EMR_SETVIEWPORTORGEX:
        dc.mapping.viewportOrg = r.pointl(8);
        break;
    case U_EMR_SCALEVIEWPORTEXTEX:
    case U_EMR_SCALEWINDOWEXTEX: {
        const qint32 xNum = r.i32(8), xDen = r.i32(12), yNum = r.i32(16), yDen = r.i32(20);
        if (xDen == 0 || yDen == 0)
            break;
        QSizeF& ext = r.type() == U_EMR_SCALEWINDOWEXTEX ? dc.mapping.windowExt : dc.mapping.viewportExt;
        ext = QSizeF(ext.width() * xNum / xDen, ext.height() * yNum / yDen);
        break;
    }
    case U_EMR_SETPIXELV:
        canvas.setPixel(r.pointl(8), r.color(16));
        break;
    case U_EMR_SETMAPMODE:
        canvas.setMapMode(r.u32(8));
        break;
    case U_EMR_SETBKMODE:
        dc.opaqueBackground = r.u32(8) == 2;
        break;
    case U_EMR_SETPOLYFILLMODE:
        dc.fillWinding = r.u32(8) == 2;
        break;
    case U_EMR_SETROP2:
        dc.rop2 = r.u32(8);
        break;
    case U_EMR_SETTEXTALIGN:
        dc.textAlign = r.u32(8);
        break;
    case U_EMR_SETTEXTCOLOR:
        dc.textColor = r.color(8);
        break;
    case U_EMR_SETBKCOLOR:
        dc.backgroundColor = r.color(8);
        break;
    case U_EMR_SETARCDIRECTION:
        dc.arcClockwise = r.u32(8) == 2;
        break;
    case U_EMR_OFFSETCLIPRGN:
        canvas.offsetClip(r.pointl(8));
        break;
    case U_EMR_MOVETOEX:
        canvas.moveTo(r.pointl(8));
        break;
    case U_EMR_EXCLUDECLIPRECT:
        canvas.excludeClipRect(r.rectl(8));
        break;
    case U_EMR_INTERSECTCLIPRECT:
        canvas.intersectClipRect(r.rectl(8));
        break;
    case U_EMR_SAVEDC:
        canvas.saveDC();
        break;
    case U_EMR_RESTOREDC:
        canvas.restoreDC(r.i32(8));
        break;
    case U_EMR_SETWORLDTRANSFORM:
        canvas.setWorldTransform(r.xform(8));
        break;
    case U_EMR_MODIFYWORLDTRANSFORM:
        canvas.modifyWorldTransform(r.xform(8), r.u32(32));
        break;
    case U_EMR_SELECTOBJECT:
        canvas.selectObject(r.u32(8));
        break;
    case U_EMR_DELETEOBJECT:
        canvas.deleteObject(r.u32(8));
        break;
    case U_EMR_CREATEPEN: {
        MetafilePen pen;
        pen.style = r.u32(12);
        pen.width = r.i32(16);
        pen.color = r.color(24);
        canvas.createPen(r.u32(8), pen);
        break;
    }
    case U_EMR_EXTCREATEPEN: {
        MetafilePen pen;
        pen.style = r.u32(28);
        pen.width = r.u32(32);
        pen.color = r.u32(36) == 1 ? QColor(Qt::transparent) : r.color(40);
        pen.geometric = pen.style & 0x10000;
        if (r.u32(36) == 1)
            pen.style = MetafilePen::Null;
        canvas.createPen(r.u32(8), pen);
        break;
    }
    case U_EMR_CREATEBRUSHINDIRECT: {
        MetafileBrush brush;
        brush.style = r.u32(12);
        brush.color = r.color(16);
        brush.hatch = r.u32(20);
        canvas.createBrush(r.u32(8), brush);
        break;
    }
    case U_EMR_CREATEMONOBRUSH:
    case U_EMR_CREATEDIBPATTERNBRUSHPT: {
        MetafileBrush brush;
        brush.style = MetafileBrush::DibPatternPt;
        const quint32 usage = r.u32(12);
        brush.pattern = bitmap(r, r.u32(16), r.u32(20), r.u32(24), r.u32(28), usage);
        brush.monochrome = r.type() == U_EMR_CREATEMONOBRUSH;
        if (brush.monochrome && !brush.pattern.isNull())
            brush.pattern = brush.pattern.convertToFormat(QImage::Format_Mono);
        canvas.createBrush(r.u32(8), brush);
        break;
    }
    case U_EMR_EXTCREATEFONTINDIRECTW:
        canvas.createFont(r.u32(8), logFont(r, 12));
        break;
    case U_EMR_CREATEPALETTE:
        canvas.createPlaceholder(r.u32(8));
        break;
    case U_EMR_ANGLEARC:
        canvas.angleArc(r.pointl(8), r.u32(16), r.f32(20), r.f32(24));
        break;
    case U_EMR_ELLIPSE:
        canvas.ellipse(r.rectl(8));
        break;
    case U_EMR_RECTANGLE:
        canvas.rectangle(r.rectl(8));
        break;
    case U_EMR_ROUNDRECT:
        canvas.roundRect(r.rectl(8), QSizeF(r.i32(24), r.i32(28)));
        break;
    case U_EMR_ARC:
        canvas.arc(MetafileCanvas::ArcKind::Arc, r.rectl(8), r.pointl(24), r.pointl(32));
        break;
    case U_EMR_ARCTO:
        canvas.arc(MetafileCanvas::ArcKind::ArcTo, r.rectl(8), r.pointl(24), r.pointl(32));
        break;
    case U_EMR_CHORD:
        canvas.arc(MetafileCanvas::ArcKind::Chord, r.rectl(8), r.pointl(24), r.pointl(32));
        break;
    case U_EMR_PIE:
        canvas.arc(MetafileCanvas::ArcKind::Pie, r.rectl(8), r.pointl(24), r.pointl(32));
        break;
    case U_EMR_LINETO:
        canvas.lineTo(r.pointl(8));
        break;
    case U_EMR_BEGINPATH:
        canvas.beginPath();
        break;
    case U_EMR_ENDPATH:
        canvas.endPath();
        break;
    case U_EMR_CLOSEFIGURE:
        canvas.closeFigure();
        break;
    case U_EMR_FILLPATH:
        canvas.fillPath();
        break;
    case U_EMR_STROKEANDFILLPATH:
        canvas.strokeAndFillPath();
        break;
    case U_EMR_STROKEPATH:
        canvas.strokePath();
        break;
    case U_EMR_SELECTCLIPPATH:
        canvas.selectClipPath(r.u32(8));
        break;
    case U_EMR_ABORTPATH:
        canvas.abortPath();
        break;
    case U_EMR_EXTSELECTCLIPRGN: {
        const quint32 cb = r.u32(8), mode = r.u32(12);
        canvas.selectClipRegion(cb == 0 ? std::vector<QRectF>{} : regionRects(r, 16, cb), mode, false);
        break;
    }
    case U_EMR_FILLRGN: {
        const MetafileBrush* brush = canvas.brushAt(r.u32(28));
        const std::vector<QRectF> rects = regionRects(r, 32, r.u32(24));
        canvas.fillRegion(rects, brush ? *brush : dc.brush);
        break;
    }
    case U_EMR_FRAMERGN: {
        const MetafileBrush* brush = canvas.brushAt(r.u32(28));
        const std::vector<QRectF> rects = regionRects(r, 40, r.u32(24));
        canvas.frameRegion(rects, brush ? *brush : dc.brush, QSizeF(r.i32(32), r.i32(36)));
        break;
    }
    case U_EMR_INVERTRGN:
        canvas.invertRegion(regionRects(r, 28, r.u32(24)));
        break;
    case U_EMR_PAINTRGN:
        canvas.fillRegion(regionRects(r, 28, r.u32(24)), dc.brush);
        break;
    case U_EMR_BITBLT: {
        const QRectF dest(r.pointl(24), QSizeF(r.i32(32), r.i32(36)));
        const QImage image = bitmap(r, r.u32(84), r.u32(88), r.u32(92), r.u32(96), r.u32(80));
        canvas.drawImage(dest, image, QRectF(r.pointl(44), dest.size()), r.u32(40));
        break;
    }
    case U_EMR_STRETCHBLT:
    case U_EMR_ALPHABLEND:
    case U_EMR_TRANSPARENTBLT: {
        const QRectF dest(r.pointl(24), QSizeF(r.i32(32), r.i32(36)));
        const QImage image = bitmap(r, r.u32(84), r.u32(88), r.u32(92), r.u32(96), r.u32(80));
        const quint32 rop = r.type() == U_EMR_STRETCHBLT ? r.u32(40) : U_SRCCOPY;
        canvas.drawImage(dest, image, QRectF(r.pointl(44), QSizeF(r.i32(100), r.i32(104))), rop);
        break;
    }
    case U_EMR_STRETCHDIBITS: {
        const QRectF dest(r.pointl(24), QSizeF(r.i32(72), r.i32(76)));
        const QImage image = bitmap(r, r.u32(48), r.u32(52), r.u32(56), r.u32(60), r.u32(64));
        QRectF source(r.pointl(32), QSizeF(r.i32(40), r.i32(44)));
        // The source origin of a bottom-up bitmap counts from its last row.
        if (!image.isNull() && r.i32(r.u32(48) + 8) > 0)
            source.moveTop(image.height() - source.bottom());
        canvas.drawImage(dest, image, source, r.u32(68));
        break;
    }
    case U_EMR_SETDIBITSTODEVICE: {
        const QImage image = bitmap(r, r.u32(48), r.u32(52), r.u32(56), r.u32(60), r.u32(64));
        const QSizeF size(r.i32(40), r.i32(44));
        canvas.drawImage(QRectF(r.pointl(24), size), image, QRectF(r.pointl(32), size), U_SRCCOPY);
        break;
    }
    case U_EMR_EXTTEXTOUTA:
    case U_EMR_EXTTEXTOUTW:
        text(r, 36, r.type() == U_EMR_EXTTEXTOUTW, canvas);
        break;
    case U_EMR_POLYTEXTOUTA:
    case U_EMR_POLYTEXTOUTW: {
        const quint32 count = r.u32(36);
        quint64 at = 40;
        for (quint32 i = 0; i < count && at < r.size(); ++i)
            at += text(r, at, r.type() == U_EMR_POLYTEXTOUTW, canvas);
        break;
    }
    default:
        break; // comments (EMF+ among them), palettes, colour management: nothing to draw
    }
}

} // namespace

QRectF EmfRecordReader::Header::referenceRect() const
{
    if (frame.width() > 0 && frame.height() > 0) {
        const double kx = pixelsPerMmX() / 100, ky = pixelsPerMmY() / 100;
        return QRectF(frame.left() * kx, frame.top() * ky, frame.width() * kx, frame.height() * ky);
    }
    return bounds.adjusted(0, 0, 1, 1);
}

double EmfRecordReader::Header::pixelsPerMmX() const
{
    const double k = deviceMillimetres.width() > 0 ? devicePixels.width() / deviceMillimetres.width() : 0;
    return k > 0 && std::isfinite(k) ? k : 96 / 25.4;
}

double EmfRecordReader::Header::pixelsPerMmY() const
{
    const double k = deviceMillimetres.height() > 0 ? devicePixels.height() / deviceMillimetres.height() : 0;
    return k > 0 && std::isfinite(k) ? k : 96 / 25.4;
}

bool EmfRecordReader::readHeader(QByteArrayView data, Header& header)
{
    if (data.size() < qsizetype(offsetof(U_EMRHEADER, cbPixelFormat)))
        return false;
    const Record r(data.data(), quint32(std::min<qsizetype>(data.size(), 0x7FFFFFFF)));
    if (r.u32(0) != U_EMR_HEADER || r.u32(40) != U_ENHMETA_SIGNATURE || r.u32(4) < 88 || r.u32(4) > r.size())
        return false;
    header.bounds = QRectF(r.pointl(8), r.pointl(16));
    header.frame = QRectF(r.pointl(24), r.pointl(32));
    header.devicePixels = QSizeF(r.i32(72), r.i32(76));
    header.deviceMillimetres = QSizeF(r.i32(80), r.i32(84));
    return true;
}

EmfRecordReader::Outcome EmfRecordReader::play(QByteArrayView data, MetafileCanvas& canvas)
{
    Outcome outcome;
    quint64 at = 0;
    const quint64 end = quint64(data.size());
    while (at + 8 <= end) {
        const char* p = data.data() + at;
        const quint32 type = qFromLittleEndian<quint32>(p), size = qFromLittleEndian<quint32>(p + 4);
        if (size < 8 || size % 4 != 0 || size > end - at || (at == 0) != (type == U_EMR_HEADER)) {
            outcome.damaged = true;
            break;
        }
        if (type == U_EMR_EOF)
            break;
        // libuemf's check of the record's own offsets and counts against its size.
        // (libuemf has no check of the poly-text records; those are checked here alone.)
        const bool checkable = type >= U_EMR_MIN && type <= U_EMR_MAX && type != U_EMR_POLYTEXTOUTA
            && type != U_EMR_POLYTEXTOUTW;
        if (checkable && !U_emf_record_safe(p)) {
            outcome.damaged = true;
            break;
        }
        try {
            if (type != U_EMR_HEADER)
                playRecord(Record(p, size), canvas);
        } catch (const BadRecord&) {
            outcome.damaged = true;
            break;
        }
        ++outcome.records;
        at += size;
    }
    return outcome;
}

} // namespace vaskel
