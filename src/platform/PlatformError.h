#pragma once
// Base of every failure the program reports to a person: the message is the user's text, the
// detail (optional) is what a developer needs, such as a byte offset in a file.
#include <QString>

#include <stdexcept>

namespace vaskel {

class VaskelError : public std::runtime_error {
public:
    explicit VaskelError(const QString& message, const QString& detail = {})
        : std::runtime_error(message.toStdString()), m_message(message), m_detail(detail)
    {
    }
    const QString& message() const { return m_message; }
    const QString& detail() const { return m_detail; }

private:
    QString m_message;
    QString m_detail;
};

} // namespace vaskel
