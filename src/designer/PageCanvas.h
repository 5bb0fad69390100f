#pragma once
// The designer's picture of one template page and what the mouse and keyboard do on it: the paper
// with its margins, an optional grid, every view drawn by its own design-mode painting, the
// selection with eight handles per selected view, dragging to move and resize with snapping to
// the grid and to other views' edges (guide lines show the edge snapped to), the rubber band, and
// keyboard moves and resizes. Changes reach the template only as commands on the document's undo
// stack; while a drag runs the views follow the mouse, and the command recorded at the release
// holds the geometry from before the drag.
//
// Coordinates: the template's report units; on screen a unit is `zoom()` pixels (one pixel at
// 100 %, as in the preview), and the paper starts `kPaperOffset` pixels from the widget's corner.
#include <QPointer>
#include <QWidget>

#include <vector>

namespace vaskel {

class DesignDocument;
class TfrPage;
class TfrView;

class PageCanvas : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPaperOffset = 16; // pixels around the paper
    static constexpr int kHandleSize = 6; // pixels
    static constexpr int kSnapDistance = 5; // pixels: how near an edge must come to snap
    // The strip at a band's top left where its name is written, which takes the band (units).
    static constexpr int kBandLabelWidth = 95;
    static constexpr int kBandLabelHeight = 14;

    enum class Align { Lefts, Rights, Tops, Bottoms, HorizontalCentres, VerticalCentres };
    enum class SameSize { Width, Height, Both };

    PageCanvas(DesignDocument& doc, QWidget* parent = nullptr);

    TfrPage* page() const { return m_page; }
    void setPage(TfrPage* page);

    double zoom() const { return m_zoom; }
    void setZoom(double zoom); // 0.5 to 4
    // The zoom at which the paper fills `width` pixels.
    double zoomToFit(int width) const;

    int gridStep() const { return m_gridStep; }
    void setGridStep(int units) { m_gridStep = qMax(1, units); }
    bool gridVisible() const { return m_gridVisible; }
    void setGridVisible(bool on);
    bool snapping() const { return m_snap; }
    void setSnapping(bool on) { m_snap = on; }

    const std::vector<TfrView*>& selection() const { return m_selection; }
    void setSelection(const std::vector<TfrView*>& views);

    // Keyboard and menu operations on the selection; views that their restrictions hold stay.
    void moveSelection(int dx, int dy, const QString& text);
    void resizeSelection(int dw, int dh);
    void alignSelection(Align how);
    void sameSizeSelection(SameSize how);

    // The paper in report units (from the printer's metrics, or from the stored paper size).
    QSize paperUnits() const;
    // Widget pixels ↔ report units.
    QPointF toUnits(const QPointF& pixels) const;
    QPointF toPixels(const QPointF& units) const;
    QRect toPixels(const QRect& units) const;
    // The note a band strip carries at its right end ("frDBDataSet1", a group condition, "2
    // columns"); empty for none.
    static QString bandNote(const TfrView& band);
    // The view under `pixels` (views before bands, the last stored first), or null.
    TfrView* viewAt(const QPoint& pixels) const;

    QSize sizeHint() const override;

    // The Insert toolbar's tool: the next press on the paper places a view of that kind (type
    // code 0 to 4, band kind for bands) by a click or a drag; -1 takes the tool away.
    void setInsertTool(int typeCode, int bandKind = 0);
    int insertTool() const { return m_insertType; }

signals:
    void selectionChanged();
    void zoomChanged(double zoom);
    // The mouse position in report units, for the rulers and the status bar.
    void pointerMoved(QPointF units);
    // A double click on a view: open its editor.
    void editRequested(TfrView* view);
    // A view was placed with the insert tool, which is then put away (null: put away with Escape).
    void viewInserted(TfrView* view);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    // A field dragged from the data tree becomes a memo on the band it is dropped on.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    enum class Drag { None, Move, Resize, RubberBand, Insert };
    struct Held {
        TfrView* view;
        QRect start; // report units, as the drag began
    };

    void documentChanged(TfrPage* page, const QRect& area);
    void repaintUnits(const QRect& units);
    void paintGrid(QPainter& p, const QRect& unitsArea);
    void paintHandles(QPainter& p, TfrView& view);
    // What a band strip does not show by itself: a data band's dataset, a group's condition, the
    // band's and the page's columns (units, painter scaled).
    void paintBandNotes(QPainter& p);
    QRect selectionArea() const;
    // Handle index 0..7 (clockwise from the top-left corner) of a selected view under `pixels`.
    int handleAt(const QPoint& pixels, TfrView** view) const;
    static QRect handleRect(const QRect& pixels, int index, int size);
    void cycleSelection(bool forward);
    // The views of the selection that a restriction bit does not hold.
    std::vector<TfrView*> selectionWithout(quint8 restriction) const;
    // Moves `rect` so that it stays on the paper.
    QRect keptOnPaper(QRect rect) const;
    // Snaps the offset `d` (units) of a moving rectangle to the grid and to other views' edges;
    // records guide lines.
    QPoint snappedOffset(const QRect& moving, QPoint d);
    int snapValue(int value, const std::vector<int>& edges, int& guide) const;
    std::vector<int> otherEdges(bool vertical) const;
    void pushGeometry(const QString& text, const std::vector<Held>& held);

    DesignDocument& m_doc;
    TfrPage* m_page = nullptr;
    double m_zoom = 1.0;
    int m_gridStep = 8;
    bool m_gridVisible = false;
    bool m_snap = true;
    std::vector<TfrView*> m_selection;

    Drag m_drag = Drag::None;
    QPoint m_pressPixels;
    int m_handle = -1;
    std::vector<Held> m_held;
    QRect m_rubber; // pixels
    TfrView* m_pressedBand = nullptr; // the band a rubber band started on
    int m_guideX = -1, m_guideY = -1; // units; -1: no guide
    int m_insertType = -1; // the insert tool's type code; -1: none
    int m_insertBandKind = 0;
};

} // namespace vaskel
