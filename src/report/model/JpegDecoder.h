#pragma once
// Decodes JPEG streams with libjpeg, the way pictures of templates and database fields are stored.
// A corrupt or truncated stream gives a null image, never a crash; libjpeg's own warnings are
// not shown.
#include <QByteArray>
#include <QImage>

namespace vaskel::JpegDecoder {

QImage decode(const QByteArray& bytes);

} // namespace vaskel::JpegDecoder
