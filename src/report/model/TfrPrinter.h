#pragma once
// The report engine's single view of the printer: the printer list (the system's printers, then
// "Virtual printer"), the current printer's papers and paper sources, its current paper, and the
// page metrics that turn a paper into report units and printer pixels. Page layout asks it for
// each page's metrics, the prepared pages store records them, the preview and the print run
// switch printers (`SelectPrinter`) and papers (`SetPaper`) through it. One instance lives in the
// engine globals from start-up to exit.
//
// The virtual printer stands in whenever no real printer can be read: its papers come from the
// paper table and its printable area is the paper less 5 mm on every side. Units: paper sizes in
// tenths of a millimetre, report units 93/1.015 per inch, printer pixels of the current printer.
#include "platform/PrinterBackend.h"
#include "report/model/TPaperInfo.h"
#include "report/model/TfrPageMetrics.h"

#include <QStringList>

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace vaskel {

class TfrPrinter {
public:
    static constexpr double kUnitsPerInch = 93 / 1.015;
    static constexpr int kMaxPapers = 256;
    static constexpr int kMaxBins = 256; // entry 0 (default source) included
    static constexpr int kVirtualPrinterString = 55007;
    static constexpr int kDefaultBinString = 55435;

    // An empty model: no printer list yet, paper code 9 (A4), paper table names loaded.
    TfrPrinter();

    // The start-up sequence: a new model attached to `platform` (null: the system has no
    // printers). When no real printer could be read the virtual printer is current with its paper
    // unset (code -1), so the first page's paper request applies in full. Errors while attaching
    // are swallowed; the model stays as far as it got.
    static std::unique_ptr<TfrPrinter> startUp(PrinterBackend* platform);

    void AttachPrinter(PrinterBackend* platform);
    void SelectPrinter(int index);
    void ReadPrinter();
    void ApplyPaper();
    void SetPaper(qint32 paperCode, qint32 width, qint32 height, qint32 bin, quint8 orientation, bool forced);
    bool SamePaper(qint32 paperCode, qint32 width, qint32 height, qint32 bin, quint8 orientation) const;
    void FillMetrics(TfrPageMetrics& metrics) const;
    void ShowProperties();

    bool isVirtual() const { return CurrentIndex == VirtualIndex; }
    // A bin whose lower 16 bits are all ones (65535 or -1) asks for the printer's default source.
    static bool isDefaultBin(qint32 bin) { return (bin & 0xFFFF) == 0xFFFF; }

    QString DeviceName;
    QString DriverName;
    QString PortName;
    // The current real printer's device settings; empty when none could be read (virtual printer).
    std::optional<PrinterDeviceSettings> SettingsHandle;
    // Not owned: the system printing the model is attached to; null when the system has none.
    PrinterBackend* PlatformPrinter = nullptr;
    QStringList PaperNameList;
    QStringList BinNameList; // entry 0 stands for the default source
    QStringList PrinterList; // system printers, then "Virtual printer"
    qint32 CurrentIndex = 0;
    qint32 VirtualIndex = 0;
    quint8 CurOrientation = 0; // 0 portrait, 1 landscape
    qint32 CurPaperCode = 9; // -1: unset, the next paper request applies in full
    qint32 CurPaperWidth = 0; // tenths of a millimetre, as the paper lies (orientation applied)
    qint32 CurPaperHeight = 0;
    qint32 CurBin = 0;
    std::array<qint16, kMaxPapers> PaperCodes{};
    qint32 PaperCount = 0;
    std::array<qint16, kMaxBins> BinCodes{};
    qint32 BinCount = 0;

    const std::vector<TPaperInfo>& paperInfo() const { return m_paperInfo; }

private:
    bool hasPlatformPrinters() const { return PlatformPrinter && VirtualIndex > 0; }
    void readPrinterOrThrow();
    void applyVirtualPaper();
    void applyRealPaper();

    std::vector<TPaperInfo> m_paperInfo;
};

} // namespace vaskel
