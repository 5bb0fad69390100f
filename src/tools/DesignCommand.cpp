#include "tools/DesignCommand.h"

#include "app/DatabaseConnection.h"
#include "app/DemoDatabase.h"
#include "designer/DataTree.h"
#include "designer/DesignDocument.h"
#include "designer/DesignPreview.h"
#include "designer/DesignerWindow.h"
#include "designer/ObservedUi.h"
#include "platform/CodePage.h"
#include "platform/FontAliases.h"
#include "platform/InterfaceLanguage.h"
#include "platform/SettingsStore.h"
#include "report/engine/TDatabaseFunctionLibrary.h"
#include "report/model/TfrGlobals.h"
#include "report/preview/PreviewWindows.h"
#include "ui/desktop/QtPrinterBackend.h"
#include "ui/desktop/QtUiServices.h"

#include <QApplication>
#include <QTextStream>

#include <memory>

namespace vaskel {

namespace {

const char* const kUsage
    = "Usage: vaskel design [FILE.frf] [--demo | --connection STRING]\n"
      "Opens a report template (or a new one) in the designer; F9 previews it on the\n"
      "demo data (--demo), on the given ODBC connection, or on the configured data source.\n";

} // namespace

int runDesignCommand(const QStringList& args)
{
    QTextStream err(stderr);
    QStringList files;
    bool demo = false;
    QString connection;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == u"--help" || a == u"-h") {
            QTextStream(stdout) << kUsage;
            return 0;
        }
        if (a == u"--demo") {
            demo = true;
        } else if (a == u"--connection" && i + 1 < args.size()) {
            connection = args.at(++i);
        } else if (a.startsWith(u'-')) {
            err << "vaskel design: unknown option \"" << a << "\"\n" << kUsage;
            return 2;
        } else {
            files << a;
        }
    }
    if (files.size() > 1 || (demo && !connection.isEmpty())) {
        err << kUsage;
        return 2;
    }

    int argc = 1;
    char program[] = "vaskel";
    char* argv[] = {program, nullptr};
    std::unique_ptr<QApplication> app;
    if (!QCoreApplication::instance()) {
        FontAliases::installBeforeApplication();
        app = std::make_unique<QApplication>(argc, argv);
    }
    TfrGlobals globals;
    TDatabaseFunctionLibrary::RegisterAtStartUp(globals.libraries);
    globals.locale = LocaleSettings::fromSystem();
    // The designer learns from the message boxes whether the template reader found a fault.
    globals.setUi(std::make_unique<ObservedUi>(std::make_unique<QtUiServices>()));
    InterfaceLanguage::install(InterfaceLanguage::chosen());
    globals.strings.useInterfaceLanguage();
    try {
        globals.codePage = CodePage(CodePage::configuredName());
    } catch (const CodePageError& e) {
        err << "vaskel design: " << e.message() << '\n';
        globals.ui().showError(e.message());
        return 1;
    }
    globals.startPrinter(std::make_unique<QtPrinterBackend>());
    PreviewWindows::install(globals);

    DesignerWindow window;
    if (!files.isEmpty()) {
        QString error;
        if (!window.document().open(files.first(), &error)) {
            err << "vaskel design: " << files.first() << ": " << error << '\n';
            return 1;
        }
    }
    // F9 and the data tree use the data the command names, as `vaskel render` takes it.
    auto odbcOf = [demo, connection]() -> QString {
        if (demo) {
            DemoDatabase::prepare(DemoDatabase::defaultFolder());
            return DatabaseConnection::odbcFromProviderString(
                QString::fromLatin1(DatabaseConnection::kLegacyConnectionString));
        }
        if (!connection.isEmpty())
            return connection;
        const SettingsStore settings;
        return DatabaseConnection::configuredConnectionString(&settings);
    };
    if (demo || !connection.isEmpty()) {
        // The tree shows the module's datasets with their fields; without the data it shows the
        // template's own names, and the preview says what is wrong.
        try {
            window.dataTree()->setDatasets(DataTree::datasetsOf(odbcOf()));
        } catch (const VaskelError& e) {
            err << "vaskel design: " << e.message() << '\n';
        }
    }
    window.previewHandler = [odbcOf](DesignDocument& doc) {
        QString odbc;
        try {
            odbc = odbcOf();
        } catch (const VaskelError& e) {
            TfrGlobals::get().ui().showError(e.message());
            return;
        }
        DesignPreview::run(doc, odbc);
    };
    window.show();
    return QApplication::exec();
}

} // namespace vaskel
