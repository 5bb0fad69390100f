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
    // NoError, or why the file could not be read or written (a failed write keeps the old file).
    QSettings::Status status() const;

    // Integers are stored as decimal text and booleans as "1" or "0", as the window placement has
    // always been kept. A missing value or one that is not a number reads as the fallback.
    int readInteger(const QString& key, int fallback) const;
    void writeInteger(const QString& key, int value);
    bool readBool(const QString& key, bool fallback) const;
    void writeBool(const QString& key, bool value);

private:
    std::unique_ptr<QSettings> m_settings;
};

} // namespace vaskel
