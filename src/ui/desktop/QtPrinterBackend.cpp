#include "ui/desktop/QtPrinterBackend.h"

#include "platform/Rounding.h"

#include <QApplication>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrinterInfo>

#include <array>
#include <set>
#include <stdexcept>

namespace vaskel {

namespace {

struct SourceCode {
    QPrinter::PaperSource source;
    qint32 code;
};

// Qt's paper sources and the standard source codes that templates store.
constexpr std::array<SourceCode, 14> kSourceCodes{{
    {QPrinter::OnlyOne, 1},
    {QPrinter::Lower, 2},
    {QPrinter::Middle, 3},
    {QPrinter::Manual, 4},
    {QPrinter::Envelope, 5},
    {QPrinter::EnvelopeManual, 6},
    {QPrinter::Auto, 7},
    {QPrinter::Tractor, 8},
    {QPrinter::SmallFormat, 9},
    {QPrinter::LargeFormat, 10},
    {QPrinter::LargeCapacity, 11},
    {QPrinter::Cassette, 14},
    {QPrinter::FormSource, 15},
    {QPrinter::CustomSource, 256},
}};

constexpr qint32 kCustomPaper = 256;

bool isDefaultSource(qint32 code)
{
    return (code & 0xFFFF) == 0xFFFF;
}

// Keeps the printer at the margins the device cannot print on, and no wider.
void keepMinimumMargins(QPrinter& printer)
{
    const QPageLayout layout = printer.pageLayout();
    printer.setPageMargins(layout.minimumMargins(), layout.units());
}

QSizeF tenthsToMm(qint32 width, qint32 length)
{
    return QSizeF(width / 10.0, length / 10.0);
}

bool sameSizeMm(const QSizeF& a, const QSizeF& b)
{
    return qAbs(a.width() - b.width()) < 0.05 && qAbs(a.height() - b.height()) < 0.05;
}

} // namespace

QtPrinterBackend::QtPrinterBackend()
    : m_propertiesDialog([](QPrinter& printer) {
          QPageSetupDialog dialog(&printer, QApplication::activeWindow());
          return dialog.exec() == QDialog::Accepted;
      })
{
}

QtPrinterBackend::~QtPrinterBackend() = default;

QStringList QtPrinterBackend::printerNames()
{
    m_names = QPrinterInfo::availablePrinterNames();
    if (!m_names.contains(m_currentName)) {
        m_currentName = QPrinterInfo::defaultPrinterName();
        if (!m_names.contains(m_currentName))
            m_currentName = m_names.value(0);
    }
    return m_names;
}

int QtPrinterBackend::currentIndex() const
{
    return m_currentName.isEmpty() ? -1 : static_cast<int>(m_names.indexOf(m_currentName));
}

void QtPrinterBackend::setCurrentIndex(int index)
{
    if (index >= 0 && index < m_names.size())
        m_currentName = m_names[index];
}

bool QtPrinterBackend::isPrinting() const
{
    for (const auto& [name, dev] : m_devices) {
        if (dev.printer && dev.printer->printerState() == QPrinter::Active)
            return true;
    }
    return false;
}

QtPrinterBackend::Device* QtPrinterBackend::device()
{
    if (m_currentName.isEmpty())
        return nullptr;
    Device& dev = m_devices[m_currentName];
    if (!dev.printer) {
        dev.printer
            = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(m_currentName), QPrinter::HighResolution);
        keepMinimumMargins(*dev.printer);
    }
    return &dev;
}

QPrinter* QtPrinterBackend::currentPrinter()
{
    Device* dev = device();
    return dev ? dev->printer.get() : nullptr;
}

PrinterIdentity QtPrinterBackend::identity()
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(m_currentName);
    return {m_currentName, info.makeAndModel(), info.location()};
}

std::optional<PrinterDeviceSettings> QtPrinterBackend::deviceSettings()
{
    Device* dev = device();
    if (!dev || !dev->printer->isValid())
        return std::nullopt;
    return readSettings(*dev->printer, dev->customSize);
}

void QtPrinterBackend::setDeviceSettings(const PrinterDeviceSettings& settings)
{
    Device* dev = device();
    if (!dev)
        throw std::runtime_error("no printer is current");
    applySettings(*dev->printer, settings, dev->customSize);
}

void QtPrinterBackend::applySettings(
    QPrinter& printer, const PrinterDeviceSettings& settings, std::optional<QSizeF>& customSize)
{
    if (settings.paperSize == kCustomPaper && settings.customSize) {
        if (settings.paperWidth > 0 && settings.paperLength > 0) {
            const QSizeF mm = tenthsToMm(settings.paperWidth, settings.paperLength);
            printer.setPageSize(QPageSize(mm, QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
            customSize = mm;
        }
    } else if (const QPageSize::PageSizeId id = QPageSize::id(settings.paperSize); id != QPageSize::Custom) {
        printer.setPageSize(QPageSize(id));
        customSize.reset();
    }
    // A code without a known size leaves the paper as it is; reading back shows what stayed.
    printer.setPageOrientation(settings.orientation == 0 ? QPageLayout::Portrait : QPageLayout::Landscape);
    printer.setCopyCount(qMax(1, settings.copies));
    if (!isDefaultSource(settings.defaultSource)) {
        if (const auto source = qtPaperSource(settings.defaultSource))
            printer.setPaperSource(*source);
    }
    keepMinimumMargins(printer);
}

PrinterDeviceSettings QtPrinterBackend::readSettings(
    const QPrinter& printer, const std::optional<QSizeF>& customSize)
{
    const QPageLayout layout = printer.pageLayout();
    const QPageSize pageSize = layout.pageSize();
    const QSizeF mm = pageSize.size(QPageSize::Millimeter);
    PrinterDeviceSettings settings;
    settings.paperSize = pageSize.windowsId();
    // Sizes without a standard code are custom sizes to the report.
    if (settings.paperSize <= 0 || settings.paperSize == kCustomPaper
        || (customSize && sameSizeMm(*customSize, mm))) {
        settings.paperSize = kCustomPaper;
        settings.customSize = true;
        settings.paperWidth = roundToInt(mm.width() * 10);
        settings.paperLength = roundToInt(mm.height() * 10);
    }
    settings.orientation = layout.orientation() == QPageLayout::Landscape ? 1 : 0;
    settings.copies = printer.copyCount();
    settings.defaultSource = paperSourceCode(printer.paperSource());
    return settings;
}

QList<PrinterChoice> QtPrinterBackend::papers()
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(m_currentName);
    QList<PrinterChoice> result;
    std::set<int> seen;
    // CUPS lists some sizes under several names (Letter and ANSI A); each code is offered once.
    for (const QPageSize& size : info.supportedPageSizes()) {
        const int code = size.windowsId();
        if (code <= 0 || code == kCustomPaper || !seen.insert(code).second)
            continue;
        result.append({code, size.name()});
    }
    if (info.supportsCustomPageSizes())
        result.append({kCustomPaper, QString()});
    return result;
}

QList<PrinterChoice> QtPrinterBackend::paperSources()
{
    // Qt does not list a printer's paper sources on this system; the printer's default source is
    // always offered by the model itself.
    return {};
}

PrinterDeviceMetrics QtPrinterBackend::deviceMetrics()
{
    Device* dev = device();
    if (!dev)
        return {};
    const int resolution = dev->printer->resolution();
    QPageLayout layout = dev->printer->pageLayout();
    layout.setMode(QPageLayout::StandardMode);
    layout.setMargins(layout.minimumMargins());
    const QRect full = layout.fullRectPixels(resolution);
    const QRect printable = layout.paintRectPixels(resolution);
    return {resolution, resolution, full.width(), full.height(), printable.x() - full.x(),
        printable.y() - full.y(), printable.width(), printable.height()};
}

bool QtPrinterBackend::editDeviceSettings(PrinterDeviceSettings& settings)
{
    if (m_currentName.isEmpty() || !m_propertiesDialog)
        return false;
    // The dialog works on a printer of its own, so that cancelling it changes nothing.
    QPrinter scratch(QPrinterInfo::printerInfo(m_currentName), QPrinter::HighResolution);
    std::optional<QSizeF> customSize;
    applySettings(scratch, settings, customSize);
    if (!m_propertiesDialog(scratch))
        return false;
    settings = readSettings(scratch, customSize);
    return true;
}

std::optional<QPrinter::PaperSource> QtPrinterBackend::qtPaperSource(qint32 code)
{
    for (const SourceCode& entry : kSourceCodes) {
        if (entry.code == code)
            return entry.source;
    }
    return std::nullopt;
}

qint32 QtPrinterBackend::paperSourceCode(QPrinter::PaperSource source)
{
    for (const SourceCode& entry : kSourceCodes) {
        if (entry.source == source)
            return entry.code;
    }
    return -1;
}

} // namespace vaskel
