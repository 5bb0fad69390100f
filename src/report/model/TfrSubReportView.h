#pragma once
// A placeholder that reserves a rectangle in which the layout engine prints another template page
// (`PageIndex`, 0-based). It never appears in prepared pages; it draws itself only as a white box
// with its name.
#include "report/model/TfrView.h"

namespace vaskel {

class TfrSubReportView : public TfrView {
public:
    TfrSubReportView();

    qint32 PageIndex = 0;

    QString ClassName() const override { return QStringLiteral("TfrSubReportView"); }
    const ViewFieldTable& Fields() const override;
    void ReadRecord(ReportStreamReader& reader) override;
    void WriteRecord(ReportStreamWriter& writer) override;
    void Paint(QPainter& canvas, const PrintContext& ctx) override;
};

} // namespace vaskel
