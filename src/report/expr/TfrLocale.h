#pragma once
// The string loader: every user-visible text of the report engine is obtained by number through
// `LoadString`. A localisation callback, when set, is asked first and wins with a non-empty answer;
// otherwise the text comes from the program's own string table (`StringTable`). A number the
// table does not hold gives empty text. Texts are at most 1023 characters, as the legacy buffer
// allowed.
#include <QString>

#include <functional>

namespace vaskel {

class TfrLocale {
public:
    using LocalizeCallback = std::function<QString(int number)>;

    QString LoadString(int number) const;

    void setLocalizeCallback(LocalizeCallback callback) { m_callback = std::move(callback); }
    const LocalizeCallback& localizeCallback() const { return m_callback; }
    // Sets the callback to the program's installed translation (InterfaceLanguage): entries it
    // translates come out in that language, the others in English.
    void useInterfaceLanguage();

    static constexpr int kMaxLength = 1023;

private:
    LocalizeCallback m_callback;
};

} // namespace vaskel
