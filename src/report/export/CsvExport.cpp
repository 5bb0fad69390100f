#include "report/export/CsvExport.h"

#include "platform/SafeOutputFile.h"
#include "report/engine/TfrEMFPages.h"
#include "report/export/ExportCells.h"

#include <QByteArray>

#include <algorithm>

namespace vaskel {

namespace {

QString field(const ExportCell& cell)
{
    switch (cell.kind) {
    case ExportCell::Kind::Number:
        return cell.plainNumber();
    case ExportCell::Kind::Date:
        return cell.isoDate();
    case ExportCell::Kind::Text:
        break;
    }
    return cell.text;
}

QString quoted(const QString& text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString doubled = text;
    doubled.replace(QLatin1String("\""), QLatin1String("\"\""));
    return u'"' + doubled + u'"';
}

} // namespace

bool CsvExport::write(
    TfrEMFPages& pages, const QString& fileName, const ExportDocumentInfo&, const Progress& progress)
{
    SafeOutputFile file(fileName);
    file.open();
    file.write(QByteArray("\xEF\xBB\xBF"));
    for (int i = 0; i < pages.Count(); ++i) {
        const ExportPage page = ExportCells::read(pages, i);
        const auto rows = ExportCells::lines(page, i, pages.Count(), m_everyPage);
        QByteArray text;
        for (const std::vector<const ExportCell*>& row : rows) {
            QStringList fields;
            for (const ExportCell* cell : row)
                fields.append(quoted(field(*cell)));
            text += fields.join(u',').toUtf8() + "\r\n";
        }
        file.write(text);
        if (progress && progress(i + 1))
            return false; // the file is dropped with `file`
    }
    file.commit();
    return true;
}

} // namespace vaskel
