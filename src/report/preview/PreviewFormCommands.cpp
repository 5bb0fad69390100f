#include "report/preview/PreviewFormCommands.h"

#include "platform/PrinterPageSetup.h"
#include "report/engine/TfrEMFPages.h"
#include "report/engine/TfrReport.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrPage.h"
#include "report/model/TfrPrinter.h"
#include "report/preview/PreviewExport.h"
#include "report/preview/PreviewPrint.h"
#include "report/preview/PreviewSearch.h"
#include "report/preview/PrintHost.h"
#include "report/preview/SearchHost.h"
#include "report/preview/TfrPBox.h"
#include "report/preview/TfrPreviewForm.h"
#include "report/preview/TfrPreviewSearchForm.h"
#include "report/preview/TfrTBButton.h"

#include <QApplication>
#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

#include <algorithm>
#include <memory>
#include <optional>

namespace vaskel {

namespace {

// Watches the application's key presses while a search runs: Escape asks it to stop.
class EscapeWatch : public QObject {
public:
    EscapeWatch() { qApp->installEventFilter(this); }
    ~EscapeWatch() override { qApp->removeEventFilter(this); }
    bool pressed = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            pressed = true;
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

class FormSearchHost : public SearchHost {
public:
    explicit FormSearchHost(TfrPreviewForm& form) : m_form(form) { }

    int displayedPage() const override { return m_form.DisplayedPage; }
    void setPaintingEnabled(bool enabled) override
    {
        m_form.PaintEnabled = enabled;
        if (enabled)
            m_form.PageArea->update();
    }
    void showHit(int pageIndex, const QRect& bounds) override
    {
        m_form.ScrollToPage(pageIndex + 1, bounds);
        QCoreApplication::processEvents();
        m_form.PageArea->repaint();
        m_form.PageArea->markRect(pageIndex, bounds);
        m_form.Label2->clear();
    }
    void showStatus(const QString& text) override { m_form.Label2->setText(text); }
    bool cancelRequested() override
    {
        QCoreApplication::processEvents();
        return m_escape.pressed;
    }

private:
    TfrPreviewForm& m_form;
    EscapeWatch m_escape;
};

class FormPrintHost : public PrintHost {
public:
    explicit FormPrintHost(TfrPreviewForm& form) : m_form(form) { }
    int displayedPage() const override { return m_form.DisplayedPage; }
    QWidget* dialogParent() override { return &m_form; }
    void releasePages() override { m_form.ReleasePages(); }
    void connectReport() override
    {
        if (!m_form.OwnerReport)
            return;
        m_form.ConnectReport(*m_form.OwnerReport);
        m_form.ResetView(false);
    }

private:
    TfrPreviewForm& m_form;
};

// A page with an arrow leaving it: the Export button's glyph.
const char* const kExportGlyph
    = R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">
  <path d="M1.5 0.5 H8 L11.5 4 V15.5 H1.5 Z" fill="#ffffff" stroke="#555555"/>
  <path d="M5 9.5 H12.5" stroke="#1f6fb2" stroke-width="2"/>
  <path d="M11 6 L15.5 9.5 L11 13 Z" fill="#1f6fb2"/>
</svg>)";

// The Export button, placed after Save: a menu of the formats, each with its save dialog.
void addExportButton(TfrPreviewForm& form)
{
    auto* row = qobject_cast<QBoxLayout*>(form.Panel1 ? form.Panel1->layout() : nullptr);
    if (!row || !form.SaveBtn)
        return;
    auto* button = new TfrTBButton(form.Panel1);
    button->setObjectName(QStringLiteral("ExportBtn"));
    button->setSvgGlyph(QByteArray(kExportGlyph));
    button->setToolTip(PreviewExport::hint());
    row->insertWidget(row->indexOf(form.SaveBtn) + 1, button);
    form.ExportBtn = button;
    auto* menu = new QMenu(&form);
    menu->setObjectName(QStringLiteral("ExportMenu"));
    form.ExportMenu = menu;
    for (const ExportFormat format : PreviewExport::kFormats) {
        QAction* action = menu->addAction(PreviewExport::menuText(format));
        action->setObjectName(QStringLiteral("Export_") + PreviewExport::suffix(format));
        QObject::connect(action, &QAction::triggered, &form, [&form, format] {
            if (!form.HeldPages)
                return;
            QString chosen;
            PreviewExport::run(format, *form.HeldPages,
                form.OwnerReport ? form.OwnerReport->Title : QString(),
                form.suggestedFile(PreviewExport::suffix(format)), &chosen);
            if (!chosen.isEmpty())
                form.rememberFolder(chosen);
        });
    }
    QObject::connect(button, &TfrSpeedButton::clicked, &form,
        [button, menu] { menu->popup(button->mapToGlobal(QPoint(0, button->height()))); });
}

// The system's page-setup dialog on the current real printer's settings and `margins`; when
// confirmed the printer takes the settings, the model reads them back and `margins` holds the
// choice. False when cancelled, when it fails, or without a real printer that has the dialog.
bool runPageSetupDialog(TfrPrinter& printer, PageMargins& margins)
{
    auto* dialog = dynamic_cast<PrinterPageSetup*>(printer.PlatformPrinter);
    if (!dialog || printer.isVirtual())
        return false;
    try {
        const std::optional<PrinterDeviceSettings> current = printer.PlatformPrinter->deviceSettings();
        if (!current)
            return false;
        PrinterDeviceSettings settings = *current;
        PageMargins chosen = margins;
        if (!dialog->editPageSetup(settings, chosen))
            return false;
        printer.PlatformPrinter->setDeviceSettings(settings);
        printer.ReadPrinter();
        margins = chosen;
        return true;
    } catch (const std::exception&) {
        // A dialog that fails changes nothing.
        return false;
    }
}

} // namespace

void PreviewFormCommands::install(TfrPreviewForm& form)
{
    addExportButton(form);
    auto search = std::make_shared<PreviewSearch>();
    form.HasSearchText = [search] { return !search->SearchText.isEmpty(); };
    // The dialog offers the text last searched for in this window, as typed.
    auto lastText = std::make_shared<QString>();
    form.OnFindText = [search, lastText](TfrPreviewForm& f) {
        TfrPreviewSearchForm dialog(&f);
        dialog.Edit1->setText(*lastText);
        if (dialog.exec() != QDialog::Accepted)
            return;
        *lastText = dialog.searchText();
        FormSearchHost host(f);
        search->start(
            dialog.searchText(), dialog.caseSensitive(), dialog.fromCurrentPage(), *f.HeldPages, host);
    };
    form.OnFindNext = [search](TfrPreviewForm& f) {
        FormSearchHost host(f);
        search->findAgain(*f.HeldPages, host);
    };
    form.OnPrint = [](TfrPreviewForm& f) {
        if (!f.OwnerReport)
            return;
        FormPrintHost host(f);
        PreviewPrint::run(*f.OwnerReport, host);
    };
    form.OnPageSetup = [](TfrPreviewForm& f) { pageSetup(f); };
}

void PreviewFormCommands::pageSetup(TfrPreviewForm& form)
{
    TfrReport* report = form.OwnerReport;
    if (!report || !form.HeldPages || form.HeldPages->Count() == 0)
        return;
    TfrPrinter& printer = frPrinter();
    // The dialog works on the system's current printer, also for a report laid out on the
    // virtual printer.
    if (printer.isVirtual())
        printer.AttachPrinter(TfrGlobals::get().printerBackend());
    const auto paper = [&printer] {
        return std::make_tuple(printer.CurPaperCode, printer.CurPaperWidth, printer.CurPaperHeight,
            printer.CurOrientation, printer.CurBin);
    };
    // Margins: report units on the pages, hundredths of a millimetre in the dialog (18 units are
    // 5 mm, 500 hundredths).
    const TfrPreparedPage& first = form.HeldPages->PageAt(0);
    PageMargins margins{first.Margins[0] * 500 / 18, first.Margins[1] * 500 / 18, first.Margins[2] * 500 / 18,
        first.Margins[3] * 500 / 18};
    const PageMargins marginsBefore = margins;
    const auto before = paper();
    if (!runPageSetupDialog(printer, margins))
        return;
    if ((paper() == before && margins == marginsBefore) || !report->Rebuildable)
        return;
    const qint32 units[4]{
        margins.left * 18 / 500, margins.top * 18 / 500, margins.right * 18 / 500, margins.bottom * 18 / 500};
    for (const auto& page : report->TemplatePages()) {
        if (page->PageKind != ptReport)
            continue;
        std::copy(std::begin(units), std::end(units), std::begin(page->Margins));
        page->ChangePaper(printer.CurPaperCode, printer.CurPaperWidth, printer.CurPaperHeight,
            static_cast<quint32>(printer.CurBin), printer.CurOrientation);
    }
    FormPrintHost host(form);
    PreviewPrint::prepareAgain(*report, host, printer.CurrentIndex, printer.CurrentIndex);
}

} // namespace vaskel
