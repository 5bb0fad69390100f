#include "platform/MetafilePlayer.h"

#include "platform/EmfRecordReader.h"
#include "platform/MetafileCanvas.h"
#include "platform/WmfRecordReader.h"

#include <QPainter>

#include <cmath>

namespace vaskel {

namespace {

// Natural sizes beyond this are refused: they come from damaged headers and would ask callers to
// allocate or lay out absurd pictures.
constexpr double kMaxNaturalPixels = 100000;

QSize boundedSize(double w, double h)
{
    if (!(w > 0 && h > 0 && w <= kMaxNaturalPixels && h <= kMaxNaturalPixels))
        return {};
    return QSize(std::max(1, int(std::lround(w))), std::max(1, int(std::lround(h))));
}

} // namespace

MetafilePlayer::Format MetafilePlayer::formatOf(QByteArrayView bytes)
{
    EmfRecordReader::Header emf;
    if (EmfRecordReader::readHeader(bytes, emf))
        return Format::Enhanced;
    WmfRecordReader::Header wmf;
    if (WmfRecordReader::readHeader(bytes, wmf))
        return Format::Placeable;
    return Format::Unknown;
}

QSize MetafilePlayer::naturalSize(QByteArrayView bytes, double dotsPerInch)
{
    EmfRecordReader::Header emf;
    if (EmfRecordReader::readHeader(bytes, emf)) {
        if (emf.frame.width() > 0 && emf.frame.height() > 0) {
            // The frame is in hundredths of a millimetre, edges included.
            const double k = dotsPerInch / 2540.0;
            return boundedSize((emf.frame.width() + 1) * k, (emf.frame.height() + 1) * k);
        }
        const double k = dotsPerInch / 25.4 / emf.pixelsPerMmX();
        return boundedSize((emf.bounds.width() + 1) * k, (emf.bounds.height() + 1) * k);
    }
    WmfRecordReader::Header wmf;
    if (WmfRecordReader::readHeader(bytes, wmf)) {
        const double k = dotsPerInch / wmf.unitsPerInch;
        return boundedSize(wmf.bounds.width() * k, wmf.bounds.height() * k);
    }
    return {};
}

MetafilePlayer::Outcome MetafilePlayer::play(QPainter& painter, QByteArrayView bytes, const QRectF& target)
{
    Outcome outcome;
    if (!painter.isActive() || !target.isValid())
        return outcome;
    EmfRecordReader::Header emf;
    if (EmfRecordReader::readHeader(bytes, emf)) {
        outcome.format = Format::Enhanced;
        const QRectF reference = emf.referenceRect();
        if (!(reference.width() > 0 && reference.height() > 0))
            return outcome;
        MetafileCanvas canvas(painter, reference, target);
        canvas.setReferenceResolution(emf.pixelsPerMmX(), emf.pixelsPerMmY());
        const EmfRecordReader::Outcome played = EmfRecordReader::play(bytes, canvas);
        outcome.records = played.records;
        outcome.damaged = played.damaged;
        return outcome;
    }
    WmfRecordReader::Header wmf;
    if (WmfRecordReader::readHeader(bytes, wmf)) {
        outcome.format = Format::Placeable;
        if (wmf.bounds.isEmpty())
            return outcome;
        MetafileCanvas canvas(painter, QRectF(wmf.bounds), target);
        const WmfRecordReader::Outcome played = WmfRecordReader::play(bytes, wmf, canvas);
        outcome.records = played.records + 1;
        outcome.damaged = played.damaged;
    }
    return outcome;
}

} // namespace vaskel
