#include "platform/MetafileBitmap.h"

#include <QtEndian>

#include <cstring>

namespace vaskel {

namespace {

quint32 u32(QByteArrayView b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.data() + at);
}

quint16 u16(QByteArrayView b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.data() + at);
}

// The lowest set bit and the width of a colour mask, to scale its value to 0..255.
int channel(quint32 value, quint32 mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    const quint32 max = mask >> shift;
    return int(((value & mask) >> shift) * 255 / max);
}

// Run-length compressed rows (4 or 8 bits per pixel) into one index per pixel; what the data does
// not reach stays index 0. Rows are counted bottom-up as stored.
bool expandRle(QByteArrayView data, int bitsPerPixel, int width, int height, std::vector<quint8>& out)
{
    out.assign(size_t(width) * size_t(height), 0);
    qsizetype i = 0;
    int x = 0, y = 0;
    auto put = [&](quint8 index) {
        if (x < width && y < height)
            out[size_t(y) * size_t(width) + size_t(x)] = index;
        ++x;
    };
    while (i + 1 < data.size() && y < height) {
        const quint8 count = quint8(data[i]), value = quint8(data[i + 1]);
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count; ++k)
                put(bitsPerPixel == 8 ? value : (k % 2 == 0 ? value >> 4 : value & 0xF));
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (i + 1 >= data.size())
                return false;
            x += quint8(data[i]);
            y += quint8(data[i + 1]);
            i += 2;
        } else {
            const int bytes = bitsPerPixel == 8 ? value : (value + 1) / 2;
            if (i + bytes > data.size())
                return false;
            for (int k = 0; k < value; ++k) {
                const quint8 b = quint8(data[i + (bitsPerPixel == 8 ? k : k / 2)]);
                put(bitsPerPixel == 8 ? b : (k % 2 == 0 ? b >> 4 : b & 0xF));
            }
            i += (bytes + 1) & ~1; // runs are padded to 16 bits
        }
    }
    return true;
}

} // namespace

QImage MetafileBitmap::decode(QByteArrayView info, QByteArrayView bits, bool paletteIndices)
{
    if (info.size() < 12)
        return {};
    const quint32 headerSize = u32(info, 0);
    qint64 width = 0, height = 0;
    int bitCount = 0;
    quint32 compression = 0, colorsUsed = 0;
    int paletteEntrySize = 4;
    if (headerSize == 12) { // the OS/2 core header
        width = u16(info, 4);
        height = qint16(u16(info, 6));
        bitCount = u16(info, 10);
        paletteEntrySize = 3;
    } else if (headerSize >= 40 && info.size() >= 40 && headerSize <= quint32(info.size())) {
        width = qint32(u32(info, 4));
        height = qint32(u32(info, 8));
        bitCount = u16(info, 14);
        compression = u32(info, 16);
        colorsUsed = u32(info, 32);
    } else {
        return {};
    }
    const bool topDown = height < 0;
    height = std::abs(height);
    if (width <= 0 || height <= 0 || width * height > kMaxPixels)
        return {};

    // JPEG and PNG pictures travel whole inside the bitmap.
    if (compression == 4 || compression == 5) {
        QImage embedded = QImage::fromData(bits, compression == 4 ? "JPG" : "PNG");
        return embedded.width() * qint64(embedded.height()) <= kMaxPixels ? embedded : QImage();
    }

    // Colour table (or the three masks of BI_BITFIELDS right after a 40-byte header).
    qsizetype at = headerSize;
    quint32 masks[3] = {0, 0, 0};
    if (compression == 3) {
        if (headerSize >= 52) {
            for (int k = 0; k < 3; ++k)
                masks[k] = u32(info, 40 + k * 4);
        } else {
            if (info.size() < at + 12)
                return {};
            for (int k = 0; k < 3; ++k)
                masks[k] = u32(info, at + k * 4);
            at += 12;
        }
    } else if (bitCount == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else if (bitCount == 32 || bitCount == 24) {
        masks[0] = 0xFF0000;
        masks[1] = 0xFF00;
        masks[2] = 0xFF;
    }
    QList<QRgb> palette;
    if (bitCount <= 8) {
        const quint32 entries = colorsUsed && colorsUsed <= (1u << bitCount) ? colorsUsed : (1u << bitCount);
        const int size = paletteIndices ? 2 : paletteEntrySize;
        for (quint32 k = 0; k < entries; ++k) {
            const qsizetype p = at + qsizetype(k) * size;
            if (p + size > info.size())
                break; // a short table: the rest stays black
            if (paletteIndices) {
                const int grey = u16(info, p) & 0xFF;
                palette.append(qRgb(grey, grey, grey));
            } else {
                palette.append(qRgb(quint8(info[p + 2]), quint8(info[p + 1]), quint8(info[p])));
            }
        }
        // Indices past a short table draw black; every index of the depth has an entry.
        while (palette.size() < (qsizetype(1) << bitCount))
            palette.append(qRgb(0, 0, 0));
    } else if (bitCount != 16 && bitCount != 24 && bitCount != 32) {
        return {};
    }
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return {};

    QImage image(int(width), int(height), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const auto row = [&](qint64 stored) { return topDown ? int(stored) : int(height - 1 - stored); };

    if (compression == 1 || compression == 2) {
        std::vector<quint8> indices;
        if (bitCount != (compression == 1 ? 8 : 4)
            || !expandRle(bits, bitCount, int(width), int(height), indices))
            return {};
        for (qint64 y = 0; y < height; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(row(y)));
            for (qint64 x = 0; x < width; ++x)
                line[x] = palette.value(indices[size_t(y * width + x)], qRgb(0, 0, 0));
        }
        return image;
    }
    if (compression != 0 && compression != 3)
        return {};
    const qint64 stride = ((width * bitCount + 31) / 32) * 4;
    if (stride * height > bits.size())
        return {}; // the header promises more pixels than the record holds
    for (qint64 y = 0; y < height; ++y) {
        const auto* src = reinterpret_cast<const quint8*>(bits.data()) + y * stride;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(row(y)));
        for (qint64 x = 0; x < width; ++x) {
            switch (bitCount) {
            case 1:
                line[x] = palette[(src[x / 8] >> (7 - x % 8)) & 1];
                break;
            case 4:
                line[x] = palette[(src[x / 2] >> (x % 2 ? 0 : 4)) & 0xF];
                break;
            case 8:
                line[x] = palette[src[x]];
                break;
            case 16: {
                const quint32 v = src[2 * x] | (src[2 * x + 1] << 8);
                line[x] = qRgb(channel(v, masks[0]), channel(v, masks[1]), channel(v, masks[2]));
                break;
            }
            case 24:
                line[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                break;
            default: {
                const quint32 v = qFromLittleEndian<quint32>(src + 4 * x);
                line[x] = qRgb(channel(v, masks[0]), channel(v, masks[1]), channel(v, masks[2]));
                break;
            }
            }
        }
    }
    return image;
}

QImage MetafileBitmap::decodePacked(QByteArrayView dib, bool paletteIndices)
{
    if (dib.size() < 12)
        return {};
    const quint32 headerSize = u32(dib, 0);
    qint64 infoSize = 0;
    if (headerSize == 12) {
        const int bitCount = u16(dib, 10);
        infoSize = 12 + (bitCount <= 8 ? (qint64(1) << bitCount) * 3 : 0);
    } else if (headerSize >= 40 && dib.size() >= 40) {
        const int bitCount = u16(dib, 14);
        const quint32 compression = u32(dib, 16), used = u32(dib, 32);
        const qint64 entries
            = bitCount <= 8 ? (used && used <= (1u << bitCount) ? used : (qint64(1) << bitCount)) : 0;
        infoSize = qint64(headerSize) + (compression == 3 && headerSize == 40 ? 12 : 0)
            + entries * (paletteIndices ? 2 : 4);
    } else {
        return {};
    }
    if (infoSize > dib.size())
        return {};
    return decode(dib.first(qsizetype(infoSize)), dib.sliced(qsizetype(infoSize)), paletteIndices);
}

} // namespace vaskel
