#pragma once
// A ruler in millimetres along the top or the left of the designer's page: a tick every
// millimetre, a longer one every 5, a number every 10, counted from the paper's edge, and a
// mark at the mouse position. The page view tells it where the paper's edge is on screen and the
// zoom; it reads nothing of the template.
#include <QWidget>

namespace vaskel {

class RulerBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kThickness = 20; // pixels

    RulerBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    // `origin`: the pixel of the ruler where the paper's edge lies; `zoom`: pixels per report unit.
    void setScale(int origin, double zoom);
    // The mouse position in report units along the ruler; negative for none.
    void setMark(double units);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Orientation m_orientation;
    int m_origin = 0;
    double m_zoom = 1.0;
    double m_mark = -1;
};

} // namespace vaskel
