#pragma once
// The cell editor of a data grid. It commits an edit on Enter, Tab or a move to another cell as
// usual, and cancels it (the cell keeps its stored value) on Escape and when the focus leaves the
// grid, so that an edit half typed is never written by a click elsewhere in the window.
#include <QStyledItemDelegate>

namespace vaskel {

class QueryGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit QueryGridDelegate(QWidget* grid);

protected:
    bool eventFilter(QObject* editor, QEvent* event) override;

private:
    QWidget* m_grid; // not owned: the grid owns this delegate
};

} // namespace vaskel
