#pragma once
// What every part of a PageFormer works on: the former itself (its band tree, its position on the
// page and its other parts), the running report and the template page being formed. A part
// belongs to one former for the former's life and is not copied.
namespace vaskel {

class PageFormer;
class TfrPage;
class TfrReport;

class PageFormerPart {
protected:
    explicit PageFormerPart(PageFormer& former);
    ~PageFormerPart() = default;
    PageFormerPart(const PageFormerPart&) = delete;
    PageFormerPart& operator=(const PageFormerPart&) = delete;

    PageFormer& m_former;
    TfrReport& m_report;
    TfrPage& m_page;
};

} // namespace vaskel
