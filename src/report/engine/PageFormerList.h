#pragma once
// The page formers of one run, one per template page, in page order, with the continuation they
// share; kept from the first pass of a two-pass run to the final one. The report holds the list.
#include "report/engine/PageFormer.h"

#include <memory>
#include <vector>

namespace vaskel {

class TfrPage;
class TfrReport;

class PageFormerList {
public:
    PageFormerList();
    ~PageFormerList();
    PageFormerList(const PageFormerList&) = delete;
    PageFormerList& operator=(const PageFormerList&) = delete;

    // Makes one former per page of `report`'s template, replacing earlier ones.
    void create(TfrReport& report);
    // Marks the pages that sub-report views print. Sub-reports that print each other in a loop,
    // or their own page, would print without end: they end the run with an error instead.
    void linkSubReports();
    void clear();
    // The former of that template page, or none.
    PageFormer* formerOf(const TfrPage* page) const;
    const std::vector<std::unique_ptr<PageFormer>>& formers() const { return m_formers; }
    PageContinuation& continuation() { return m_continuation; }

private:
    std::vector<std::unique_ptr<PageFormer>> m_formers;
    PageContinuation m_continuation;
};

} // namespace vaskel
