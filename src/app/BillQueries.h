#pragma once
// What the program sends to the database for one bill, in one place for the query window and for
// `vaskel render`: the statements of the purchase and sales queries, their fixed field lists, the
// Query action that puts both queries on a bill's lines, and Print preview's sum of the bill's
// purchase amounts. Bill numbers travel as bound parameters ('?'), safe with every driver's
// quoting rules.
#include "app/OdbcQuery.h"

namespace vaskel::BillQueries {

// The statements the queries start with: every purchase line, every sales line.
inline constexpr const char* kPurchaseList = "select * from sb_tsjh";
inline constexpr const char* kSalesList = "select * from sb_tssb";
inline constexpr const char* kPurchaseOfBill = "select * from sb_tsjh where ldlp_no=?";
inline constexpr const char* kSalesOfBill = "select * from sb_tssb where ldlp_no=?";
inline constexpr const char* kTotalOfBill = "select sum(AMT) as Thj from sb_tsjh where LDLP_NO=?";

// The fields the purchase query (`ADOQuery1`) and the sales query (`ADOQuery2`) bind, whatever
// other columns the tables have.
QList<OdbcFieldDef> purchaseFields();
QList<OdbcFieldDef> salesFields();

// Closes the query, replaces its statement and parameters, and opens it again. Throws what opening
// throws; the query then stays closed.
void requery(OdbcQuery& query, const QString& sql, const QVariantList& parameters = {});

// The Query action: the purchase query, then the sales query, on the bill's lines. A failure stops
// at the query that failed; what was done before stays done.
void selectBill(OdbcQuery& purchase, OdbcQuery& sales, const QString& bill);

// Print preview's total: runs the sum on `total` (a query without a field list) and answers the
// text the window shows for it, the sum followed by " 元"; " 元" alone for a bill without purchase
// lines, whose sum is null.
QString billTotalText(OdbcQuery& total, const QString& bill);

} // namespace vaskel::BillQueries
