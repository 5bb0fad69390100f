#pragma once
// Reads the little-endian binary form shared by template streams and prepared pages: numbers,
// the two string encodings chosen by the stream version, string lists, and the short strings of
// the oldest dictionary form. Text is converted from the configured code page here, so everything
// above this class sees Unicode.
//
// Every read is checked against the end of the data: a read past the end, or a length field larger
// than what is left, throws EStreamError and allocates nothing. The stream version in force
// (`StreamVersion`) travels with the reader, so prepared pages (always version 25) and templates
// of older versions can be read side by side.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vaskel {

class CodePage;

class ReportStreamReader {
public:
    static constexpr int kCurrentVersion = 25;

    explicit ReportStreamReader(QByteArray data, int version = kCurrentVersion);

    int version() const { return m_version; }
    void setVersion(int version) { m_version = version; }

    qint64 pos() const { return m_pos; }
    qint64 size() const { return m_data.size(); }
    qint64 remaining() const { return m_data.size() - m_pos; }
    bool atEnd() const { return m_pos >= m_data.size(); }
    // Throws EStreamError for a position outside 0 .. size.
    void seek(qint64 pos);
    const QByteArray& data() const { return m_data; }

    quint8 readU8();
    qint16 readI16();
    quint16 readU16();
    qint32 readI32();
    quint32 readU32();
    double readDouble();
    // 16-bit boolean: any non-zero value is true.
    bool readBool16() { return readU16() != 0; }
    QByteArray readBytes(qint64 count);

    // String and string list in the encoding of the version in force.
    QString readString();
    QStringList readStringList();
    // The 23-and-later forms, used by fields that exist only from version 24.
    QString readString23();
    QStringList readStringList23();
    // Length byte and text (the oldest dictionary form).
    QString readShortString();
    // Unsigned 16-bit length and text, no terminator (the report information block).
    QByteArray readLengthPrefixedBytes();

    static QString decode(const QByteArray& bytes);
    // Text of this stream in `codePage` (not owned) instead of the configured one; null restores it.
    void setCodePage(const CodePage* codePage) { m_codePage = codePage; }

    // Throws EStreamError with the user's format message and the offset as detail.
    [[noreturn]] void fail(const QString& what) const;

private:
    QString decodeText(const QByteArray& bytes) const;
    const CodePage* m_codePage = nullptr;
    const char* take(qint64 count);

    QByteArray m_data;
    qint64 m_pos = 0;
    int m_version;
};

} // namespace vaskel
