#pragma once
// A report component in a component host, with a small template (one page, "Memo1" and
// "MasterData1", one dictionary variable) and a scripted printer system of two printers, one of
// which fails when it is selected.
#include "support/TestGlobals.h"

#include "report/engine/ComponentHost.h"
#include "report/engine/TfrReport.h"
#include "report/model/TfrBandView.h"
#include "report/model/TfrMemoView.h"

#include <stdexcept>

namespace vaskel::test {

// "Office" and "Plotter" at 300 dpi on A4; selecting the printer at `brokenIndex` fails as a
// printer that went away between listing and selecting does.
class TwoPrinters : public PrinterBackend {
public:
    QStringList names{"Office", "Plotter"};
    int current = 0;
    int brokenIndex = -1;
    PrinterDeviceSettings settings;

    QStringList printerNames() override { return names; }
    int currentIndex() const override { return current; }
    void setCurrentIndex(int index) override
    {
        if (index == brokenIndex)
            throw std::runtime_error("printer went away");
        current = index;
    }
    bool isPrinting() const override { return false; }
    PrinterIdentity identity() override { return {names.value(current), "driver", "port"}; }
    std::optional<PrinterDeviceSettings> deviceSettings() override { return settings; }
    void setDeviceSettings(const PrinterDeviceSettings& s) override { settings = s; }
    QList<PrinterChoice> papers() override { return {{9, "A4"}, {11, "A5"}}; }
    QList<PrinterChoice> paperSources() override { return {}; }
    PrinterDeviceMetrics deviceMetrics() override { return {300, 300, 2480, 3508, 50, 50, 2380, 3408}; }
    bool editDeviceSettings(PrinterDeviceSettings&) override { return false; }
};

class ReportTest : public GlobalsTest {
protected:
    ReportTest() : report(host.make<TfrReport>(QStringLiteral("frReport1"))) { }

    // Replaces the printer model by one over TwoPrinters; call before making templates.
    TwoPrinters& installPrinters()
    {
        auto backend = std::make_unique<TwoPrinters>();
        TwoPrinters& raw = *backend;
        globals.startPrinter(std::move(backend));
        report.Template.Pages.setPrinter(&globals.printer());
        return raw;
    }

    static void fillTemplate(TfrReport& r)
    {
        TfrPage* page = r.Template.Pages.Add();
        page->Name = QStringLiteral("Page1");
        auto memo = std::make_unique<TfrMemoView>();
        memo->Name = QStringLiteral("Memo1");
        memo->Left = 10, memo->Top = 20, memo->Width = 200, memo->Height = 18;
        memo->Memo = {QStringLiteral("[Total]")};
        page->Add(std::move(memo));
        auto band = std::make_unique<TfrBandView>();
        band->Name = QStringLiteral("MasterData1");
        band->FrameTyp = MasterData;
        page->Add(std::move(band));
        r.Template.Dictionary.Variables.SetValue(QStringLiteral("Total"), Value(QStringLiteral("1 + 2")));
        r.TwoPass = true;
    }

    int messageBoxes() const { return scriptedUi->interactionsOf(Interaction::Kind::MessageBox).size(); }

    ComponentHost host;
    TfrReport& report;
};

} // namespace vaskel::test
