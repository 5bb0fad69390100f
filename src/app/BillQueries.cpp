#include "app/BillQueries.h"

namespace vaskel::BillQueries {

QList<OdbcFieldDef> purchaseFields()
{
    return {{"LDLP_NO", DatabaseFieldKind::String, 10}, {"KPDATE", DatabaseFieldKind::Date},
        {"CMNAME", DatabaseFieldKind::String, 20}, {"CMUNIT", DatabaseFieldKind::String, 8},
        {"QNT", DatabaseFieldKind::Float}, {"AMT", DatabaseFieldKind::Float}};
}

QList<OdbcFieldDef> salesFields()
{
    return {{"LDLP_NO", DatabaseFieldKind::String, 10}, {"LJ_DATE", DatabaseFieldKind::Date},
        {"USD_AMT", DatabaseFieldKind::Float}, {"CMNAME", DatabaseFieldKind::String, 20},
        {"CMUNIT", DatabaseFieldKind::String, 8}, {"QNT", DatabaseFieldKind::Float},
        {"SB_NO", DatabaseFieldKind::String, 4}};
}

void requery(OdbcQuery& query, const QString& sql, const QVariantList& parameters)
{
    query.close();
    query.clearSql();
    query.setSql(sql);
    query.setParameters(parameters);
    query.open();
}

void selectBill(OdbcQuery& purchase, OdbcQuery& sales, const QString& bill)
{
    requery(purchase, QString::fromLatin1(kPurchaseOfBill), {bill});
    requery(sales, QString::fromLatin1(kSalesOfBill), {bill});
}

QString billTotalText(OdbcQuery& total, const QString& bill)
{
    requery(total, QString::fromLatin1(kTotalOfBill), {bill});
    return total.fieldByName(QStringLiteral("Thj")).asString() + QStringLiteral(" 元");
}

} // namespace vaskel::BillQueries
