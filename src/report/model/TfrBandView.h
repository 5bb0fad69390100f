#pragma once
// A band view marks a horizontal strip of a template page (vertical for cross bands) and carries
// what the layout engine needs to build the band: its kind (kept in `FrameTyp`), data source or
// group condition (`FormatText`), child band, master band and columns. Band views are turned into
// engine bands when a page is prepared and never appear in prepared pages.
#include "report/model/EngineBandLink.h"
#include "report/model/TfrView.h"

namespace vaskel {

enum TfrBandKind : quint16 {
    ReportTitle,
    ReportSummary,
    PageHeader,
    PageFooter,
    MasterHeader,
    MasterData,
    MasterFooter,
    DetailHeader,
    DetailData,
    DetailFooter,
    SubdetailHeader,
    SubdetailData,
    SubdetailFooter,
    Overlay,
    ColumnHeader,
    ColumnFooter,
    GroupHeader,
    GroupFooter,
    CrossHeader,
    CrossData,
    CrossFooter,
    Child,
    NoBand
};

namespace BandFlags {
inline constexpr quint16 FormNewPage = 0x0002;
inline constexpr quint16 PrintIfSubsetEmpty = 0x0004;
inline constexpr quint16 Breaked = 0x0008;
inline constexpr quint16 OnFirstPage = 0x0010;
inline constexpr quint16 OnLastPage = 0x0020;
inline constexpr quint16 RepeatHeader = 0x0040;
inline constexpr quint16 PrintChildIfInvisible = 0x0080;
} // namespace BandFlags

class TfrBandView : public TfrView {
public:
    TfrBandView();

    QString ChildBand;
    QString Master;
    qint32 Columns = 1;
    qint32 ColumnWidth = 200; // report units
    qint32 ColumnGap = 20;
    qint32 NewColumnAfter = 1;
    // The engine band built from this view while a report runs; not owned, none otherwise.
    EngineBandLink* EngineBand = nullptr;

    TfrBandKind BandKind() const { return static_cast<TfrBandKind>(FrameTyp); }
    bool isCrossBand() const { return FrameTyp >= CrossHeader && FrameTyp <= CrossFooter; }

    QString ClassName() const override { return QStringLiteral("TfrBandView"); }
    const ViewFieldTable& Fields() const override;
    // While a report runs, the engine band built from the view answers first and hears of writes.
    void WriteProp(const QString& name, const Value& value) override;
    Value ReadProp(const QString& name) override;
    Value CallMethod(const QString& name, const Value& a, const Value& b, const Value& c) override;
    void ReadRecord(ReportStreamReader& reader) override;
    void WriteRecord(ReportStreamWriter& writer) override;
    void Paint(QPainter& canvas, const PrintContext& ctx) override;
    QRegion MakeHitRegion(bool enlarged) const override;
};

} // namespace vaskel
