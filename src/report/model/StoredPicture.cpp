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

const QImage& StoredPicture::image() const
{
    if (!m_image) {
        QImage decoded;
        switch (m_kind) {
        case Jpeg:
            decoded = JpegDecoder::decode(m_bytes);
            break;
        case Bitmap:
        case Icon: {
            QBuffer buffer;
            buffer.setData(m_bytes);
            buffer.open(QIODevice::ReadOnly);
            QImageReader reader(&buffer, m_kind == Bitmap ? "bmp" : "ico");
            reader.setAllocationLimit(256); // megabytes; a forged header must not exhaust memory
            decoded = reader.read();
            break;
        }
        default:
            break;
        }
        m_image = decoded;
    }
    return *m_image;
}

QSize StoredPicture::size() const
{
    if (m_kind == Metafile)
        return MetafilePlayer::naturalSize(m_bytes);
    return image().size();
}

} // namespace vaskel
