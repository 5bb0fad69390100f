// The printer model: the virtual printer's papers and metrics, the paper comparison that decides
// when the print run changes jobs, and how the model follows a real printer. The real printers of
// this machine are tested with a CUPS queue in the preview tests; here a scripted printer system
// stands in where a real one cannot be made to fail on demand.
#include "support/TestGlobals.h"

#include "report/model/TfrGlobals.h"
#include "report/model/TfrPrinter.h"

#include <QPageSize>

#include <cmath>
#include <set>
#include <stdexcept>

namespace vaskel {
namespace {

// A printer system that answers from its fields and counts what it was asked. Its geometry is a
// 300 dpi device with a quarter-inch-less-a-bit margin (50 px) on every side.
class ScriptedPrinters : public PrinterBackend {
public:
    QStringList names{"Office", "Plotter"};
    int current = 1;
    bool printing = false;
    int unreadableReads = 0; // that many next settings reads answer nothing
    bool metricsFail = false;
    PrinterDeviceSettings settings{9, false, 0, 0, 0, 3, 7};
    QList<PrinterChoice> paperList{{9, "A4"}, {1, "Letter"}, {256, ""}};
    QList<PrinterChoice> sourceList{{7, "Automatic"}, {4, "Manual feed"}};
    std::optional<PrinterDeviceSettings> dialogChoice; // nothing: the dialog is cancelled

    int settingsReads = 0;
    int dialogsOpened = 0;
    QList<PrinterDeviceSettings> written;

    QStringList printerNames() override { return names; }
    int currentIndex() const override { return names.isEmpty() ? -1 : current; }
    void setCurrentIndex(int index) override { current = index; }
    bool isPrinting() const override { return printing; }
    PrinterIdentity identity() override { return {names.value(current), "Laser 9000", "usb://laser"}; }
    std::optional<PrinterDeviceSettings> deviceSettings() override
    {
        ++settingsReads;
        if (unreadableReads > 0) {
            --unreadableReads;
            return std::nullopt;
        }
        return settings;
    }
    void setDeviceSettings(const PrinterDeviceSettings& s) override
    {
        written.append(s);
        settings = s;
    }
    QList<PrinterChoice> papers() override { return paperList; }
    QList<PrinterChoice> paperSources() override { return sourceList; }
    PrinterDeviceMetrics deviceMetrics() override
    {
        if (metricsFail)
            throw std::runtime_error("device gone");
        double w = 210, h = 297; // millimetres as fed
        if (settings.paperSize == 1)
            w = 215.9, h = 279.4;
        else if (settings.paperSize == 256)
            w = settings.paperWidth / 10.0, h = settings.paperLength / 10.0;
        if (settings.orientation == 1)
            std::swap(w, h);
        const int pw = static_cast<int>(std::lround(w / 25.4 * 300));
        const int ph = static_cast<int>(std::lround(h / 25.4 * 300));
        return {300, 300, pw, ph, 50, 50, pw - 100, ph - 100};
    }
    bool editDeviceSettings(PrinterDeviceSettings& s) override
    {
        ++dialogsOpened;
        if (!dialogChoice)
            return false;
        s = *dialogChoice;
        return true;
    }
};

class PrinterModel : public test::GlobalsTest {
protected:
    ScriptedPrinters* installScripted(
        std::unique_ptr<ScriptedPrinters> printers = std::make_unique<ScriptedPrinters>())
    {
        ScriptedPrinters* raw = printers.get();
        globals.startPrinter(std::move(printers));
        return raw;
    }
    TfrPrinter& prn() { return globals.printer(); }
};

TEST_F(PrinterModel, WithoutPrintersTheVirtualPrinterIsCurrentAndUnset)
{
    const TfrPrinter& p = prn();
    EXPECT_TRUE(globals.printerReady());
    EXPECT_EQ(p.PrinterList, QStringList{"Virtual printer"});
    EXPECT_EQ(p.CurrentIndex, 0);
    EXPECT_EQ(p.VirtualIndex, 0);
    EXPECT_TRUE(p.isVirtual());
    EXPECT_FALSE(p.SettingsHandle.has_value());
    // The first page's paper request must apply in full.
    EXPECT_EQ(p.CurPaperCode, -1);
    EXPECT_EQ(p.CurPaperWidth, 2100);
    EXPECT_EQ(p.CurPaperHeight, 2970);
    ASSERT_EQ(p.PaperCount, 67);
    ASSERT_EQ(p.PaperNameList.size(), 67);
    EXPECT_EQ(p.PaperCodes[0], 1);
    EXPECT_EQ(p.PaperCodes[8], 9);
    EXPECT_EQ(p.PaperCodes[66], 256);
    EXPECT_EQ(p.PaperCodes[67], 0);
    EXPECT_TRUE(scriptedUi->interactions().isEmpty());
}

TEST_F(PrinterModel, PaperNamesComeFromTheStringLoader)
{
    globals.strings.setLocalizeCallback(
        [](int n) { return n == 55016 ? QString("A4 210 x 297 mm") : QString(); });
    globals.startPrinter(nullptr);
    EXPECT_EQ(prn().PaperNameList[8], "A4 210 x 297 mm");
    EXPECT_EQ(prn().PaperNameList[0], "");
}

TEST_F(PrinterModel, VirtualPrinterMetrics)
{
    struct Case {
        const char* name;
        qint32 code, width, height;
        quint8 orientation;
        qint32 paperW, paperH, printW, printH;
    } cases[] = {
        {"A4 portrait", 9, 0, 0, 0, 758, 1071, 722, 1035},
        {"A4 landscape swaps before converting", 9, 0, 0, 1, 1071, 758, 1035, 722},
        {"Letter", 1, 0, 0, 0, 779, 1008, 743, 972},
        {"custom size keeps the given size", 256, 1000, 500, 0, 361, 180, 325, 144},
        {"custom size is not swapped by landscape", 256, 1000, 500, 1, 361, 180, 325, 144},
        {"code the table lacks keeps the size given", 48, 1000, 500, 0, 361, 180, 325, 144},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prn().SetPaper(9, 0, 0, -1, 0, true);
        prn().SetPaper(c.code, c.width, c.height, -1, c.orientation, true);
        TfrPageMetrics m;
        m.DevPaperWidth = m.DevPaperHeight = m.DevOffsetX = m.DevOffsetY = m.DevPrintWidth = m.DevPrintHeight
            = 7;
        prn().FillMetrics(m);
        EXPECT_EQ(m.UnitPaperWidth, c.paperW);
        EXPECT_EQ(m.UnitPaperHeight, c.paperH);
        EXPECT_EQ(m.UnitOffsetX, 18);
        EXPECT_EQ(m.UnitOffsetY, 18);
        EXPECT_EQ(m.UnitPrintWidth, c.printW);
        EXPECT_EQ(m.UnitPrintHeight, c.printH);
        // The virtual printer has no pixels: those fields are left as they were.
        EXPECT_EQ(m.DevPaperWidth, 7);
        EXPECT_EQ(m.DevOffsetY, 7);
        EXPECT_EQ(m.DevPrintHeight, 7);
    }
}

TEST_F(PrinterModel, SamePaper)
{
    prn().SetPaper(256, 1000, 2000, 4, 0, true);
    struct Case {
        const char* name;
        qint32 code, width, height, bin;
        quint8 orientation;
        bool same;
    } customCases[] = {
        {"custom, identical", 256, 1000, 2000, 4, 0, true},
        {"custom, one tenth wider", 256, 1001, 2000, 4, 0, true},
        {"custom, one tenth lower and narrower", 256, 999, 1999, 4, 0, true},
        {"custom, two tenths wider", 256, 1002, 2000, 4, 0, false},
        {"custom, two tenths higher", 256, 1000, 2002, 4, 0, false},
        {"custom, other orientation", 256, 1000, 2000, 4, 1, false},
        {"custom, the bin is not compared", 256, 1000, 2000, 7, 0, true},
        {"A4 against custom", 9, 1000, 2000, 4, 0, false},
    };
    for (const Case& c : customCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(prn().SamePaper(c.code, c.width, c.height, c.bin, c.orientation), c.same);
    }

    prn().SetPaper(9, 0, 0, 4, 0, true);
    const Case standardCases[] = {
        {"A4, same bin", 9, 0, 0, 4, 0, true},
        {"A4, sizes are not compared", 9, 1234, 5678, 4, 0, true},
        {"A4, bin -1 matches any bin", 9, 0, 0, -1, 0, true},
        {"A4, bin 65535 is the default bin too", 9, 0, 0, 65535, 0, true},
        {"A4, lower 16 bits all ones", 9, 0, 0, 0x3FFFF, 0, true},
        {"A4, other bin", 9, 0, 0, 7, 0, false},
        {"A4, landscape", 9, 0, 0, 4, 1, false},
        {"Letter", 1, 0, 0, 4, 0, false},
    };
    for (const Case& c : standardCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(prn().SamePaper(c.code, c.width, c.height, c.bin, c.orientation), c.same);
    }
}

TEST_F(PrinterModel, AttachReadsTheCurrentRealPrinter)
{
    ScriptedPrinters* printers = installScripted();
    const TfrPrinter& p = prn();
    EXPECT_EQ(p.PrinterList, (QStringList{"Office", "Plotter", "Virtual printer"}));
    EXPECT_EQ(p.CurrentIndex, 1);
    EXPECT_EQ(p.VirtualIndex, 2);
    EXPECT_EQ(p.DeviceName, "Plotter");
    EXPECT_EQ(p.DriverName, "Laser 9000");
    EXPECT_EQ(p.PortName, "usb://laser");
    ASSERT_TRUE(p.SettingsHandle.has_value());
    EXPECT_EQ(p.CurPaperCode, 9);
    // 2480 x 3508 px at 300 dpi, back in tenths of a millimetre.
    EXPECT_EQ(p.CurPaperWidth, 2100);
    EXPECT_EQ(p.CurPaperHeight, 2970);
    EXPECT_EQ(p.CurOrientation, 0);
    EXPECT_EQ(p.CurBin, 7);
    EXPECT_EQ(p.PaperCount, 3);
    EXPECT_EQ(p.PaperNameList, (QStringList{"A4", "Letter", ""}));
    EXPECT_EQ(p.PaperCodes[1], 1);
    EXPECT_EQ(p.BinCount, 3);
    EXPECT_EQ(p.BinCodes[0], -1);
    EXPECT_EQ(p.BinCodes[1], 7);
    EXPECT_EQ(p.BinCodes[2], 4);
    EXPECT_EQ(p.BinNameList, (QStringList{"", "Automatic", "Manual feed"}));

    TfrPageMetrics m;
    prn().FillMetrics(m);
    const TfrPageMetrics expected{2480, 3508, 757, 1071, 50, 50, 15, 15, 2380, 3408, 727, 1041};
    EXPECT_EQ(m, expected);

    // The print run attaches again: printers added meanwhile appear, the current one stays.
    printers->names.prepend("Annex");
    printers->current = 2;
    prn().AttachPrinter(printers);
    EXPECT_EQ(p.PrinterList, (QStringList{"Annex", "Office", "Plotter", "Virtual printer"}));
    EXPECT_EQ(p.CurrentIndex, 2);
    EXPECT_EQ(p.VirtualIndex, 3);
}

TEST_F(PrinterModel, SelectingAPrinter)
{
    ScriptedPrinters* printers = installScripted();
    const int reads = printers->settingsReads;
    prn().SelectPrinter(1); // already current
    EXPECT_EQ(printers->settingsReads, reads);

    prn().SelectPrinter(0);
    EXPECT_EQ(printers->current, 0);
    EXPECT_GT(printers->settingsReads, reads);
    EXPECT_EQ(prn().DeviceName, "Office");

    printers->settings.paperSize = 1;
    const int before = printers->settingsReads;
    prn().SelectPrinter(prn().VirtualIndex);
    EXPECT_TRUE(prn().isVirtual());
    EXPECT_EQ(printers->settingsReads, before);
    EXPECT_EQ(printers->current, 0); // the system's current printer is left alone
    EXPECT_EQ(prn().PaperCount, 67);

    prn().SelectPrinter(17);
    prn().SelectPrinter(-1);
    EXPECT_TRUE(prn().isVirtual());
}

TEST_F(PrinterModel, UnreadablePrinterFallsBackToTheVirtualPrinterSilently)
{
    {
        SCOPED_TRACE("no settings the first time: asked once more");
        auto printers = std::make_unique<ScriptedPrinters>();
        printers->unreadableReads = 1;
        installScripted(std::move(printers));
        EXPECT_EQ(prn().CurrentIndex, 1);
        EXPECT_EQ(prn().CurPaperCode, 9);
    }
    {
        SCOPED_TRACE("no settings twice");
        auto printers = std::make_unique<ScriptedPrinters>();
        printers->unreadableReads = 2;
        installScripted(std::move(printers));
        EXPECT_TRUE(prn().isVirtual());
        EXPECT_EQ(prn().CurPaperCode, -1);
        EXPECT_EQ(prn().PrinterList.size(), 3);
        EXPECT_EQ(prn().PaperCount, 67);
    }
    {
        SCOPED_TRACE("device metrics fail");
        auto printers = std::make_unique<ScriptedPrinters>();
        printers->metricsFail = true;
        installScripted(std::move(printers));
        EXPECT_TRUE(prn().isVirtual());
        EXPECT_FALSE(prn().SettingsHandle.has_value());
        TfrPageMetrics m;
        prn().FillMetrics(m);
        EXPECT_EQ(m.UnitPrintWidth, 722);
    }
    EXPECT_TRUE(scriptedUi->interactions().isEmpty());
    EXPECT_TRUE(globals.printerReady());
}

TEST_F(PrinterModel, ApplyingPaperToARealPrinter)
{
    ScriptedPrinters* printers = installScripted();
    prn().SetPaper(256, 2970, 2100, -1, 1, true);
    ASSERT_EQ(printers->written.size(), 1);
    PrinterDeviceSettings s = printers->written.last();
    EXPECT_EQ(s.paperSize, 256);
    EXPECT_TRUE(s.customSize);
    // Handed over as fed; the device turns it into the landscape paper asked for.
    EXPECT_EQ(s.paperWidth, 2100);
    EXPECT_EQ(s.paperLength, 2970);
    EXPECT_EQ(s.orientation, 1);
    EXPECT_EQ(s.copies, 1);
    EXPECT_EQ(s.defaultSource, 7); // bin -1 keeps the printer's source
    EXPECT_EQ(prn().CurPaperCode, 256);
    EXPECT_EQ(prn().CurPaperWidth, 2970);
    EXPECT_EQ(prn().CurPaperHeight, 2100);
    EXPECT_TRUE(prn().SamePaper(256, 2970, 2100, -1, 1));

    prn().SetPaper(1, 0, 0, 4, 0, false);
    s = printers->written.last();
    EXPECT_EQ(s.paperSize, 1);
    EXPECT_FALSE(s.customSize);
    EXPECT_EQ(s.defaultSource, 4);
    EXPECT_EQ(prn().CurPaperWidth, 2159);
    EXPECT_EQ(prn().CurBin, 4);

    const qsizetype writes = printers->written.size();
    prn().SetPaper(1, 0, 0, -1, 0, false);
    EXPECT_EQ(printers->written.size(), writes) << "the same paper is not applied again";
    prn().SetPaper(1, 0, 0, -1, 0, true);
    EXPECT_EQ(printers->written.size(), writes + 1) << "forced applies anyway";

    printers->printing = true;
    prn().SetPaper(9, 0, 0, -1, 1, true);
    EXPECT_EQ(printers->written.size(), writes + 1) << "nothing changes while a job prints";
    EXPECT_EQ(prn().CurPaperCode, 1);
}

TEST_F(PrinterModel, ListsAreCappedForPrintersOfferingTooMuch)
{
    auto printers = std::make_unique<ScriptedPrinters>();
    printers->paperList.clear();
    printers->sourceList.clear();
    for (int i = 0; i < 300; ++i) {
        printers->paperList.append({i + 1, QString::number(i)});
        printers->sourceList.append({i + 300, QString::number(i)});
    }
    installScripted(std::move(printers));
    EXPECT_EQ(prn().PaperCount, 256);
    EXPECT_EQ(prn().PaperNameList.size(), 256);
    EXPECT_EQ(prn().PaperCodes[255], 256);
    EXPECT_EQ(prn().BinCount, 256);
    EXPECT_EQ(prn().BinNameList.size(), 256);
    EXPECT_EQ(prn().BinCodes[255], 300 + 254);
}

TEST_F(PrinterModel, PropertiesDialogChangesThePrinterOnlyWhenConfirmed)
{
    ScriptedPrinters* printers = installScripted();
    prn().ShowProperties();
    EXPECT_EQ(printers->dialogsOpened, 1);
    EXPECT_TRUE(printers->written.isEmpty());

    printers->dialogChoice = PrinterDeviceSettings{1, false, 0, 0, 1, 1, 4};
    prn().ShowProperties();
    ASSERT_EQ(printers->written.size(), 1);
    EXPECT_EQ(printers->written[0].paperSize, 1);
    EXPECT_EQ(prn().CurPaperCode, 9) << "the model follows at the next read";
    prn().ReadPrinter();
    EXPECT_EQ(prn().CurPaperCode, 1);
    EXPECT_EQ(prn().CurOrientation, 1);

    prn().SelectPrinter(prn().VirtualIndex);
    prn().ShowProperties();
    EXPECT_EQ(printers->dialogsOpened, 2) << "the virtual printer has no properties dialog";
}

// Codes whose size in the paper table differs from the size Qt gives the same code. The table is
// kept as it is (templates laid out on the virtual printer depend on it); on a real printer the
// printer's own size for the code applies.
const std::set<int> kKnownDifferences{
    12, // table 250 x 354 mm; Qt: JIS B4, 257 x 364 mm
    15, // Quarto, table 215 x 275 mm; Qt: 8.5 x 10.83 in
    24, 25, 26, // table: C, D and E sheets (17 x 22, 22 x 34, 34 x 44 in); Qt: Architect C, D, E
    41, // German legal fanfold, table 330.2 mm long; Qt: 330.0 mm
    50, 51, 56, // Letter/Legal Extra (and transverse), table 235.5 mm wide; Qt: 9.5 in
    52, // Tabloid Extra, table 296.9 mm wide; Qt: 12 in
    54, // Letter transverse, table 210.1 mm wide; Qt: Letter, 215.9 mm
};

TEST(PaperTable, SizesAgreeWithQtForTheCodesQtKnows)
{
    std::set<int> differing;
    int known = 0;
    for (const PaperTable::Row& row : PaperTable::rows()) {
        const QPageSize::PageSizeId id = QPageSize::id(row.code);
        if (id == QPageSize::Custom)
            continue;
        ++known;
        const QSizeF tenths = QPageSize(id).size(QPageSize::Millimeter) * 10;
        if (std::abs(tenths.width() - row.width) > 1 || std::abs(tenths.height() - row.height) > 1)
            differing.insert(row.code);
    }
    EXPECT_EQ(known, 65) << "every code but 14 and 256 has a Qt page size";
    EXPECT_EQ(differing, kKnownDifferences);
}

} // namespace
} // namespace vaskel
