#include "app/QueryGridModel.h"

#include "app/OdbcQuery.h"
#include "platform/PlatformGlobals.h"

namespace vaskel {

QueryGridModel::QueryGridModel(OdbcQuery* query, const QList<GridColumn>& columns, QObject* parent)
    : QAbstractTableModel(parent), m_query(query), m_columns(columns)
{
    connect(query, &OdbcQuery::opened, this, &QueryGridModel::reset);
    connect(query, &OdbcQuery::closed, this, &QueryGridModel::reset);
    connect(query, &OdbcQuery::rowChanged, this, [this](qint64 row) {
        emit dataChanged(index(static_cast<int>(row), 0), index(static_cast<int>(row), columnCount() - 1));
    });
}

void QueryGridModel::reset()
{
    beginResetModel();
    m_pending.clear();
    endResetModel();
}

int QueryGridModel::fieldIndex(int column) const
{
    if (column < 0 || column >= m_columns.size())
        return -1;
    const DatabaseField* f = m_query->findField(m_columns[column].field);
    return f ? f->index() : -1;
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
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const auto pending = m_pending.constFind({index.row(), index.column()});
    if (pending != m_pending.constEnd())
        return *pending;
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
    const QPair<int, int> key{index.row(), index.column()};
    if (!m_pending.contains(key) && text == m_query->textAt(index.row(), field))
        return false; // nothing changed: nothing to write
    try {
        // An emptied cell stores null, the way the grid shows null.
        m_query->postEdit(index.row(), field, text.isEmpty() ? QVariant() : QVariant(text));
        m_pending.remove(key);
    } catch (const std::exception& e) {
        m_pending.insert(key, text);
        const auto* ve = dynamic_cast<const VaskelError*>(&e);
        PlatformGlobals::get().ui().showError(ve ? ve->message() : QString::fromLocal8Bit(e.what()));
    }
    emit dataChanged(index, index);
    return true;
}

} // namespace vaskel
