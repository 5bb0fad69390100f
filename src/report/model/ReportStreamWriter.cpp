#include "report/model/ReportStreamWriter.h"

#include "platform/PlatformGlobals.h"
#include "report/model/EStreamError.h"

#include <QtEndian>

#include <cstring>

namespace vaskel {

namespace {

template <typename T> void appendLittleEndian(QByteArray& data, T v)
{
    char buf[sizeof(T)];
    qToLittleEndian<T>(v, buf);
    data.append(buf, sizeof(T));
}

} // namespace

void ReportStreamWriter::writeU8(quint8 v)
{
    m_data.append(static_cast<char>(v));
}

void ReportStreamWriter::writeI16(qint16 v)
{
    appendLittleEndian(m_data, v);
}

void ReportStreamWriter::writeU16(quint16 v)
{
    appendLittleEndian(m_data, v);
}

void ReportStreamWriter::writeI32(qint32 v)
{
    appendLittleEndian(m_data, v);
}

void ReportStreamWriter::writeU32(quint32 v)
{
    appendLittleEndian(m_data, v);
}

void ReportStreamWriter::writeDouble(double v)
{
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    appendLittleEndian(m_data, bits);
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
    m_data.append(bytes);
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
        m_data.append(bytes);
        if (i + 1 < lines.size())
            writeU8(13);
    }
    writeU8(0);
}

void ReportStreamWriter::writeLengthPrefixedBytes(const QByteArray& bytes)
{
    writeLength16(bytes.size());
    m_data.append(bytes);
}

void ReportStreamWriter::patchI32(qint64 at, qint32 v)
{
    at -= m_start;
    Q_ASSERT_X(at >= 0 && at + 4 <= m_data.size(), "ReportStreamWriter::patchI32", "outside the data");
    qToLittleEndian<qint32>(v, m_data.data() + at);
}

} // namespace vaskel
