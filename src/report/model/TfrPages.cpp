#include "report/model/TfrPages.h"

#include "report/model/TfrPrinter.h"

namespace vaskel {

TfrPage* TfrPages::Page(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return m_pages[static_cast<size_t>(index)].get();
}

TfrPage* TfrPages::Add()
{
    // A4 portrait when there is no printer model, or its paper is not set yet.
    qint32 code = 9, width = 2100, height = 2970;
    quint8 orientation = 0;
    if (m_printer && m_printer->CurPaperCode > 0) {
        code = m_printer->CurPaperCode;
        width = m_printer->CurPaperWidth;
        height = m_printer->CurPaperHeight;
        orientation = m_printer->CurOrientation;
    }
    m_pages.push_back(
        std::make_unique<TfrPage>(m_printer, code, width, height, TfrPage::kDefaultBin, orientation));
    return m_pages.back().get();
}

TfrPage* TfrPages::Append(std::unique_ptr<TfrPage> page)
{
    m_pages.push_back(std::move(page));
    return m_pages.back().get();
}

std::unique_ptr<TfrPage> TfrPages::TakeLast()
{
    if (m_pages.empty())
        return nullptr;
    std::unique_ptr<TfrPage> last = std::move(m_pages.back());
    m_pages.pop_back();
    return last;
}

} // namespace vaskel
