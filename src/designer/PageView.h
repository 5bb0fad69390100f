#pragma once
// One tab of the designer: the page canvas in a scrolling area with a millimetre ruler above and
// beside it, which follow the scrolling, the zoom and the mouse.
#include <QScrollArea>

namespace vaskel {

class DesignDocument;
class PageCanvas;
class RulerBar;
class TfrPage;

class PageView : public QScrollArea {
    Q_OBJECT
public:
    PageView(DesignDocument& doc, TfrPage* page, QWidget* parent = nullptr);

    PageCanvas* canvas() const { return m_canvas; }
    // The zoom at which the paper fills the visible width.
    double fitWidthZoom() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeRulers();

    PageCanvas* m_canvas;
    RulerBar* m_top;
    RulerBar* m_left;
};

} // namespace vaskel
