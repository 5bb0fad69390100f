#include "report/model/ReportStreamWriter.h"

#include "platform/PlatformGlobals.h"
#include "report/model/EStreamError.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace vaskel {

namespace {

constexpr qsizetype kFirstRoom = 256;

} // namespace

void ReportStreamWriter::reserve(qsizetype bytes)
{
    if (bytes > m_data.size())
        m_data.resize(bytes);
}

const QByteArray& ReportStreamWriter::data() const
{
    // Cutting keeps the capacity, so writing on afterwards grows in place again.
    if (m_data.size() != m_used)
        m_data.resize(m_used);
    return m_data;
}

QByteArray ReportStreamWriter::takeData()
{
    data();
    m_used = 0;
    return std::move(m_data);
}

void ReportStreamWriter::grow(qsizetype count)
{
    m_data.resize(std::max({m_used + count, 2 * m_data.size(), kFirstRoom}));
}

void ReportStreamWriter::append(const char* bytes, qsizetype count)
{
    if (count > 0)
        std::memcpy(extend(count), bytes, static_cast<size_t>(count));
}

void ReportStreamWriter::writeU8(quint8 v)
{
    *extend(1) = static_cast<char>(v);
}

void ReportStreamWriter::writeI16(qint16 v)
{
    qToLittleEndian<qint16>(v, extend(sizeof v));
}

void ReportStreamWriter::writeU16(quint16 v)
{
    qToLittleEndian<quint16>(v, extend(sizeof v));
}

void ReportStreamWriter::writeI32(qint32 v)
{
    qToLittleEndian<qint32>(v, extend(sizeof v));
}

void ReportStreamWriter::writeU32(quint32 v)
{
    qToLittleEndian<quint32>(v, extend(sizeof v));
}

void ReportStreamWriter::writeDouble(double v)
{
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    qToLittleEndian<quint64>(bits, extend(sizeof bits));
}

QByteArray ReportStreamWriter::encode(const QString& text)
{
    return PlatformGlobals::get().codePage.encode(text);
}

QByteArray ReportStreamWriter::encodeText(const QString& text) const
{
    return m_codePage ? m_codePage->encode(text) : encode(text);
}

void ReportStreamWriter::writeLength16(qint64 length)
{
    if (length > 0xFFFF)
        throw EStreamError(QStringLiteral("A text of %1 bytes is too long for a report file").arg(length));
    writeU16(static_cast<quint16>(length));
}

void ReportStreamWriter::writeString(const QString& text)
{
    const QByteArray bytes = encodeText(text);
    writeLength16(bytes.size());
    append(bytes.constData(), bytes.size());
    writeU8(0);
}

void ReportStreamWriter::writeStringList(const QStringList& lines)
{
    if (lines.size() > 0xFFFF)
        throw EStreamError(
            QStringLiteral("A text of %1 lines is too long for a report file").arg(lines.size()));
    writeU16(static_cast<quint16>(lines.size()));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray bytes = encodeText(lines.at(i));
        writeLength16(bytes.size());
        append(bytes.constData(), bytes.size());
        if (i + 1 < lines.size())
            writeU8(13);
    }
    writeU8(0);
}

void ReportStreamWriter::writeLengthPrefixedBytes(const QByteArray& bytes)
{
    writeLength16(bytes.size());
    append(bytes.constData(), bytes.size());
}

void ReportStreamWriter::patchI32(qint64 at, qint32 v)
{
    at -= m_start;
    Q_ASSERT_X(at >= 0 && at + 4 <= m_used, "ReportStreamWriter::patchI32", "outside the data");
    qToLittleEndian<qint32>(v, m_data.data() + at);
}

} // namespace vaskel
