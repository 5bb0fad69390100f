#pragma once
// A paint device that draws nothing and keeps what was drawn: every drawing operation numbered in
// the order it arrived, and each text run with its text and bounding rectangle in device
// coordinates. The preview's text search draws a page into one and walks the runs; tests read it
// to see what a view drew.
//
// Operation 0 is the header the recording starts with, so the first thing drawn is operation 1.
// A line of text drawn through the DrawingAdapter is one run (the adapter hands the whole line
// over); text drawn straight with QPainter::drawText arrives from Qt in pieces, one per script
// (Latin, Han …), and the pieces of one call are joined back into one run.
#include <QPaintDevice>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>
#include <vector>

namespace vaskel {

class RecordingPaintEngine;

struct RecordedOperation {
    enum class Kind { Header, Lines, Rects, Ellipse, Path, Polygon, Points, Pixmap, Image, Text };

    int index = 0;
    Kind kind = Kind::Header;
    // Device coordinates; for a text run the box of its character cells (as far as its clip
    // rectangle lets it show).
    QRect bounds;
    QString text; // text runs only
};

class RecordingDevice : public QPaintDevice {
public:
    // `size` in device pixels; `dotsPerInch` only matters for fonts given in points.
    explicit RecordingDevice(QSize size, int dotsPerInch = 96);
    ~RecordingDevice() override;

    QPaintEngine* paintEngine() const override;

    const std::vector<RecordedOperation>& operations() const { return m_operations; }
    std::vector<RecordedOperation> textRuns() const;
    void clear();

    // Appends one operation and returns its number. A text run's bounds are in device coordinates.
    int record(RecordedOperation::Kind kind, const QRect& bounds, const QString& text = {});

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    friend class RecordingPaintEngine;
    RecordedOperation& last() { return m_operations.back(); }

    QSize m_size;
    int m_dotsPerInch;
    std::unique_ptr<RecordingPaintEngine> m_engine;
    std::vector<RecordedOperation> m_operations;
};

} // namespace vaskel
