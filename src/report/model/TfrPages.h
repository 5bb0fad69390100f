#pragma once
// The report's ordered list of template pages, which it owns. New pages ask the printer model
// (when one is attached) for its default paper.
#include "report/model/TfrPage.h"

#include <memory>
#include <vector>

namespace vaskel {

class TfrPages {
public:
    explicit TfrPages(TfrPrinter* printer = nullptr) : m_printer(printer) { }

    int Count() const { return static_cast<int>(m_pages.size()); }
    TfrPage* Page(int index) const;
    TfrPage* operator[](int index) const { return Page(index); }
    void Clear() { m_pages.clear(); }
    // Appends a report page with the printer's default paper.
    TfrPage* Add();
    // Appends a page made before (one taken off by TakeLast); the page now owned.
    TfrPage* Append(std::unique_ptr<TfrPage> page);
    // Removes the last page and hands it over; null when there is none.
    std::unique_ptr<TfrPage> TakeLast();

    TfrPrinter* printer() const { return m_printer; }
    void setPrinter(TfrPrinter* printer) { m_printer = printer; }

    auto begin() const { return m_pages.begin(); }
    auto end() const { return m_pages.end(); }

private:
    std::vector<std::unique_ptr<TfrPage>> m_pages;
    TfrPrinter* m_printer; // not owned
};

} // namespace vaskel
