#pragma once
// One field of a database dataset: its name, kind and size, and access to the current row's value
// through the dataset that owns it. Fields exist while their dataset is open; the dataset keeps
// them at stable addresses until it closes.
#include <QString>
#include <QVariant>

#include <functional>

namespace vaskel {

class DatabaseDataset;

enum class DatabaseFieldKind {
    String,
    WideString,
    Integer,
    LargeInt, // 64-bit integer
    Float,
    Boolean,
    Date,
    Time,
    DateTime,
    Blob,
    Memo,
    Graphic,
    FormattedMemo,
    OleObject,
    DbaseOle,
    TypedBinary,
    Other,
};

class DatabaseField {
public:
    DatabaseField(
        DatabaseDataset* dataset, int index, const QString& name, DatabaseFieldKind kind, int size = 0);

    DatabaseDataset* dataset() const { return m_dataset; }
    int index() const { return m_index; }
    const QString& fieldName() const { return m_name; }
    DatabaseFieldKind kind() const { return m_kind; }
    int size() const { return m_size; } // bytes of a string field; 0 for other kinds

    // The current row's value (invalid or null QVariant when the value is null).
    QVariant value() const;
    bool isNull() const;
    // The current row's value as text: null as empty text, dates in the locale's short date form.
    QString asString() const;

    // An optional display-text handler; when set, the report reads the field through it.
    std::function<QString(const DatabaseField&)> OnGetText;
    QString displayText() const { return OnGetText ? OnGetText(*this) : asString(); }

private:
    DatabaseDataset* m_dataset; // not owned: the dataset that owns this field
    int m_index;
    QString m_name;
    DatabaseFieldKind m_kind;
    int m_size;
};

} // namespace vaskel
