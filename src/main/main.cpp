// Start-up: command-line tools run headless; without a command the desktop program starts: the
// engine globals with the system's locale and the Qt dialogs, then the query window on the
// configured ODBC data source. `--demo` first builds the embedded demo database (once) and points
// this process's ODBC configuration at it, so the data source "dBASE Files" is the demo data.
#include "app/DatabaseConnection.h"
#include "app/DemoDatabase.h"
#include "app/DesktopStartup.h"
#include "platform/FontAliases.h"
#include "platform/HeapTuning.h"
#include "platform/InterfaceLanguage.h"
#include "platform/RuntimeFolder.h"
#include "platform/SettingsStore.h"
#include "report/engine/TDatabaseFunctionLibrary.h"
#include "report/model/TfrGlobals.h"
#include "report/preview/PreviewWindows.h"
#include "tools/CommandLine.h"
#include "ui/desktop/QtPrinterBackend.h"
#include "ui/desktop/QtUiServices.h"

#include <QApplication>
#include <QDebug>
#include <QFile>
#include <QTextStream>

int main(int argc, char** argv)
{
    vaskel::HeapTuning::keepFreedMemoryForReuse();
    QStringList args;
    for (int i = 0; i < argc; ++i) {
        const QByteArray bytes(argv[i]);
        args << QFile::decodeName(bytes);
        // A file name whose bytes are no text in the system's encoding would be written or
        // looked for under another name (with U+FFFD in it): refused, with its bytes shown.
        if (QFile::encodeName(args.back()) != bytes) {
            QTextStream(stderr) << "vaskel: argument " << i
                                << " is not valid text in the system's encoding: \""
                                << QString::fromLatin1(bytes.toPercentEncoding("/.-_~ ")) << "\"\n";
            return 2;
        }
    }
    if (const std::optional<int> code = vaskel::runCommandLine(args))
        return *code;

    vaskel::RuntimeFolder::provide();
    vaskel::FontAliases::installBeforeApplication();
    QApplication app(argc, argv);
    vaskel::TfrGlobals globals;
    // The standard library registers itself with the globals; the database library comes second.
    vaskel::TDatabaseFunctionLibrary::RegisterAtStartUp(globals.libraries);
    globals.setUi(std::make_unique<vaskel::QtUiServices>());
    // Chinese texts under a Chinese locale (or VASKEL_LANG=zh_CN), English otherwise.
    vaskel::InterfaceLanguage::install(vaskel::InterfaceLanguage::chosen());
    globals.strings.useInterfaceLanguage();
    globals.locale = vaskel::LocaleSettings::fromLocale(vaskel::InterfaceLanguage::formattingLocale());

    // Files are read and written in the configured code page; a name the converter does not
    // know stops the program here rather than at the first template.
    try {
        globals.codePage = vaskel::CodePage(vaskel::CodePage::configuredName());
    } catch (const vaskel::CodePageError& e) {
        qCritical().noquote() << e.message();
        vaskel::DesktopStartup::showApplicationError(e);
        return 1;
    }
    if (const QString notice = vaskel::FontAliases::missingStandInsNotice(); !notice.isEmpty())
        qWarning().noquote() << notice;
    globals.startPrinter(std::make_unique<vaskel::QtPrinterBackend>());
    // The report's ShowPrepared opens its preview windows through this host.
    vaskel::PreviewWindows::install(globals);

    if (QApplication::arguments().contains(QStringLiteral("--demo"))) {
        try {
            vaskel::DemoDatabase::prepare(vaskel::DemoDatabase::defaultFolder());
        } catch (const std::exception& e) {
            vaskel::DesktopStartup::showApplicationError(e);
            return 1;
        }
    }
    const vaskel::SettingsStore settings;
    return vaskel::DesktopStartup::run(vaskel::DatabaseConnection::configuredConnectionString(&settings));
}
