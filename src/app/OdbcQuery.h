#pragma once
// A query of the query window (`ADOQuery1`, `ADOQuery2`, the total query): a statement sent over
// the window's ODBC connection, its result read at once into a static client-side snapshot with a
// current row. A query with a fixed field list binds exactly those fields by name (letter case
// ignored) whatever else the result holds, and fails to open when the result lacks one; a query
// without a list takes the result's own columns. Bill numbers travel as bound parameters, never
// pasted into the statement text, so no driver's quoting rules matter.
//
// The snapshot is held packed (a million rows of a list report take about 60 MB). The current
// row is kept decoded, as the report engine reads each of its fields several times; other rows
// (a grid's visible cells) are decoded value by value when read.
//
// Edits and deletions from a grid are written back to the query's table with optimistic locking:
// the UPDATE or DELETE finds the row by all the values it had when read, and changes nothing when
// that is not exactly one row.
#include "app/PackedRows.h"
#include "report/engine/DatabaseDataset.h"

#include <QObject>
#include <QVariantList>

namespace vaskel {

class DatabaseConnection;

struct OdbcFieldDef {
    QString name;
    DatabaseFieldKind kind;
    int size = 0; // bytes of a string field in the 8-bit code page
};

class OdbcQuery : public QObject, public DatabaseDataset {
    Q_OBJECT
public:
    // `connection` is not owned and must outlive the query.
    OdbcQuery(
        const QString& name, DatabaseConnection* connection, const QList<OdbcFieldDef>& fixedFields = {});
    ~OdbcQuery() override;

    // The statement; '?' marks a bound parameter.
    void clearSql();
    void setSql(const QString& sql);
    const QString& sql() const { return m_sql; }
    void setParameters(const QVariantList& values) { m_parameters = values; }
    const QVariantList& parameters() const { return m_parameters; }
    // The statement with each '?' replaced by its parameter as a quoted literal: for messages and
    // logs only, never sent.
    QString displayStatement() const;
    // A text as an SQL literal: single quotes doubled inside, one before and one after (o'k gives
    // 'o''k').
    static QString quoted(const QString& text);

    // The table that grid edits are written to; empty (the default) makes the query read-only.
    void setUpdateTable(const QString& table) { m_updateTable = table; }
    const QString& updateTable() const { return m_updateTable; }

    // Throws EDatabaseError with the driver's message (rejected statement) or naming a listed
    // field the result lacks; the query then stays closed.
    void open() override;
    void close() override;
    bool isActive() const override { return m_active; }

    void first() override;
    void next() override;
    void prior() override;
    bool eof() const override;
    qint64 currentRow() const override;
    qint64 rowCount() const override { return m_rows.rowCount(); }
    void setCurrentRow(qint64 row) { moveTo(row); }

    QVariant fieldValue(int index) const override;
    QString fieldText(int index) const override;
    QVariant valueAt(qint64 row, int index) const;
    QString textAt(qint64 row, int index) const;

    // Writes one field of one row to the table and, when that succeeded, into the snapshot.
    // Throws EDatabaseError when the query is read-only, when the row can no longer be found with
    // its original values (someone changed it meanwhile), or when those values do not identify a
    // single row; nothing is written then.
    void postEdit(qint64 row, int index, const QVariant& value);
    // Deletes one row from the table and from the snapshot, found the same way as an edit: throws
    // EDatabaseError, with nothing deleted, when the row changed meanwhile or is not unique.
    void deleteRow(qint64 row);

signals:
    void opened();
    void closed();
    void currentRowChanged(qint64 row);
    void rowChanged(qint64 row);
    void rowAboutToBeRemoved(qint64 row);
    void rowRemoved(qint64 row);

protected:
    void moveTo(qint64 row) override;

private:
    QString textOf(const QVariant& value, DatabaseFieldKind kind) const;
    // The values of the current row, decoded once while the row stays current and unchanged.
    const QVariantList& currentValues() const;
    void forgetDecodedRow() const { m_decodedRow = -1; }
    // Optimistic locking: the condition that finds `row` by all the values it was read with,
    // checked to match exactly one row of the table (EDatabaseError otherwise). `action` is
    // "change" or "delete", for the messages.
    struct RowMatch {
        QString condition;
        QVariantList values;
    };
    RowMatch lockRow(qint64 row, const QString& action) const;
    // Runs an UPDATE or DELETE of the locked row in a transaction that keeps it only when it
    // touched exactly one row.
    void runLocked(const QString& statement, const QVariantList& values);

    DatabaseConnection* m_connection; // not owned
    QList<OdbcFieldDef> m_fixedFields;
    QString m_sql;
    QVariantList m_parameters;
    QString m_updateTable;
    bool m_active = false;
    PackedRows m_rows;
    qint64 m_row = 0;
    mutable QVariantList m_decoded; // the values of row m_decodedRow
    mutable qint64 m_decodedRow = -1;
};

} // namespace vaskel
