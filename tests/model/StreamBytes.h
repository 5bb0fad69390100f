#pragma once
// Builds template streams byte by byte for the tests of older versions and broken input, so every
// fixture shows its layout in the test itself. Strings are Latin-1 test texts.
#include <QByteArray>
#include <QList>
#include <QtEndian>

#include <initializer_list>

namespace vaskel::test {

class StreamBytes {
public:
    StreamBytes& u8(int v)
    {
        m_data.append(static_cast<char>(v));
        return *this;
    }
    StreamBytes& u16(int v)
    {
        char b[2];
        qToLittleEndian<quint16>(static_cast<quint16>(v), b);
        m_data.append(b, 2);
        return *this;
    }
    StreamBytes& i32(qint64 v)
    {
        char b[4];
        qToLittleEndian<qint32>(static_cast<qint32>(v), b);
        m_data.append(b, 4);
        return *this;
    }
    StreamBytes& f64(double v)
    {
        char b[8];
        qToLittleEndian<double>(v, b);
        m_data.append(b, 8);
        return *this;
    }
    StreamBytes& bytes(const QByteArray& b)
    {
        m_data.append(b);
        return *this;
    }
    // Versions 21 and 22: text and a terminating 0.
    StreamBytes& str21(const char* s) { return bytes(QByteArray(s)).u8(0); }
    // Version 23 and later: 16-bit length, text, a 0 the length does not count.
    StreamBytes& str23(const char* s)
    {
        const QByteArray b(s);
        return u16(static_cast<int>(b.size())).bytes(b).u8(0);
    }
    StreamBytes& list21(std::initializer_list<const char*> lines)
    {
        int i = 0;
        for (const char* l : lines) {
            bytes(QByteArray(l));
            if (++i < static_cast<int>(lines.size()))
                u8(13);
        }
        return u8(0);
    }
    StreamBytes& list23(std::initializer_list<const char*> lines)
    {
        u16(static_cast<int>(lines.size()));
        int i = 0;
        for (const char* l : lines) {
            const QByteArray b(l);
            u16(static_cast<int>(b.size())).bytes(b);
            if (++i < static_cast<int>(lines.size()))
                u8(13);
        }
        return u8(0);
    }
    qsizetype size() const { return m_data.size(); }
    // Overwrites a 32-bit value written earlier (end positions).
    void patch32(qsizetype at, qint64 v)
    {
        qToLittleEndian<qint32>(static_cast<qint32>(v), m_data.data() + at);
    }
    const QByteArray& data() const { return m_data; }

private:
    QByteArray m_data;
};

} // namespace vaskel::test
