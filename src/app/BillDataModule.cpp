#include "app/BillDataModule.h"

#include "app/BillQueries.h"
#include "platform/PlatformError.h"
#include "report/engine/DatabaseDataSource.h"
#include "report/engine/TfrDBDataSet.h"
#include "report/engine/TfrReport.h"

namespace vaskel {

BillDataModule::BillDataModule(const QString& odbcConnection)
    : m_connection(std::make_unique<DatabaseConnection>(odbcConnection))
{
    DatabaseConnection* db = m_connection.get();
    m_purchase = &m_host.make<OdbcQuery>(QStringLiteral("ADOQuery1"), db, BillQueries::purchaseFields());
    m_sales = &m_host.make<OdbcQuery>(QStringLiteral("ADOQuery2"), db, BillQueries::salesFields());
    // The grids write confirmed edits back to the tables the rows came from.
    m_purchase->setUpdateTable(QStringLiteral("sb_tsjh"));
    m_sales->setUpdateTable(QStringLiteral("sb_tssb"));
    m_purchase->setSql(QString::fromLatin1(BillQueries::kPurchaseList));
    m_sales->setSql(QString::fromLatin1(BillQueries::kSalesList));
    m_purchaseSource = &m_host.make<DatabaseDataSource>(QStringLiteral("DataSource1"), m_purchase);
    m_salesSource = &m_host.make<DatabaseDataSource>(QStringLiteral("DataSource2"), m_sales);
    m_purchaseDataset = &m_host.make<TfrDBDataSet>(QStringLiteral("frDBDataSet1"));
    m_purchaseDataset->setDataSet(m_purchase);
    m_salesDataset = &m_host.make<TfrDBDataSet>(QStringLiteral("frDBDataSet2"));
    m_salesDataset->setDataSet(m_sales);
    m_report = &m_host.make<TfrReport>(QStringLiteral("frReport1"));
    // The bill's number as the clerk chose it, for a title that must name the bill even when
    // neither query has a line of it.
    m_report->OnGetValue = [this](const QString& name, Value& value) {
        if (!m_bill.isNull() && name.compare(QLatin1StringView(kBillNumberName), Qt::CaseInsensitive) == 0)
            value = Value(m_bill);
    };
    m_totalQuery = std::make_unique<OdbcQuery>(QStringLiteral("totalQuery"), db);
}

BillDataModule::~BillDataModule() = default;

void BillDataModule::connect()
{
    m_connection->open();
}

void BillDataModule::selectBill(const QString& bill)
{
    m_bill = bill.isNull() ? QStringLiteral("") : bill;
    BillQueries::selectBill(*m_purchase, *m_sales, bill);
}

QString BillDataModule::billTotalText(const QString& bill)
{
    return BillQueries::billTotalText(*m_totalQuery, bill);
}

void BillDataModule::bindQuery(const QString& name, const QString& statement, const QVariantList& parameters)
{
    DatasetComponent* found = m_host.findComponent(name);
    OdbcQuery* query = dynamic_cast<OdbcQuery*>(found);
    if (auto* set = dynamic_cast<TfrDBDataSet*>(found))
        query = dynamic_cast<OdbcQuery*>(set->DataSet());
    if (found && !query)
        throw VaskelError(QStringLiteral("\"%1\" is neither a report dataset nor a query").arg(name));
    if (query == m_purchase || query == m_sales) {
        query = &replaceQuery(*query);
    } else if (!query) {
        query = &m_host.make<OdbcQuery>(name + QStringLiteral("Query"), m_connection.get());
        m_host.make<TfrDBDataSet>(name).setDataSet(query);
    }
    query->close();
    query->clearSql();
    query->setSql(statement);
    query->setParameters(parameters);
    m_bound.push_back(query);
}

// A window query with a fixed field list gives way to one that takes its result's own columns,
// under the same name and linked to everything that walked or showed the old one.
OdbcQuery& BillDataModule::replaceQuery(OdbcQuery& old)
{
    const QString name = old.Name;
    std::vector<TfrDBDataSet*> sets;
    std::vector<DatabaseDataSource*> sources;
    for (int i = 0; i < m_host.count(); ++i) {
        DatasetComponent* c = m_host.component(i);
        if (auto* set = dynamic_cast<TfrDBDataSet*>(c); set && set->DataSet() == &old)
            sets.push_back(set);
        if (auto* source = dynamic_cast<DatabaseDataSource*>(c); source && source->dataSet() == &old)
            sources.push_back(source);
    }
    const bool purchase = &old == m_purchase;
    std::erase(m_bound, &old);
    m_host.remove(&old);
    OdbcQuery& replacement = m_host.make<OdbcQuery>(name, m_connection.get());
    (purchase ? m_purchase : m_sales) = &replacement;
    for (TfrDBDataSet* set : sets)
        set->setDataSet(&replacement);
    for (DatabaseDataSource* source : sources)
        source->setDataSet(&replacement);
    return replacement;
}

int BillDataModule::parameterCount(const QString& statement)
{
    // A '?' is a parameter only outside literals ('…'), quoted names ("…", `…`, […]) and
    // comments (-- to the line's end, /* … */). A doubled quote inside a literal or name closes
    // and opens it again, which counts the same.
    int count = 0;
    const qsizetype n = statement.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = statement.at(i);
        const QChar next = i + 1 < n ? statement.at(i + 1) : QChar();
        QChar close;
        if (c == u'\'' || c == u'"' || c == u'`')
            close = c;
        else if (c == u'[')
            close = u']';
        if (!close.isNull()) {
            const qsizetype end = statement.indexOf(close, i + 1);
            i = end < 0 ? n : end;
        } else if (c == u'-' && next == u'-') {
            const qsizetype end = statement.indexOf(u'\n', i + 2);
            i = end < 0 ? n : end;
        } else if (c == u'/' && next == u'*') {
            const qsizetype end = statement.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 1;
        } else if (c == u'?') {
            ++count;
        }
    }
    return count;
}

void BillDataModule::openQueries()
{
    if (m_bound.empty()) {
        m_purchase->open();
        m_sales->open();
    }
    for (OdbcQuery* query : m_bound)
        query->open();
}

} // namespace vaskel
