#pragma once
// The database dataset that report datasets walk and grids show: an ODBC query in the program, an
// in-memory table in tests. It is a snapshot of rows with a current row, named fields and
// bookmarks. Implementations fill the field list when they open and clear it when they close;
// field lookup by name ignores letter case ("ldlp_no" finds LDLP_NO).
#include "report/engine/DatabaseField.h"
#include "report/engine/DatasetComponent.h"

#include <QStringList>

#include <memory>
#include <vector>

namespace vaskel {

// A remembered row position. Bookmarks of one dataset compare equal when they name the same row.
struct DatasetBookmark {
    qint64 row = -1;
    bool operator==(const DatasetBookmark&) const = default;
};

class DatabaseDataset : public DatasetComponent {
public:
    using DatasetComponent::DatasetComponent;

    // Opening an open dataset and closing a closed one do nothing. Open positions on the first row.
    virtual void open() = 0;
    virtual void close() = 0;
    virtual bool isActive() const = 0;

    virtual void first() = 0;
    virtual void next() = 0;
    virtual void prior() = 0;
    // True when there is no current row: after moving past the last row, and at once for an empty
    // or closed dataset.
    virtual bool eof() const = 0;
    // The 0-based current row, -1 without one.
    virtual qint64 currentRow() const = 0;
    virtual qint64 rowCount() const = 0;

    virtual DatasetBookmark bookmark() const;
    virtual void gotoBookmark(const DatasetBookmark& b);
    virtual void freeBookmark(const DatasetBookmark& b);
    virtual bool compareBookmarks(const DatasetBookmark& a, const DatasetBookmark& b) const;

    // Field values of the current row, by field index. A null value is an invalid QVariant.
    virtual QVariant fieldValue(int index) const = 0;
    // The value as text; null as empty text.
    virtual QString fieldText(int index) const = 0;

    int fieldCount() const { return static_cast<int>(m_fields.size()); }
    DatabaseField* field(int index) const { return m_fields.at(static_cast<size_t>(index)).get(); }
    // None for a name that no field has.
    DatabaseField* findField(const QString& name) const;
    // Throws EDatabaseError naming the field when no field has that name.
    DatabaseField& fieldByName(const QString& name) const;
    QStringList fieldNames() const;

protected:
    // Moves the current row to `row` (an implementation's own navigation).
    virtual void moveTo(qint64 row) = 0;

    std::vector<std::unique_ptr<DatabaseField>> m_fields;
};

} // namespace vaskel
