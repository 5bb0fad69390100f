#pragma once
// Device-independent bitmaps as metafile records carry them (a BITMAPINFO header, an optional
// colour table or bit-field masks, then the pixel rows), turned into a QImage: 1, 4, 8, 16, 24 and
// 32 bits per pixel, palettes, bit fields, run-length compressed 4- and 8-bit rows, embedded JPEG
// and PNG, rows stored bottom-up (positive height) or top-down (negative height).
//
// Every size comes from the file and is checked against the bytes the record really holds: a
// header that promises more pixels than there are gives a null image (the record then draws
// nothing), and pictures beyond kMaxPixels are refused rather than allocated.
#include <QByteArrayView>
#include <QImage>

namespace vaskel {

class MetafileBitmap {
public:
    static constexpr qint64 kMaxPixels = qint64(64) * 1024 * 1024;

    // `info` starts with the header; `bits` are the pixel bytes. `paletteIndices`: the colour table
    // holds 16-bit indices into a logical palette (DIB_PAL_COLORS), drawn here as grey levels.
    static QImage decode(QByteArrayView info, QByteArrayView bits, bool paletteIndices = false);
    // A packed bitmap: header, colour table and pixels back to back (Windows metafile records).
    static QImage decodePacked(QByteArrayView dib, bool paletteIndices = false);
};

} // namespace vaskel
