#include "platform/SettingsStore.h"

namespace vaskel {

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QString::fromLatin1(kOrganisation),
                                             QString::fromLatin1(kApplication)))
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

} // namespace vaskel
