#include "platform/MetafileTextPainter.h"

#include "platform/DrawingAdapter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStringDecoder>

#include <cmath>

namespace vaskel {

namespace {

// Text options of the records.
constexpr quint32 kEtoOpaque = 2, kEtoClipped = 4;
// Text further than this from the target (pixels) is not drawn, and clip rectangles are cut to
// it: no page is that large, and whole-pixel positions beyond it overflow.
constexpr double kFar = 1e6;
// Text alignment bits.
constexpr quint32 kTaRight = 2, kTaCenter = 6, kTaBottom = 8, kTaBaseline = 24;

// Character height in pixels for a positive (cell) height: the cell includes the internal leading.
int characterHeightForCell(const QString& face, double cell, QPaintDevice* device)
{
    QFont probe(face);
    probe.setPixelSize(100);
    const QFontMetricsF m(probe, device);
    const double cellAt100 = m.ascent() + m.descent();
    return int(std::lround(cellAt100 > 0 ? cell * 100 / cellAt100 : cell));
}

} // namespace

MetafileTextPainter::MetafileTextPainter(
    QPainter& painter, const MetafileDeviceContext& dc, const QTransform& logicalToTarget)
    : m_painter(painter), m_dc(dc), m_toTarget(logicalToTarget)
{
}

const char* MetafileTextPainter::codePageOf(quint8 charSet)
{
    switch (charSet) {
    case 0:
        return "windows-1252";
    case 2:
        return "ISO-8859-1";
    case 77:
        return "macintosh";
    case 128:
        return "Shift_JIS";
    case 129:
        return "windows-949";
    case 136:
        return "Big5";
    case 161:
        return "windows-1253";
    case 162:
        return "windows-1254";
    case 163:
        return "windows-1258";
    case 177:
        return "windows-1255";
    case 178:
        return "windows-1256";
    case 186:
        return "windows-1257";
    case 204:
        return "windows-1251";
    case 222:
        return "windows-874";
    case 238:
        return "windows-1250";
    case 255:
        return "IBM437";
    // GB2312, and the default set of the machines these files were recorded on (code page 936).
    default:
        return "GBK";
    }
}

QString MetafileTextPainter::decodeAnsi(const QByteArray& bytes, quint8 charSet, std::vector<double>* dx)
{
    bool ascii = true;
    for (char c : bytes)
        ascii = ascii && uchar(c) < 0x80;
    if (ascii)
        return QString::fromLatin1(bytes);
    QStringDecoder decoder(codePageOf(charSet));
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Latin1);
    if (!dx || dx->size() != size_t(bytes.size())) {
        if (dx)
            dx->clear();
        return decoder.decode(bytes);
    }
    // Byte by byte, so that each character's advance is the sum of its bytes' advances.
    QString text;
    std::vector<double> advances;
    double pending = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        pending += (*dx)[size_t(i)];
        const QString piece = decoder.decode(QByteArrayView(bytes.constData() + i, 1));
        for (qsizetype k = 0; k < piece.size(); ++k) {
            advances.push_back(k == 0 ? pending : 0);
            text.append(piece[k]);
        }
        if (!piece.isEmpty())
            pending = 0;
    }
    *dx = std::move(advances);
    return text;
}

QPointF MetafileTextPainter::draw(const MetafileCanvas::TextRecord& rec, const QTransform& base)
{
    const QTransform& m = m_toTarget;
    const QTransform toBase = m * base.inverted();
    // Pixels of the caller's coordinates per logical unit, along and across the baseline.
    const double sx = std::hypot(toBase.m11(), toBase.m12());
    const double sy = std::hypot(toBase.m21(), toBase.m22());
    const MetafileFont& f = m_dc.font;
    const bool haveDx = !rec.dx.empty() && rec.dx.size() == size_t(rec.text.size());
    double logicalWidth = 0;
    for (double d : rec.dx)
        logicalWidth += haveDx ? d : 0;

    if ((rec.options & kEtoOpaque) && !rec.rect.isEmpty()) {
        m_painter.fillRect(rec.rect.normalized(), m_dc.backgroundColor);
    }
    if (rec.text.isEmpty() || !std::isfinite(sx) || !std::isfinite(sy) || sy <= 0)
        return rec.reference;

    // The font, with its height in pixels of the caller's coordinates.
    const double cell = (f.height == 0 ? 12.0 : std::abs(double(f.height))) * sy;
    const int charHeight = std::clamp(
        f.height > 0 ? characterHeightForCell(f.faceName, cell, m_painter.device()) : int(std::lround(cell)),
        1, 20000);
    quint16 style = 0;
    style |= f.italic ? fsItalic : 0;
    style |= f.weight >= 600 ? fsBold : 0;
    style |= f.underline ? fsUnderline : 0;
    style |= f.strikeOut ? fsStrikeOut : 0;

    m_painter.save();
    m_painter.setTransform(base);
    DrawingAdapter adapter(m_painter);
    adapter.setFont(DrawFont::select(f.faceName, charHeight, style));
    adapter.setTextColor(m_dc.textColor);
    adapter.setBackground(m_dc.opaqueBackground, m_dc.backgroundColor);

    // Advances in pixels: the record's, or the font's with the device context's extra spacing.
    const QFontMetricsF metrics(adapter.font().font(), m_painter.device());
    const qsizetype n = rec.text.size();
    std::vector<double> natural(size_t(n) + 1, 0.0), placed(size_t(n) + 1, 0.0);
    const double extraPx = std::round(m_dc.characterExtra * sx);
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = rec.text[i];
        const double advance = c.isSurrogate()
            ? (c.isHighSurrogate() && i + 1 < n ? metrics.horizontalAdvance(rec.text.mid(i, 2)) : 0)
            : metrics.horizontalAdvance(c);
        natural[size_t(i) + 1] = natural[size_t(i)] + advance;
        placed[size_t(i) + 1] = placed[size_t(i)] + (haveDx ? rec.dx[size_t(i)] * sx : advance + extraPx);
    }
    const double width = placed[size_t(n)];
    const QPointF origin = toBase.map(rec.reference);
    bool far = !(std::abs(origin.x()) < kFar && std::abs(origin.y()) < kFar);
    for (double p : placed)
        far = far || !(std::abs(p) < kFar);
    if (far) {
        m_painter.restore();
        return rec.reference;
    }
    // One even spacing accounts for a uniformly widened run.
    const int extra
        = haveDx && n > 0 ? int(std::lround((placed[size_t(n)] - natural[size_t(n)]) / n)) : int(extraPx);
    adapter.setCharacterExtra(extra);

    // The run's direction in the caller's coordinates.
    double angle = f.escapement / 10.0;
    angle -= std::atan2(toBase.m12(), toBase.m11()) * 180 / M_PI;
    DrawingAdapter::TextOptions options;
    if (rec.options & kEtoClipped) {
        const QRectF clip = toBase.mapRect(rec.rect.normalized()) & QRectF(-kFar, -kFar, 2 * kFar, 2 * kFar);
        if (std::abs(angle) <= 1e-6) {
            options.clipped = true;
            options.clip = clip.translated(-origin).toAlignedRect();
        } else {
            m_painter.setClipRect(clip, m_painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
        }
    }
    m_painter.translate(origin);
    if (std::abs(angle) > 1e-6)
        m_painter.rotate(-angle);

    const quint32 align = m_dc.textAlign;
    const double xoff = (align & kTaCenter) == kTaCenter ? -width / 2 : (align & kTaRight) ? -width : 0;
    const int yoff = (align & kTaBaseline) == kTaBaseline ? -adapter.ascent()
        : (align & kTaBottom)                             ? -adapter.lineHeight()
                                                          : 0;

    // Pieces: a new one starts where the recorded position leaves the font's own by over a pixel.
    qsizetype start = 0;
    auto flush = [&](qsizetype end) {
        if (end > start) {
            const QPoint at(int(std::lround(xoff + placed[size_t(start)])), yoff);
            adapter.drawText(at, QStringView(rec.text).sliced(start, end - start), options);
        }
        start = end;
    };
    for (qsizetype i = 1; i < n; ++i) {
        if (rec.text[i].isLowSurrogate())
            continue;
        const double expected
            = placed[size_t(start)] + natural[size_t(i)] - natural[size_t(start)] + extra * (i - start);
        if (std::abs(placed[size_t(i)] - expected) > 1.0)
            flush(i);
    }
    flush(n);
    m_painter.restore();

    const double advanceLogical = haveDx ? logicalWidth : (sx > 0 ? width / sx : 0);
    return rec.reference + QPointF((align & kTaCenter) ? 0 : advanceLogical, 0);
}

} // namespace vaskel
