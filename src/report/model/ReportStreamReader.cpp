#include "report/model/ReportStreamReader.h"

#include "platform/PlatformGlobals.h"
#include "report/model/EStreamError.h"

#include <QtEndian>

#include <cstring>

namespace vaskel {

ReportStreamReader::ReportStreamReader(QByteArray data, int version)
    : m_data(std::move(data)), m_version(version)
{
}

void ReportStreamReader::fail(const QString& what) const
{
    throw EStreamError(
        QStringLiteral("Stream read error"), QStringLiteral("%1 at byte offset %2").arg(what).arg(m_pos));
}

void ReportStreamReader::seek(qint64 pos)
{
    if (pos < 0 || pos > m_data.size())
        fail(QStringLiteral("position %1 outside the stream of %2 bytes").arg(pos).arg(m_data.size()));
    m_pos = pos;
}

const char* ReportStreamReader::take(qint64 count)
{
    if (count < 0 || count > remaining())
        fail(QStringLiteral("read of %1 bytes past the end").arg(count));
    const char* p = m_data.constData() + m_pos;
    m_pos += count;
    return p;
}

quint8 ReportStreamReader::readU8()
{
    return static_cast<quint8>(*take(1));
}

qint16 ReportStreamReader::readI16()
{
    return qFromLittleEndian<qint16>(take(2));
}

quint16 ReportStreamReader::readU16()
{
    return qFromLittleEndian<quint16>(take(2));
}

qint32 ReportStreamReader::readI32()
{
    return qFromLittleEndian<qint32>(take(4));
}

quint32 ReportStreamReader::readU32()
{
    return qFromLittleEndian<quint32>(take(4));
}

double ReportStreamReader::readDouble()
{
    const quint64 bits = qFromLittleEndian<quint64>(take(8));
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

QByteArray ReportStreamReader::readBytes(qint64 count)
{
    const char* p = take(count);
    return QByteArray(p, count);
}

QString ReportStreamReader::decode(const QByteArray& bytes)
{
    return PlatformGlobals::get().codePage.decode(bytes);
}

QString ReportStreamReader::decodeText(const QByteArray& bytes) const
{
    return m_codePage ? m_codePage->decode(bytes) : decode(bytes);
}

QString ReportStreamReader::readString()
{
    if (m_version >= 23)
        return readString23();
    // Versions 21 and 22: the bytes up to a terminating 0.
    const qint64 end = m_data.indexOf('\0', m_pos);
    if (end < 0)
        fail(QStringLiteral("string without terminator"));
    const QByteArray bytes = m_data.mid(m_pos, end - m_pos);
    m_pos = end + 1;
    return decodeText(bytes);
}

QString ReportStreamReader::readString23()
{
    const quint16 n = readU16();
    const QByteArray bytes = readBytes(n);
    readU8(); // the terminator, not counted in the length
    return decodeText(bytes);
}

QStringList ReportStreamReader::readStringList()
{
    if (m_version >= 23)
        return readStringList23();
    // Versions 21 and 22: 13 ends a line (kept even when empty), 0 ends the line and the list.
    QStringList lines;
    QByteArray line;
    for (;;) {
        const quint8 b = readU8();
        if (b == 13) {
            lines << decodeText(line);
            line.clear();
        } else if (b == 0) {
            if (!line.isEmpty())
                lines << decodeText(line);
            return lines;
        } else {
            line.append(static_cast<char>(b));
        }
    }
}

QStringList ReportStreamReader::readStringList23()
{
    QStringList lines;
    // The count is only trusted for being zero: writers have disagreed about it, the separator
    // bytes are what ends the list.
    if (readU16() == 0) {
        readU8();
        return lines;
    }
    for (;;) {
        const quint16 n = readU16();
        lines << decodeText(readBytes(n));
        if (readU8() == 0)
            return lines;
    }
}

QString ReportStreamReader::readShortString()
{
    const quint8 n = readU8();
    return decodeText(readBytes(n));
}

QByteArray ReportStreamReader::readLengthPrefixedBytes()
{
    const quint16 n = readU16();
    return readBytes(n);
}

} // namespace vaskel
