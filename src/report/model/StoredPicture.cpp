#include "report/model/StoredPicture.h"

#include "report/model/JpegDecoder.h"

#include "platform/MetafilePlayer.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace vaskel {

void StoredPicture::clear()
{
    m_kind = None;
    m_bytes.clear();
    m_image.reset();
}

void StoredPicture::setData(Kind kind, const QByteArray& bytes)
{
    m_kind = kind;
    m_bytes = kind == None ? QByteArray() : bytes;
    m_image.reset();
}

std::optional<StoredPicture::Kind> StoredPicture::kindOfFile(const QString& fileName)
{
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == u"bmp")
        return Bitmap;
    if (ext == u"ico")
        return Icon;
    if (ext == u"wmf" || ext == u"emf")
        return Metafile;
    if (ext == u"jpg" || ext == u"jpeg")
        return Jpeg;
    return std::nullopt;
}

bool StoredPicture::loadFromFile(const QString& fileName)
{
    const std::optional<Kind> kind = kindOfFile(fileName);
    QFile file(fileName);
    if (!kind || !file.open(QIODevice::ReadOnly))
        return false;
    setData(*kind, file.readAll());
    return true;
}

namespace {

// What a picture of `natural` size is decoded at when drawn at `drawn`: the natural size, or
// shrunk with its proportions kept until it covers `drawn`.
QSize decodeSize(QSize natural, QSize drawn)
{
    if (!natural.isValid() || natural.isEmpty() || !drawn.isValid() || drawn.isEmpty()
        || (natural.width() <= drawn.width() && natural.height() <= drawn.height()))
        return natural;
    return natural.scaled(drawn.expandedTo(QSize(1, 1)), Qt::KeepAspectRatioByExpanding).boundedTo(natural);
}

// A reader of a stored bitmap or icon over the picture's bytes.
class BitmapReader {
public:
    BitmapReader(const QByteArray& bytes, StoredPicture::Kind kind)
    {
        m_buffer.setData(bytes);
        m_buffer.open(QIODevice::ReadOnly);
        m_reader.setDevice(&m_buffer);
        m_reader.setFormat(kind == StoredPicture::Bitmap ? "bmp" : "ico");
        m_reader.setAllocationLimit(256); // megabytes; a forged header must not exhaust memory
    }
    QImageReader& reader() { return m_reader; }

private:
    QBuffer m_buffer;
    QImageReader m_reader;
};

} // namespace

const QImage& StoredPicture::image(QSize drawn) const
{
    // A copy decoded smaller than now asked for is decoded again; a whole or large enough one stays.
    const bool wholeAsked = !drawn.isValid() || drawn.isEmpty();
    if (m_image && m_reduced
        && (wholeAsked || m_image->width() < drawn.width() || m_image->height() < drawn.height()))
        m_image.reset();
    if (!m_image) {
        QImage decoded;
        const QSize natural = m_kind == Metafile ? QSize() : size();
        const QSize target = decodeSize(natural, drawn);
        switch (m_kind) {
        case Jpeg:
            decoded = JpegDecoder::decode(m_bytes, target);
            break;
        case Bitmap:
        case Icon: {
            BitmapReader bitmap(m_bytes, m_kind);
            if (target.isValid() && target != natural)
                bitmap.reader().setScaledSize(target);
            decoded = bitmap.reader().read();
            break;
        }
        default:
            break;
        }
        if (!decoded.isNull() && target.isValid() && decoded.size() != target && target != natural)
            decoded = decoded.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_reduced = !decoded.isNull() && decoded.size() != natural;
        m_image = decoded;
    }
    return *m_image;
}

QSize StoredPicture::size() const
{
    switch (m_kind) {
    case Metafile:
        return MetafilePlayer::naturalSize(m_bytes);
    case Jpeg:
        return JpegDecoder::size(m_bytes);
    case Bitmap:
    case Icon: {
        // From the header: the size decides how far the picture is decoded.
        const QSize s = BitmapReader(m_bytes, m_kind).reader().size();
        return s.isValid() ? s : QSize();
    }
    default:
        return {};
    }
}

} // namespace vaskel
