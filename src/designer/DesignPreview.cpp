#include "designer/DesignPreview.h"

#include "app/BillDataModule.h"
#include "designer/DesignDocument.h"
#include "platform/PlatformGlobals.h"
#include "report/engine/TfrReport.h"
#include "report/model/TemplateWriter.h"

#include <QFileInfo>

namespace vaskel::DesignPreview {

bool run(DesignDocument& doc, const QString& odbcConnection)
{
    try {
        // The template travels as the stream a saved file would hold, so the preview shows what
        // saving would keep.
        const QByteArray bytes = TemplateWriter::SaveTemplateToStream(doc.holder());
        BillDataModule source(odbcConnection);
        source.connect();
        source.openQueries();
        TfrReport& report = source.report();
        report.LoadTemplateFromStream(bytes);
        report.Title = QFileInfo(doc.fileName()).fileName();
        report.ModalPreview = true;
        if (!report.Prepare())
            return false;
        report.ShowPrepared();
        return true;
    } catch (const VaskelError& e) {
        PlatformGlobals::get().ui().showError(e.message());
        return false;
    }
}

} // namespace vaskel::DesignPreview
