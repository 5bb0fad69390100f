#pragma once
// Writes the binary form read by ReportStreamReader, always in the version-25 encodings. Text is
// converted to the configured code page; a character the code page cannot hold throws
// CodePageError and a text longer than a 16-bit length can say throws EStreamError, so a file is
// never written with silently changed content.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vaskel {

class CodePage;

class ReportStreamWriter {
public:
    ReportStreamWriter() = default;
    // A writer whose positions (pos, patchI32) continue a stream that already holds
    // `startPosition` bytes: records appended to a prepared page store their end positions as
    // positions in the page.
    explicit ReportStreamWriter(qint64 startPosition) : m_start(startPosition) { }

    qint64 pos() const { return m_start + m_data.size(); }
    void reserve(qsizetype bytes) { m_data.reserve(bytes); }
    const QByteArray& data() const { return m_data; }
    QByteArray takeData() { return std::move(m_data); }

    void writeU8(quint8 v);
    void writeI16(qint16 v);
    void writeU16(quint16 v);
    void writeI32(qint32 v);
    void writeU32(quint32 v);
    void writeDouble(double v);
    // 16-bit boolean: true is 0xFFFF.
    void writeBool16(bool v) { writeU16(v ? 0xFFFF : 0); }
    void writeBytes(const QByteArray& bytes) { m_data.append(bytes); }

    void writeString(const QString& text);
    void writeStringList(const QStringList& lines);
    // Unsigned 16-bit length and the bytes, no terminator (the report information block).
    void writeLengthPrefixedBytes(const QByteArray& bytes);

    // Overwrites four bytes written earlier (end-position placeholders).
    void patchI32(qint64 at, qint32 v);

    static QByteArray encode(const QString& text);
    // Text of this stream in `codePage` (not owned) instead of the configured one; null restores it.
    void setCodePage(const CodePage* codePage) { m_codePage = codePage; }

private:
    void writeLength16(qint64 length);
    QByteArray encodeText(const QString& text) const;

    QByteArray m_data;
    qint64 m_start = 0;
    const CodePage* m_codePage = nullptr;
};

} // namespace vaskel
