#include "app/OdbcQuery.h"

#include "app/DatabaseConnection.h"
#include "app/QueryGridDateText.h"
#include "platform/DateTimeValue.h"
#include "platform/PlatformGlobals.h"
#include "report/engine/TfrDatasetErrors.h"
#include "report/expr/DateTimePattern.h"
#include "report/expr/NumberPattern.h"
#include "report/expr/ValueText.h"

#include <QDate>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace vaskel {

namespace {

DatabaseFieldKind kindOf(QMetaType type)
{
    switch (type.id()) {
    case QMetaType::QString:
        return DatabaseFieldKind::String;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
        return DatabaseFieldKind::Integer;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return DatabaseFieldKind::LargeInt;
    case QMetaType::Double:
    case QMetaType::Float:
        return DatabaseFieldKind::Float;
    case QMetaType::Bool:
        return DatabaseFieldKind::Boolean;
    case QMetaType::QDate:
        return DatabaseFieldKind::Date;
    case QMetaType::QTime:
        return DatabaseFieldKind::Time;
    case QMetaType::QDateTime:
        return DatabaseFieldKind::DateTime;
    case QMetaType::QByteArray:
        return DatabaseFieldKind::Blob;
    default:
        return DatabaseFieldKind::Other;
    }
}

// A driver's value in the kind the field list declares. Drivers differ (SQLite hands back dates as
// text, some return numbers as text): the snapshot holds one form per kind. Null stays null.
QVariant normalised(const QVariant& v, DatabaseFieldKind kind)
{
    if (!v.isValid() || v.isNull())
        return {};
    switch (kind) {
    case DatabaseFieldKind::String:
    case DatabaseFieldKind::WideString:
        return v.toString();
    case DatabaseFieldKind::Float: {
        bool ok = false;
        const double d = v.toDouble(&ok);
        return ok ? QVariant(d) : QVariant();
    }
    case DatabaseFieldKind::Date: {
        if (v.typeId() == QMetaType::QDate)
            return v;
        if (v.typeId() == QMetaType::QDateTime)
            return v.toDateTime().date();
        const QDate d = QDate::fromString(v.toString().left(10), Qt::ISODate);
        return d.isValid() ? QVariant(d) : QVariant();
    }
    default:
        return v;
    }
}

// The value as text when it is a date or date-time outside the years 1 to 9999, which the report's
// date-times (and every date format) cannot hold; empty otherwise. A server's -infinity comes
// through the PostgreSQL driver as the year -9999: named here with its field, it would otherwise
// surface far away as a number that "is not a valid date".
QString dateOutOfRange(const QVariant& v)
{
    QDate date;
    QTime time;
    if (v.typeId() == QMetaType::QDate) {
        date = v.toDate();
    } else if (v.typeId() == QMetaType::QDateTime) {
        date = v.toDateTime().date();
        time = v.toDateTime().time();
    } else {
        return {};
    }
    if (!date.isValid() || (date.year() >= 1 && date.year() <= 9999))
        return {};
    // Written out by hand: Qt's ISO form is empty for years before 1.
    QString text = QStringLiteral("%1-%2-%3")
                       .arg(date.year())
                       .arg(date.month(), 2, 10, QLatin1Char('0'))
                       .arg(date.day(), 2, 10, QLatin1Char('0'));
    if (time.isValid())
        text += QLatin1Char(' ') + time.toString(QStringLiteral("HH:mm:ss"));
    return text;
}

const LocaleSettings& currentLocale(LocaleSettings& fallback)
{
    if (PlatformGlobals::exists())
        return PlatformGlobals::get().locale;
    fallback = LocaleSettings::fromSystem();
    return fallback;
}

// A value typed into a grid cell in the kind of its field: numbers with the locale's decimal
// separator, dates as the cell shows them, in the locale's short form or year first. Text that does not read
// is refused, never stored as null.
QVariant editValue(const QVariant& v, DatabaseFieldKind kind)
{
    if (!v.isValid() || v.isNull() || v.typeId() != QMetaType::QString)
        return normalised(v, kind);
    LocaleSettings fallback;
    const LocaleSettings& locale = currentLocale(fallback);
    const QString text = v.toString();
    if (kind == DatabaseFieldKind::Float) {
        if (const std::optional<double> d = ValueText::tryStrToFloat(text.trimmed(), locale.decimalSeparator))
            return *d;
        throw EDatabaseError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    }
    if (kind == DatabaseFieldKind::Date) {
        if (const std::optional<QDate> d = QueryGridDateText::parse(text, locale))
            return *d;
        throw EDatabaseError(QStringLiteral("'%1' is not a valid date").arg(text));
    }
    return normalised(v, kind);
}

QString driverMessage(const QSqlError& e)
{
    QString text = e.databaseText().trimmed();
    if (text.isEmpty())
        text = e.text().trimmed();
    return text;
}

} // namespace

OdbcQuery::OdbcQuery(
    const QString& name, DatabaseConnection* connection, const QList<OdbcFieldDef>& fixedFields)
    : DatabaseDataset(name), m_connection(connection), m_fixedFields(fixedFields)
{
    // A fixed field list exists whether or not the query is open, like persistent fields.
    for (const OdbcFieldDef& d : m_fixedFields)
        m_fields.push_back(std::make_unique<DatabaseField>(this, fieldCount(), d.name, d.kind, d.size));
}

OdbcQuery::~OdbcQuery() = default;

void OdbcQuery::clearSql()
{
    m_sql.clear();
    m_parameters.clear();
}

void OdbcQuery::setSql(const QString& sql)
{
    m_sql = sql;
}

QString OdbcQuery::quoted(const QString& text)
{
    QString inner = text;
    inner.replace('\'', QLatin1String("''"));
    return '\'' + inner + '\'';
}

QString OdbcQuery::displayStatement() const
{
    QString out;
    qsizetype next = 0;
    for (const QChar c : m_sql) {
        if (c == '?' && next < m_parameters.size())
            out += quoted(m_parameters.at(next++).toString());
        else
            out += c;
    }
    return out;
}

void OdbcQuery::open()
{
    if (m_active)
        return;
    m_connection->open();
    QSqlQuery q(m_connection->database());
    q.setForwardOnly(true);
    if (!q.prepare(m_sql))
        throw EDatabaseError(driverMessage(q.lastError()), displayStatement());
    m_connection->limitQueryTime(q);
    for (const QVariant& p : m_parameters)
        q.addBindValue(p);
    if (!q.exec())
        throw EDatabaseError(driverMessage(q.lastError()), displayStatement());

    const QSqlRecord rec = q.record();
    QList<int> columns;
    QList<DatabaseFieldKind> kinds;
    if (m_fixedFields.isEmpty()) {
        m_fields.clear();
        for (int c = 0; c < rec.count(); ++c) {
            const DatabaseFieldKind kind = kindOf(rec.field(c).metaType());
            m_fields.push_back(std::make_unique<DatabaseField>(this, c, rec.fieldName(c), kind));
            columns << c;
            kinds << kind;
        }
    } else {
        for (const OdbcFieldDef& d : m_fixedFields) {
            int column = -1;
            for (int c = 0; c < rec.count() && column < 0; ++c) {
                if (rec.fieldName(c).compare(d.name, Qt::CaseInsensitive) == 0)
                    column = c;
            }
            if (column < 0)
                throw EDatabaseError(
                    QStringLiteral("%1: Field '%2' not found").arg(Name, d.name), displayStatement());
            columns << column;
            kinds << d.kind;
        }
    }
    PackedRows rows;
    while (q.next()) {
        rows.startRow();
        for (qsizetype i = 0; i < columns.size(); ++i) {
            const QVariant value = normalised(q.value(columns[i]), kinds[i]);
            if (const QString date = dateOutOfRange(value); !date.isEmpty()) {
                throw EDatabaseError(
                    QStringLiteral("%1: Field '%2' holds the date %3, which lies outside the "
                                   "years 1 to 9999 (a database's -infinity arrives as such a date)")
                        .arg(Name, rec.fieldName(columns[i]), date),
                    displayStatement());
            }
            rows.appendValue(value);
        }
        rows.finishRow();
    }
    if (q.lastError().isValid())
        throw EDatabaseError(driverMessage(q.lastError()), displayStatement());
    m_rows = std::move(rows);
    m_row = 0;
    forgetDecodedRow();
    m_active = true;
    emit opened();
    emit currentRowChanged(currentRow());
}

void OdbcQuery::close()
{
    if (!m_active)
        return;
    m_active = false;
    m_rows.clear();
    m_row = 0;
    forgetDecodedRow();
    m_decoded.clear();
    if (m_fixedFields.isEmpty())
        m_fields.clear();
    emit closed();
}

void OdbcQuery::first()
{
    moveTo(0);
}

void OdbcQuery::next()
{
    if (m_row < rowCount())
        moveTo(m_row + 1);
}

void OdbcQuery::prior()
{
    if (m_row > 0)
        moveTo(m_row - 1);
}

bool OdbcQuery::eof() const
{
    return !m_active || m_row >= rowCount();
}

qint64 OdbcQuery::currentRow() const
{
    return eof() ? -1 : m_row;
}

void OdbcQuery::moveTo(qint64 row)
{
    const qint64 target = std::clamp<qint64>(row, 0, rowCount());
    if (target == m_row)
        return;
    m_row = target;
    emit currentRowChanged(currentRow());
}

QVariant OdbcQuery::valueAt(qint64 row, int index) const
{
    if (!m_active || row < 0 || row >= rowCount() || index < 0 || index >= fieldCount())
        return {};
    if (row == m_row)
        return currentValues().value(index);
    return m_rows.value(row, index);
}

const QVariantList& OdbcQuery::currentValues() const
{
    if (m_decodedRow != m_row) {
        m_rows.readRow(m_row, m_decoded);
        m_decodedRow = m_row;
    }
    return m_decoded;
}

QVariant OdbcQuery::fieldValue(int index) const
{
    return valueAt(m_row, index);
}

QString OdbcQuery::textOf(const QVariant& v, DatabaseFieldKind kind) const
{
    if (!v.isValid() || v.isNull())
        return {};
    LocaleSettings fallback;
    const LocaleSettings& locale = currentLocale(fallback);
    switch (kind) {
    case DatabaseFieldKind::Date:
        return QueryGridDateText::display(v.toDate(), locale);
    case DatabaseFieldKind::DateTime:
        return ValueText::dateTimeToStr(DateTimeValue::fromDateTime(v.toDateTime()), locale);
    case DatabaseFieldKind::Float:
        return FloatToStrGeneral(v.toDouble(), locale);
    case DatabaseFieldKind::Boolean:
        return v.toBool() ? locale.trueName : locale.falseName;
    default:
        return v.toString();
    }
}

QString OdbcQuery::textAt(qint64 row, int index) const
{
    if (index < 0 || index >= fieldCount())
        return {};
    return textOf(valueAt(row, index), field(index)->kind());
}

QString OdbcQuery::fieldText(int index) const
{
    return textAt(m_row, index);
}

OdbcQuery::RowMatch OdbcQuery::lockRow(qint64 row, const QString& action) const
{
    if (m_updateTable.isEmpty()) {
        throw EDatabaseError(
            QStringLiteral("%1 cannot be changed: its result has no key that identifies a row of a table")
                .arg(Name));
    }
    if (!m_active || row < 0 || row >= rowCount())
        throw EDatabaseError(QStringLiteral("%1: no such row to %2").arg(Name, action));
    const QVariantList original = m_rows.row(row);

    // The row is found by every value it had when it was read: equal values, or null where null.
    RowMatch match;
    QStringList where;
    for (int i = 0; i < fieldCount(); ++i) {
        const QVariant& v = original[i];
        if (!v.isValid() || v.isNull()) {
            where << field(i)->fieldName() + QStringLiteral(" IS NULL");
        } else if (field(i)->kind() == DatabaseFieldKind::Float) {
            // Some drivers send a bound double with 15 significant digits, which no longer
            // equals a stored value of 17: floats match within a relative 1e-12. Two rows that
            // close count as one value, so the uniqueness check refuses rather than guesses.
            where << QStringLiteral("ABS(%1 - ?) <= ?").arg(field(i)->fieldName());
            match.values << v << std::abs(v.toDouble()) * 1e-12;
        } else {
            where << field(i)->fieldName() + QStringLiteral("=?");
            match.values << v;
        }
    }
    match.condition = where.join(QStringLiteral(" AND "));

    QSqlQuery count(m_connection->database());
    count.prepare(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2").arg(m_updateTable, match.condition));
    for (const QVariant& v : match.values)
        count.addBindValue(v);
    if (!count.exec() || !count.next())
        throw EDatabaseError(driverMessage(count.lastError()));
    const qint64 matches = count.value(0).toLongLong();
    if (matches == 0) {
        throw EDatabaseError(
            QStringLiteral("The row was changed or deleted by someone else since it was read; "
                           "nothing was written. Query again to see the current data"));
    }
    if (matches > 1) {
        throw EDatabaseError(
            QStringLiteral("The row cannot be %1: %2 rows of %3 hold the same values and the "
                           "table has no key to tell them apart; nothing was written")
                .arg(
                    action == QLatin1String("change") ? QStringLiteral("changed") : QStringLiteral("deleted"))
                .arg(matches)
                .arg(m_updateTable));
    }
    return match;
}

void OdbcQuery::runLocked(const QString& statement, const QVariantList& values)
{
    // Inside a transaction the statement must touch exactly the one row found: anything else
    // means the row changed between the count and the statement, and nothing is kept.
    QSqlDatabase db = m_connection->database();
    const bool transaction = db.transaction();
    QSqlQuery q(db);
    q.prepare(statement);
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        const QString message = driverMessage(q.lastError());
        if (transaction)
            db.rollback();
        throw EDatabaseError(message);
    }
    const int affected = q.numRowsAffected();
    if (transaction && affected != 1) {
        db.rollback();
        throw EDatabaseError(QStringLiteral("The row was changed by someone else while it was written; "
                                            "nothing was written. Query again to see the current data"));
    }
    if (transaction && !db.commit())
        throw EDatabaseError(driverMessage(db.lastError()));
}

void OdbcQuery::postEdit(qint64 row, int index, const QVariant& value)
{
    if (index < 0 || index >= fieldCount())
        throw EDatabaseError(QStringLiteral("%1: no such row to change").arg(Name));
    const QVariant newValue = editValue(value, field(index)->kind());
    const RowMatch match = lockRow(row, QStringLiteral("change"));
    QVariantList values;
    values << (newValue.isValid() ? newValue : QVariant(QMetaType::fromType<QString>()));
    values << match.values;
    runLocked(QStringLiteral("UPDATE %1 SET %2=? WHERE %3")
                  .arg(m_updateTable, field(index)->fieldName(), match.condition),
        values);
    m_rows.replaceValue(row, index, newValue);
    forgetDecodedRow();
    emit rowChanged(row);
}

void OdbcQuery::deleteRow(qint64 row)
{
    const RowMatch match = lockRow(row, QStringLiteral("delete"));
    runLocked(QStringLiteral("DELETE FROM %1 WHERE %2").arg(m_updateTable, match.condition), match.values);
    emit rowAboutToBeRemoved(row);
    m_rows.eraseRow(row);
    forgetDecodedRow();
    // The cursor stays on the row that took the deleted one's place, or the new last row.
    if (m_row > row || (m_row >= rowCount() && m_row > 0))
        --m_row;
    emit rowRemoved(row);
    emit currentRowChanged(currentRow());
}

} // namespace vaskel
