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

// Kept free of C++ objects with destructors between setjmp and longjmp.
bool decodeInto(const QByteArray& bytes, QImage* out)
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

QImage decode(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    QImage image;
    if (!decodeInto(bytes, &image))
        return {};
    return image;
}

} // namespace vaskel::JpegDecoder
