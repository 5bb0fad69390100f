#pragma once
// A QPainter target that draws onto a cairo context, so that prepared pages reach cairo's PDF
// surface through the same drawing calls that paint them on the screen and the printer. Shapes,
// pens, brushes, pictures and clips are passed on as cairo paths and sources; text becomes cairo
// glyph runs of the glyphs and positions Qt laid out, in the same font files, with the text they
// stand for so that readers can extract it.
//
// The engine claims every feature: QPainter hands over primitives in logical coordinates with the
// current transform, which becomes cairo's matrix (scaled from device pixels to the surface's
// units). Exclusive-or marking is a screen-only effect and is drawn as plain painting.
#include "platform/DirectTextPaintEngine.h"
#include "report/engine/PageTarget.h"
#include "report/export/CairoFontFaces.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QRawFont>
#include <QTransform>

#include <cairo.h>

#include <utility>
#include <vector>

namespace vaskel {

class CairoPaintEngine : public DirectTextPaintEngine {
public:
    CairoPaintEngine();
    ~CairoPaintEngine() override;

    // The context to draw on (not owned) and how many of its units one device pixel is; set before
    // a painter begins.
    void setTarget(cairo_t* cr, double unitsPerPixel);

    bool begin(QPaintDevice* device) override;
    bool end() override;
    void updateState(const QPaintEngineState& state) override;

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
    // A line in a report's font (kerning off, no shaping asked for) is drawn without Qt's layout.
    bool drawTextLine(const QPointF& baseline, const QFont& font, QStringView text) override;

private:
    // A face Qt falls back on for the characters of one script that the primary font lacks (the
    // Chinese of a Latin font), learnt once by laying out one such character.
    struct FallbackFont {
        QChar::Script script;
        QRawFont raw;
        cairo_font_face_t* face = nullptr;
    };
    struct PrimaryFont {
        QRawFont raw;
        cairo_font_face_t* face = nullptr;
        std::vector<FallbackFont> fallbacks;
    };

    void applyClip();
    void setMatrix(const QTransform& logical);
    void fillAndStroke(bool fill, cairo_fill_rule_t rule);
    bool setBrushSource(const QBrush& brush);
    void strokeCurrentPath();
    void drawImageSource(const QRectF& rect, const QImage& image, bool tiled, const QPointF& offset);
    bool drawSimpleText(const QPointF& origin, const QTextItem& textItem);
    // The glyphs of `text` from the font's tables (and the faces Qt falls back on) into m_glyphs,
    // m_clusters, m_glyphFont and m_utf8, placed from `origin`; false for text that needs shaping.
    bool lookUpGlyphs(const QPointF& origin, const QFont& font, QStringView text, qreal& width);
    cairo_font_face_t* glyphFace(qsizetype index) const;
    void showLookedUpGlyphs();
    void drawLaidOutText(const QPointF& origin, const QTextItem& textItem);
    PrimaryFont& primaryFont(const QFont& font);
    const FallbackFont& fallbackFont(PrimaryFont& primary, const QFont& font, char32_t c);
    // Queues a run of the glyphs in m_glyphs for drawing; flushText draws what is queued.
    void showRun(const QRawFont& raw, cairo_font_face_t* face, qsizetype firstGlyph, qsizetype glyphCount,
        qsizetype firstByte, qsizetype byteCount);
    void flushText();

    cairo_t* m_cr = nullptr;
    QPaintDevice* m_device = nullptr;
    QTransform m_deviceToUnits;
    QTransform m_transform; // logical → device pixels
    QPen m_pen;
    QBrush m_brush;
    QBrush m_background;
    Qt::BGMode m_backgroundMode = Qt::TransparentMode;
    QPointF m_brushOrigin;
    bool m_smoothImages = false;
    // The clip in device pixels; applied to the context before the next drawing when changed.
    bool m_clipEnabled = false;
    QPainterPath m_clip;
    bool m_clipDirty = false;
    CairoFontFaces m_faces;
    // The few fonts of a report, found by comparing QFonts (cheap when they share their data).
    std::vector<std::pair<QFont, PrimaryFont>> m_primaryFonts;
    // Scratch of the text being drawn, kept to spare allocations.
    std::vector<cairo_glyph_t> m_glyphs;
    std::vector<cairo_text_cluster_t> m_clusters;
    std::vector<int> m_glyphFont; // per glyph: 0 the primary font, k its fallback k - 1
    PrimaryFont* m_primary = nullptr; // the font of the glyphs looked up last
    QByteArray m_utf8;
    // Text runs waiting to be drawn as one, in one face, size and colour; glyph places in the
    // space of `linear` (the painter's transform without its translation).
    struct QueuedText {
        cairo_font_face_t* face = nullptr;
        qreal size = 0;
        QRgb color = 0;
        QTransform linear;
        std::vector<cairo_glyph_t> glyphs;
        std::vector<cairo_text_cluster_t> clusters;
        QByteArray utf8;
    };
    QueuedText m_queued;
};

// A page-sized paint device of the given resolution that paints through a CairoPaintEngine; pages
// are drawn on it as on paper.
class CairoPageDevice : public QPaintDevice, public PaperDevice {
public:
    explicit CairoPageDevice(CairoPaintEngine& engine) : m_engine(engine) { }
    void setPage(QSize pixels, int dpi)
    {
        m_size = pixels;
        m_dpi = dpi;
    }
    QPaintEngine* paintEngine() const override { return &m_engine; }

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    CairoPaintEngine& m_engine;
    QSize m_size;
    int m_dpi = 72;
};

} // namespace vaskel
