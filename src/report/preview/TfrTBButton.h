#pragma once
// A flat toolbar button: a TfrSpeedButton 24 × 24, flat by default, that aligns itself to the
// direction of the toolbar panel it is put on.
#include "report/preview/TfrSpeedButton.h"
#include "report/preview/ToolbarAlign.h"

namespace vaskel {

class TfrTBButton : public TfrSpeedButton {
    Q_OBJECT
public:
    explicit TfrTBButton(QWidget* parent = nullptr);

    ToolbarAlign Align() const { return m_align; }
    void setAlign(ToolbarAlign align) { m_align = align; }

protected:
    bool event(QEvent* event) override;

private:
    ToolbarAlign m_align = ToolbarAlign::Left;
};

} // namespace vaskel
