#pragma once
// Reads a placeable Windows metafile (the 22-byte header with the picture's bounds and units per
// inch, then the 16-bit records) and hands each record to the metafile canvas, the window of the
// records mapped onto the target rectangle. Records are parsed with libuemf's readers after its
// safety check of each record against the end of the data; the first record that fails ends the
// playing.
#include <QByteArrayView>
#include <QRect>

namespace vaskel {

class MetafileCanvas;

class WmfRecordReader {
public:
    struct Header {
        QRect bounds; // metafile units
        int unitsPerInch = 1440;
        qsizetype recordsStart = 0;
    };
    static bool readHeader(QByteArrayView data, Header& header);

    struct Outcome {
        int records = 0;
        bool damaged = false;
    };
    static Outcome play(QByteArrayView data, const Header& header, MetafileCanvas& canvas);
};

} // namespace vaskel
