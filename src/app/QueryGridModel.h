#pragma once
// The table model behind a data grid: the rows of a query's snapshot, one column per listed field
// (title = field name). An edit confirmed in a cell is written to the query's table at once; when
// that fails (someone changed the row meanwhile, the row cannot be identified) the user is told
// through UiServices and the edited text stays in the cell for another try, with nothing written.
#include <QAbstractTableModel>
#include <QHash>

namespace vaskel {

class OdbcQuery;

struct GridColumn {
    QString field;
    int width = -1; // pixels; -1 leaves the grid's default width
};

class QueryGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    QueryGridModel(OdbcQuery* query, const QList<GridColumn>& columns, QObject* parent = nullptr);

    const QList<GridColumn>& columns() const { return m_columns; }
    OdbcQuery* query() const { return m_query; }
    // Edits kept because writing them failed.
    int pendingEdits() const { return static_cast<int>(m_pending.size()); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    int fieldIndex(int column) const;
    void reset();

    OdbcQuery* m_query; // not owned
    QList<GridColumn> m_columns;
    QHash<QPair<int, int>, QVariant> m_pending; // (row, column) → text not yet written
};

} // namespace vaskel
