#include "report/model/JpegDecoder.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace vaskel::JpegDecoder {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void errorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void silentMessage(j_common_ptr)
{
}

// Pictures larger than this many pixels are refused rather than allocated: a stored picture of a
// report is a logo or a photo, and a forged header must not make the program allocate gigabytes.
constexpr quint64 kMaxPixels = 64u * 1024u * 1024u;

// Kept free of C++ objects with destructors between setjmp and longjmp. With `headerOnly` only
// the size is read into `size`.
bool decodeInto(const QByteArray& bytes, QImage* out, QSize within, bool headerOnly, QSize* size)
{
    jpeg_decompress_struct info;
    ErrorManager err;
    info.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.output_message = silentMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
        static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    if (quint64(info.image_width) * info.image_height > kMaxPixels || info.image_width == 0
        || info.image_height == 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    if (headerOnly) {
        *size = QSize(static_cast<int>(info.image_width), static_cast<int>(info.image_height));
        jpeg_destroy_decompress(&info);
        return true;
    }
    if (within.width() > 0 && within.height() > 0) {
        unsigned denom = 1;
        while (denom < 8 && info.image_width / (denom * 2) >= unsigned(within.width())
            && info.image_height / (denom * 2) >= unsigned(within.height()))
            denom *= 2;
        info.scale_num = 1;
        info.scale_denom = denom;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    *out = QImage(
        static_cast<int>(info.output_width), static_cast<int>(info.output_height), QImage::Format_RGB888);
    if (out->isNull()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out->scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

QImage decode(const QByteArray& bytes, QSize within)
{
    if (bytes.isEmpty())
        return {};
    QImage image;
    QSize unused;
    if (!decodeInto(bytes, &image, within, false, &unused))
        return {};
    return image;
}

QSize size(const QByteArray& bytes)
{
    QImage unused;
    QSize size;
    if (bytes.isEmpty() || !decodeInto(bytes, &unused, {}, true, &size))
        return {};
    return size;
}

} // namespace vaskel::JpegDecoder
