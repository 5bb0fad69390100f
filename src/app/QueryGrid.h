#pragma once
// A data grid of the query window (`DBGrid1`, `DBGrid2`): a flat table view over a query's
// snapshot with a title row, column and row lines, resizable columns, Tab between cells, in-place
// editing and no row indicator. Ctrl+Delete deletes the current row after the confirmation
// "Delete record?"; an edit still open when the focus leaves the grid is cancelled. It follows the query's
// current row and moves it when the user moves in the grid, so a report walking the query moves the grid's
// marker too.
#include "app/QueryGridModel.h"

#include <QTableView>

namespace vaskel {

class QueryGrid : public QTableView {
    Q_OBJECT
public:
    QueryGrid(OdbcQuery* query, const QList<GridColumn>& columns, QWidget* parent = nullptr);

    QueryGridModel* gridModel() const { return m_model; }
    // The colour of the title row.
    void setTitleColor(const QColor& color);
    QColor titleColor() const { return m_titleColor; }
    // Asks "Delete record?" and deletes the current row when the user agrees. True when deleted.
    bool deleteCurrentRow();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void applyColumnWidths();
    void followQuery(qint64 row);

    QueryGridModel* m_model; // owned by this view (QObject child)
    bool m_following = false;
    QColor m_titleColor;
};

} // namespace vaskel
