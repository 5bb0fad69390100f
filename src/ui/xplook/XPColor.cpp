#include "ui/xplook/XPColor.h"

#include <algorithm>
#include <cmath>

namespace vaskel::XPColor {

namespace {

int clampByte(int v)
{
    return std::clamp(v, 0, 255);
}

int lightenByte(int x, int p)
{
    // Ties go to the even neighbour, like every float-to-integer conversion of the program.
    return x + static_cast<int>(std::nearbyint((255 - x) * p / 100.0));
}

template <typename F> QImage mapPixels(const QImage& image, F f)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QColor c = f(QColor::fromRgb(line[x]));
            line[x] = qRgba(c.red(), c.green(), c.blue(), qAlpha(line[x]));
        }
    }
    return out;
}

} // namespace

QColor Shade(const QColor& c, int d)
{
    return QColor(clampByte(c.red() - d), clampByte(c.green() - d + 2), clampByte(c.blue() - d));
}

QColor Lighten(const QColor& c, int p)
{
    p = std::min(p, 100);
    return QColor(lightenByte(c.red(), p), lightenByte(c.green(), p), lightenByte(c.blue(), p));
}

QColor Gray(const QColor& c, int g)
{
    const int v = std::min((c.red() + c.green() + c.blue()) / 3 + g, 240);
    return QColor(v, v, v);
}

QColor Average(const QColor& a, const QColor& b)
{
    return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
}

QImage grayed(const QImage& image, int grayLevel)
{
    return mapPixels(image, [grayLevel](const QColor& c) { return Gray(c, grayLevel); });
}

QImage dimmed(const QImage& image, int dimLevel)
{
    return mapPixels(image, [dimLevel](const QColor& c) { return Lighten(c, std::min(dimLevel, 100)); });
}

} // namespace vaskel::XPColor
