#include "report/model/TfrPrinter.h"

#include "platform/Rounding.h"
#include "report/expr/ExprGlobals.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace vaskel {

namespace {
// How far (tenths of a millimetre) a real printer's custom paper may lie from the size asked for
// and still be the same paper.
constexpr qint32 kRealPaperTolerance = 10;

// Printable margin of the virtual printer: 5 mm, in report units (18).
qint32 virtualMarginUnits()
{
    return roundToInt(50 * TfrPrinter::kUnitsPerInch / 254);
}

// Tenths of a millimetre of `pixels` at `pixelsPerInch`.
qint32 pixelsToTenthsMm(int pixels, int pixelsPerInch)
{
    return roundToInt(static_cast<double>(pixels) / pixelsPerInch * 254);
}
} // namespace

TfrPrinter::TfrPrinter() : m_paperInfo(PaperTable::withNames())
{
}

std::unique_ptr<TfrPrinter> TfrPrinter::startUp(PrinterBackend* platform)
{
    auto printer = std::make_unique<TfrPrinter>();
    try {
        printer->AttachPrinter(platform);
        if (!printer->SettingsHandle) {
            printer->SelectPrinter(printer->VirtualIndex);
            printer->CurPaperCode = -1;
        }
    } catch (const std::exception&) {
        // A printer system that fails while the program starts must not stop it: the model keeps
        // what it got, and the virtual printer is there in any case once the list is built.
    }
    return printer;
}

void TfrPrinter::AttachPrinter(PrinterBackend* platform)
{
    PrinterList.clear();
    CurrentIndex = 0;
    PlatformPrinter = platform;
    const QStringList names = platform ? platform->printerNames() : QStringList();
    if (!names.isEmpty()) {
        PrinterList = names;
        CurrentIndex = std::clamp(platform->currentIndex(), 0, static_cast<int>(names.size()) - 1);
    }
    PrinterList.append(LoadStr(kVirtualPrinterString));
    VirtualIndex = static_cast<qint32>(PrinterList.size()) - 1;
    if (names.isEmpty()) {
        // Settings of a printer that has gone away must not be offered to the dialogs.
        SettingsHandle.reset();
        ApplyPaper();
    } else {
        ReadPrinter();
    }
}

void TfrPrinter::SelectPrinter(int index)
{
    if (index == CurrentIndex)
        return;
    if (index < 0 || index >= PrinterList.size())
        return;
    CurrentIndex = index;
    if (isVirtual()) {
        ApplyPaper();
    } else if (hasPlatformPrinters()) {
        PlatformPrinter->setCurrentIndex(index);
        ReadPrinter();
    }
}

void TfrPrinter::ReadPrinter()
{
    try {
        readPrinterOrThrow();
    } catch (const std::exception&) {
        // A printer whose settings cannot be read is replaced by the virtual printer, silently:
        // reports still lay out and preview.
        SettingsHandle.reset();
        SelectPrinter(VirtualIndex);
    }
}

void TfrPrinter::readPrinterOrThrow()
{
    if (!hasPlatformPrinters() || isVirtual())
        throw std::runtime_error("no real printer is current");
    const PrinterIdentity identity = PlatformPrinter->identity();
    std::optional<PrinterDeviceSettings> settings = PlatformPrinter->deviceSettings();
    if (!settings)
        settings = PlatformPrinter->deviceSettings();
    if (!settings)
        throw std::runtime_error("the printer's settings cannot be read");
    const PrinterDeviceMetrics metrics = PlatformPrinter->deviceMetrics();
    if (metrics.pixelsPerInchX <= 0 || metrics.pixelsPerInchY <= 0)
        throw std::runtime_error("the printer reports no resolution");

    DeviceName = identity.deviceName;
    DriverName = identity.driverName;
    PortName = identity.portName;
    SettingsHandle = settings;

    CurPaperCode = settings->paperSize;
    CurPaperWidth = pixelsToTenthsMm(metrics.physicalWidth, metrics.pixelsPerInchX);
    CurPaperHeight = pixelsToTenthsMm(metrics.physicalHeight, metrics.pixelsPerInchY);

    // Printers offering more papers or sources than the lists hold keep the first ones.
    const QList<PrinterChoice> papers = PlatformPrinter->papers();
    PaperCodes.fill(0);
    PaperNameList.clear();
    PaperCount = static_cast<qint32>(std::min<qsizetype>(papers.size(), kMaxPapers));
    for (int i = 0; i < PaperCount; ++i) {
        PaperCodes[i] = static_cast<qint16>(papers[i].code);
        PaperNameList.append(papers[i].name);
    }

    CurBin = settings->defaultSource;
    const QList<PrinterChoice> sources = PlatformPrinter->paperSources();
    const int sourceCount = static_cast<int>(std::min<qsizetype>(sources.size(), kMaxBins - 1));
    BinCodes.fill(0);
    BinCodes[0] = -1;
    BinNameList = QStringList{LoadStr(kDefaultBinString)};
    for (int i = 0; i < sourceCount; ++i) {
        BinCodes[i + 1] = static_cast<qint16>(sources[i].code);
        BinNameList.append(sources[i].name);
    }
    BinCount = sourceCount + 1;

    CurOrientation = settings->orientation == 0 ? 0 : 1;
}

void TfrPrinter::ApplyPaper()
{
    if (isVirtual() || !hasPlatformPrinters())
        applyVirtualPaper();
    else
        applyRealPaper();
}

void TfrPrinter::applyVirtualPaper()
{
    PaperNameList.clear();
    PaperCodes.fill(0);
    for (int i = 0; i < PaperTable::kRows; ++i) {
        PaperNameList.append(m_paperInfo[i].Name);
        PaperCodes[i] = static_cast<qint16>(m_paperInfo[i].Code);
    }
    PaperCount = PaperTable::kRows;
    // A custom size keeps the width and height it was given; so does a code the table lacks.
    if (CurPaperCode == PaperTable::kCustomCode)
        return;
    if (const auto row = PaperTable::find(CurPaperCode)) {
        const bool landscape = CurOrientation == 1;
        CurPaperWidth = landscape ? row->height : row->width;
        CurPaperHeight = landscape ? row->width : row->height;
    }
}

void TfrPrinter::applyRealPaper()
{
    std::optional<PrinterDeviceSettings> settings = PlatformPrinter->deviceSettings();
    if (!settings) {
        ReadPrinter(); // falls back to the virtual printer
        return;
    }
    const bool landscape = CurOrientation == 1;
    if (CurPaperCode == PaperTable::kCustomCode) {
        // The model holds the paper as it lies; the device wants it as it is fed, before the
        // orientation turns it. Handing over the turned size would turn a landscape custom paper
        // back to portrait.
        settings->customSize = true;
        settings->paperWidth = landscape ? CurPaperHeight : CurPaperWidth;
        settings->paperLength = landscape ? CurPaperWidth : CurPaperHeight;
    } else {
        settings->customSize = false;
    }
    settings->paperSize = CurPaperCode;
    settings->orientation = landscape ? 1 : 0;
    // Copies are the print run's business: the device always prints each page once.
    settings->copies = 1;
    if (!isDefaultBin(CurBin))
        settings->defaultSource = CurBin;
    PlatformPrinter->setDeviceSettings(*settings);
    // Read back what the driver accepted.
    ReadPrinter();
}

void TfrPrinter::SetPaper(
    qint32 paperCode, qint32 width, qint32 height, qint32 bin, quint8 orientation, bool forced)
{
    if (PlatformPrinter && PlatformPrinter->isPrinting())
        return;
    if (!forced && SamePaper(paperCode, width, height, bin, orientation))
        return;
    CurPaperCode = paperCode;
    CurPaperWidth = width;
    CurPaperHeight = height;
    CurBin = bin;
    CurOrientation = orientation;
    ApplyPaper();
}

bool TfrPrinter::SamePaper(
    qint32 paperCode, qint32 width, qint32 height, qint32 bin, quint8 orientation) const
{
    if (paperCode == CurPaperCode && paperCode == PaperTable::kCustomCode) {
        // The virtual printer keeps a custom size as given, less one tenth of a millimetre of
        // rounding. A real printer hands it back through whole points and device pixels
        // (150 × 100 mm comes back as 1499 × 998): within a millimetre it is the same sheet.
        const qint32 tolerance = isVirtual() ? 1 : kRealPaperTolerance;
        return std::abs(CurPaperWidth - width) <= tolerance && std::abs(CurPaperHeight - height) <= tolerance
            && orientation == CurOrientation;
    }
    return paperCode == CurPaperCode && orientation == CurOrientation && (bin == CurBin || isDefaultBin(bin));
}

void TfrPrinter::FillMetrics(TfrPageMetrics& metrics) const
{
    const double k = kUnitsPerInch;
    PrinterDeviceMetrics device;
    if (!isVirtual() && hasPlatformPrinters())
        device = PlatformPrinter->deviceMetrics();
    if (device.pixelsPerInchX <= 0 || device.pixelsPerInchY <= 0) {
        // Virtual printer: the paper less 5 mm on every side; the pixel fields stay as they were.
        const qint32 margin = virtualMarginUnits();
        metrics.UnitPaperWidth = roundToInt(CurPaperWidth * k / 254);
        metrics.UnitPaperHeight = roundToInt(CurPaperHeight * k / 254);
        metrics.UnitOffsetX = margin;
        metrics.UnitOffsetY = margin;
        metrics.UnitPrintWidth = metrics.UnitPaperWidth - 2 * margin;
        metrics.UnitPrintHeight = metrics.UnitPaperHeight - 2 * margin;
        return;
    }
    const double kx = k / device.pixelsPerInchX;
    const double ky = k / device.pixelsPerInchY;
    metrics.DevPaperWidth = device.physicalWidth;
    metrics.UnitPaperWidth = roundToInt(kx * device.physicalWidth);
    metrics.DevPaperHeight = device.physicalHeight;
    metrics.UnitPaperHeight = roundToInt(ky * device.physicalHeight);
    metrics.DevOffsetX = device.offsetX;
    metrics.DevOffsetY = device.offsetY;
    metrics.UnitOffsetX = roundToInt(kx * device.offsetX);
    metrics.UnitOffsetY = roundToInt(ky * device.offsetY);
    metrics.DevPrintWidth = device.printableWidth;
    metrics.DevPrintHeight = device.printableHeight;
    metrics.UnitPrintWidth = roundToInt(kx * device.printableWidth);
    metrics.UnitPrintHeight = roundToInt(ky * device.printableHeight);
}

void TfrPrinter::ShowProperties()
{
    if (isVirtual() || !hasPlatformPrinters())
        return;
    try {
        const std::optional<PrinterDeviceSettings> current = PlatformPrinter->deviceSettings();
        if (!current)
            return;
        // The dialog works on a copy: cancelling it leaves the printer as it was. The model's own
        // fields follow at the next ReadPrinter.
        PrinterDeviceSettings copy = *current;
        if (PlatformPrinter->editDeviceSettings(copy))
            PlatformPrinter->setDeviceSettings(copy);
    } catch (const std::exception&) {
        // A dialog that fails changes nothing.
    }
}

} // namespace vaskel
