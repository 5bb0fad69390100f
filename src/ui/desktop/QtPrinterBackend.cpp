#include "ui/desktop/QtPrinterBackend.h"

#include "platform/Rounding.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrintEngine>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include <cups/cups.h>
#include <cups/ppd.h>

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

// The job options Qt's CUPS print engine hands to the scheduler: alternating names and values.
const auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);
const char* const kInputSlot = "InputSlot";
constexpr qint32 kFirstPrinterSource = 256;

// Standard sources by the keywords description files commonly give them.
std::optional<qint32> standardSourceCode(const QString& keyword)
{
    static const std::array<std::pair<const char*, qint32>, 11> names{{
        {"Upper", 1},
        {"OnlyOne", 1},
        {"Lower", 2},
        {"Middle", 3},
        {"Manual", 4},
        {"ManualFeed", 4},
        {"Envelope", 5},
        {"Auto", 7},
        {"Tractor", 8},
        {"LargeCapacity", 11},
        {"Cassette", 14},
    }};
    for (const auto& [name, code] : names) {
        if (keyword.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return code;
    }
    return std::nullopt;
}

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

// Qt keeps custom page sizes in whole points: a size comes back up to half a point (0.18 mm) off.
bool sameSizeMm(const QSizeF& a, const QSizeF& b)
{
    return qAbs(a.width() - b.width()) < 0.5 && qAbs(a.height() - b.height()) < 0.5;
}

// Whether the CUPS scheduler answers at all. When it does not (it stopped, or was never started),
// the CUPS library's own word for it is the system error of the socket ("No such file or
// directory"), which names neither the print system nor the printer.
bool schedulerAnswers()
{
    http_t* http
        = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 5000, nullptr);
    if (!http)
        return false;
    httpClose(http);
    return true;
}

QString unreachable(const QString& printer)
{
    return QStringLiteral("The print system cannot be reached at %1: printer \"%2\" cannot print")
        .arg(QString::fromLocal8Bit(cupsServer()), printer);
}

} // namespace

QString QtPrinterBackend::temporaryFolderProblem()
{
    // TMPDIR as given: Qt's own temporary path is empty for a folder that does not exist.
    QString folder = qEnvironmentVariable("TMPDIR");
    if (folder.isEmpty())
        folder = QDir::tempPath();
    if (!QFileInfo(folder).isDir())
        return QStringLiteral(
            "The temporary folder \"%1\" does not exist or is not a folder: the print job cannot be written "
            "(set TMPDIR to a folder that exists)")
            .arg(folder);
    QTemporaryFile probe(folder + QStringLiteral("/vaskel-print-XXXXXX"));
    if (probe.open()) {
        const QByteArray block(64 * 1024, '\0');
        if (probe.write(block) == block.size() && probe.flush())
            return {};
    }
    return QStringLiteral("The temporary folder \"%1\" cannot hold the print job: %2")
        .arg(folder, probe.errorString());
}

namespace {

// Why the CUPS queue `name` would not print a job now, in the scheduler's words where it has
// some; empty when it would. A stopped queue keeps jobs without printing them and one that
// refuses jobs drops them: neither may look like a print that worked.
QString queueRefusal(const QString& name)
{
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.toLocal8Bit().constData(), nullptr);
    if (!dest)
        return schedulerAnswers() ? QStringLiteral("Printer selected is not valid") : unreachable(name);
    const auto option = [dest](const char* key) {
        return QString::fromLocal8Bit(cupsGetOption(key, dest->num_options, dest->options));
    };
    QString refusal;
    if (option("printer-is-accepting-jobs") == QLatin1String("false"))
        refusal = QStringLiteral("Destination \"%1\" is not accepting jobs").arg(name);
    else if (option("printer-state").toInt() == IPP_PRINTER_STOPPED)
        refusal = QStringLiteral("Destination \"%1\" is disabled").arg(name);
    const QString reason = option("printer-state-message");
    if (!refusal.isEmpty() && !reason.isEmpty())
        refusal += QStringLiteral(": ") + reason;
    cupsFreeDests(1, dest);
    return refusal;
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
    PrinterDeviceSettings settings = readSettings(*dev->printer, dev->customSize);
    // Printer-specific sources have no name in Qt: the one asked for is the one in use.
    if (dev->sourceCode != -1)
        settings.defaultSource = dev->sourceCode;
    return settings;
}

void QtPrinterBackend::setDeviceSettings(const PrinterDeviceSettings& settings)
{
    Device* dev = device();
    if (!dev)
        throw std::runtime_error("no printer is current");
    applySettings(*dev->printer, settings, dev->customSize);
    applyInputSlot(*dev, settings.defaultSource);
}

const QList<QtPrinterBackend::InputSlot>& QtPrinterBackend::inputSlots(Device& dev)
{
    if (!dev.inputSlotList) {
        dev.inputSlotList.emplace();
        // The scheduler hands out a copy of the queue's description file.
        if (const char* ppd = cupsGetPPD(m_currentName.toLocal8Bit().constData())) {
            const QString file = QString::fromLocal8Bit(ppd);
            *dev.inputSlotList = inputSlotsFromPpd(file);
            QFile::remove(file);
        }
    }
    return *dev.inputSlotList;
}

void QtPrinterBackend::applyInputSlot(Device& dev, qint32 code)
{
    dev.sourceCode = isDefaultSource(code) ? -1 : code;
    QString keyword;
    for (const InputSlot& slot : inputSlots(dev)) {
        if (slot.code == code)
            keyword = slot.keyword;
    }
    QPrintEngine* engine = dev.printer->printEngine();
    QStringList options = engine->property(kCupsOptions).toStringList();
    const qsizetype at = options.indexOf(QLatin1String(kInputSlot));
    if (at >= 0 && at % 2 == 0)
        options.remove(at, std::min<qsizetype>(2, options.size() - at));
    if (!keyword.isEmpty())
        options << QLatin1String(kInputSlot) << keyword;
    engine->setProperty(kCupsOptions, options);
}

QList<QtPrinterBackend::InputSlot> QtPrinterBackend::inputSlotsFromPpd(const QString& ppdFile)
{
    QList<InputSlot> result;
    ppd_file_t* ppd = ppdOpenFile(ppdFile.toLocal8Bit().constData());
    if (!ppd)
        return result;
    if (ppd_option_t* option = ppdFindOption(ppd, kInputSlot)) {
        qint32 next = kFirstPrinterSource;
        for (int i = 0; i < option->num_choices; ++i) {
            const ppd_choice_t& choice = option->choices[i];
            InputSlot slot;
            slot.keyword = QString::fromUtf8(choice.choice);
            slot.name = QString::fromUtf8(choice.text);
            if (slot.name.isEmpty())
                slot.name = slot.keyword;
            const std::optional<qint32> standard = standardSourceCode(slot.keyword);
            slot.code = standard ? *standard : next++;
            result.append(slot);
        }
    }
    ppdClose(ppd);
    return result;
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
    // Qt does not list a printer's paper sources here: they come from the queue's description
    // file. The printer's default source is offered by the model itself.
    Device* dev = device();
    QList<PrinterChoice> result;
    if (!dev)
        return result;
    for (const InputSlot& slot : inputSlots(*dev))
        result.append({slot.code, slot.name});
    return result;
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

bool QtPrinterBackend::editPageSetup(PrinterDeviceSettings& settings, PageMargins& margins)
{
    if (m_currentName.isEmpty() || !m_propertiesDialog)
        return false;
    QPrinter scratch(QPrinterInfo::printerInfo(m_currentName), QPrinter::HighResolution);
    std::optional<QSizeF> customSize;
    applySettings(scratch, settings, customSize);
    const auto mm = [](int hundredths) { return hundredths / 100.0; };
    scratch.setPageMargins(
        QMarginsF(mm(margins.left), mm(margins.top), mm(margins.right), mm(margins.bottom)),
        QPageLayout::Millimeter);
    if (!m_propertiesDialog(scratch))
        return false;
    settings = readSettings(scratch, customSize);
    const QMarginsF chosen = scratch.pageLayout().margins(QPageLayout::Millimeter);
    const auto hundredths = [](double value) { return roundToInt(value * 100); };
    margins = {hundredths(chosen.left()), hundredths(chosen.top()), hundredths(chosen.right()),
        hundredths(chosen.bottom())};
    return true;
}

QString QtPrinterBackend::printerMissing(const QString& name)
{
    if (schedulerAnswers())
        return {};
    if (name.isEmpty())
        return QStringLiteral("The print system cannot be reached at %1")
            .arg(QString::fromLocal8Bit(cupsServer()));
    return unreachable(name);
}

QString QtPrinterBackend::jobRefusal()
{
    // Qt hands the finished job to CUPS as the painter ends and does not look at the answer;
    // that answer is the last the CUPS library gave on this thread.
    Device* dev = device();
    if (!dev || dev->printer->outputFormat() != QPrinter::NativeFormat)
        return {};
    // Qt does not look at the writes of the job's file either: in a full temporary folder the job
    // went to CUPS cut short, and must not pass for printed.
    if (QString problem = temporaryFolderProblem(); !problem.isEmpty())
        return problem;
    if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return {};
    // The scheduler stopped while the job was being written: say so, not the socket's error.
    if (!schedulerAnswers())
        return QStringLiteral(
            "The print system stopped or cannot be reached at %1: the job for printer \"%2\" "
            "was not printed")
            .arg(QString::fromLocal8Bit(cupsServer()), m_currentName);
    const QString said = QString::fromLocal8Bit(cupsLastErrorString());
    return said.isEmpty() ? QStringLiteral("Printer selected is not valid") : said;
}

QString QtPrinterBackend::jobError() const
{
    if (!m_jobError.isEmpty())
        return m_jobError;
    // The job could not begin or end on a printer that was valid when it began: the reasons
    // outside the printer first.
    if (QString problem = temporaryFolderProblem(); !problem.isEmpty())
        return problem;
    if (!m_currentName.isEmpty() && !schedulerAnswers())
        return unreachable(m_currentName);
    return {};
}

QPagedPaintDevice* QtPrinterBackend::jobDevice(const QString& title)
{
    m_jobError.clear();
    Device* dev = device();
    if (!dev || !dev->printer->isValid()) {
        m_jobError = QStringLiteral("Printer selected is not valid");
        return nullptr;
    }
    m_jobError = queueRefusal(m_currentName);
    if (!m_jobError.isEmpty())
        return nullptr;
    dev->printer->setDocName(title);
    dev->printer->setCopyCount(1);
    dev->printer->setCollateCopies(false);
    dev->printer->setFullPage(false);
    return dev->printer.get();
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
