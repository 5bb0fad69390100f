#include "app/QueryGridModel.h"

#include "app/OdbcQuery.h"
#include "platform/PlatformGlobals.h"

namespace vaskel {

namespace {

void tellUser(const std::exception& e)
{
    const auto* ve = dynamic_cast<const VaskelError*>(&e);
    PlatformGlobals::get().ui().showError(ve ? ve->message() : QString::fromLocal8Bit(e.what()));
}

} // namespace

QueryGridModel::QueryGridModel(OdbcQuery* query, const QList<GridColumn>& columns, QObject* parent)
    : QAbstractTableModel(parent), m_query(query), m_columns(columns)
{
    connect(query, &OdbcQuery::opened, this, &QueryGridModel::reset);
    connect(query, &OdbcQuery::closed, this, &QueryGridModel::reset);
    connect(query, &OdbcQuery::rowChanged, this, [this](qint64 row) {
        emit dataChanged(index(static_cast<int>(row), 0), index(static_cast<int>(row), columnCount() - 1));
    });
    connect(query, &OdbcQuery::rowAboutToBeRemoved, this,
        [this](qint64 row) { beginRemoveRows({}, static_cast<int>(row), static_cast<int>(row)); });
    connect(query, &OdbcQuery::rowRemoved, this, [this] { endRemoveRows(); });
}

void QueryGridModel::reset()
{
    beginResetModel();
    endResetModel();
}

int QueryGridModel::fieldIndex(int column) const
{
    if (column < 0 || column >= m_columns.size())
        return -1;
    const DatabaseField* f = m_query->findField(m_columns[column].field);
    return f ? f->index() : -1;
}

bool QueryGridModel::isNumeric(int column) const
{
    const int field = fieldIndex(column);
    if (field < 0)
        return false;
    switch (m_query->field(field)->kind()) {
    case DatabaseFieldKind::Integer:
    case DatabaseFieldKind::LargeInt:
    case DatabaseFieldKind::Float:
        return true;
    default:
        return false;
    }
}

int QueryGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_query->rowCount());
}

int QueryGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant QueryGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(
            Qt::AlignVCenter | (isNumeric(index.column()) ? Qt::AlignRight : Qt::AlignLeft));
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return m_query->textAt(index.row(), fieldIndex(index.column()));
}

QVariant QueryGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0
        && section < m_columns.size())
        return m_columns[section].field;
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags QueryGridModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && fieldIndex(index.column()) >= 0)
        f |= Qt::ItemIsEditable;
    return f;
}

bool QueryGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int field = fieldIndex(index.column());
    if (field < 0)
        return false;
    const QString text = value.toString();
    if (text == m_query->textAt(index.row(), field))
        return false; // nothing changed: nothing to write
    try {
        // An emptied cell stores null, the way the grid shows null.
        m_query->postEdit(index.row(), field, text.isEmpty() ? QVariant() : QVariant(text));
    } catch (const std::exception& e) {
        tellUser(e);
        // The cell shows what the database holds again.
        emit dataChanged(index, index);
        return false;
    }
    emit dataChanged(index, index);
    return true;
}

bool QueryGridModel::deleteRow(int row)
{
    try {
        m_query->deleteRow(row);
        return true;
    } catch (const std::exception& e) {
        tellUser(e);
        return false;
    }
}

} // namespace vaskel
