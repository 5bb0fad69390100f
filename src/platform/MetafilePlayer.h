#pragma once
// Plays a metafile picture (an enhanced metafile, EMF+ dual files included, or a placeable
// Windows metafile) onto any QPainter, scaled into a target rectangle: the screen, a printer, a
// PDF, an image or the recording device. Picture views of kind metafile and the pages of the
// oldest prepared-report layout draw through it.
//
// What stays true: the player reads only inside the bytes it is given, never throws, and stops
// at the first record that fails its checks, keeping what it drew up to there; the caller's
// painter is left as it was given. Text is drawn through the DrawingAdapter, so a recording of
// the playing holds every text run.
#include <QByteArrayView>
#include <QRectF>
#include <QSize>

class QPainter;

namespace vaskel {

class MetafilePlayer {
public:
    enum class Format { Unknown, Enhanced, Placeable };

    struct Outcome {
        Format format = Format::Unknown;
        int records = 0; // records played, headers included
        bool damaged = false; // a record failed its checks; the ones after it were not read
    };

    static Format formatOf(QByteArrayView bytes);

    // The picture's own size in pixels at `dotsPerInch`: the frame of an enhanced metafile (its
    // bounds when it has no frame), the bounds of a placeable one. Empty when unreadable.
    static QSize naturalSize(QByteArrayView bytes, double dotsPerInch = 96);

    // Draws the picture's frame into `target` (coordinates of the painter as given).
    static Outcome play(QPainter& painter, QByteArrayView bytes, const QRectF& target);
};

} // namespace vaskel
