#pragma once
// Writes enhanced metafiles and placeable Windows metafiles record by record, for the tests of the
// metafile player: every fixture is made in code, so each test shows the records it plays, and
// damaged files are made by changing the bytes of a good one. Only the fields a record needs are
// written; the header's size, record count and handle count are filled in by finish().
//
// The reference device of the enhanced metafiles is 4 pixels per millimetre, so a picture of
// W × H pixels has the frame 25·W × 25·H hundredths of a millimetre, and playing it into a target
// of W × H pixels maps one logical unit (MM_TEXT) onto one pixel.
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <vector>

namespace vaskel::test {

// A device-independent bitmap of `image` at `bits` per pixel (1, 4, 8 with a palette of the
// image's colours, or 16, 24, 32), rows bottom-up unless `topDown`.
struct Dib {
    QByteArray info;
    QByteArray bits;
    QByteArray packed() const { return info + bits; }
};
Dib makeDib(const QImage& image, int bits, bool topDown = false);

class EmfWriter {
public:
    explicit EmfWriter(QSize pixels);

    // A record of `type` with the given parameter bytes (the type and size are added).
    void record(quint32 type, const QByteArray& params);

    void setMapMode(int mode) { record(17, u32s({quint32(mode)})); }
    void setWindowExt(int w, int h) { record(9, i32s({w, h})); }
    void setWindowOrg(int x, int y) { record(10, i32s({x, y})); }
    void setViewportExt(int w, int h) { record(11, i32s({w, h})); }
    void setViewportOrg(int x, int y) { record(12, i32s({x, y})); }
    void setWorldTransform(double m11, double m12, double m21, double m22, double dx, double dy);
    void saveDC() { record(33, {}); }
    void restoreDC(int relative) { record(34, i32s({relative})); }
    void setBkMode(int mode) { record(18, u32s({quint32(mode)})); }
    void setRop2(int rop) { record(20, u32s({quint32(rop)})); }
    void setTextAlign(quint32 align) { record(22, u32s({align})); }
    void setTextColor(QColor c) { record(24, u32s({colorRef(c)})); }
    void setBkColor(QColor c) { record(25, u32s({colorRef(c)})); }
    void setPolyFillMode(int mode) { record(19, u32s({quint32(mode)})); }

    void createPen(quint32 index, int style, int width, QColor c);
    void createBrush(quint32 index, int style, QColor c, int hatch = 0);
    void createPatternBrush(quint32 index, const Dib& dib);
    void createFont(quint32 index, int height, const QString& face, quint8 charSet = 1, int weight = 400,
        int escapement = 0, bool italic = false, bool underline = false);
    void select(quint32 index) { record(37, u32s({index})); }
    void deleteObject(quint32 index) { record(40, u32s({index})); }

    void moveTo(int x, int y) { record(27, i32s({x, y})); }
    void lineTo(int x, int y) { record(54, i32s({x, y})); }
    void rectangle(QRect r) { record(43, rectl(r)); }
    void ellipse(QRect r) { record(42, rectl(r)); }
    void roundRect(QRect r, int cw, int ch) { record(44, rectl(r) + i32s({cw, ch})); }
    // 45 arc, 46 chord, 47 pie, 55 arc-to
    void arc(quint32 type, QRect box, QPoint start, QPoint end)
    {
        record(type, rectl(box) + i32s({start.x(), start.y(), end.x(), end.y()}));
    }
    void polygon16(const std::vector<QPoint>& points) { polyRecord(86, points, true); }
    void polyline(const std::vector<QPoint>& points) { polyRecord(4, points, false); }
    void polyBezier(const std::vector<QPoint>& points) { polyRecord(2, points, false); }
    void polyPolygon16(const std::vector<std::vector<QPoint>>& polygons);

    void beginPath() { record(59, {}); }
    void endPath() { record(60, {}); }
    void closeFigure() { record(61, {}); }
    void fillPath() { record(62, rectl(QRect(QPoint(0, 0), m_pixels))); }
    void strokePath() { record(64, rectl(QRect(QPoint(0, 0), m_pixels))); }
    void selectClipPath(int mode) { record(67, u32s({quint32(mode)})); }
    void intersectClipRect(QRect r) { record(30, rectl(r)); }
    void excludeClipRect(QRect r) { record(29, rectl(r)); }
    // Region rectangles in device pixels; mode 1 AND, 2 OR, 3 XOR, 4 DIFF, 5 COPY.
    void selectClipRegion(const std::vector<QRect>& rects, int mode);

    // ExtTextOutW / ExtTextOutA. `dx` one advance per UTF-16 unit (W) or byte (A); empty for none.
    void textW(QPoint at, const QString& text, const std::vector<int>& dx = {}, quint32 options = 0,
        QRect rect = {});
    void textA(QPoint at, const QByteArray& bytes, const std::vector<int>& dx = {}, quint32 options = 0,
        QRect rect = {});
    void polyTextW(const std::vector<std::pair<QPoint, QString>>& runs);

    void stretchDIBits(QRect dest, QRect source, const Dib& dib, quint32 rop = 0x00CC0020);
    void bitBlt(QRect dest, const Dib& dib, quint32 rop = 0x00CC0020);
    // A comment record as EMF+ files carry their own records in.
    void comment(const QByteArray& data);

    // The whole file: the header, the records and the end-of-file record.
    QByteArray finish();
    // Byte offset of the most recent record (to damage it in tests).
    qsizetype lastRecordOffset() const { return m_last; }

    static QByteArray u32s(std::initializer_list<quint32> values);
    static QByteArray i32s(std::initializer_list<qint32> values);
    static QByteArray rectl(QRect r) { return i32s({r.left(), r.top(), r.right() + 1, r.bottom() + 1}); }
    static quint32 colorRef(QColor c)
    {
        return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
    }

private:
    void polyRecord(quint32 type, const std::vector<QPoint>& points, bool small);
    QByteArray textRecord(QPoint at, const QByteArray& str, int chars, const std::vector<int>& dx,
        quint32 options, QRect rect, qsizetype base);

    QSize m_pixels;
    QByteArray m_records;
    int m_count = 0;
    quint32 m_handles = 1;
    qsizetype m_last = 0;
};

// Placeable Windows metafile: `bounds` in units of `unitsPerInch`.
class WmfWriter {
public:
    WmfWriter(QRect bounds, int unitsPerInch);
    void record(quint16 function, const QByteArray& params);
    static QByteArray i16s(std::initializer_list<qint16> values);

    void setWindowOrg(int x, int y) { record(0x020B, i16s({qint16(y), qint16(x)})); }
    void setWindowExt(int w, int h) { record(0x020C, i16s({qint16(h), qint16(w)})); }
    void createPen(int style, int width, QColor c);
    void createBrush(int style, QColor c, int hatch = 0);
    void createFont(int height, const QByteArray& face, quint8 charSet = 1);
    void select(int index) { record(0x012D, i16s({qint16(index)})); }
    void deleteObject(int index) { record(0x01F0, i16s({qint16(index)})); }
    void rectangle(QRect r)
    {
        record(
            0x041B, i16s({qint16(r.bottom() + 1), qint16(r.right() + 1), qint16(r.top()), qint16(r.left())}));
    }
    void ellipse(QRect r)
    {
        record(
            0x0418, i16s({qint16(r.bottom() + 1), qint16(r.right() + 1), qint16(r.top()), qint16(r.left())}));
    }
    void polygon(const std::vector<QPoint>& points);
    void moveTo(int x, int y) { record(0x0214, i16s({qint16(y), qint16(x)})); }
    void lineTo(int x, int y) { record(0x0213, i16s({qint16(y), qint16(x)})); }
    void setTextAlign(int align) { record(0x012E, i16s({qint16(align)})); }
    void textOut(QPoint at, const QByteArray& bytes);
    void extTextOut(QPoint at, const QByteArray& bytes, const std::vector<int>& dx);
    void stretchDIB(QRect dest, const Dib& dib);
    QByteArray finish();

private:
    QRect m_bounds;
    int m_unitsPerInch;
    QByteArray m_records;
    int m_objects = 0;
    quint32 m_maxRecord = 0;
};

} // namespace vaskel::test
