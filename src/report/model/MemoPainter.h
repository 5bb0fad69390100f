#pragma once
// Draws a memo's wrapped text and ruled lines on a canvas, after `ApplyZoom`: the geometry of the
// memo is in device units then, and `ExpandedText` holds the wrapped lines (paragraph marks at the
// ends of paragraphs). One painter serves one drawing of one memo; it leaves `LinesOut` and
// `TextExtent` (scaled) on the memo as the band printing expects them.
#include "platform/DrawingAdapter.h"

#include <QRect>

class QPainter;

namespace vaskel {

class TfrMemoView;

class MemoPainter {
public:
    // `printMode` off: the memo is drawn as a template in a designer.
    MemoPainter(TfrMemoView& memo, QPainter& canvas, bool printMode);

    // Selects the memo's font on the canvas at its zoom: pixel height size × 96 / 72 × zoom,
    // truncated when the zoom is not 1 (rounded at 1); a printer canvas uses its own resolution.
    void selectDrawFont(bool rotated);
    int charHeight() const { return m_adapter.font().charHeight(); }

    // Lines ruled across the memo under each text line position.
    void drawUnderlines();
    // Each line clipped to the memo's drawing rectangle, aligned, justified or turned.
    void drawText();

private:
    // How every output line is drawn: clipped to `clip`, in the memo's reading order.
    DrawingAdapter::TextOptions lineOptions(const QRect& clip) const;
    void drawHorizontal(const QRect& clip);
    void drawTurned(const QRect& clip);

    TfrMemoView& m_memo;
    DrawingAdapter m_adapter;
    bool m_printMode;
};

} // namespace vaskel
