#pragma once
// Text in template and prepared-report files is stored in a legacy code page (GBK/CP936 by
// default, so files of the company's Windows installations read and write unchanged); inside the
// program all text is Unicode. This class converts at the stream boundary. A character the code
// page cannot hold is an error that names the character: a silent '?' would corrupt the file.
#include "platform/PlatformError.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <memory>

namespace vaskel {

class CodePageError : public VaskelError {
public:
    using VaskelError::VaskelError;
};

// A code page keeps one converter each way, made once: building a converter by name for every
// text was a fifth of preparing a report. Copies share them, so a code page and its copies are
// used on one thread.
class CodePage {
public:
    static constexpr const char* kDefaultName = "GBK";

    // Throws CodePageError ("Unknown code page "X"") for a name the converter does not know.
    explicit CodePage(const QString& name = QString::fromLatin1(kDefaultName));

    const QString& name() const { return m_name; }
    bool isUtf8() const { return m_utf8; }

    // Throws CodePageError naming the first character that has no form in this code page.
    QByteArray encode(const QString& text) const;
    // Bytes that are not valid in the code page become U+FFFD; reading never fails.
    QString decode(const QByteArray& bytes) const;

    // Orders two texts as their bytes in this code page compare, byte by byte (in GBK, Chinese
    // characters in the order of their GBK codes); a character the code page cannot hold comes
    // after every character it can, and such characters among themselves by code point.
    // Negative, 0 or positive.
    int compareOrdinal(QStringView a, QStringView b) const;

    // The code page the program uses for files: the setting "Files/CodePage", overridden by the
    // environment variable VASKEL_CODEPAGE, GBK when neither is set.
    static QString configuredName();

private:
    struct Converters;

    QString m_name;
    std::shared_ptr<Converters> m_converters; // null for UTF-8
    bool m_utf8 = false;
    bool m_asciiCompatible = false; // ASCII text is the same bytes in this code page
};

} // namespace vaskel
