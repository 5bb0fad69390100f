#include "platform/CodePage.h"

#include "platform/SettingsStore.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

namespace vaskel {

struct CodePage::Converters {
    explicit Converters(const QByteArray& name) : name(name)
    {
        encoder.emplace(name.constData());
        decoder.emplace(name.constData());
    }
    // A converter ready for a new text. Resetting keeps the error count of a failed text, so an
    // encoder that failed is made again (failing is rare; making one for every text was not).
    // It is made in its place: a converter of the system's conversion library counts errors
    // through its own address, and one moved into place went on counting them at the old one,
    // so a second failing text passed as converted.
    QStringEncoder& freshEncoder()
    {
        if (encoder->hasError())
            encoder.emplace(name.constData());
        encoder->resetState();
        return *encoder;
    }
    QStringDecoder& freshDecoder()
    {
        if (decoder->hasError())
            decoder.emplace(name.constData());
        decoder->resetState();
        return *decoder;
    }
    // A character's place in the code page's byte order (see sortKey), learnt on first use.
    quint64 sortKey(char32_t c);

    QByteArray name;
    QHash<char32_t, quint64> sortKeys;
    std::optional<QStringEncoder> encoder;
    std::optional<QStringDecoder> decoder;
};

namespace {

// Sort keys of characters the code page lacks lie above every code: a code of up to four bytes,
// left-aligned in 32 bits, orders as its bytes do.
constexpr quint64 kMissing = quint64(1) << 32;

} // namespace

quint64 CodePage::Converters::sortKey(char32_t c)
{
    auto it = sortKeys.constFind(c);
    if (it != sortKeys.constEnd())
        return *it;
    const QString one = QString::fromUcs4(&c, 1);
    QStringEncoder& enc = freshEncoder();
    const QByteArray bytes = enc.encode(one);
    quint64 key = kMissing | c;
    // A character that does not come back unchanged from its bytes has no form in this code page.
    if (!enc.hasError() && !bytes.isEmpty() && bytes.size() <= 4
        && QString(freshDecoder().decode(bytes)) == one) {
        quint32 packed = 0;
        for (qsizetype i = 0; i < 4; ++i)
            packed = (packed << 8) | (i < bytes.size() ? static_cast<uchar>(bytes[i]) : 0);
        key = packed;
    }
    sortKeys.insert(c, key);
    return key;
}

namespace {

QString describeCharacter(char32_t cp)
{
    return QStringLiteral("\"%1\" (U+%2)")
        .arg(QString::fromUcs4(&cp, 1),
            QString::number(static_cast<uint>(cp), 16).toUpper().rightJustified(4, '0'));
}

// Plain ASCII is the same bytes in every code page this program accepts; most texts of a report
// (names, figures, dates) are plain ASCII, and opening a converter per text dominated writing them.
char32_t nextCodePoint(QStringView text, qsizetype& i)
{
    const char16_t c = text[i++].unicode();
    if (QChar::isHighSurrogate(c) && i < text.size() && QChar::isLowSurrogate(text[i].unicode()))
        return QChar::surrogateToUcs4(c, text[i++].unicode());
    return c;
}

bool isAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

bool isAscii(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (static_cast<uchar>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

CodePage::CodePage(const QString& name) : m_name(name.trimmed())
{
    const QString upper = m_name.toUpper();
    m_utf8 = upper == "UTF-8" || upper == "UTF8";
    if (m_utf8)
        return;
    auto converters = std::make_shared<Converters>(m_name.toLatin1());
    if (m_name.isEmpty() || !converters->encoder->isValid() || !converters->decoder->isValid())
        throw CodePageError(QStringLiteral("Unknown code page \"%1\"").arg(m_name));
    const QByteArray sample = QByteArrayLiteral("Az09 .-_\r\n~");
    const QByteArray encoded = converters->freshEncoder().encode(QString::fromLatin1(sample));
    // The files' own structure (lengths, zero-ended lists, line ends) is bytes: a code page of
    // 16- or 32-bit units (UTF-16, UTF-32) cannot hold their text.
    if (encoded.size() != sample.size())
        throw CodePageError(QStringLiteral("Code page \"%1\" is not byte-oriented: template and "
                                           "prepared-report files need one whose letters and digits "
                                           "take one byte each")
                                .arg(m_name));
    m_asciiCompatible = encoded == sample;
    m_converters = std::move(converters);
}

QByteArray CodePage::encode(const QString& text) const
{
    if (m_utf8)
        return text.toUtf8();
    if (m_asciiCompatible && isAscii(text))
        return text.toLatin1();
    QStringEncoder& enc = m_converters->freshEncoder();
    QByteArray out = enc.encode(text);
    if (!enc.hasError())
        return out;
    // Find the first character that failed, one code point at a time, to name it: a character
    // that does not come back unchanged from its bytes has no form in this code page.
    QStringDecoder back(m_name.toLatin1().constData());
    const QList<uint> ucs4 = text.toUcs4();
    for (uint cp : ucs4) {
        const char32_t c = cp;
        const QString one = QString::fromUcs4(&c, 1);
        QStringEncoder single(m_name.toLatin1().constData());
        const QByteArray bytes = single.encode(one);
        if (single.hasError() || QString(back.decode(bytes)) != one)
            throw CodePageError(QStringLiteral("The character %1 cannot be written in code page %2")
                                    .arg(describeCharacter(c), m_name));
    }
    throw CodePageError(QStringLiteral("The text cannot be written in code page %1").arg(m_name));
}

QString CodePage::decode(const QByteArray& bytes) const
{
    if (m_utf8)
        return QString::fromUtf8(bytes);
    if (m_asciiCompatible && isAscii(bytes))
        return QString::fromLatin1(bytes);
    return m_converters->freshDecoder().decode(bytes);
}

int CodePage::compareOrdinal(QStringView a, QStringView b) const
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const char16_t ca = a[i].unicode();
        const char16_t cb = b[j].unicode();
        // Plain ASCII is one byte of the same value in the code pages accepted here.
        if (ca < 0x80 && cb < 0x80 && (m_utf8 || m_asciiCompatible)) {
            if (ca != cb)
                return ca < cb ? -1 : 1;
            ++i, ++j;
            continue;
        }
        const char32_t x = nextCodePoint(a, i);
        const char32_t y = nextCodePoint(b, j);
        if (x == y)
            continue;
        // UTF-8 bytes order as the code points they encode.
        const quint64 kx = m_utf8 ? x : m_converters->sortKey(x);
        const quint64 ky = m_utf8 ? y : m_converters->sortKey(y);
        if (kx != ky)
            return kx < ky ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    return j < b.size() ? -1 : 0;
}

QString CodePage::configuredName()
{
    const QByteArray env = qgetenv("VASKEL_CODEPAGE");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    const QString stored = SettingsStore().value(QStringLiteral("Files/CodePage")).toString();
    return stored.isEmpty() ? QString::fromLatin1(kDefaultName) : stored;
}

} // namespace vaskel
