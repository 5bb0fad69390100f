#pragma once
// A BMP file image of one colour, as picture views store bitmaps and data fields deliver them.
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>

namespace vaskel::test {

inline QByteArray bmpBytes(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

} // namespace vaskel::test
