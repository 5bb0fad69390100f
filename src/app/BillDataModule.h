#pragma once
// The data of the query window, without the window: one ODBC connection, the purchase and sales
// queries `ADOQuery1` and `ADOQuery2`, their data sources `DataSource1` and `DataSource2`, the
// report datasets `frDBDataSet1` and `frDBDataSet2` over them and the report `frReport1`, held by a
// component host named "Form1", so that a template finds the same names in the window and in
// `vaskel render`. The bill's purchase total runs on a query of its own that templates do not see.
//
// The queries start on the window's start-up statements (every purchase line, every sales line);
// selectBill is the window's Query action, billTotalText the sum of Print preview, and bindQuery
// gives a report dataset a statement of the caller's own.
#include "app/DatabaseConnection.h"
#include "app/OdbcQuery.h"
#include "report/engine/ComponentHost.h"

#include <memory>

namespace vaskel {

class DatabaseDataSource;
class TfrDBDataSet;
class TfrReport;

class BillDataModule {
public:
    // Nothing connects yet.
    explicit BillDataModule(const QString& odbcConnection);
    ~BillDataModule();
    BillDataModule(const BillDataModule&) = delete;
    BillDataModule& operator=(const BillDataModule&) = delete;

    // Throws EDatabaseError with the driver's message when the data source cannot be reached.
    void connect();

    // The name under which templates read the bill chosen last ([BillNumber]); the report
    // answers it once selectBill ran, and leaves it to the template's own dictionary before.
    static constexpr const char* kBillNumberName = "BillNumber";

    // The Query action: both queries on the bill's lines. A failure stops at the query that
    // failed. Throws EDatabaseError.
    void selectBill(const QString& bill);
    // Print preview's total as the window shows it ("<sum> 元"), on the total query. Throws
    // EDatabaseError for a statement the database rejects.
    QString billTotalText(const QString& bill);

    // Gives the report dataset `name` the statement instead of what it had, the bill's statement
    // included (bind after selectBill). Bands name report datasets, field references name queries
    // ([ADOQuery1."AMT"]): `frDBDataSet1` and `frDBDataSet2`, or their queries `ADOQuery1` and
    // `ADOQuery2`, take the statement with the columns its result has (the window's fixed field
    // lists belong to the window's statements); any other name adds a report dataset of that name
    // over a query "<name>Query" of its own. Each '?' of the statement takes the next of
    // `parameters`. Throws VaskelError for a name of the host that is neither a report dataset
    // nor a query.
    void bindQuery(const QString& name, const QString& statement, const QVariantList& parameters);
    // The number of '?' marks outside quoted literals: the parameters a statement needs.
    static int parameterCount(const QString& statement);

    // Opens the queries a run is sure to need, so that a statement the database rejects is
    // reported before the run rather than as a calculation error in it: every statement given
    // through bindQuery and, when none was, the window's own queries. The window's queries are
    // left closed beside statements of the caller's own (a database without the window's tables
    // serves those), and a report dataset that walks them opens them itself. Throws
    // EDatabaseError.
    void openQueries();

    ComponentHost& host() { return m_host; }
    const ComponentHost& host() const { return m_host; }
    DatabaseConnection& connection() { return *m_connection; }
    OdbcQuery& purchase() { return *m_purchase; }
    OdbcQuery& sales() { return *m_sales; }
    DatabaseDataSource& purchaseSource() { return *m_purchaseSource; }
    DatabaseDataSource& salesSource() { return *m_salesSource; }
    TfrDBDataSet& purchaseDataset() { return *m_purchaseDataset; }
    TfrDBDataSet& salesDataset() { return *m_salesDataset; }
    TfrReport& report() { return *m_report; }

private:
    OdbcQuery& replaceQuery(OdbcQuery& old);

    std::unique_ptr<DatabaseConnection> m_connection; // first: everything below refers to it
    ComponentHost m_host{QStringLiteral("Form1")};
    std::unique_ptr<OdbcQuery> m_totalQuery; // not published to templates, as in the window
    // Owned by the host.
    OdbcQuery* m_purchase = nullptr;
    OdbcQuery* m_sales = nullptr;
    DatabaseDataSource* m_purchaseSource = nullptr;
    DatabaseDataSource* m_salesSource = nullptr;
    TfrDBDataSet* m_purchaseDataset = nullptr;
    TfrDBDataSet* m_salesDataset = nullptr;
    TfrReport* m_report = nullptr;
    std::vector<OdbcQuery*> m_bound; // queries that took a statement through bindQuery
    QString m_bill; // null until selectBill
};

} // namespace vaskel
