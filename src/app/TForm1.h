#pragma once
// The query window: the company heading, the bill-number list, the purchase grid above and the
// sales grid below, "查　　询" (Query), "&打印阅览" (Print preview) and the text box for the bill's
// purchase total. Its data (connection, queries, data sources, report datasets and report) is a
// BillDataModule, the same that `vaskel render` runs templates on; templates find the components
// by name through this window.
//
// Creating the window connects and opens the purchase query; a failure there throws and no window
// exists. Handlers (FormCreate, Button1Click, BitBtn21Click) never let an error escape: it stops
// the handler at the failing step and is shown in the standard error box, and the window stays
// usable.
#include "app/BillDataModule.h"
#include "app/BillQueries.h"
#include "app/QueryGrid.h"
#include "report/engine/DatabaseDataSource.h"
#include "report/engine/DatasetComponentOwner.h"
#include "report/engine/TfrDBDataSet.h"
#include "report/engine/TfrReport.h"
#include "ui/xplook/TXPMenu.h"

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

    // The data behind the window. Declared before the grids' pointers: the grids go first.
    BillDataModule data;
    // Components, named as templates name them (owned by `data`).
    DatabaseConnection* const ADOConnection1 = &data.connection();
    OdbcQuery* const ADOQuery1 = &data.purchase(); // purchase lines
    OdbcQuery* const ADOQuery2 = &data.sales(); // sales lines
    DatabaseDataSource* const DataSource1 = &data.purchaseSource();
    DatabaseDataSource* const DataSource2 = &data.salesSource();
    TfrDBDataSet* const frDBDataSet1 = &data.purchaseDataset();
    TfrDBDataSet* const frDBDataSet2 = &data.salesDataset();
    TfrReport* const frReport1 = &data.report();

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
    // The flat look of the buttons, the bill list and the total (owned as a Qt child).
    TXPMenu* xmPer = nullptr;

protected:
    // The stored layout is for the window's start size; room beyond it goes to the grids.
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void layoutGrids();
    void buildLook();
    // Runs one handler: an error stops it and goes to the standard error box.
    void guarded(const std::function<void()>& handler);
};

} // namespace vaskel
