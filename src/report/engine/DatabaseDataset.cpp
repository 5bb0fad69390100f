#include "report/engine/DatabaseDataset.h"

#include "report/engine/TfrDatasetErrors.h"

namespace vaskel {

DatasetBookmark DatabaseDataset::bookmark() const
{
    return DatasetBookmark{currentRow()};
}

void DatabaseDataset::gotoBookmark(const DatasetBookmark& b)
{
    if (b.row < 0 || b.row >= rowCount())
        throw EDatabaseError(QStringLiteral("Record not found"));
    moveTo(b.row);
}

void DatabaseDataset::freeBookmark(const DatasetBookmark&)
{
}

bool DatabaseDataset::compareBookmarks(const DatasetBookmark& a, const DatasetBookmark& b) const
{
    return a == b;
}

DatabaseField* DatabaseDataset::findField(const QString& name) const
{
    for (const auto& f : m_fields) {
        if (f->fieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    }
    return nullptr;
}

DatabaseField& DatabaseDataset::fieldByName(const QString& name) const
{
    if (DatabaseField* f = findField(name))
        return *f;
    const QString owner = Name.isEmpty() ? QString() : Name + QStringLiteral(": ");
    throw EDatabaseError(QStringLiteral("%1Field '%2' not found").arg(owner, name));
}

QStringList DatabaseDataset::fieldNames() const
{
    QStringList out;
    for (const auto& f : m_fields)
        out << f->fieldName();
    return out;
}

} // namespace vaskel
