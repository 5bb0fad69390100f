#pragma once
// An in-memory database dataset for report-dataset tests: a fixed field list over rows of
// QVariants (an invalid QVariant is null), with a current row and an open/close state.
#include "report/engine/DatabaseDataset.h"
#include "report/engine/DatasetComponentOwner.h"

#include <QList>
#include <QVariantList>

#include <vector>

namespace vaskel::test {

class MemoryDataset : public DatabaseDataset {
public:
    struct Column {
        QString name;
        DatabaseFieldKind kind;
    };

    MemoryDataset(const QString& name, const QList<Column>& columns, const QList<QVariantList>& rows)
        : DatabaseDataset(name), m_rows(rows)
    {
        // Fields persist across close and open, like a fixed field list.
        for (const Column& c : columns)
            m_fields.push_back(std::make_unique<DatabaseField>(this, fieldCount(), c.name, c.kind));
    }

    void open() override
    {
        if (!m_active) {
            m_active = true;
            m_row = 0;
            ++opens;
        }
    }
    void close() override
    {
        m_active = false;
        m_row = 0;
    }
    bool isActive() const override { return m_active; }
    void first() override { m_row = 0; }
    void next() override
    {
        if (m_row < rowCount())
            ++m_row;
    }
    void prior() override
    {
        if (m_row > 0)
            --m_row;
    }
    bool eof() const override { return !m_active || m_row >= rowCount(); }
    qint64 currentRow() const override { return eof() ? -1 : m_row; }
    qint64 rowCount() const override { return m_active ? m_rows.size() : 0; }
    QVariant fieldValue(int index) const override { return eof() ? QVariant() : m_rows[m_row].value(index); }
    QString fieldText(int index) const override { return fieldValue(index).toString(); }

    // The current row's first column, for following a walk.
    QString key() const { return fieldText(0); }
    int opens = 0;

protected:
    void moveTo(qint64 row) override { m_row = row; }

private:
    QList<QVariantList> m_rows;
    qint64 m_row = 0;
    bool m_active = false;
};

// A window with named components, known application-wide by its own name.
class MemoryOwner : public DatasetComponentOwner {
public:
    explicit MemoryOwner(const QString& name) : m_name(name) { }
    void add(DatasetComponent* c) { m_components.append(c); }
    DatasetComponent* findComponent(const QString& name) const override
    {
        for (DatasetComponent* c : m_components) {
            if (c->Name.compare(name, Qt::CaseInsensitive) == 0)
                return c;
        }
        return nullptr;
    }
    DatasetComponentOwner* findApplicationOwner(const QString& name) const override
    {
        return name.compare(m_name, Qt::CaseInsensitive) == 0 ? const_cast<MemoryOwner*>(this) : nullptr;
    }

private:
    QString m_name;
    QList<DatasetComponent*> m_components;
};

} // namespace vaskel::test
