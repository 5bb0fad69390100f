#pragma once
// The query window: the company heading, the bill-number list, the purchase grid above and the
// sales grid below, "查　　询" (Query), "&打印阅览" (Print preview) and the text box for the bill's
// purchase total. It owns the database connection, the purchase and sales queries, the total
// query, their data sources, the two report datasets that publish the queries to reports and the
// report component; templates find them by name through this window.
//
// Creating the window connects and opens the purchase query; a failure there throws and no window
// exists. Handlers (FormCreate, Button1Click, BitBtn21Click) never let an error escape: it stops
// the handler at the failing step and is shown in the standard error box, and the window stays
// usable.
#include "app/BillQueries.h"
#include "app/DatabaseConnection.h"
#include "app/OdbcQuery.h"
#include "app/QueryGrid.h"
#include "report/engine/DatabaseDataSource.h"
#include "report/engine/DatasetComponentOwner.h"
#include "report/engine/TfrDBDataSet.h"
#include "report/engine/TfrReport.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <functional>
#include <memory>

namespace vaskel {

class TForm1 : public QWidget, public DatasetComponentOwner {
    Q_OBJECT
public:
    // Connects through `odbcConnection` and opens the purchase query, then runs FormCreate.
    // Throws EDatabaseError when the connection or the purchase query fails.
    explicit TForm1(const QString& odbcConnection, QWidget* parent = nullptr);
    ~TForm1() override;

    // The fixed field lists of the purchase and sales queries.
    static QList<OdbcFieldDef> purchaseFields() { return BillQueries::purchaseFields(); }
    static QList<OdbcFieldDef> salesFields() { return BillQueries::salesFields(); }

    // Called with frReport1 after a successful Print preview run, just before the report shows
    // its pages in the preview window (ShowPrepared takes them over). An error it throws is shown
    // like any handler error.
    std::function<void(TfrReport&)> OnShowPrepared;

    void FormCreate();
    void Button1Click();
    void BitBtn21Click();

    DatasetComponent* findComponent(const QString& name) const override;
    DatasetComponentOwner* findApplicationOwner(const QString& name) const override;

    // Components, named as templates name them.
    std::unique_ptr<DatabaseConnection> ADOConnection1;
    std::unique_ptr<OdbcQuery> ADOQuery1; // purchase lines
    std::unique_ptr<OdbcQuery> ADOQuery2; // sales lines
    std::unique_ptr<OdbcQuery> totalQuery; // the bill's purchase total, apart from the purchase lines
    std::unique_ptr<DatabaseDataSource> DataSource1;
    std::unique_ptr<DatabaseDataSource> DataSource2;
    std::unique_ptr<TfrDBDataSet> frDBDataSet1;
    std::unique_ptr<TfrDBDataSet> frDBDataSet2;
    // Declared last: it refers to the datasets above and goes before them.
    std::unique_ptr<TfrReport> frReport1;

    // Controls (owned by the window as Qt children).
    QLabel* Label4 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* BitBtn21 = nullptr;
    QueryGrid* DBGrid1 = nullptr;
    QueryGrid* DBGrid2 = nullptr;
    QLineEdit* Edit1 = nullptr;

private:
    void buildControls();
    // Runs one handler: an error stops it and goes to the standard error box.
    void guarded(const std::function<void()>& handler);
};

} // namespace vaskel
