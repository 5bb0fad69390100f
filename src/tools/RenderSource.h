#pragma once
// What a template runs against in `vaskel render`: the query window's components without the
// window. A host named "Form1" holds the purchase and sales queries `ADOQuery1` and `ADOQuery2` on
// one ODBC connection, their data sources `DataSource1` and `DataSource2`, the report datasets
// `frDBDataSet1` and `frDBDataSet2` over them and the report `frReport1`, so that a template finds
// here what it finds in the window, under the same names. The queries start on the window's
// start-up statements (every purchase line, every sales line); selectBill does what the window's
// Query action and the sum of Print preview do, and bindQuery gives a report dataset a statement
// of the caller's own.
#include "app/DatabaseConnection.h"
#include "app/OdbcQuery.h"
#include "report/engine/ComponentHost.h"

#include <memory>

namespace vaskel {

class TfrReport;

class RenderSource {
public:
    explicit RenderSource(const QString& odbcConnection);
    ~RenderSource();
    RenderSource(const RenderSource&) = delete;
    RenderSource& operator=(const RenderSource&) = delete;

    // Throws EDatabaseError with the driver's message when the data source cannot be reached.
    void connect();

    // Both queries on the bill's lines, then the bill's purchase total on a query of its own, as
    // the window does; answers the total's text as the window shows it ("<sum> 元"). Throws
    // EDatabaseError for a statement the database rejects.
    QString selectBill(const QString& bill);

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

    // Opens every query that is not open yet, so that a statement the database rejects is reported
    // before the run rather than as a calculation error in it. Throws EDatabaseError.
    void openQueries();

    TfrReport& report() { return *m_report; }

private:
    OdbcQuery& replaceQuery(OdbcQuery& old);

    std::unique_ptr<DatabaseConnection> m_connection; // first: everything below refers to it
    ComponentHost m_host{QStringLiteral("Form1")};
    std::unique_ptr<OdbcQuery> m_totalQuery; // not published to templates, as in the window
    OdbcQuery* m_purchase = nullptr; // owned by the host
    OdbcQuery* m_sales = nullptr; // owned by the host
    TfrReport* m_report = nullptr; // owned by the host
};

} // namespace vaskel
