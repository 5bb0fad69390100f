#include "report/engine/TfrEMFPages.h"

#include "report/engine/TfrReport.h"

namespace vaskel {

TfrEMFPages::TfrEMFPages(TfrReport* owner) : m_owner(owner) { }

TfrEMFPages::~TfrEMFPages()
{
    Clear();
}

TfrPreparedPage& TfrEMFPages::PageAt(int index)
{
    return *m_pages.at(static_cast<size_t>(index));
}

const TfrPreparedPage& TfrEMFPages::PageAt(int index) const
{
    return *m_pages.at(static_cast<size_t>(index));
}

void TfrEMFPages::Clear()
{
    m_pages.clear();
}

} // namespace vaskel
