#pragma once
// Decodes JPEG streams with libjpeg, the way pictures of templates and database fields are stored.
// A corrupt or truncated stream gives a null image, never a crash; libjpeg's own warnings are
// not shown.
#include <QByteArray>
#include <QImage>
#include <QSize>

namespace vaskel::JpegDecoder {

// With `within` given, libjpeg scales the picture down by 2, 4 or 8 while it decodes, as far as
// the result still covers `within`: a photo drawn small never stands in memory at full size.
QImage decode(const QByteArray& bytes, QSize within = {});
// The picture's size from its header; empty when the header cannot be read.
QSize size(const QByteArray& bytes);

} // namespace vaskel::JpegDecoder
