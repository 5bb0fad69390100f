#pragma once
// The drawing side of the metafile player: a device context (MetafileDeviceContext) with its
// object table and save stack, over the caller's QPainter. The record readers (EmfRecordReader,
// WmfRecordReader) decode each record and call one operation here; every operation takes logical
// units, maps them as the old graphics device did (world transform, mapping mode with window and
// viewport, then the reference device onto the caller's target rectangle) and draws.
//
// Text goes through the DrawingAdapter (MetafileTextPainter), so a recording device sees each
// text run whole with its box. The caller's painter is saved when the canvas starts and restored
// when it ends; its clip area, if any, stays in force under the metafile's own clipping.
#include "platform/MetafileDeviceContext.h"

#include <QByteArray>
#include <QPolygonF>
#include <QRectF>

#include <unordered_map>
#include <variant>
#include <vector>

class QPainter;

namespace vaskel {

class MetafileCanvas {
public:
    // `reference` is the part of the reference device (device pixels) that is mapped onto `target`
    // (coordinates of the painter as the caller set it up).
    MetafileCanvas(QPainter& painter, const QRectF& reference, const QRectF& target);
    ~MetafileCanvas();
    MetafileCanvas(const MetafileCanvas&) = delete;
    MetafileCanvas& operator=(const MetafileCanvas&) = delete;

    MetafileDeviceContext& dc() { return m_dc; }
    // Device pixels per millimetre of the reference device, for the metric mapping modes.
    void setReferenceResolution(double pixelsPerMmX, double pixelsPerMmY);
    // For placeable Windows metafiles: the window is mapped straight onto the target rectangle, and
    // viewport records have no effect.
    void setWindowIsTarget(bool on) { m_windowIsTarget = on; }

    // --- state
    void saveDC();
    // `relative` < 0 restores that many levels back; > 0 restores the absolute level (EMF).
    void restoreDC(int relative);
    void setMapMode(quint32 mode) { m_dc.mapping.mode = mode; }
    void setWorldTransform(const QTransform& t) { m_dc.mapping.world = t; }
    // EMF ModifyWorldTransform: 1 identity, 2 left multiply, 3 right multiply, 4 set.
    void modifyWorldTransform(const QTransform& t, quint32 mode);

    // --- objects (handles are the record's object indices; stock objects carry the top bit)
    void createPen(quint32 index, const MetafilePen& pen) { m_objects[index] = pen; }
    void createBrush(quint32 index, const MetafileBrush& brush) { m_objects[index] = brush; }
    void createFont(quint32 index, const MetafileFont& font) { m_objects[index] = font; }
    void createPlaceholder(quint32 index) { m_objects[index] = Placeholder{}; }
    void selectObject(quint32 index);
    void deleteObject(quint32 index) { m_objects.erase(index); }
    // The lowest index not in use: Windows metafiles number their objects that way.
    quint32 firstFreeIndex() const;

    // --- drawing, logical units
    void moveTo(QPointF p);
    void lineTo(QPointF p);
    void polyline(const QPolygonF& points, bool fromCurrentPosition);
    void polygon(const QPolygonF& points);
    void polyPolygon(const std::vector<QPolygonF>& polygons);
    void polyPolyline(const std::vector<QPolygonF>& polylines);
    void polyBezier(const QPolygonF& points, bool fromCurrentPosition);
    void rectangle(const QRectF& r);
    void roundRect(const QRectF& r, QSizeF corner);
    void ellipse(const QRectF& r);
    enum class ArcKind { Arc, ArcTo, Chord, Pie };
    void arc(ArcKind kind, const QRectF& box, QPointF start, QPointF end);
    void angleArc(QPointF centre, double radius, double startDegrees, double sweepDegrees);
    void setPixel(QPointF p, const QColor& color);

    // --- paths
    void beginPath();
    void endPath() { m_pathOpen = false; }
    void abortPath();
    void closeFigure();
    void fillPath();
    void strokePath();
    void strokeAndFillPath();
    void selectClipPath(quint32 mode);

    // --- clipping. Region rectangles are in device units (EMF) or logical units (WMF: `logical`).
    void intersectClipRect(const QRectF& r);
    void excludeClipRect(const QRectF& r);
    void offsetClip(QPointF logicalOffset);
    // Modes: 1 AND, 2 OR, 3 XOR, 4 DIFF, 5 COPY. An empty COPY removes the clip.
    void selectClipRegion(const std::vector<QRectF>& rects, quint32 mode, bool logical);
    void fillRegion(const std::vector<QRectF>& rects, const MetafileBrush& brush);
    void frameRegion(const std::vector<QRectF>& rects, const MetafileBrush& brush, QSizeF frame);
    void invertRegion(const std::vector<QRectF>& rects);
    const MetafileBrush* brushAt(quint32 index) const;

    // --- text: `bytes` are ANSI text in the font's character set unless `unicode` is given
    struct TextRecord {
        QPointF reference;
        QString text;
        std::vector<double> dx; // logical units per UTF-16 unit of `text`; may be empty
        quint32 options = 0; // ETO_OPAQUE 2, ETO_CLIPPED 4
        QRectF rect; // logical; used with the options
    };
    void textOut(const TextRecord& text);
    QString decodeAnsi(const QByteArray& bytes, std::vector<double>* dx) const;

    // --- images: `source` in bitmap pixels; `rop` a ternary raster operation. A null image is a
    // block transfer without a source: the brush (or black, white, inversion) fills `dest`.
    void drawImage(const QRectF& dest, const QImage& image, const QRectF& source, quint32 rop);
    void patBlt(const QRectF& dest, quint32 rop);

private:
    struct Placeholder { };
    using Object = std::variant<Placeholder, MetafilePen, MetafileBrush, MetafileFont>;

    QTransform pageTransform() const; // logical to device
    QTransform logicalToTarget() const; // logical to the caller's painter coordinates
    void prepare(); // clip and composition for the next drawing
    bool setRop2Pen(QPen& pen) const; // false when the pen draws nothing
    QPen makePen() const;
    QBrush makeBrush(const MetafileBrush& brush) const;
    void drawShape(const QPainterPath& path, bool fill, bool stroke);
    void fillWithBrush(const QPainterPath& logicalPath, const MetafileBrush& brush);
    void setClip(std::optional<QPainterPath> clip);
    QPainterPath deviceArea() const;
    QPainterPath arcPath(ArcKind kind, const QRectF& box, QPointF start, QPointF end, bool& ok) const;

    QPainter& m_painter;
    QTransform m_base; // the caller's painter transform
    QTransform m_deviceToBase; // reference device to the caller's coordinates
    bool m_callerClipped = false;
    bool m_windowIsTarget = false;
    QRectF m_target;
    double m_pxPerMmX = 96 / 25.4, m_pxPerMmY = 96 / 25.4;
    MetafileDeviceContext m_dc;
    std::vector<MetafileDeviceContext> m_saved;
    std::unordered_map<quint32, Object> m_objects;
    bool m_clipApplied = true; // the painter's clip matches m_dc.clip
    QPainterPath m_path;
    bool m_pathOpen = false;
};

} // namespace vaskel
