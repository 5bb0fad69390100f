#pragma once
// A template page: its paper (size code, size in tenths of a millimetre, margins in report units,
// orientation, bin), page columns, the settings of a dialog page, its script, and the ordered list
// of views it owns. The layout engine adds its own working state elsewhere; this class holds what
// the template stream stores and what scripts reach by name ("Page2.Orientation").
//
// A page asks the printer model for its paper when it is created or its paper is read, and keeps
// the printer's answer (`PaperCode`, sizes, orientation, `Metrics`). Without a printer model (the
// template tools, tests) the stored values stay exactly as given.
#include "report/model/TfrObject.h"
#include "report/model/TfrPageMetrics.h"
#include "report/model/TfrView.h"

#include <memory>
#include <vector>

namespace vaskel {

class ReportStreamReader;
class ReportStreamWriter;
class TfrPrinter;

enum TfrPageKind : quint8 { ptReport = 0, ptDialog = 1 };

class TfrPage : public TfrObject {
public:
    static constexpr qint32 kCustomPaper = 256;
    static constexpr quint32 kDefaultBin = 0xFFFF;

    // A report page with the paper request passed to `printer` (may be null).
    TfrPage(
        TfrPrinter* printer, qint32 paperCode, qint32 width, qint32 height, quint32 bin, quint8 orientation);
    ~TfrPage() override;

    qint32 PaperCode = 9;
    qint32 PaperSizeX = 2100, PaperSizeY = 2970; // tenths of a millimetre
    qint32 Margins[4] = {0, 0, 0, 0}; // left, top, right, bottom; report units, 0 = printer's edge
    quint8 PaperOrientation = 0;
    quint32 PaperSource = kDefaultBin;
    bool PrintToPrevPage = false;
    bool MarginsFlag = true;
    TfrPageMetrics Metrics;
    qint32 Columns = 1, ColumnWidth = 0, ColumnGap = 0; // report units
    quint8 PageKind = ptReport;
    std::vector<std::unique_ptr<TfrView>> ObjectList;
    QString Name;
    // Dialog page window: border (3 dialog, 2 sizeable), caption, colour, geometry in pixels,
    // position (0 designed, 4 screen centre).
    quint8 BorderStyle = 3;
    QString Caption = QStringLiteral("Form");
    quint32 Color = clBtnFace;
    qint32 DialogLeft = 220, DialogTop = 120, DialogWidth = 380, DialogHeight = 300;
    quint8 Position = 4;
    QStringList PageScript;
    bool Visible = true;
    // A page decoded for drawing on a thread other than the run's: the run state never names it,
    // and it does not look there when it goes.
    bool OffRunThread = false;

    TfrPrinter* printer() const { return m_printer; }
    // Passes a paper request to the printer model, falling back to a custom size with the default
    // bin, and takes back what the printer chose. Nothing changes without a printer model.
    void ChangePaper(qint32 paperCode, qint32 width, qint32 height, quint32 bin, quint8 orientation);

    // Layout limits in report units (left, top, right and bottom edge of the area bands use).
    qint32 LeftLimit() const;
    qint32 TopLimit() const;
    qint32 RightLimit() const;
    qint32 BottomLimit() const;

    void WriteProp(const QString& name, const Value& value) override;
    Value ReadProp(const QString& name) override;
    void BuildPropertyTable() override;

    // The page record (after the byte 255). `ReadPageRecord` leaves `Name` empty for streams that
    // do not store one; the template reader generates it.
    void ReadPageRecord(ReportStreamReader& reader);
    void WritePageRecord(ReportStreamWriter& writer) const;

    // Appends a view the page then owns; returns it.
    TfrView* Add(std::unique_ptr<TfrView> view);

private:
    TfrPrinter* m_printer; // not owned
};

} // namespace vaskel
