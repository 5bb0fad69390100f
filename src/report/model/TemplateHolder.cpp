#include "report/model/TemplateHolder.h"

#include "report/model/TfrPrinter.h"

namespace vaskel {

TemplateHolder::TemplateHolder(TfrPrinter* printer) : Pages(printer)
{
}

TemplateHolder::~TemplateHolder() = default;

void TemplateHolder::SelectPrinterByName(const QString& name)
{
    TfrPrinter* printer = Pages.printer();
    if (printer && !UseDefaultPrinter) {
        const qsizetype index = printer->PrinterList.indexOf(name);
        if (index >= 0)
            printer->SelectPrinter(static_cast<int>(index));
    }
    PrinterName = name;
}

QString TemplateHolder::CurrentPrinterName() const
{
    // The name the template chose is written back unchanged, also while another printer prints
    // it (a template naming the virtual printer prints on the system's current printer); only a
    // template without a name takes the selected printer's.
    if (!PrinterName.isEmpty())
        return PrinterName;
    const TfrPrinter* printer = Pages.printer();
    if (printer && printer->CurrentIndex >= 0 && printer->CurrentIndex < printer->PrinterList.size())
        return printer->PrinterList.at(printer->CurrentIndex);
    return QString();
}

} // namespace vaskel
