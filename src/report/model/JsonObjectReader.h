#pragma once
// Reads the keys of one JSON object of a template's text form, each as the kind of value it must
// hold, and names the place of a wrong one in the TemplateJsonError it throws
// ("template.pages[0].views[2].left: a whole number in range is expected"). It remembers the keys
// it was asked for, so that a key nothing reads (a misspelt one) is reported instead of dropped.
#include "report/model/TemplateJson.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSet>
#include <QStringList>

namespace vaskel {

class JsonObjectReader {
public:
    JsonObjectReader(QJsonObject o, QString path) : m_o(std::move(o)), m_path(std::move(path)) { }

    bool has(const char* key) const { return m_o.contains(QLatin1String(key)); }

    // A key nothing read is a typing error ("fillColour") that would otherwise vanish silently.
    void rejectUnknownKeys() const;

    [[noreturn]] void bad(const char* key, const char* expected) const;

    qint64 integer(const char* key, qint64 fallback, qint64 lo, qint64 hi) const;
    qint32 i32(const char* key, qint32 fallback) const;
    quint16 u16(const char* key, quint16 fallback) const;
    quint8 u8(const char* key, quint8 fallback) const;
    quint32 u32(const char* key, quint32 fallback) const;
    double number(const char* key, double fallback) const;
    bool boolean(const char* key, bool fallback) const;
    QString text(const char* key, const QString& fallback = {}) const;
    quint32 colour(const char* key, quint32 fallback) const;
    QStringList lines(const char* key) const;
    QJsonArray array(const char* key) const;
    JsonObjectReader object(const char* key) const;
    int nameIndex(const char* key, const char* const* names, int count, int fallback) const;
    // Index of the name the key holds, or -1 when it holds no such name.
    int matchName(const char* key, const char* const* names, int count) const;
    const QString& path() const { return m_path; }

    // Element `i` of `array`, an object, read under the path "path[i]".
    static JsonObjectReader element(const QJsonArray& array, int i, const QString& path);

private:
    QJsonValue get(const char* key) const;

    QJsonObject m_o;
    QString m_path;
    mutable QSet<QString> m_used;
};

} // namespace vaskel
