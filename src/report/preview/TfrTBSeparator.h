#pragma once
// A gap between toolbar buttons, 8 pixels, with an optional groove across the toolbar's direction:
// vertical on a horizontal toolbar, horizontal on a vertical one.
#include "report/preview/ToolbarAlign.h"

#include <QWidget>

namespace vaskel {

class TfrTBSeparator : public QWidget {
    Q_OBJECT
public:
    explicit TfrTBSeparator(QWidget* parent = nullptr);

    ToolbarAlign Align() const { return m_align; }
    void setAlign(ToolbarAlign align);
    bool DrawBevel() const { return m_drawBevel; }
    void setDrawBevel(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    ToolbarAlign m_align = ToolbarAlign::Left;
    bool m_drawBevel = true;
};

} // namespace vaskel
