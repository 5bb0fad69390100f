#include "report/model/TfrPage.h"

#include "platform/PlatformError.h"
#include "platform/Rounding.h"
#include "report/model/ReportLimits.h"
#include "report/model/ReportStreamReader.h"
#include "report/model/ReportStreamWriter.h"
#include "report/model/TfrGlobals.h"
#include "report/model/TfrPrinter.h"

#include <exception>

namespace vaskel {

TfrPage::TfrPage(
    TfrPrinter* printer, qint32 paperCode, qint32 width, qint32 height, quint32 bin, quint8 orientation)
    : m_printer(printer)
{
    PaperCode = paperCode;
    PaperSizeX = width;
    PaperSizeY = height;
    PaperSource = bin;
    PaperOrientation = orientation;
    ChangePaper(paperCode, width, height, bin, orientation);
}

TfrPage::~TfrPage()
{
    // The run state names the page and view being processed; a template read back after a run, or
    // a prepared page released after drawing, must not leave it pointing at freed objects.
    if (OffRunThread || !TfrGlobals::exists())
        return;
    RunState& run = frRun();
    if (run.CurrentPage == this)
        run.CurrentPage = nullptr;
    for (const auto& view : ObjectList) {
        if (run.CurrentView == view.get())
            run.CurrentView = nullptr;
    }
}

void TfrPage::ChangePaper(qint32 paperCode, qint32 width, qint32 height, quint32 bin, quint8 orientation)
{
    if (!m_printer)
        return;
    try {
        m_printer->SetPaper(paperCode, width, height, static_cast<qint32>(bin), orientation, false);
    } catch (const std::exception&) {
        try {
            m_printer->SetPaper(
                kCustomPaper, width, height, static_cast<qint32>(kDefaultBin), orientation, false);
        } catch (const std::exception&) {
            // The printer refuses even a custom size: the page keeps what the printer holds.
        }
    }
    PaperCode = m_printer->CurPaperCode;
    PaperSizeX = m_printer->CurPaperWidth;
    PaperSizeY = m_printer->CurPaperHeight;
    PaperOrientation = m_printer->CurOrientation;
    m_printer->FillMetrics(Metrics);
}

qint32 TfrPage::LeftLimit() const
{
    if (!MarginsFlag)
        return 0;
    return Margins[0] != 0 ? Margins[0] : Metrics.UnitOffsetX;
}

qint32 TfrPage::TopLimit() const
{
    if (!MarginsFlag)
        return 0;
    return Margins[1] != 0 ? Margins[1] : Metrics.UnitOffsetY;
}

qint32 TfrPage::RightLimit() const
{
    if (!MarginsFlag)
        return Metrics.UnitPaperWidth;
    return Margins[2] != 0 ? Metrics.UnitPaperWidth - Margins[2]
                           : Metrics.UnitOffsetX + Metrics.UnitPrintWidth;
}

qint32 TfrPage::BottomLimit() const
{
    if (!MarginsFlag)
        return Metrics.UnitPaperHeight;
    return Margins[3] != 0 ? Metrics.UnitPaperHeight - Margins[3]
                           : Metrics.UnitOffsetY + Metrics.UnitPrintHeight;
}

TfrView* TfrPage::Add(std::unique_ptr<TfrView> view)
{
    view->OwnerPage = this;
    ObjectList.push_back(std::move(view));
    return ObjectList.back().get();
}

// ---- by-name access ---------------------------------------------------------------------------

namespace {

// A page property a script sets is checked against what a template could hold; the property is
// named when the value is refused.
void checkRange(
    const TfrPage& page, const char* property, double value, const ReportLimits::ValueRange& range)
{
    if (const QString bad = range.problem(value); !bad.isEmpty())
        throw VaskelError(QStringLiteral("Property %1 of %2 cannot be set: %3")
                              .arg(QLatin1String(property),
                                  page.Name.isEmpty() ? QStringLiteral("the page") : page.Name, bad));
}

qint32 limitedInt(
    const TfrPage& page, const char* property, const Value& value, const ReportLimits::ValueRange& range)
{
    const qint32 v = value.toInt();
    checkRange(page, property, v, range);
    return v;
}

constexpr ReportLimits::ValueRange kMarginRange{
    "margin", -ReportLimits::kMaxCoordinate, ReportLimits::kMaxCoordinate};
constexpr ReportLimits::ValueRange kPaperRange{"paper size", 0, ReportLimits::kMaxPaperSize};
// Dialog pages are windows: their place and size are pixels on a screen.
constexpr ReportLimits::ValueRange kDialogRange{
    "dialog geometry", -ReportLimits::kMaxCoordinate, ReportLimits::kMaxCoordinate};

// Width and Height of a printed page: pixels of the reference screen, held as tenths of a
// millimetre.
qint32 paperSize(const TfrPage& page, const char* property, const Value& value)
{
    const double tenths = value.toNumber() * 10 * 5 / 18;
    checkRange(page, property, tenths, kPaperRange);
    return roundToInt(tenths);
}

} // namespace

void TfrPage::WriteProp(const QString& name, const Value& value)
{
    const QString n = name.toUpper();
    const bool dialog = PageKind == ptDialog;
    if (n == u"LEFT")
        DialogLeft = limitedInt(*this, "Left", value, kDialogRange);
    else if (n == u"TOP")
        DialogTop = limitedInt(*this, "Top", value, kDialogRange);
    else if (n == u"WIDTH") {
        if (dialog)
            DialogWidth = limitedInt(*this, "Width", value, kDialogRange);
        else
            PaperSizeX = paperSize(*this, "Width", value);
    } else if (n == u"HEIGHT") {
        if (dialog)
            DialogHeight = limitedInt(*this, "Height", value, kDialogRange);
        else
            PaperSizeY = paperSize(*this, "Height", value);
    } else if (n == u"TYPE")
        PageKind = static_cast<quint8>(value.toInt());
    else if (n == u"BORDERSTYLE")
        BorderStyle = static_cast<quint8>(value.toInt());
    else if (n == u"CAPTION")
        Caption = value.toText();
    else if (n == u"NAME")
        Name = value.toText();
    else if (n == u"COLOR")
        Color = static_cast<quint32>(value.toInt());
    else if (n == u"POSITION")
        Position = static_cast<quint8>(value.toInt());
    else if (n == u"SIZE")
        PaperCode = value.toInt();
    else if (n == u"LEFTMARGIN")
        Margins[0] = limitedInt(*this, "LeftMargin", value, kMarginRange);
    else if (n == u"TOPMARGIN")
        Margins[1] = limitedInt(*this, "TopMargin", value, kMarginRange);
    else if (n == u"RIGHTMARGIN")
        Margins[2] = limitedInt(*this, "RightMargin", value, kMarginRange);
    else if (n == u"BOTTOMMARGIN")
        Margins[3] = limitedInt(*this, "BottomMargin", value, kMarginRange);
    else if (n == u"ORIENTATION")
        PaperOrientation = static_cast<quint8>(value.toInt());
    else if (n == u"PRINTTOPREVPAGE")
        PrintToPrevPage = value.toBool();
    else if (n == u"STRETCHTOPRINTABLE")
        MarginsFlag = !value.toBool();
    else if (n == u"COLUMNS")
        Columns = limitedInt(*this, "Columns", value, ReportLimits::kColumnCountRange);
    else if (n == u"COLUMNGAP")
        ColumnGap = limitedInt(*this, "ColumnGap", value, ReportLimits::kColumnSizeRange);
    else if (n == u"COLUMNWIDTH")
        ColumnWidth = limitedInt(*this, "ColumnWidth", value, ReportLimits::kColumnSizeRange);
    else if (n == u"VISIBLE")
        Visible = value.toBool();
}

Value TfrPage::ReadProp(const QString& name)
{
    const QString n = name.toUpper();
    const bool dialog = PageKind == ptDialog;
    const bool printing = frRun().PrintMode;
    if (n == u"LEFT")
        return Value(DialogLeft);
    if (n == u"TOP")
        return Value(DialogTop);
    if (n == u"WIDTH")
        return Value(dialog ? DialogWidth : roundToInt(PaperSizeX / 10.0 * 18 / 5));
    if (n == u"HEIGHT")
        return Value(dialog ? DialogHeight : roundToInt(PaperSizeY / 10.0 * 18 / 5));
    if (n == u"TYPE")
        return Value(qint32(PageKind));
    if (n == u"BORDERSTYLE")
        return Value(qint32(BorderStyle));
    if (n == u"CAPTION")
        return Value(Caption);
    if (n == u"NAME")
        return Value(Name);
    if (n == u"COLOR")
        return Value(qint32(Color));
    if (n == u"POSITION")
        return Value(qint32(Position));
    if (n == u"SIZE")
        return Value(PaperCode);
    if (n == u"LEFTMARGIN")
        return Value(printing ? LeftLimit() : Margins[0]);
    if (n == u"TOPMARGIN")
        return Value(printing ? TopLimit() : Margins[1]);
    if (n == u"RIGHTMARGIN")
        return Value(printing ? RightLimit() : Margins[2]);
    if (n == u"BOTTOMMARGIN")
        return Value(printing ? BottomLimit() : Margins[3]);
    if (n == u"ORIENTATION")
        return Value(qint32(PaperOrientation));
    if (n == u"PRINTTOPREVPAGE")
        return Value(PrintToPrevPage);
    if (n == u"STRETCHTOPRINTABLE")
        return Value(!MarginsFlag);
    if (n == u"COLUMNS")
        return Value(Columns);
    if (n == u"COLUMNGAP")
        return Value(ColumnGap);
    if (n == u"VISIBLE")
        return Value(Visible);
    return TfrObject::ReadProp(name);
}

void TfrPage::BuildPropertyTable()
{
    ClearPropertyTable();
    AppendEnumProperty(QStringLiteral("Type"), QStringLiteral("ptReport;ptDialog"), QList<qint32>{0, 1});
    AppendProperty(QStringLiteral("Visible"), 0);
    if (PageKind == ptDialog) {
        AppendEnumProperty(
            QStringLiteral("BorderStyle"), QStringLiteral("bsDialog;bsSizeable"), QList<qint32>{3, 2});
        AppendProperty(QStringLiteral("Caption"), PropFlags::Text);
        AppendProperty(QStringLiteral("Color"), PropFlags::Colour);
        AppendProperty(QStringLiteral("Left"), PropFlags::ReportUnits);
        AppendProperty(QStringLiteral("Top"), PropFlags::ReportUnits);
        AppendProperty(QStringLiteral("Width"), PropFlags::Integer);
        AppendProperty(QStringLiteral("Height"), PropFlags::Integer);
        AppendEnumProperty(
            QStringLiteral("Position"), QStringLiteral("poDesigned;poScreenCenter"), QList<qint32>{0, 4});
        AppendProperty(QStringLiteral("OnActivate"), PropFlags::Named | PropFlags::Editor);
        return;
    }
    QString paperNames = QStringLiteral("No data");
    QList<qint32> paperCodes{0};
    if (m_printer && m_printer->PaperCount > 0) {
        paperNames = m_printer->PaperNameList.mid(0, m_printer->PaperCount).join(QLatin1Char(';'));
        paperCodes.clear();
        for (qint32 i = 0; i < m_printer->PaperCount; ++i)
            paperCodes << m_printer->PaperCodes[i];
    }
    AppendEnumProperty(QStringLiteral("Size"), paperNames, paperCodes);
    for (const char* n : {"Width", "Height", "LeftMargin", "TopMargin", "RightMargin", "BottomMargin"})
        AppendProperty(QString::fromLatin1(n), PropFlags::ReportUnits);
    AppendEnumProperty(
        QStringLiteral("Orientation"), QStringLiteral("poPortrait;poLandscape"), QList<qint32>{0, 1});
    AppendProperty(QStringLiteral("PrintToPrevPage"), PropFlags::Boolean);
    AppendProperty(QStringLiteral("StretchToPrintable"), PropFlags::Boolean);
    AppendProperty(QStringLiteral("Columns"), PropFlags::Integer);
    AppendProperty(QStringLiteral("ColumnWidth"), 0);
    AppendProperty(QStringLiteral("ColumnGap"), PropFlags::ReportUnits);
    AppendProperty(QStringLiteral("OnBeforePrint"), PropFlags::Named | PropFlags::Editor);
}

// ---- the page record --------------------------------------------------------------------------

void TfrPage::ReadPageRecord(ReportStreamReader& r)
{
    const int v = r.version();
    const qint32 marker = r.readI32();
    const bool current = marker == -1;
    PaperCode = current ? r.readI32() : marker;
    PaperSizeX = r.readI32();
    PaperSizeY = r.readI32();
    for (qint32& m : Margins)
        m = r.readI32();
    PaperOrientation = r.readU8();
    if (v <= 22)
        r.readBytes(6);
    PaperSource = v >= 24 ? r.readU32() : kDefaultBin;
    PrintToPrevPage = r.readBool16();
    MarginsFlag = r.readBool16();
    Columns = r.readI32();
    ColumnGap = r.readI32();
    if (v >= 24) {
        PageKind = r.readU8();
        Name = r.readString23();
        const quint8 border = r.readU8();
        BorderStyle = border == 0 ? 3 : border == 1 ? 2 : border;
        Caption = r.readString23();
        Color = r.readU32();
        DialogLeft = r.readI32();
        DialogTop = r.readI32();
        DialogWidth = r.readI32();
        DialogHeight = r.readI32();
        Position = r.readU8() != 0 ? 4 : 0;
        if (current)
            PageScript = r.readStringList23();
    }
    // The printer model and the page metrics are not made to compute with sizes of damaged files.
    if (const QString bad = ReportLimits::pageProblem(*this); !bad.isEmpty())
        r.fail(bad);
    ChangePaper(PaperCode, PaperSizeX, PaperSizeY, PaperSource, PaperOrientation);
}

void TfrPage::WritePageRecord(ReportStreamWriter& w) const
{
    w.writeI32(-1);
    w.writeI32(PaperCode);
    w.writeI32(PaperSizeX);
    w.writeI32(PaperSizeY);
    for (qint32 m : Margins)
        w.writeI32(m);
    w.writeU8(PaperOrientation);
    w.writeU32(PaperSource);
    w.writeBool16(PrintToPrevPage);
    w.writeBool16(MarginsFlag);
    w.writeI32(Columns);
    w.writeI32(ColumnGap);
    w.writeU8(PageKind);
    w.writeString(Name);
    w.writeU8(BorderStyle);
    w.writeString(Caption);
    w.writeU32(Color);
    w.writeI32(DialogLeft);
    w.writeI32(DialogTop);
    w.writeI32(DialogWidth);
    w.writeI32(DialogHeight);
    w.writeU8(Position);
    w.writeStringList(PageScript);
}

} // namespace vaskel
