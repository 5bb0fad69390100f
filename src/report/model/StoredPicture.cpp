#include "report/model/StoredPicture.h"

#include "report/model/JpegDecoder.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

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
    if (m_kind == Metafile && m_bytes.size() >= 40) {
        const uchar* d = reinterpret_cast<const uchar*>(m_bytes.constData());
        // Enhanced metafile header: record type 1, bounds (left, top, right, bottom) in pixels.
        if (qFromLittleEndian<quint32>(d) == 1) {
            const qint32 l = qFromLittleEndian<qint32>(d + 8), t = qFromLittleEndian<qint32>(d + 12);
            const qint32 r = qFromLittleEndian<qint32>(d + 16), b = qFromLittleEndian<qint32>(d + 20);
            return QSize(r - l + 1, b - t + 1);
        }
        // Placeable metafile: key 0x9AC6CDD7, bounds in metafile units of `inch` per inch.
        if (qFromLittleEndian<quint32>(d) == 0x9AC6CDD7u) {
            const qint16 l = qFromLittleEndian<qint16>(d + 6), t = qFromLittleEndian<qint16>(d + 8);
            const qint16 r = qFromLittleEndian<qint16>(d + 10), b = qFromLittleEndian<qint16>(d + 12);
            const quint16 inch = qFromLittleEndian<quint16>(d + 14);
            if (inch > 0)
                return QSize((r - l) * 96 / inch, (b - t) * 96 / inch);
        }
        return {};
    }
    return image().size();
}

} // namespace vaskel
