#pragma once
// Reads an enhanced metafile record by record and hands each one to the metafile canvas. The
// records are parsed with libuemf: its record layouts and its safety check of each record's
// internal offsets and counts; on top of that every offset and count read here is checked against
// the record's own size. The first record that fails a check ends the playing: what came before
// it is drawn, nothing after it is read.
//
// EMF+ records travel inside comment records; files that carry both (dual files) also hold the
// plain records that draw the same picture, and those are what is played here.
#include <QByteArrayView>
#include <QRectF>
#include <QSizeF>

namespace vaskel {

class MetafileCanvas;

class EmfRecordReader {
public:
    struct Header {
        QRectF bounds; // device pixels, inclusive edges as stored
        QRectF frame; // hundredths of a millimetre
        QSizeF devicePixels;
        QSizeF deviceMillimetres;
        // The frame in reference device pixels: what is mapped onto the target rectangle.
        QRectF referenceRect() const;
        double pixelsPerMmX() const;
        double pixelsPerMmY() const;
    };

    // Nothing when the data does not start with an enhanced metafile header.
    static bool readHeader(QByteArrayView data, Header& header);

    struct Outcome {
        int records = 0; // records read and played, the header included
        bool damaged = false; // stopped at a record that failed a check
    };
    static Outcome play(QByteArrayView data, MetafileCanvas& canvas);
};

} // namespace vaskel
