#include "tools/PreviewCommand.h"

#include "platform/CodePage.h"
#include "platform/FontAliases.h"
#include "platform/InterfaceLanguage.h"
#include "platform/PlatformError.h"
#include "platform/RuntimeFolder.h"
#include "report/engine/TDatabaseFunctionLibrary.h"
#include "report/engine/TfrReport.h"
#include "report/model/TfrGlobals.h"
#include "report/preview/PreviewWindows.h"
#include "report/preview/TfrPreviewForm.h"
#include "ui/desktop/QtPrinterBackend.h"
#include "ui/desktop/QtUiServices.h"

#include <QApplication>
#include <QFileInfo>
#include <QTextStream>

#include <memory>

namespace vaskel {

bool showPreparedFile(TfrReport& report, const QString& fileName, QString* error)
{
    try {
        report.LoadPrepared(fileName);
    } catch (const VaskelError& e) {
        // Standard error names the file and, for a damaged one, where the damage lies.
        if (error) {
            *error = QFileInfo(fileName).fileName() + QStringLiteral(": ") + e.message();
            if (!e.detail().isEmpty())
                *error += QStringLiteral(" (") + e.detail() + u')';
        }
        PlatformGlobals::get().ui().showError(TfrPreviewForm::loadFailureText(fileName, e));
        return false;
    }
    // A file without pages would open no window: the command would end without a word.
    if (report.PreparedPages().Count() == 0) {
        const QString message = QStringLiteral("The report has no pages");
        if (error)
            *error = QFileInfo(fileName).fileName() + QStringLiteral(": ") + message;
        PlatformGlobals::get().ui().showError(message);
        return false;
    }
    // The window's caption names the file, as the report's title would.
    report.Title = QFileInfo(fileName).fileName();
    report.ShowPrepared();
    return true;
}

int runPreviewCommand(const QStringList& args)
{
    QTextStream err(stderr);
    QStringList files;
    for (const QString& a : args) {
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            QTextStream(stdout) << "Usage: vaskel preview FILE.frp\n"
                                   "Opens a prepared-report file in the preview window.\n";
            return 0;
        }
        if (!a.startsWith(u'-'))
            files << a;
    }
    if (files.size() != 1) {
        err << "vaskel preview: name one prepared-report file (.frp)\n";
        return 2;
    }

    int argc = 1;
    char program[] = "vaskel";
    char* argv[] = {program, nullptr};
    std::unique_ptr<QApplication> app;
    if (!QCoreApplication::instance()) {
        RuntimeFolder::provide();
        FontAliases::installBeforeApplication();
        app = std::make_unique<QApplication>(argc, argv);
    }
    TfrGlobals globals;
    TDatabaseFunctionLibrary::RegisterAtStartUp(globals.libraries);
    globals.locale = LocaleSettings::fromSystem();
    globals.setUi(std::make_unique<QtUiServices>());
    // The window speaks the language the query window would.
    if (app)
        InterfaceLanguage::install(InterfaceLanguage::chosen());
    globals.strings.useInterfaceLanguage();
    try {
        globals.codePage = CodePage(CodePage::configuredName());
    } catch (const CodePageError& e) {
        err << "vaskel preview: " << e.message() << '\n';
        globals.ui().showError(e.message());
        return 1;
    }
    globals.startPrinter(std::make_unique<QtPrinterBackend>());
    PreviewWindows::install(globals);

    TfrReport report;
    report.ModalPreview = true; // the command ends when the window closes
    QString error;
    if (!showPreparedFile(report, files.first(), &error)) {
        err << "vaskel preview: " << error << '\n';
        return 1;
    }
    return 0;
}

} // namespace vaskel
