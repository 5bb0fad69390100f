#pragma once
// The colour arithmetic of the flat look: Shade and Lighten derive borders, faces and fills from a
// few system colours; Gray and the grayed and dimmed pictures draw disabled glyphs and menu icons.
// Colours are plain red, green and blue bytes, system colours already resolved.
#include <QColor>
#include <QImage>

namespace vaskel::XPColor {

// red - d, green - d + 2, blue - d, each clamped to 0..255.
QColor Shade(const QColor& c, int d);
// Each byte x moves p percent (at most 100) towards 255: x + round((255 - x) * p / 100).
QColor Lighten(const QColor& c, int p);
// The grey (v, v, v) with v = (red + green + blue) / 3 + g, at most 240.
QColor Gray(const QColor& c, int g);
// Each byte averaged (integer halves round down).
QColor Average(const QColor& a, const QColor& b);

// Every pixel through Gray(pixel, grayLevel); transparency is kept.
QImage grayed(const QImage& image, int grayLevel);
// Every pixel through Lighten(pixel, dimLevel), dimLevel at most 100; transparency is kept.
QImage dimmed(const QImage& image, int dimLevel);

} // namespace vaskel::XPColor
