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

    qint64 pos() const { return m_start + m_used; }
    void reserve(qsizetype bytes);
    // The bytes written so far.
    const QByteArray& data() const;
    QByteArray takeData();

    void writeU8(quint8 v);
    void writeI16(qint16 v);
    void writeU16(quint16 v);
    void writeI32(qint32 v);
    void writeU32(quint32 v);
    void writeDouble(double v);
    // 16-bit boolean: true is 0xFFFF.
    void writeBool16(bool v) { writeU16(v ? 0xFFFF : 0); }
    void writeBytes(const QByteArray& bytes) { append(bytes.constData(), bytes.size()); }

    void writeString(const QString& text);
    void writeStringList(const QStringList& lines);
    // Unsigned 16-bit length and the bytes, no terminator (the report information block).
    void writeLengthPrefixedBytes(const QByteArray& bytes);

    // Overwrites four bytes written earlier (end-position placeholders).
    void patchI32(qint64 at, qint32 v);

    static QByteArray encode(const QString& text);
    // Text of this stream in `codePage` (not owned) instead of the configured one; null restores it.
    void setCodePage(const CodePage* codePage) { m_codePage = codePage; }

    // Prepared-page records: the code page the page holds its text in (not owned; null for
    // UTF-8), tried first for each entry. An entry it cannot hold is written in UTF-8 instead,
    // and so is every entry after it; `unicodeFrom` says where (bytes of this writer, -1 when
    // all are in the page's code page) for the page store to convert the page.
    void setPageCodePage(const CodePage* codePage) { m_pageCodePage = codePage; }
    const CodePage* pageCodePage() const { return m_unicodeFrom < 0 ? m_pageCodePage : nullptr; }
    qsizetype unicodeFrom() const { return m_unicodeFrom; }
    // Drops what was written from `at` on and writes UTF-8 entries from there.
    void restartInUnicode(qsizetype at)
    {
        m_used = at;
        m_unicodeFrom = at;
    }
    qsizetype size() const { return m_used; }

private:
    void writeLength16(qint64 length);
    QByteArray encodeText(const QString& text) const;
    // Room for `count` more bytes, counted as written: a page is written a few bytes at a time, so
    // the buffer grows geometrically and is cut to the written size only when it is read.
    char* extend(qsizetype count)
    {
        if (m_data.size() - m_used < count)
            grow(count);
        char* at = m_data.data() + m_used;
        m_used += count;
        return at;
    }
    void grow(qsizetype count);
    void append(const char* bytes, qsizetype count);

    // Holds at least m_used bytes; those beyond it are spare room (cut off by data()).
    mutable QByteArray m_data;
    qsizetype m_used = 0;
    qint64 m_start = 0;
    const CodePage* m_codePage = nullptr;
    const CodePage* m_pageCodePage = nullptr;
    qsizetype m_unicodeFrom = -1;
};

} // namespace vaskel
