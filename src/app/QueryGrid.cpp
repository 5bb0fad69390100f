#include "app/QueryGrid.h"

#include "app/OdbcQuery.h"

#include <QHeaderView>

namespace vaskel {

QueryGrid::QueryGrid(OdbcQuery* query, const QList<GridColumn>& columns, QWidget* parent)
    : QTableView(parent), m_model(new QueryGridModel(query, columns, this))
{
    setModel(m_model);
    setFrameShape(QFrame::NoFrame);
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setDefaultSectionSize(18);
    setShowGrid(true);
    setTabKeyNavigation(true);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
        | QAbstractItemView::AnyKeyPressed);
    applyColumnWidths();

    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        applyColumnWidths();
        followQuery(m_model->query()->currentRow());
    });
    connect(query, &OdbcQuery::currentRowChanged, this, &QueryGrid::followQuery);
    connect(
        selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
            if (!m_following && current.isValid())
                m_model->query()->setCurrentRow(current.row());
        });
}

void QueryGrid::applyColumnWidths()
{
    for (int c = 0; c < m_model->columns().size(); ++c) {
        const int w = m_model->columns().at(c).width;
        setColumnWidth(c, w > 0 ? w : 64);
    }
}

void QueryGrid::followQuery(qint64 row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    m_following = true;
    const int column = std::max(currentIndex().column(), 0);
    setCurrentIndex(m_model->index(static_cast<int>(row), column));
    m_following = false;
}

} // namespace vaskel
