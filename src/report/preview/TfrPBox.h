#pragma once
// The page area of a preview window: paints the held pages at the window's zoom and scroll
// offsets, pans with the left button, follows hyperlinks, shows link targets while the mouse
// hovers, and opens the zoom menu on the right button. It keeps no pages of its own: the owner
// window's state (held pages, zoom, offsets, displayed page) is what it shows.
//
// Painting decodes only the pages that meet the region being painted and releases every other
// page's live views, so that paging through a report of thousands of pages keeps a handful
// decoded. The area paints every pixel itself; it never erases its background first.
#include <QRect>
#include <QRegion>
#include <QSet>
#include <QWidget>

namespace vaskel {

class TfrPreviewForm;

class TfrPBox : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 207;

    explicit TfrPBox(TfrPreviewForm* owner, QWidget* parent);

    // Search support: an inverted mark over `unitsRect` (report units of page `pageIndex`,
    // 0-based), removed by the next repaint of the area.
    void markRect(int pageIndex, const QRect& unitsRect);
    // `unitsRect` of page `pageIndex` in area pixels (after scrolling), as it is drawn.
    QRect pixelRect(int pageIndex, const QRect& unitsRect) const;
    // Where page `pageIndex` is drawn (after scrolling); the printable area when its margins apply.
    QRect pageTarget(int pageIndex) const;

    // Pages that failed to decode and were reported (each once).
    const QSet<int>& faultyPages() const { return m_reportedFaults; }
    // The region the last paint covered (benchmarks: a scroll step repaints only a strip).
    const QRegion& lastPaintedRegion() const { return m_lastPainted; }
    // The page under the last left-button press (1-based, 0 = none).
    int lastClickedPage() const { return m_lastClickedPage; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The report-unit point of `p` (area pixels before scrolling) on page `index`.
    QPoint unitsPoint(int index, QPoint p) const;
    void reportFault(int index, const QString& message);
    void followLink(const QString& target);

    TfrPreviewForm* m_owner; // not owned: the window this area belongs to
    bool m_dragging = false;
    bool m_doubleClickSeen = false;
    int m_lastX = 0;
    int m_lastY = 0;
    int m_lastClickedPage = 0;
    QSet<int> m_reportedFaults;
    QRegion m_lastPainted;
};

} // namespace vaskel
