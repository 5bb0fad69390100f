#pragma once
// Draws one text record of a metafile (ExtTextOut, PolyTextOut, TextOut) with the device
// context's font, colours, alignment and background, through the DrawingAdapter, so that a
// recording device sees the text as a run with its box and a PDF keeps it as text.
//
// Character placement: the record's advance array (dx) is honoured by drawing the run in as few
// pieces as the array allows. A run whose advances are the font's own (plus one even spacing) is
// one call of the adapter; where an advance departs from that by more than a pixel of the target,
// a new piece starts at the recorded position. Fonts come from the face name through the
// program's font aliases; heights are turned into pixels of the caller's painter.
#include "platform/MetafileCanvas.h"

namespace vaskel {

class MetafileTextPainter {
public:
    // `logicalToTarget`: logical units to the caller's painter coordinates including its own
    // transform `base`.
    MetafileTextPainter(
        QPainter& painter, const MetafileDeviceContext& dc, const QTransform& logicalToTarget);

    // Draws and returns where the current position moves to (logical units) for TA_UPDATECP.
    QPointF draw(const MetafileCanvas::TextRecord& text, const QTransform& base);

    // ANSI text in the code page of a font character set (GB2312 → GBK, Big5, Shift-JIS, the
    // Windows code pages, the company's GBK for the default set). `dx`, when given, holds one
    // advance per byte and is rewritten to one per UTF-16 unit of the result (a double-byte
    // character gets the sum of its two bytes' advances).
    static QString decodeAnsi(const QByteArray& bytes, quint8 charSet, std::vector<double>* dx);
    static const char* codePageOf(quint8 charSet);

private:
    QPainter& m_painter;
    const MetafileDeviceContext& m_dc;
    QTransform m_toTarget;
};

} // namespace vaskel
