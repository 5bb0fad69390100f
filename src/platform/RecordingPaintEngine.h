#pragma once
// The paint engine of a RecordingDevice: turns each call QPainter makes into one numbered
// operation with its bounds mapped to device coordinates, and joins the per-script pieces of one
// drawText call back into one text run. It claims every feature, so QPainter hands over shapes
// untransformed and never breaks text into paths.
#include <QPaintEngine>
#include <QPointF>
#include <QTransform>

namespace vaskel {

class RecordingDevice;

class RecordingPaintEngine : public QPaintEngine {
public:
    static constexpr Type kType = Type(QPaintEngine::User + 0x56);

    explicit RecordingPaintEngine(RecordingDevice& device);

    RecordingDevice& device() const { return m_device; }
    // The current painter transform (logical → device).
    const QTransform& transform() const { return m_transform; }

    bool begin(QPaintDevice* device) override;
    bool end() override;
    void updateState(const QPaintEngineState& state) override;
    Type type() const override { return kType; }

    void drawRects(const QRectF* rects, int count) override;
    void drawLines(const QLineF* lines, int count) override;
    void drawEllipse(const QRectF& rect) override;
    void drawPath(const QPainterPath& path) override;
    void drawPoints(const QPointF* points, int count) override;
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override;
    void drawPixmap(const QRectF& rect, const QPixmap& pixmap, const QRectF& source) override;
    void drawTiledPixmap(const QRectF& rect, const QPixmap& pixmap, const QPointF& offset) override;
    void drawImage(const QRectF& rect, const QImage& image, const QRectF& source,
        Qt::ImageConversionFlags flags) override;
    void drawTextItem(const QPointF& origin, const QTextItem& textItem) override;

    // Device rectangle of a logical rectangle under the current transform, edges rounded to whole
    // pixels.
    QRect toDevice(const QRectF& logical) const;
    static QRect wholePixels(const QRectF& deviceRect);

private:
    RecordingDevice& m_device;
    QTransform m_transform;
    // Where the last text piece ended (logical baseline point) and which operation holds it, for
    // joining the next piece of the same drawText call.
    int m_lastTextIndex = -1;
    QPointF m_lastTextEnd;
    QTransform m_lastTextTransform;
};

} // namespace vaskel
