#include "report/engine/PageFormerPart.h"

#include "report/engine/PageFormer.h"

namespace vaskel {

PageFormerPart::PageFormerPart(PageFormer& former)
    : m_former(former), m_report(former.report()), m_page(former.page())
{
}

} // namespace vaskel
