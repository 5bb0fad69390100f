#pragma once
// The Value: the one variant type that every expression, script, variable list and report function
// works on. Kinds and their text forms follow the report language: numbers print with the locale
// decimal separator, booleans with the locale's "True"/"False", date-times with the short date and
// long time. Text is Unicode; lengths and positions count code points wherever the language counts
// characters.
//
// Values are small (a kind, an 8-byte payload and an empty QString unless the kind is string), so
// copying a number allocates nothing: the evaluator's numeric path relies on that.
#include <QString>
#include <QtGlobal>

namespace vaskel {

enum class TfrValueKind : quint8 {
    Empty, // never assigned
    Null, // the null marker
    Boolean,
    SmallInt, // unsigned 8-bit: comparisons and NOT produce it
    Integer, // signed 32-bit
    Float, // IEEE double; every numeric literal is one
    DateTime, // days since 1899-12-30, time of day as fraction
    String,
};

class Value {
public:
    Value() = default; // empty
    explicit Value(bool value) : m_kind(TfrValueKind::Boolean) { m_b = value; }
    explicit Value(qint32 value) : m_kind(TfrValueKind::Integer) { m_i = value; }
    explicit Value(double value) : m_kind(TfrValueKind::Float) { m_d = value; }
    explicit Value(const QString& value) : m_kind(TfrValueKind::String), m_s(value) { }
    explicit Value(QString&& value) : m_kind(TfrValueKind::String), m_s(std::move(value)) { }
    explicit Value(const char* value) : Value(QString::fromUtf8(value)) { }

    static Value empty() { return Value(); }
    static Value null();
    static Value boolean(bool value) { return Value(value); }
    static Value smallInt(quint8 value);
    static Value integer(qint32 value) { return Value(value); }
    static Value number(double value) { return Value(value); } // float
    static Value dateTime(double value);
    static Value string(const QString& value) { return Value(value); }

    TfrValueKind kind() const { return m_kind; }
    bool isEmpty() const { return m_kind == TfrValueKind::Empty; }
    bool isNull() const { return m_kind == TfrValueKind::Null; }
    bool isString() const { return m_kind == TfrValueKind::String; }
    // Small integer, integer, float, date-time or boolean: the kinds arithmetic takes as they are.
    bool isNumber() const;
    // Small integer, integer or boolean: sums of these stay integers.
    bool isIntegral() const;

    // Raw payload access for a known kind (no conversion).
    bool boolValue() const { return m_b; }
    quint8 smallIntValue() const { return m_u8; }
    qint32 intValue() const { return m_i; }
    double floatValue() const { return m_d; } // float and date-time
    const QString& stringValue() const { return m_s; }

    // Conversions. Failures raise EVariantError ("Could not convert variant of type (Null) into
    // type (String)") or, for strings, EConvertError with the text that failed.
    QString toText() const; // empty gives "", null fails
    double toNumber() const; // empty 0, true -1, strings read with the locale decimal separator
    qint32 toInt() const; // floats rounded to nearest, ties to even, clamped to 32 bits
    bool toBool() const; // non-zero numbers, "True"/"False" texts and numeric texts
    double toDateTime() const; // numbers as they are, strings by the locale date and time formats

    // "empty", "null", "boolean", "smallint", "integer", "float", "datetime", "string".
    QString kindName() const;
    static QString kindName(TfrValueKind kind);
    // The type names of the conversion error texts ("Null", "String", "Double", "Date" ...).
    static QString typeName(TfrValueKind kind);

    // Same kind and same payload. Expression equality (1 = 1.0, '' = empty) is `compareValues`.
    bool operator==(const Value& other) const;

private:
    TfrValueKind m_kind = TfrValueKind::Empty;
    union {
        bool m_b;
        quint8 m_u8;
        qint32 m_i;
        double m_d = 0;
    };
    QString m_s;
};

} // namespace vaskel
