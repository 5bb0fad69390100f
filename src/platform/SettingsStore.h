#pragma once
// The per-user settings store: an INI file under the organisation "RuduVorudi". Keys use '/' as
// the section separator ("Form/TfrPreviewForm/Left"). Tests run with Qt's test mode switched on,
// so they never read or write the user's real file.
#include <QSettings>
#include <QString>
#include <QVariant>

#include <memory>

namespace vaskel {

class SettingsStore {
public:
    static constexpr const char* kOrganisation = "RuduVorudi";
    static constexpr const char* kApplication = "Vaskel";

    SettingsStore();
    // A store in an explicit file (tests, tools given --settings).
    explicit SettingsStore(const QString& iniPath);

    QVariant value(const QString& key, const QVariant& fallback = {}) const;
    void setValue(const QString& key, const QVariant& value);
    void remove(const QString& key);
    bool contains(const QString& key) const;
    void sync();
    QString fileName() const;

private:
    std::unique_ptr<QSettings> m_settings;
};

} // namespace vaskel
