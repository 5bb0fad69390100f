#include "report/engine/PageFormerList.h"

#include "report/engine/TfrReport.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrSubReportView.h"

#include <algorithm>
#include <functional>

namespace vaskel {

PageFormerList::PageFormerList() = default;
PageFormerList::~PageFormerList() = default;

void PageFormerList::create(TfrReport& report)
{
    m_formers.clear();
    m_continuation = {};
    for (const auto& page : report.TemplatePages())
        m_formers.push_back(std::make_unique<PageFormer>(report, *page, m_continuation));
}

void PageFormerList::clear()
{
    m_formers.clear();
}

PageFormer* PageFormerList::formerOf(const TfrPage* page) const
{
    for (const auto& f : m_formers) {
        if (&f->page() == page)
            return f.get();
    }
    return nullptr;
}

void PageFormerList::linkSubReports()
{
    // Page i prints the pages of its sub-report views; indexes that name no page fail when the
    // view prints.
    const int count = static_cast<int>(m_formers.size());
    std::vector<std::vector<std::pair<int, TfrView*>>> prints(m_formers.size());
    for (int i = 0; i < count; ++i) {
        for (const auto& v : m_formers[static_cast<size_t>(i)]->page().ObjectList) {
            const auto* sub = dynamic_cast<const TfrSubReportView*>(v.get());
            if (!sub || sub->PageIndex < 0 || sub->PageIndex >= count)
                continue;
            m_formers[static_cast<size_t>(sub->PageIndex)]->SubReportPage = true;
            prints[static_cast<size_t>(i)].emplace_back(sub->PageIndex, v.get());
        }
    }
    // Depth-first over the pages; a page met again while it is on the path closes a loop.
    enum class Mark : quint8 { New, OnPath, Done };
    std::vector<Mark> marks(m_formers.size(), Mark::New);
    std::vector<int> path;
    std::function<void(int)> visit = [&](int page) {
        marks[static_cast<size_t>(page)] = Mark::OnPath;
        path.push_back(page);
        for (const auto& [printed, view] : prints[static_cast<size_t>(page)]) {
            if (marks[static_cast<size_t>(printed)] == Mark::OnPath) {
                QStringList chain;
                for (auto it = std::find(path.begin(), path.end(), printed); it != path.end(); ++it)
                    chain << QStringLiteral("page %1").arg(*it + 1);
                chain << QStringLiteral("page %1").arg(printed + 1);
                frRun().CurrentView = view;
                throw VaskelError(QStringLiteral("Sub-reports print each other without end: %1")
                                      .arg(chain.join(QStringLiteral(" -> "))));
            }
            if (marks[static_cast<size_t>(printed)] == Mark::New)
                visit(printed);
        }
        path.pop_back();
        marks[static_cast<size_t>(page)] = Mark::Done;
    };
    for (int i = 0; i < count; ++i) {
        if (marks[static_cast<size_t>(i)] == Mark::New)
            visit(i);
    }
}

} // namespace vaskel
