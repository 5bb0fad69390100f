#include "app/QueryGrid.h"

#include "app/OdbcQuery.h"
#include "app/QueryGridDelegate.h"
#include "platform/PlatformGlobals.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>

namespace vaskel {

QueryGrid::QueryGrid(OdbcQuery* query, const QList<GridColumn>& columns, QWidget* parent)
    : QTableView(parent), m_model(new QueryGridModel(query, columns, this))
{
    setModel(m_model);
    setItemDelegate(new QueryGridDelegate(this));
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

void QueryGrid::setTitleColor(const QColor& color)
{
    m_titleColor = color;
    const QColor line = color.darker(150);
    horizontalHeader()->setStyleSheet(QStringLiteral("QHeaderView::section { background-color: %1; "
                                                     "border: none; border-right: 1px solid %2; "
                                                     "border-bottom: 1px solid %2; padding: 1px; }")
                                          .arg(color.name(), line.name()));
}

void QueryGrid::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && (event->modifiers() & Qt::ControlModifier)) {
        deleteCurrentRow();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool QueryGrid::deleteCurrentRow()
{
    const int row = currentIndex().row();
    if (row < 0 || row >= m_model->rowCount())
        return false;
    const ModalResult answer = PlatformGlobals::get().ui().messageBox(UiServices::applicationTitle(),
        QCoreApplication::translate("vaskel", "Delete record?"), MessageIcon::Question,
        MessageButtons::OkCancel);
    if (answer != ModalResult::Ok)
        return false;
    return m_model->deleteRow(row);
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
