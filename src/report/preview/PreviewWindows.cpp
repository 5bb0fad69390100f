#include "report/preview/PreviewWindows.h"

#include "report/preview/PreviewFormCommands.h"

#include "platform/PlatformError.h"
#include "report/engine/TfrEMFPages.h"
#include "report/engine/TfrReport.h"
#include "report/model/TfrGlobals.h"
#include "report/preview/TfrPreviewForm.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace vaskel {

PreviewWindows::~PreviewWindows()
{
    for (const QPointer<TfrPreviewForm>& w : std::as_const(m_windows))
        delete w.data();
}

PreviewWindows& PreviewWindows::install(TfrGlobals& globals)
{
    auto host = std::make_shared<PreviewWindows>();
    PreviewWindows& ref = *host;
    globals.setPreviewHost(std::move(host));
    return ref;
}

PreviewWindows* PreviewWindows::installed()
{
    return TfrGlobals::exists() ? dynamic_cast<PreviewWindows*>(TfrGlobals::get().previewHost()) : nullptr;
}

QList<TfrPreviewForm*> PreviewWindows::openWindows() const
{
    QList<TfrPreviewForm*> open;
    for (const QPointer<TfrPreviewForm>& w : m_windows) {
        if (w && w->OwnerReport && w->isVisible())
            open << w.data();
    }
    return open;
}

void PreviewWindows::ShowPreviewWindow(TfrReport& report, const QString& caption)
{
    QMdiArea* frame = nullptr;
    if (report.MDIPreview) {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            frame = top->findChild<QMdiArea*>();
            if (frame)
                break;
        }
        if (!frame)
            throw VaskelError(QCoreApplication::translate(
                "vaskel", "Cannot create form. No MDI forms are currently active"));
    }
    m_windows.removeAll(nullptr);
    auto* form = new TfrPreviewForm(nullptr, &m_zoom);
    form->setWindowTitle(caption);
    form->FileNameHint = fileNameHint;
    m_windows << form;
    if (frame) {
        // An MDI child opens at normal size where the frame places it, and never modally.
        frame->addSubWindow(form)->showNormal();
    }
    PreviewFormCommands::install(*form);
    if (onWindowCreated)
        onWindowCreated(*form);
    const bool modal = report.ModalPreview && !frame;
    if (!modal)
        form->setAttribute(Qt::WA_DeleteOnClose);
    form->ShowReport(report);
    if (modal)
        delete form;
}

void PreviewWindows::ReportDestroyed(TfrReport& report)
{
    for (const QPointer<TfrPreviewForm>& w : std::as_const(m_windows)) {
        if (!w || w->OwnerReport != &report)
            continue;
        // The pages belong to the report: they go with it, and the window closes.
        w->HeldPages.reset();
        w->OwnerReport = nullptr;
        w->close();
    }
}

} // namespace vaskel
