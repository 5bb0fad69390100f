// The report component: its settings after creation, reading and writing templates (files,
// streams, the window's stored form), printer selection, the component host it lives in, and how
// it connects the engine's parser, interpreter and print hooks for a run.
#include "dataset_MemoryDataset.h"
#include "report_ComponentFixture.h"

#include "report/engine/TfrBand.h"
#include "report/engine/TfrDBDataSet.h"
#include "report/engine/TfrDatasetFunctions.h"
#include "report/model/EStreamError.h"

#include <QFile>
#include <QTemporaryDir>

namespace vaskel {
namespace {

using test::ReportTest;

TEST_F(ReportTest, CreatedWithThePublishedDefaults)
{
    EXPECT_EQ(report.Name, "frReport1");
    EXPECT_EQ(report.owner(), &host);
    EXPECT_EQ(report.TemplatePages().Count(), 0);
    EXPECT_EQ(report.PreparedPages().Count(), 0);
    EXPECT_EQ(report.PreparedPages().owner(), &report);
    EXPECT_EQ(report.Dataset, nullptr);
    EXPECT_EQ(report.ReportType, rtSimple);
    EXPECT_EQ(report.PreviewButtons, 0x7F) << "every button but pbPageSetup";
    EXPECT_EQ(report.InitialZoom, pzDefault);
    EXPECT_EQ(report.DefaultCopies, 1);
    EXPECT_EQ(report.TemplateFileName, "Untitled");
    EXPECT_EQ(report.GeneratorVersion(), 77);
    EXPECT_TRUE(report.Title.isEmpty());
    EXPECT_TRUE(report.Template.Info.Comment.isEmpty());
    const struct {
        const char* name;
        bool value, expected;
    } flags[] = {
        {"ShowProgress", report.ShowProgress, true},
        {"ModalPreview", report.ModalPreview, true},
        {"ModifyPrepared", report.ModifyPrepared, true},
        {"DefaultCollate", report.DefaultCollate, true},
        {"PrintIfEmpty", report.PrintIfEmpty, true},
        {"ShowPrintDialog", report.ShowPrintDialog, true},
        {"StoreInDFM", report.StoreInDFM, false},
        {"GrayedButtons", report.GrayedButtons, false},
        {"MDIPreview", report.MDIPreview, false},
        {"RebuildPrinter", report.RebuildPrinter, false},
        {"UseDefaultDataSetName", report.UseDefaultDataSetName, false},
        {"Rebuildable", report.Rebuildable, false},
        {"StopRequested", report.StopRequested, false},
        {"TwoPass", report.TwoPass, false},
        {"UseDefaultPrinter", report.UseDefaultPrinter, false},
    };
    for (const auto& f : flags)
        EXPECT_EQ(f.value, f.expected) << f.name;
}

TEST_F(ReportTest, TemplateRoundTripsThroughAStreamAndAFile)
{
    fillTemplate(report);
    const QByteArray stream = report.SaveTemplateToStream();

    TfrReport copy(QStringLiteral("copy"));
    copy.LoadTemplateFromStream(stream);
    EXPECT_EQ(copy.TemplatePages().Count(), 1);
    EXPECT_TRUE(copy.TwoPass);
    EXPECT_EQ(copy.VariableDictionary().Variables.GetValue("Total").toText(), "1 + 2");
    EXPECT_EQ(frRun().CurrentReport, &copy) << "reading makes the report current";
    EXPECT_EQ(copy.TemplateFileName, "Untitled") << "a stream is no file";
    // Names are found ignoring case, pages in order.
    TfrView* memo = copy.FindViewByName("mEmO1");
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->Name, "Memo1");
    EXPECT_EQ(memo->Width, 200);
    EXPECT_NE(copy.FindViewByName("MASTERDATA1"), nullptr);
    EXPECT_EQ(copy.FindViewByName("Memo2"), nullptr);

    QTemporaryDir dir;
    const QString path = dir.filePath("look.frf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(stream);
    file.close();
    TfrReport fromFile(QStringLiteral("fromFile"));
    EXPECT_TRUE(fromFile.LoadTemplate(path));
    EXPECT_EQ(fromFile.TemplateFileName, path);
    EXPECT_NE(fromFile.FindViewByName("memo1"), nullptr);
    EXPECT_EQ(messageBoxes(), 0);
}

TEST_F(ReportTest, MissingFileAnswersFalseAndKeepsTheTemplate)
{
    fillTemplate(report);
    EXPECT_FALSE(report.LoadTemplate(QStringLiteral("/nonexistent/look.frf")));
    EXPECT_EQ(report.TemplatePages().Count(), 1);
    EXPECT_NE(report.FindViewByName("Memo1"), nullptr);
    EXPECT_TRUE(report.VariableDictionary().Variables.contains("Total"));
    EXPECT_EQ(report.TemplateFileName, "Untitled");
    EXPECT_TRUE(scriptedUi->interactions().isEmpty()) << "no message";
}

TEST_F(ReportTest, UnknownStreamVersionIsRefusedAndThePagesStay)
{
    fillTemplate(report);
    QByteArray stream = report.SaveTemplateToStream();
    stream[0] = char(26);
    report.LoadTemplateFromStream(stream);
    ASSERT_EQ(messageBoxes(), 1);
    const Interaction box = scriptedUi->interactions().first();
    EXPECT_EQ(box.caption, UiServices::applicationTitle());
    EXPECT_EQ(box.text, "Unsupported FRF format");
    EXPECT_EQ(box.flags, int(MessageIcon::Error) | int(MessageButtons::Ok));
    EXPECT_EQ(report.TemplatePages().Count(), 1);
    EXPECT_NE(report.FindViewByName("Memo1"), nullptr);
}

TEST_F(ReportTest, ClearTemplateEmptiesPagesDictionaryAndInformation)
{
    fillTemplate(report);
    report.Template.Info.Author = QStringLiteral("clerk");
    report.ClearTemplate();
    EXPECT_EQ(report.TemplatePages().Count(), 0);
    EXPECT_EQ(report.VariableDictionary().Variables.Count(), 0);
    EXPECT_FALSE(report.TwoPass);
    EXPECT_TRUE(report.Template.Info.Author.isEmpty());
    EXPECT_EQ(report.FindViewByName("Memo1"), nullptr);
}

// The window's stored form: version 25, then the template only with StoreInDFM on; the template
// waits until the window has finished loading.
TEST_F(ReportTest, StoredFormKeepsTheTemplateOnlyWithStoreInDFM)
{
    EXPECT_EQ(report.WriteReportForm(), QByteArray("\x19\x00\x00\x00", 4)) << "the query window's form";

    fillTemplate(report);
    report.StoreInDFM = true;
    const QByteArray form = report.WriteReportForm();
    ASSERT_GT(form.size(), 8);

    TfrReport stored(QStringLiteral("stored"));
    stored.StoreInDFM = true;
    stored.ReadReportForm(form);
    EXPECT_EQ(stored.TemplatePages().Count(), 0) << "nothing is read before loading finishes";
    EXPECT_FALSE(stored.WindowTemplate.isEmpty());
    stored.Loaded();
    EXPECT_NE(stored.FindViewByName("Memo1"), nullptr);
    EXPECT_TRUE(stored.WindowTemplate.isEmpty()) << "discarded once read";

    TfrReport notStored(QStringLiteral("notStored"));
    notStored.ReadReportForm(form);
    notStored.Loaded();
    EXPECT_EQ(notStored.TemplatePages().Count(), 0) << "no template until one is loaded";

    TfrReport cut(QStringLiteral("cut"));
    cut.StoreInDFM = true;
    EXPECT_THROW(cut.ReadReportForm(form.left(form.size() - 1)), EStreamError);
    EXPECT_EQ(messageBoxes(), 0);
}

TEST_F(ReportTest, SelectPrinterByNameHonoursUseDefaultPrinter)
{
    installPrinters();
    TfrPrinter& printer = globals.printer();
    ASSERT_EQ(printer.PrinterList, QStringList({"Office", "Plotter", "Virtual printer"}));
    const struct {
        const char* name;
        bool useDefault;
        const char* printerName;
        int expectedIndex;
    } cases[] = {
        {"a listed printer is selected", false, "Plotter", 1},
        {"the default printer stays with UseDefaultPrinter", true, "Plotter", 0},
        {"an unknown name selects nothing", false, "Gone", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        printer.SelectPrinter(0);
        report.UseDefaultPrinter = c.useDefault;
        report.SelectPrinterByName(QString::fromUtf8(c.printerName));
        EXPECT_EQ(printer.CurrentIndex, c.expectedIndex);
        EXPECT_EQ(report.PrinterName, c.printerName) << "the name is always kept";
    }
}

TEST_F(ReportTest, ChangePrinterAppliesThePagesPaperOrRollsBack)
{
    test::TwoPrinters& printers = installPrinters();
    fillTemplate(report);
    TfrPage* page = report.TemplatePages().Page(0);
    page->PaperCode = 11; // A5, as the template asks
    page->PaperSizeX = 1480, page->PaperSizeY = 2100;
    TfrPrinter& printer = globals.printer();

    ASSERT_TRUE(report.ChangePrinter(0, printer.VirtualIndex));
    EXPECT_EQ(printer.CurrentIndex, printer.VirtualIndex);
    EXPECT_EQ(report.PrinterName, "Virtual printer");
    EXPECT_EQ(printer.CurPaperCode, 11) << "the page's paper applied in full on the new printer";
    EXPECT_EQ(page->PaperCode, 11);
    EXPECT_EQ(messageBoxes(), 0);

    printers.brokenIndex = 1;
    const struct {
        const char* name;
        int newIndex;
    } failures[] = {{"the printer fails when selected", 1}, {"an index outside the list", 7}};
    for (const auto& c : failures) {
        SCOPED_TRACE(c.name);
        scriptedUi->clear();
        EXPECT_FALSE(report.ChangePrinter(printer.VirtualIndex, c.newIndex));
        ASSERT_EQ(messageBoxes(), 1);
        const Interaction box = scriptedUi->interactions().first();
        EXPECT_EQ(box.caption, UiServices::applicationTitle());
        EXPECT_EQ(box.text, "Printer selected is not valid");
        EXPECT_EQ(box.flags, int(MessageIcon::Error) | int(MessageButtons::Ok));
        EXPECT_EQ(printer.CurrentIndex, printer.VirtualIndex) << "back on the old printer";
        EXPECT_EQ(report.PrinterName, "Virtual printer");
    }
}

TEST_F(ReportTest, HostFindsComponentsIgnoringCaseAndOwnsThem)
{
    auto& query = host.make<test::MemoryDataset>(QStringLiteral("ADOQuery1"),
        QList<test::MemoryDataset::Column>{{"AMT", DatabaseFieldKind::Float}}, QList<QVariantList>{});
    auto& reportSet = host.make<TfrDBDataSet>(QStringLiteral("frDBDataSet1"));
    reportSet.setDataSet(&query);

    EXPECT_EQ(host.findComponent("FRDBDATASET1"), &reportSet);
    EXPECT_EQ(host.findComponent("adoquery1"), &query);
    EXPECT_EQ(host.findComponent("frReport1"), &report);
    EXPECT_EQ(host.findComponent("frDBDataSet2"), nullptr);
    EXPECT_EQ(FindDatasetComponent(&host, "form1.FrDbDataSet1"), &reportSet)
        << "the host answers for its name";
    EXPECT_THROW(host.make<TfrDBDataSet>(QStringLiteral("FRDBDATASET1")), VaskelError)
        << "a name finds one component";
    EXPECT_EQ(host.count(), 3);
}

TEST_F(ReportTest, RemovedDatasetIsClearedFromTheReport)
{
    auto& reportSet = host.make<TfrDBDataSet>(QStringLiteral("frDBDataSet1"));
    report.setDataset(&reportSet);
    report.connectRun();
    EXPECT_EQ(report.scope().Dataset, &reportSet) << "the report's lookup walks it";
    host.remove(&reportSet);
    EXPECT_EQ(report.Dataset, nullptr);
    EXPECT_EQ(host.findComponent("frDBDataSet1"), nullptr);

    // A dataset assigned directly is watched from the next run on.
    auto other = std::make_unique<TfrDBDataSet>(QStringLiteral("frDBDataSet2"));
    report.Dataset = other.get();
    report.connectRun();
    other.reset();
    EXPECT_EQ(report.Dataset, nullptr);
    report.disconnectRun();
}

TEST_F(ReportTest, ConnectedRunReachesTheReportsDictionaryAndEvents)
{
    fillTemplate(report);
    report.OnGetValue = [](const QString& name, Value& value) {
        if (name.compare("Answer", Qt::CaseInsensitive) == 0)
            value = Value::integer(42);
    };
    report.OnUserFunction = [](const QString& name, const Value&, const Value&, const Value&, Value& value) {
        if (name == "TWICE")
            value = Value::integer(2);
    };
    report.connectRun();
    EXPECT_EQ(frRun().CurrentReport, &report);
    EXPECT_EQ(frRun().PrintHooks, &report);
    EXPECT_EQ(globals.parser.Evaluate("Answer + 1").toInt(), 43);
    EXPECT_EQ(globals.parser.Evaluate("TWICE(1)").toInt(), 2);

    QStringList compiled, errors;
    globals.interpreter.CompileScript(
        {"begin Total := 5; CURY := 300;", "PROGRESS := 'step' end"}, compiled, errors);
    ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    qint32 movedTo = -1;
    report.SetPageCurY = [&](qint32 y) { movedTo = y; };
    frRun().CurrentPage = report.TemplatePages().Page(0);
    globals.interpreter.RunScript(compiled);
    frRun().CurrentPage = nullptr;
    EXPECT_EQ(report.VariableDictionary().Variables.GetValue("Total").toInt(), 5) << "a report variable";
    EXPECT_EQ(globals.runtimeVariables.find("Total"), nullptr);
    EXPECT_EQ(movedTo, 300);
    EXPECT_EQ(report.ProgressNote, "step");

    // INC assigns through the interpreter as a script does.
    globals.parser.Evaluate("INC(Total)");
    EXPECT_EQ(report.VariableDictionary().Variables.GetValue("Total").toInt(), 6);

    report.disconnectRun();
    EXPECT_EQ(frRun().PrintHooks, nullptr);
    EXPECT_EQ(frRun().CurrentReport, &report) << "the run state keeps naming the report";
    EXPECT_FALSE(globals.parser.LookupName);
    globals.interpreter.RunScript(compiled);
    EXPECT_EQ(report.VariableDictionary().Variables.GetValue("Total").toInt(), 6);
    EXPECT_NE(globals.runtimeVariables.find("Total"), nullptr) << "no report connected: a run-time variable";
}

TEST_F(ReportTest, BeforePrintLoadsLargeObjectFieldsThenCallsTheEvent)
{
    auto& query = host.make<test::MemoryDataset>(QStringLiteral("ADOQuery1"),
        QList<test::MemoryDataset::Column>{
            {"NOTES", DatabaseFieldKind::Memo}, {"NAME", DatabaseFieldKind::String}},
        QList<QVariantList>{{"first line\r\nsecond line", "bolt"}});
    auto& reportSet = host.make<TfrDBDataSet>(QStringLiteral("frDBDataSet1"));
    reportSet.setDataSet(&query);
    query.open();

    QStringList seen;
    report.OnBeforePrint = [&](QStringList& lines, TfrView& view) {
        seen = lines;
        lines << view.Name;
    };
    EXPECT_TRUE(report.HasBeforePrint());
    const struct {
        const char* name;
        const char* field;
        QStringList expected;
    } cases[] = {
        {"a memo field is loaded", "NOTES", {"first line", "second line"}},
        {"a string field is not", "NAME", {"[NAME]"}},
        {"a field the dataset lacks", "PRICE", {"[NAME]"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TfrMemoView memo;
        memo.Name = QStringLiteral("Memo1");
        memo.DataSetRef = &reportSet;
        memo.DataFieldName = QString::fromUtf8(c.field);
        memo.ExpandedText = {QStringLiteral("[NAME]")};
        report.BeforePrint(memo.ExpandedText, memo);
        EXPECT_EQ(seen, c.expected) << "the event sees the loaded text";
        EXPECT_EQ(memo.ExpandedText.last(), "Memo1") << "and may change it";
    }
}

TEST_F(ReportTest, PrintingBandGeometryTakesTheMeasuredHeight)
{
    TfrBand band(MasterData, nullptr);
    band.Top = 120, band.Width = 700, band.Height = 40;
    const PrintingBand printing = band.printingGeometry();
    EXPECT_EQ(printing.Top, 120);
    EXPECT_EQ(printing.Width, 700);
    EXPECT_EQ(printing.Kind, MasterData);
    EXPECT_EQ(printing.MeasuredHeight, 40) << "the designed height until the band is measured";
    band.MeasuredHeight = 55;
    EXPECT_EQ(band.printingGeometry().MeasuredHeight, 55);
}

} // namespace
} // namespace vaskel
