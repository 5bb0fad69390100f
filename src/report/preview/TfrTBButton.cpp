#include "report/preview/TfrTBButton.h"

#include <QEvent>

namespace vaskel {

TfrTBButton::TfrTBButton(QWidget* parent) : TfrSpeedButton(parent)
{
    setFlat(true);
    setFixedSize(24, 24);
    m_align = alignmentOnToolbar(parent);
}

bool TfrTBButton::event(QEvent* event)
{
    if (event->type() == QEvent::ParentChange)
        m_align = alignmentOnToolbar(parentWidget());
    return TfrSpeedButton::event(event);
}

} // namespace vaskel
