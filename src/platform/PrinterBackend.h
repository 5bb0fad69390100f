#pragma once
// What the report engine's printer model (`TfrPrinter`) needs from the system's printing: the list
// of printers and which one is current, the current printer's device settings (paper, orientation,
// copies, paper source), the papers and paper sources it offers, its device metrics in printer
// pixels, and its properties dialog. The interface stays free of Qt PrintSupport, which would pull
// Qt Widgets into the report core: the preview layer implements it over QPrinter/CUPS
// (`QtPrinterBackend`) and the desktop installs it; headless runs install none and get the
// virtual printer. Paper sizes are in tenths of a millimetre, geometry in printer pixels.
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

class QPagedPaintDevice;

namespace vaskel {

// The device settings of one printer, as far as reports read and change them. Paper size codes
// and paper source codes are the standard numeric codes that templates store (9 = A4, 256 = a
// custom size; source 7 = automatic selection, 256 and above = printer-specific).
struct PrinterDeviceSettings {
    qint32 paperSize = 9;
    // Set for a custom size: the paper's width and length in tenths of a millimetre as it is fed
    // (portrait), before the orientation turns it.
    bool customSize = false;
    qint32 paperWidth = 0;
    qint32 paperLength = 0;
    quint8 orientation = 0; // 0 portrait, 1 landscape
    qint32 copies = 1;
    qint32 defaultSource = -1; // -1: the printer's own default source
};

// Names the system gives the current printer.
struct PrinterIdentity {
    QString deviceName;
    QString driverName;
    QString portName;
};

// A paper or paper source the current printer offers: its standard code and its name.
struct PrinterChoice {
    qint32 code = 0;
    QString name;
};

// The current printer's geometry on its current paper, in printer pixels (x to the right, y down;
// the offsets are the printable area's top-left corner measured from the paper's).
struct PrinterDeviceMetrics {
    int pixelsPerInchX = 0;
    int pixelsPerInchY = 0;
    int physicalWidth = 0;
    int physicalHeight = 0;
    int offsetX = 0;
    int offsetY = 0;
    int printableWidth = 0;
    int printableHeight = 0;
};

class PrinterBackend {
public:
    virtual ~PrinterBackend();

    // Reads the system's printer list again (printers added meanwhile appear) and returns it.
    // The current printer stays current when it is still there.
    virtual QStringList printerNames() = 0;
    // Index of the current printer in the last list returned, or -1 when there are none.
    virtual int currentIndex() const = 0;
    virtual void setCurrentIndex(int index) = 0;
    // Whether a print job is being sent to the current printer.
    virtual bool isPrinting() const = 0;

    virtual PrinterIdentity identity() = 0;
    // The current printer's settings; nothing when they cannot be read.
    virtual std::optional<PrinterDeviceSettings> deviceSettings() = 0;
    // Hands changed settings to the current printer; it keeps what it can honour.
    virtual void setDeviceSettings(const PrinterDeviceSettings& settings) = 0;
    virtual QList<PrinterChoice> papers() = 0;
    virtual QList<PrinterChoice> paperSources() = 0;
    virtual PrinterDeviceMetrics deviceMetrics() = 0;

    // The printer-properties dialog for the current printer, opened on `settings`; true when
    // the user confirmed it, with `settings` changed to the choice.
    virtual bool editDeviceSettings(PrinterDeviceSettings& settings) = 0;

    // The current printer as the paint device of a print job titled `title`: a painter begun on
    // it starts the job (always one copy: copies are the print run's own work), newPage() starts
    // the next sheet, ending the painter sends the job. Null when no real printer can print.
    virtual QPagedPaintDevice* jobDevice(const QString& title);
    // What the system said about the last job that could not begin or was aborted.
    virtual QString jobError() const;
    // Asked after the painter on the job's device ended without complaint: empty when the
    // printer system took the job, else its message (a queue removed while the job ran).
    virtual QString jobRefusal() { return {}; }
    // Why the printer `name`, chosen earlier, is no longer among the printers (with an empty
    // name: why there is no printer at all): empty when the system simply has none, else the
    // print system's message (it cannot be reached).
    virtual QString printerMissing(const QString& name)
    {
        Q_UNUSED(name);
        return {};
    }
};

} // namespace vaskel
