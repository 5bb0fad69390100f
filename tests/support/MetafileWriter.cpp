#include "support/MetafileWriter.h"

#include <QtEndian>

#include <cstring>

namespace vaskel::test {

namespace {

void put32(QByteArray& b, quint32 v)
{
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}

void put16(QByteArray& b, quint16 v)
{
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}

void pad4(QByteArray& b)
{
    while (b.size() % 4)
        b.append('\0');
}

} // namespace

Dib makeDib(const QImage& source, int bits, bool topDown)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    QList<QRgb> palette;
    if (bits <= 8) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (!palette.contains(image.pixel(x, y)))
                    palette.append(image.pixel(x, y));
        Q_ASSERT(palette.size() <= (1 << bits));
    }
    Dib dib;
    put32(dib.info, 40);
    put32(dib.info, quint32(w));
    put32(dib.info, quint32(topDown ? -h : h));
    put16(dib.info, 1);
    put16(dib.info, quint16(bits));
    put32(dib.info, 0);
    put32(dib.info, 0);
    put32(dib.info, 3780);
    put32(dib.info, 3780);
    put32(dib.info, quint32(palette.size()));
    put32(dib.info, 0);
    for (QRgb c : palette)
        put32(dib.info, c & 0xFFFFFF);
    const int stride = ((w * bits + 31) / 32) * 4;
    for (int row = 0; row < h; ++row) {
        const int y = topDown ? row : h - 1 - row;
        QByteArray line(stride, '\0');
        for (int x = 0; x < w; ++x) {
            const QRgb c = image.pixel(x, y);
            const int index = int(palette.indexOf(c));
            switch (bits) {
            case 1:
                line[x / 8] = char(uchar(line[x / 8]) | (index << (7 - x % 8)));
                break;
            case 4:
                line[x / 2] = char(uchar(line[x / 2]) | (index << (x % 2 ? 0 : 4)));
                break;
            case 8:
                line[x] = char(index);
                break;
            case 16: {
                const quint16 v = quint16(((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3));
                line[2 * x] = char(v & 0xFF);
                line[2 * x + 1] = char(v >> 8);
                break;
            }
            default: {
                const int n = bits / 8;
                line[n * x] = char(qBlue(c));
                line[n * x + 1] = char(qGreen(c));
                line[n * x + 2] = char(qRed(c));
                break;
            }
            }
        }
        dib.bits += line;
    }
    return dib;
}

// --- enhanced metafiles

EmfWriter::EmfWriter(QSize pixels) : m_pixels(pixels)
{
}

QByteArray EmfWriter::u32s(std::initializer_list<quint32> values)
{
    QByteArray b;
    for (quint32 v : values)
        put32(b, v);
    return b;
}

QByteArray EmfWriter::i32s(std::initializer_list<qint32> values)
{
    QByteArray b;
    for (qint32 v : values)
        put32(b, quint32(v));
    return b;
}

void EmfWriter::record(quint32 type, const QByteArray& params)
{
    QByteArray p = params;
    pad4(p);
    m_last = 108 + m_records.size();
    put32(m_records, type);
    put32(m_records, quint32(p.size() + 8));
    m_records += p;
    ++m_count;
}

void EmfWriter::setWorldTransform(double m11, double m12, double m21, double m22, double dx, double dy)
{
    QByteArray b;
    for (double v : {m11, m12, m21, m22, dx, dy}) {
        const float f = float(v);
        quint32 u;
        std::memcpy(&u, &f, 4);
        put32(b, u);
    }
    record(35, b);
}

void EmfWriter::createPen(quint32 index, int style, int width, QColor c)
{
    record(38, u32s({index, quint32(style), quint32(width), 0, colorRef(c)}));
    m_handles = std::max(m_handles, index + 1);
}

void EmfWriter::createBrush(quint32 index, int style, QColor c, int hatch)
{
    record(39, u32s({index, quint32(style), colorRef(c), quint32(hatch)}));
    m_handles = std::max(m_handles, index + 1);
}

void EmfWriter::createPatternBrush(quint32 index, const Dib& dib)
{
    const quint32 offBmi = 32, offBits = offBmi + quint32(dib.info.size());
    record(94,
        u32s({index, 0, offBmi, quint32(dib.info.size()), offBits, quint32(dib.bits.size())}) + dib.info
            + dib.bits);
    m_handles = std::max(m_handles, index + 1);
}

void EmfWriter::createFont(quint32 index, int height, const QString& face, quint8 charSet, int weight,
    int escapement, bool italic, bool underline)
{
    QByteArray b = i32s({qint32(index), height, 0, escapement, escapement, weight});
    b.append(char(italic));
    b.append(char(underline));
    b.append('\0');
    b.append(char(charSet));
    b.append(QByteArray(4, '\0'));
    QByteArray name(64, '\0');
    for (qsizetype i = 0; i < face.size() && i < 31; ++i)
        qToLittleEndian(quint16(face[i].unicode()), name.data() + 2 * i);
    b += name;
    record(82, b);
    m_handles = std::max(m_handles, index + 1);
}

void EmfWriter::polyRecord(quint32 type, const std::vector<QPoint>& points, bool small)
{
    QByteArray b = i32s({0, 0, m_pixels.width(), m_pixels.height(), qint32(points.size())});
    for (QPoint p : points) {
        if (small) {
            put16(b, quint16(qint16(p.x())));
            put16(b, quint16(qint16(p.y())));
        } else {
            b += i32s({p.x(), p.y()});
        }
    }
    record(type, b);
}

void EmfWriter::polyPolygon16(const std::vector<std::vector<QPoint>>& polygons)
{
    quint32 total = 0;
    for (const auto& p : polygons)
        total += quint32(p.size());
    QByteArray b
        = i32s({0, 0, m_pixels.width(), m_pixels.height()}) + u32s({quint32(polygons.size()), total});
    for (const auto& p : polygons)
        put32(b, quint32(p.size()));
    for (const auto& p : polygons) {
        for (QPoint q : p) {
            put16(b, quint16(qint16(q.x())));
            put16(b, quint16(qint16(q.y())));
        }
    }
    record(91, b);
}

void EmfWriter::selectClipRegion(const std::vector<QRect>& rects, int mode)
{
    QByteArray region = u32s({32, 1, quint32(rects.size()), quint32(rects.size() * 16)}) + i32s({0, 0, 0, 0});
    for (const QRect& r : rects)
        region += rectl(r);
    record(75, u32s({quint32(region.size()), quint32(mode)}) + region);
}

QByteArray EmfWriter::textRecord(QPoint at, const QByteArray& str, int chars, const std::vector<int>& dx,
    quint32 options, QRect rect, qsizetype base)
{
    // Fixed part: bounds, graphics mode, scales, then the text structure with its rectangle.
    const quint32 fixed = 76;
    QByteArray s = str;
    pad4(s);
    const quint32 offString = fixed, offDx = dx.empty() ? 0 : fixed + quint32(s.size());
    QByteArray b = i32s({0, 0, m_pixels.width(), m_pixels.height()}) + u32s({1, 0, 0});
    b += i32s({at.x(), at.y()}) + u32s({quint32(chars), offString, options});
    b += rect.isNull() ? i32s({0, 0, -1, -1}) : rectl(rect);
    b += u32s({offDx});
    Q_ASSERT(b.size() + 8 == qsizetype(fixed));
    Q_UNUSED(base);
    b += s;
    for (int d : dx)
        b += i32s({d});
    return b;
}

void EmfWriter::textW(QPoint at, const QString& text, const std::vector<int>& dx, quint32 options, QRect rect)
{
    QByteArray str;
    for (QChar c : text)
        put16(str, c.unicode());
    record(84, textRecord(at, str, int(text.size()), dx, options, rect, 0));
}

void EmfWriter::textA(
    QPoint at, const QByteArray& bytes, const std::vector<int>& dx, quint32 options, QRect rect)
{
    record(83, textRecord(at, bytes, int(bytes.size()), dx, options, rect, 0));
}

void EmfWriter::polyTextW(const std::vector<std::pair<QPoint, QString>>& runs)
{
    // Fixed part: bounds, mode, scales, count, then one 40-byte text structure per run.
    QByteArray b = i32s({0, 0, m_pixels.width(), m_pixels.height()}) + u32s({1, 0, 0, quint32(runs.size())});
    quint32 offset = 8 + 16 + 16 + quint32(runs.size()) * 40;
    QByteArray strings;
    for (const auto& [at, text] : runs) {
        b += i32s({at.x(), at.y()}) + u32s({quint32(text.size()), offset + quint32(strings.size()), 0});
        b += i32s({0, 0, -1, -1}) + u32s({0});
        for (QChar c : text)
            put16(strings, c.unicode());
        pad4(strings);
    }
    record(97, b + strings);
}

void EmfWriter::stretchDIBits(QRect dest, QRect source, const Dib& dib, quint32 rop)
{
    const quint32 offBmi = 80, offBits = offBmi + quint32(dib.info.size());
    QByteArray b = rectl(dest)
        + i32s({dest.left(), dest.top(), source.left(), source.top(), source.width(), source.height()});
    b += u32s({offBmi, quint32(dib.info.size()), offBits, quint32(dib.bits.size()), 0, rop});
    b += i32s({dest.width(), dest.height()});
    record(81, b + dib.info + dib.bits);
}

void EmfWriter::bitBlt(QRect dest, const Dib& dib, quint32 rop)
{
    const quint32 offBmi = 100, offBits = offBmi + quint32(dib.info.size());
    QByteArray b = rectl(dest) + i32s({dest.left(), dest.top(), dest.width(), dest.height()}) + u32s({rop});
    b += i32s({0, 0});
    b += EmfWriter::i32s({0x3F800000, 0, 0, 0x3F800000, 0, 0}); // identity transform in floats
    b += u32s({0xFFFFFF, 0, offBmi, quint32(dib.info.size()), offBits, quint32(dib.bits.size())});
    record(76, b + dib.info + dib.bits);
}

void EmfWriter::comment(const QByteArray& data)
{
    record(70, u32s({quint32(data.size())}) + data);
}

QByteArray EmfWriter::finish()
{
    record(14, u32s({0, 16, 20}));
    QByteArray h = u32s({1, 108}) + i32s({0, 0, m_pixels.width() - 1, m_pixels.height() - 1});
    h += i32s({0, 0, m_pixels.width() * 25, m_pixels.height() * 25});
    h += u32s({0x464D4520, 0x10000, quint32(108 + m_records.size()), quint32(m_count + 1)});
    put16(h, quint16(m_handles));
    put16(h, 0);
    h += u32s({0, 0, 0}) + i32s({840, 1188, 210, 297}) + u32s({0, 0, 0}) + i32s({210000, 297000});
    Q_ASSERT(h.size() == 108);
    return h + m_records;
}

// --- placeable Windows metafiles

WmfWriter::WmfWriter(QRect bounds, int unitsPerInch) : m_bounds(bounds), m_unitsPerInch(unitsPerInch)
{
}

QByteArray WmfWriter::i16s(std::initializer_list<qint16> values)
{
    QByteArray b;
    for (qint16 v : values)
        put16(b, quint16(v));
    return b;
}

void WmfWriter::record(quint16 function, const QByteArray& params)
{
    QByteArray p = params;
    if (p.size() % 2)
        p.append('\0');
    const quint32 words = quint32(3 + p.size() / 2);
    put32(m_records, words);
    put16(m_records, function);
    m_records += p;
    m_maxRecord = std::max(m_maxRecord, words);
}

void WmfWriter::createPen(int style, int width, QColor c)
{
    QByteArray b = i16s({qint16(style), qint16(width), 0});
    put32(b, EmfWriter::colorRef(c));
    record(0x02FA, b);
    ++m_objects;
}

void WmfWriter::createBrush(int style, QColor c, int hatch)
{
    QByteArray b = i16s({qint16(style)});
    put32(b, EmfWriter::colorRef(c));
    b += i16s({qint16(hatch)});
    record(0x02FC, b);
    ++m_objects;
}

void WmfWriter::createFont(int height, const QByteArray& face, quint8 charSet)
{
    QByteArray b = i16s({qint16(height), 0, 0, 0, 400});
    b.append(QByteArray("\0\0\0", 3));
    b.append(char(charSet));
    b.append(QByteArray(4, '\0'));
    QByteArray name = face.left(31);
    name.append(QByteArray(32 - name.size(), '\0'));
    record(0x02FB, b + name);
    ++m_objects;
}

void WmfWriter::polygon(const std::vector<QPoint>& points)
{
    QByteArray b = i16s({qint16(points.size())});
    for (QPoint p : points)
        b += i16s({qint16(p.x()), qint16(p.y())});
    record(0x0324, b);
}

void WmfWriter::textOut(QPoint at, const QByteArray& bytes)
{
    QByteArray s = bytes;
    if (s.size() % 2)
        s.append('\0');
    record(0x0521, i16s({qint16(bytes.size())}) + s + i16s({qint16(at.y()), qint16(at.x())}));
}

void WmfWriter::extTextOut(QPoint at, const QByteArray& bytes, const std::vector<int>& dx)
{
    QByteArray s = bytes;
    if (s.size() % 2)
        s.append('\0');
    QByteArray b = i16s({qint16(at.y()), qint16(at.x()), qint16(bytes.size()), 0}) + s;
    for (int d : dx)
        b += i16s({qint16(d)});
    record(0x0A32, b);
}

void WmfWriter::stretchDIB(QRect dest, const Dib& dib)
{
    QByteArray b;
    put32(b, 0x00CC0020);
    const int w = qFromLittleEndian<qint32>(dib.info.constData() + 4);
    const int h = std::abs(qFromLittleEndian<qint32>(dib.info.constData() + 8));
    b += i16s({0, qint16(h), qint16(w), 0, 0, qint16(dest.height()), qint16(dest.width()), qint16(dest.top()),
        qint16(dest.left())});
    record(0x0F43, b + dib.packed());
}

QByteArray WmfWriter::finish()
{
    record(0x0000, {});
    QByteArray placeable;
    put32(placeable, 0x9AC6CDD7u);
    put16(placeable, 0);
    placeable += i16s({qint16(m_bounds.left()), qint16(m_bounds.top()), qint16(m_bounds.right() + 1),
        qint16(m_bounds.bottom() + 1)});
    put16(placeable, quint16(m_unitsPerInch));
    put32(placeable, 0);
    quint16 checksum = 0;
    for (int i = 0; i < 10; ++i)
        checksum ^= qFromLittleEndian<quint16>(placeable.constData() + 2 * i);
    put16(placeable, checksum);
    QByteArray header;
    put16(header, 1);
    put16(header, 9);
    put16(header, 0x0300);
    put32(header, quint32((18 + m_records.size()) / 2));
    put16(header, quint16(m_objects));
    put32(header, m_maxRecord);
    put16(header, 0);
    return placeable + header + m_records;
}

} // namespace vaskel::test
