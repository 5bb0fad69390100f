#include "platform/SettingsStore.h"

namespace vaskel {

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
        QString::fromLatin1(kOrganisation), QString::fromLatin1(kApplication)))
{
}

SettingsStore::SettingsStore(const QString& iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat))
{
}

QVariant SettingsStore::value(const QString& key, const QVariant& fallback) const
{
    return m_settings->value(key, fallback);
}

void SettingsStore::setValue(const QString& key, const QVariant& value)
{
    m_settings->setValue(key, value);
}

void SettingsStore::remove(const QString& key)
{
    m_settings->remove(key);
}

bool SettingsStore::contains(const QString& key) const
{
    return m_settings->contains(key);
}

void SettingsStore::sync()
{
    m_settings->sync();
}

QString SettingsStore::fileName() const
{
    return m_settings->fileName();
}

QSettings::Status SettingsStore::status() const
{
    return m_settings->status();
}

int SettingsStore::readInteger(const QString& key, int fallback) const
{
    bool ok = false;
    const int value = m_settings->value(key).toString().trimmed().toInt(&ok);
    return ok ? value : fallback;
}

void SettingsStore::writeInteger(const QString& key, int value)
{
    m_settings->setValue(key, QString::number(value));
}

bool SettingsStore::readBool(const QString& key, bool fallback) const
{
    const QString text = m_settings->value(key).toString().trimmed();
    if (text.isEmpty())
        return fallback;
    bool ok = false;
    const int number = text.toInt(&ok);
    if (ok)
        return number != 0;
    // Files written by hand or by Qt's own boolean form.
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    return fallback;
}

void SettingsStore::writeBool(const QString& key, bool value)
{
    m_settings->setValue(key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace vaskel
