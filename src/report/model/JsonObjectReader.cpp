#include "report/model/JsonObjectReader.h"

#include <cmath>
#include <limits>

namespace vaskel {

void JsonObjectReader::rejectUnknownKeys() const
{
    for (const QString& key : m_o.keys()) {
        if (!m_used.contains(key))
            throw TemplateJsonError(QStringLiteral("%1.%2: unknown key").arg(m_path, key));
    }
}

void JsonObjectReader::bad(const char* key, const char* expected) const
{
    throw TemplateJsonError(
        QStringLiteral("%1.%2: %3 is expected").arg(m_path, QLatin1String(key), QLatin1String(expected)));
}

qint64 JsonObjectReader::integer(const char* key, qint64 fallback, qint64 lo, qint64 hi) const
{
    const QJsonValue v = get(key);
    if (v.isUndefined())
        return fallback;
    const double d = v.toDouble(std::numeric_limits<double>::quiet_NaN());
    if (!v.isDouble() || d != std::floor(d) || d < double(lo) || d > double(hi))
        bad(key, "a whole number in range");
    return static_cast<qint64>(d);
}

qint32 JsonObjectReader::i32(const char* key, qint32 fallback) const
{
    return static_cast<qint32>(
        integer(key, fallback, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

quint16 JsonObjectReader::u16(const char* key, quint16 fallback) const
{
    return static_cast<quint16>(integer(key, fallback, 0, 0xFFFF));
}

quint8 JsonObjectReader::u8(const char* key, quint8 fallback) const
{
    return static_cast<quint8>(integer(key, fallback, 0, 0xFF));
}

quint32 JsonObjectReader::u32(const char* key, quint32 fallback) const
{
    return static_cast<quint32>(integer(key, fallback, 0, 0xFFFFFFFFll));
}

double JsonObjectReader::number(const char* key, double fallback) const
{
    const QJsonValue v = get(key);
    if (v.isUndefined())
        return fallback;
    if (!v.isDouble())
        bad(key, "a number");
    return v.toDouble();
}

bool JsonObjectReader::boolean(const char* key, bool fallback) const
{
    const QJsonValue v = get(key);
    if (v.isUndefined())
        return fallback;
    if (!v.isBool())
        bad(key, "true or false");
    return v.toBool();
}

QString JsonObjectReader::text(const char* key, const QString& fallback) const
{
    const QJsonValue v = get(key);
    if (v.isUndefined())
        return fallback;
    if (!v.isString())
        bad(key, "a text");
    return v.toString();
}

quint32 JsonObjectReader::colour(const char* key, quint32 fallback) const
{
    const QJsonValue v = get(key);
    if (v.isUndefined())
        return fallback;
    if (v.isDouble())
        return u32(key, fallback);
    bool ok = false;
    const QString t = v.toString();
    const qulonglong c
        = t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? t.mid(2).toULongLong(&ok, 16) : 0;
    if (!ok || c > 0xFFFFFFFFull)
        bad(key, "a colour such as \"0x00BBGGRR\"");
    return static_cast<quint32>(c);
}

QStringList JsonObjectReader::lines(const char* key) const
{
    const QJsonValue v = get(key);
    if (v.isUndefined())
        return {};
    if (!v.isArray())
        bad(key, "a list of texts");
    QStringList out;
    for (const QJsonValue& line : v.toArray()) {
        if (!line.isString())
            bad(key, "a list of texts");
        out << line.toString();
    }
    return out;
}

QJsonArray JsonObjectReader::array(const char* key) const
{
    const QJsonValue v = get(key);
    if (v.isUndefined())
        return {};
    if (!v.isArray())
        bad(key, "a list");
    return v.toArray();
}

JsonObjectReader JsonObjectReader::object(const char* key) const
{
    const QJsonValue v = get(key);
    if (!v.isUndefined() && !v.isObject())
        bad(key, "an object");
    return JsonObjectReader(v.toObject(), m_path + QLatin1Char('.') + QLatin1String(key));
}

int JsonObjectReader::nameIndex(const char* key, const char* const* names, int count, int fallback) const
{
    const QJsonValue v = get(key);
    if (v.isUndefined())
        return fallback;
    for (int i = 0; i < count; ++i) {
        if (v.toString() == QLatin1String(names[i]))
            return i;
    }
    bad(key, "one of the documented names");
}

int JsonObjectReader::matchName(const char* key, const char* const* names, int count) const
{
    const QJsonValue v = get(key);
    for (int i = 0; v.isString() && i < count; ++i) {
        if (v.toString() == QLatin1String(names[i]))
            return i;
    }
    return -1;
}

QJsonValue JsonObjectReader::get(const char* key) const
{
    m_used.insert(QLatin1String(key));
    return m_o.value(QLatin1String(key));
}

JsonObjectReader JsonObjectReader::element(const QJsonArray& array, int i, const QString& path)
{
    const QString at = QStringLiteral("%1[%2]").arg(path).arg(i);
    if (!array.at(i).isObject())
        throw TemplateJsonError(at + QStringLiteral(": an object is expected"));
    return JsonObjectReader(array.at(i).toObject(), at);
}

} // namespace vaskel
