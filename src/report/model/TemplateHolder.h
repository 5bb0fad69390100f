#pragma once
// What a template stream fills: the pages with their views, the data dictionary, the report
// information block and the report header settings. The report component builds on it; the
// template tools and tests use it on its own.
#include "report/model/TfrDataDictionary.h"
#include "report/model/TfrPages.h"
#include "report/model/ReportInfo.h"
#include "report/model/ViewFactory.h"

namespace vaskel {

class TemplateHolder {
public:
    // `printer` (not owned, may be null) gives new pages their paper and receives the printer
    // name of the header; without it the stored paper values stay exactly as read.
    explicit TemplateHolder(TfrPrinter* printer = nullptr);
    ~TemplateHolder();

    TfrPages Pages;
    TfrDataDictionary Dictionary;
    ReportInfo Info;
    bool UseDefaultPrinter = false;
    bool TwoPass = false;
    QString PrinterName;
    QString TemplateFileName;

    ViewFactory& viewFactory() { return m_viewFactory; }

    // Unless `UseDefaultPrinter` is on, selects the printer of that name when the printer list has
    // it; always stores the name in `PrinterName`.
    void SelectPrinterByName(const QString& name);
    // The printer name the header stores: the selected printer's when a printer model is
    // attached, `PrinterName` otherwise.
    QString CurrentPrinterName() const;

private:
    ViewFactory m_viewFactory;
};

} // namespace vaskel
