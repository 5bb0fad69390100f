#pragma once
// The picture a picture view holds: its kind and the bytes of the picture in its own file format
// (a BMP file image, an enhanced or placeable Windows metafile, an ICO file image, a JPEG stream).
// The bytes are what the template stores and are written back unchanged; the decoded image is
// made on first use for drawing. Metafiles are kept as bytes and played by the metafile player
// each time they are drawn.
#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

namespace vaskel {

class StoredPicture {
public:
    // The kind as the object record stores it.
    enum Kind : quint8 { None = 0, Bitmap = 1, Metafile = 2, Icon = 3, Jpeg = 4 };

    Kind kind() const { return m_kind; }
    const QByteArray& bytes() const { return m_bytes; }
    bool isEmpty() const { return m_kind == None || m_bytes.isEmpty(); }

    void clear();
    // Takes the bytes as they are; the kind decides how they are decoded.
    void setData(Kind kind, const QByteArray& bytes);
    // Kind from the file's extension (.bmp, .ico, .wmf/.emf, .jpg/.jpeg); false when the file
    // cannot be read or the extension names no picture kind.
    bool loadFromFile(const QString& fileName);

    // The decoded picture; null for metafiles and for bytes that do not decode. With `drawn` (the
    // size in device pixels it is drawn at) a larger picture is decoded down to about that size:
    // a bitmap of 8000 x 8000 pixels drawn 300 pixels wide keeps 300 pixels wide in memory. One
    // decoded copy is kept, made again only when a larger one is asked for.
    const QImage& image(QSize drawn = {}) const;
    // Natural size in pixels (96 per inch for metafiles: the frame of an enhanced metafile, the
    // bounds of a placeable one); empty when the header cannot be read.
    QSize size() const;

    static std::optional<Kind> kindOfFile(const QString& fileName);

private:
    Kind m_kind = None;
    QByteArray m_bytes;
    mutable std::optional<QImage> m_image;
    mutable bool m_reduced = false; // m_image is smaller than the picture
};

} // namespace vaskel
