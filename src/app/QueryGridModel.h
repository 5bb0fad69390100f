#pragma once
// The table model behind a data grid: the rows of a query's snapshot, one column per listed field
// (title = field name). Number columns are right-aligned. An edit confirmed in a cell is written
// to the query's table at once; when that fails (a value the field cannot take, someone changed
// the row meanwhile, the row cannot be identified) the user is told through UiServices and the
// cell shows the stored value again, so grid and database never disagree. Rows deleted from the
// query leave the grid at once.
#include <QAbstractTableModel>

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

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Deletes the row from the query's table (optimistic locking, OdbcQuery::deleteRow); on
    // failure the user is told and the row stays. True when the row was deleted.
    bool deleteRow(int row);

private:
    int fieldIndex(int column) const;
    bool isNumeric(int column) const;
    void reset();

    OdbcQuery* m_query; // not owned
    QList<GridColumn> m_columns;
};

} // namespace vaskel
