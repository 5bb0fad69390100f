#pragma once
// The system's printers for the printer model: the CUPS queues as Qt sees them, one QPrinter per
// queue (created when first used, at the printer's own high resolution), paper codes mapped to
// Qt's page sizes by their standard numbers. Installed by the desktop at start-up into the engine
// globals; the print run and the page-setup dialog reach the current QPrinter through
// `currentPrinter()`.
//
// The printable area is the paper less the device's minimum margins, which is what the device
// can actually mark; the QPrinters are kept at those margins, so a painter opened on one has its
// origin at the printable area's top-left corner, where the page metrics' offsets say it is.
#include "platform/PrinterBackend.h"
#include "platform/PrinterPageSetup.h"

#include <QPrinter>
#include <QSizeF>

#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace vaskel {

class QtPrinterBackend : public PrinterBackend, public PrinterPageSetup {
public:
    // Opens a properties dialog on the printer; true when the user confirmed it.
    using PropertiesDialog = std::function<bool(QPrinter& printer)>;

    // Uses Qt's page-setup dialog, owned by the active window, as the properties dialog (and for
    // page setup, with the margins).
    QtPrinterBackend();
    ~QtPrinterBackend() override;

    QStringList printerNames() override;
    int currentIndex() const override;
    void setCurrentIndex(int index) override;
    bool isPrinting() const override;

    PrinterIdentity identity() override;
    std::optional<PrinterDeviceSettings> deviceSettings() override;
    void setDeviceSettings(const PrinterDeviceSettings& settings) override;
    QList<PrinterChoice> papers() override;
    QList<PrinterChoice> paperSources() override;
    PrinterDeviceMetrics deviceMetrics() override;
    bool editDeviceSettings(PrinterDeviceSettings& settings) override;
    // PrinterPageSetup
    bool editPageSetup(PrinterDeviceSettings& settings, PageMargins& margins) override;
    QPagedPaintDevice* jobDevice(const QString& title) override;
    // The refusal found before the job, else why the job could not begin or be sent: a missing
    // or full temporary folder, a print system that cannot be reached.
    QString jobError() const override;
    QString jobRefusal() override;
    QString printerMissing(const QString& name) override;

    // Qt writes a job into a file of the temporary folder before it hands the file to CUPS, and
    // a template is prepared into one before it prints: a folder that is missing or full fails
    // there, which Qt reports only as a failure. Empty when a small file can be written there.
    static QString temporaryFolderProblem();

    // The current printer's QPrinter; null when the system has no printers.
    QPrinter* currentPrinter();
    void setPropertiesDialog(PropertiesDialog dialog) { m_propertiesDialog = std::move(dialog); }

    // Paper source codes of templates <-> Qt's paper sources; nothing for codes Qt cannot name.
    static std::optional<QPrinter::PaperSource> qtPaperSource(qint32 code);
    static qint32 paperSourceCode(QPrinter::PaperSource source);

    // A paper source of a printer's description file (its input slot): the keyword the printer
    // takes, the name it shows, and the code templates store for it.
    struct InputSlot {
        QString keyword;
        QString name;
        qint32 code = 0;
    };
    // The input slots a PPD file offers, in its order: slots whose keyword names a standard
    // source ("Auto", "Manual", "Lower" …) take that source's code, the others printer-specific
    // codes from 256 on. Nothing for a file without slots or that cannot be read.
    static QList<InputSlot> inputSlotsFromPpd(const QString& ppdFile);

private:
    struct Device {
        std::unique_ptr<QPrinter> printer;
        // The custom size last asked for, in millimetres as fed: Qt gives a custom size that
        // happens to equal a standard one that standard's code, but the request stays custom.
        std::optional<QSizeF> customSize;
        // The printer's input slots, read from its description once.
        std::optional<QList<InputSlot>> inputSlotList;
        // The source last asked for; -1 for the printer's default.
        qint32 sourceCode = -1;
    };

    Device* device();
    const QList<InputSlot>& inputSlots(Device& dev);
    // Hands the input slot of `code` to CUPS with the job options; the default source clears it.
    void applyInputSlot(Device& dev, qint32 code);
    static void applySettings(
        QPrinter& printer, const PrinterDeviceSettings& settings, std::optional<QSizeF>& customSize);
    static PrinterDeviceSettings readSettings(
        const QPrinter& printer, const std::optional<QSizeF>& customSize);

    QStringList m_names;
    QString m_currentName;
    std::map<QString, Device> m_devices;
    PropertiesDialog m_propertiesDialog;
    QString m_jobError;
};

} // namespace vaskel
