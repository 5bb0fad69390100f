#include "report/preview/PreviewFormCommands.h"

#include "report/engine/TfrReport.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrPage.h"
#include "report/model/TfrPrinter.h"
#include "report/preview/PreviewPdfExport.h"
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

#include <memory>

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

// A page and its "PDF" tag: the Export to PDF button's glyph.
const char* const kPdfGlyph
    = R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">
  <path d="M2.5 0.5 H10 L13.5 4 V15.5 H2.5 Z" fill="#ffffff" stroke="#555555"/>
  <rect x="0.5" y="7.5" width="12" height="6" fill="#c0282d"/>
  <text x="1.5" y="12.6" font-family="sans-serif" font-size="5.5" font-weight="bold" fill="#ffffff">PDF</text>
</svg>)";

// The Export to PDF button, placed after Save.
void addExportButton(TfrPreviewForm& form)
{
    auto* row = qobject_cast<QBoxLayout*>(form.Panel1 ? form.Panel1->layout() : nullptr);
    if (!row || !form.SaveBtn)
        return;
    auto* button = new TfrTBButton(form.Panel1);
    button->setObjectName(QStringLiteral("ExportPdfBtn"));
    button->setSvgGlyph(QByteArray(kPdfGlyph));
    button->setToolTip(PreviewPdfExport::hint());
    row->insertWidget(row->indexOf(form.SaveBtn) + 1, button);
    form.ExportPdfBtn = button;
    QObject::connect(button, &TfrSpeedButton::clicked, &form, [&form] {
        if (!form.HeldPages)
            return;
        QString chosen;
        PreviewPdfExport::run(*form.HeldPages, form.OwnerReport ? form.OwnerReport->Title : QString(),
            form.suggestedFile(QStringLiteral("pdf")), &chosen);
        if (!chosen.isEmpty())
            form.rememberFolder(chosen);
    });
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
    if (!report)
        return;
    TfrPrinter& printer = frPrinter();
    const auto paper = [&printer] {
        return std::make_tuple(printer.CurPaperCode, printer.CurPaperWidth, printer.CurPaperHeight,
            printer.CurOrientation, printer.CurBin);
    };
    const auto before = paper();
    printer.ShowProperties();
    printer.ReadPrinter();
    if (paper() == before || !report->Rebuildable)
        return;
    for (const auto& page : report->TemplatePages()) {
        page->ChangePaper(printer.CurPaperCode, printer.CurPaperWidth, printer.CurPaperHeight,
            static_cast<quint32>(printer.CurBin), printer.CurOrientation);
    }
    FormPrintHost host(form);
    PreviewPrint::prepareAgain(*report, host, printer.CurrentIndex, printer.CurrentIndex);
}

} // namespace vaskel
