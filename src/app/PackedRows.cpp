#include "app/PackedRows.h"

#include <QDataStream>
#include <QDate>
#include <QDateTime>
#include <QIODevice>
#include <QTime>

#include <cstring>
#include <new>

#include <sys/mman.h>

namespace vaskel {

namespace {

// The first byte of every value. Numbers that follow are unsigned LEB128 varints, signed ones
// zig-zagged first so that small negative numbers stay short.
enum class Tag : quint8 {
    Invalid, // an invalid variant
    Null, // a null of a type: varint type id
    False,
    True,
    Int, // zig-zag varint
    LongLong, // zig-zag varint
    Double, // 8 bytes as in memory
    Latin1, // text whose every character is below 256: varint length, one byte a character
    Utf16, // other text: varint length in UTF-16 units, two bytes each
    NullString, // a variant holding a null text (not a null variant)
    Date, // zig-zag varint Julian day (the null date too)
    Time, // zig-zag varint milliseconds since midnight, -1 for the null time
    DateTime, // zone byte, zig-zag varint milliseconds since the epoch, offset for a fixed offset
    Bytes, // varint length, bytes
    NullBytes, // a variant holding a null byte array
    Stream, // anything else: varint length, the variant as QDataStream writes it
};

enum class DateTimeZone : quint8 { Local, Utc, Offset };

quint64 zigzag(qint64 v)
{
    return (quint64(v) << 1) ^ quint64(v >> 63);
}

qint64 unzigzag(quint64 v)
{
    return qint64(v >> 1) ^ -qint64(v & 1);
}

// Writes `v` at `out` (room for 10 bytes) and returns the bytes written.
int putVarint(char* out, quint64 v)
{
    int n = 0;
    while (v >= 0x80) {
        out[n++] = char((v & 0x7f) | 0x80);
        v >>= 7;
    }
    out[n++] = char(v);
    return n;
}

class Writer {
public:
    explicit Writer(std::vector<char>& out) : m_out(out) { }

    void tag(Tag t) { m_out.push_back(char(t)); }
    void byte(quint8 b) { m_out.push_back(char(b)); }
    void varint(quint64 v)
    {
        char buf[10];
        raw(buf, putVarint(buf, v));
    }
    void signedVarint(qint64 v) { varint(zigzag(v)); }
    void raw(const void* data, qsizetype size)
    {
        const char* p = static_cast<const char*>(data);
        m_out.insert(m_out.end(), p, p + size);
    }
    // Room for `size` bytes at the end, to be filled by the caller.
    char* grow(qsizetype size)
    {
        const size_t at = m_out.size();
        m_out.resize(at + size_t(size));
        return m_out.data() + at;
    }

private:
    std::vector<char>& m_out;
};

class Reader {
public:
    explicit Reader(const char* p) : m_p(p) { }

    Tag tag() { return Tag(quint8(*m_p++)); }
    quint8 byte() { return quint8(*m_p++); }
    quint64 varint()
    {
        quint64 v = 0;
        int shift = 0;
        quint8 b;
        do {
            b = quint8(*m_p++);
            v |= quint64(b & 0x7f) << shift;
            shift += 7;
        } while (b & 0x80);
        return v;
    }
    qint64 signedVarint() { return unzigzag(varint()); }
    const char* take(qsizetype size)
    {
        const char* at = m_p;
        m_p += size;
        return at;
    }

private:
    const char* m_p;
};

void encodeString(Writer& w, const QString& s)
{
    if (s.isNull()) {
        w.tag(Tag::NullString);
        return;
    }
    const auto* units = reinterpret_cast<const char16_t*>(s.constData());
    const qsizetype n = s.size();
    bool latin1 = true;
    for (qsizetype i = 0; i < n && latin1; ++i)
        latin1 = units[i] < 0x100;
    if (latin1) {
        w.tag(Tag::Latin1);
        w.varint(quint64(n));
        // Each unit below 256 is its Latin-1 byte.
        char* out = w.grow(n);
        for (qsizetype i = 0; i < n; ++i)
            out[i] = char(units[i]);
    } else {
        w.tag(Tag::Utf16);
        w.varint(quint64(n));
        w.raw(units, n * 2);
    }
}

// Date-times in the local zone, in UTC or at a fixed offset keep their instant and their kind of
// zone; those of a named zone (and invalid ones) go through QDataStream, which keeps the zone.
bool encodeDateTime(Writer& w, const QDateTime& dt)
{
    if (!dt.isValid())
        return false;
    DateTimeZone zone;
    switch (dt.timeSpec()) {
    case Qt::LocalTime:
        zone = DateTimeZone::Local;
        break;
    case Qt::UTC:
        zone = DateTimeZone::Utc;
        break;
    case Qt::OffsetFromUTC:
        zone = DateTimeZone::Offset;
        break;
    default:
        return false;
    }
    w.tag(Tag::DateTime);
    w.byte(quint8(zone));
    w.signedVarint(dt.toMSecsSinceEpoch());
    if (zone == DateTimeZone::Offset)
        w.signedVarint(dt.offsetFromUtc());
    return true;
}

void encodeStreamed(Writer& w, const QVariant& v)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << v;
    w.tag(Tag::Stream);
    w.varint(quint64(bytes.size()));
    w.raw(bytes.constData(), bytes.size());
}

void encode(Writer& w, const QVariant& v)
{
    if (!v.isValid()) {
        w.tag(Tag::Invalid);
        return;
    }
    if (v.isNull()) {
        w.tag(Tag::Null);
        w.varint(quint64(v.typeId()));
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Bool:
        w.tag(v.toBool() ? Tag::True : Tag::False);
        return;
    case QMetaType::Int:
        w.tag(Tag::Int);
        w.signedVarint(v.toInt());
        return;
    case QMetaType::LongLong:
        w.tag(Tag::LongLong);
        w.signedVarint(v.toLongLong());
        return;
    case QMetaType::Double: {
        const double d = v.toDouble();
        w.tag(Tag::Double);
        w.raw(&d, sizeof d);
        return;
    }
    case QMetaType::QString:
        encodeString(w, *static_cast<const QString*>(v.constData()));
        return;
    case QMetaType::QDate:
        w.tag(Tag::Date);
        w.signedVarint(v.toDate().toJulianDay());
        return;
    case QMetaType::QTime: {
        const QTime t = v.toTime();
        w.tag(Tag::Time);
        w.signedVarint(t.isValid() ? t.msecsSinceStartOfDay() : -1);
        return;
    }
    case QMetaType::QDateTime:
        if (encodeDateTime(w, v.toDateTime()))
            return;
        break;
    case QMetaType::QByteArray: {
        const QByteArray& b = *static_cast<const QByteArray*>(v.constData());
        if (b.isNull()) {
            w.tag(Tag::NullBytes);
        } else {
            w.tag(Tag::Bytes);
            w.varint(quint64(b.size()));
            w.raw(b.constData(), b.size());
        }
        return;
    }
    default:
        break;
    }
    encodeStreamed(w, v);
}

QVariant decode(Reader& r)
{
    switch (r.tag()) {
    case Tag::Invalid:
        return {};
    case Tag::Null:
        return QVariant(QMetaType(int(r.varint())));
    case Tag::False:
        return false;
    case Tag::True:
        return true;
    case Tag::Int:
        return int(r.signedVarint());
    case Tag::LongLong:
        return qlonglong(r.signedVarint());
    case Tag::Double: {
        double d;
        std::memcpy(&d, r.take(sizeof d), sizeof d);
        return d;
    }
    case Tag::Latin1: {
        const qsizetype n = qsizetype(r.varint());
        return QString::fromLatin1(r.take(n), n);
    }
    case Tag::Utf16: {
        const qsizetype n = qsizetype(r.varint());
        QString s(n, Qt::Uninitialized);
        std::memcpy(s.data(), r.take(n * 2), size_t(n) * 2);
        return s;
    }
    case Tag::NullString:
        return QString();
    case Tag::Date:
        return QDate::fromJulianDay(r.signedVarint());
    case Tag::Time: {
        const qint64 ms = r.signedVarint();
        return ms < 0 ? QTime() : QTime::fromMSecsSinceStartOfDay(int(ms));
    }
    case Tag::DateTime: {
        const auto zone = DateTimeZone(r.byte());
        const qint64 ms = r.signedVarint();
        switch (zone) {
        case DateTimeZone::Utc:
            return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
        case DateTimeZone::Offset:
            return QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, int(r.signedVarint()));
        case DateTimeZone::Local:
            break;
        }
        return QDateTime::fromMSecsSinceEpoch(ms, Qt::LocalTime);
    }
    case Tag::Bytes: {
        const qsizetype n = qsizetype(r.varint());
        return QByteArray(r.take(n), n);
    }
    case Tag::NullBytes:
        return QByteArray();
    case Tag::Stream: {
        const qsizetype n = qsizetype(r.varint());
        QDataStream in(QByteArray::fromRawData(r.take(n), n));
        in.setVersion(QDataStream::Qt_6_0);
        QVariant v;
        in >> v;
        return v;
    }
    }
    Q_ASSERT_X(false, "PackedRows", "unknown value tag");
    return {};
}

// Steps over one value without building it: reading a value in the middle of a row walks the
// values before it.
void skip(Reader& r)
{
    switch (r.tag()) {
    case Tag::Invalid:
    case Tag::False:
    case Tag::True:
    case Tag::NullString:
    case Tag::NullBytes:
        return;
    case Tag::Null:
    case Tag::Int:
    case Tag::LongLong:
    case Tag::Date:
    case Tag::Time:
        r.varint();
        return;
    case Tag::Double:
        r.take(sizeof(double));
        return;
    case Tag::Latin1:
    case Tag::Bytes:
    case Tag::Stream:
        r.take(qsizetype(r.varint()));
        return;
    case Tag::Utf16:
        r.take(qsizetype(r.varint()) * 2);
        return;
    case Tag::DateTime:
        if (DateTimeZone(r.byte()) == DateTimeZone::Offset)
            r.varint();
        r.varint();
        return;
    }
    Q_ASSERT_X(false, "PackedRows", "unknown value tag");
}

} // namespace

// A chunk straight from the system rather than from the heap. With 1 MiB chunks from the heap a
// million-row report peaked at 530 MiB, the heap holding some 400 MiB of free page-sized blocks
// it never reused while the report engine grew and packed its pages; with mapped chunks the same
// run peaks at 255 MiB. Pages of a chunk that no row reached are never touched, so a small result
// costs one page.
std::unique_ptr<char, PackedRows::ChunkUnmap> PackedRows::mapChunk(size_t size)
{
    void* data = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (data == MAP_FAILED)
        throw std::bad_alloc();
    return std::unique_ptr<char, ChunkUnmap>(static_cast<char*>(data), ChunkUnmap{size});
}

void PackedRows::ChunkUnmap::operator()(char* data) const
{
    munmap(data, size);
}

PackedRows::PackedRows(qsizetype chunkSize) : m_chunkSize(chunkSize)
{
}
PackedRows::PackedRows(PackedRows&&) noexcept = default;
PackedRows& PackedRows::operator=(PackedRows&&) noexcept = default;
PackedRows::~PackedRows() = default;

void PackedRows::clear()
{
    m_chunks.clear();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_scratch = {};
    m_scratchValues = 0;
}

void PackedRows::startRow()
{
    // The row's value count goes before its values; it is written when the row is stored.
    m_scratch.clear();
    m_scratchValues = 0;
}

void PackedRows::appendValue(const QVariant& value)
{
    Writer w(m_scratch);
    encode(w, value);
    ++m_scratchValues;
}

void PackedRows::finishRow()
{
    m_rows.push_back(storeScratch());
}

void PackedRows::appendRow(const QVariantList& values)
{
    stageRow(values);
    finishRow();
}

void PackedRows::stageRow(const QVariantList& values)
{
    startRow();
    for (const QVariant& v : values)
        appendValue(v);
}

quint64 PackedRows::storeScratch()
{
    char count[10];
    const int countSize = putVarint(count, quint64(m_scratchValues));
    const qsizetype need = countSize + qsizetype(m_scratch.size());
    if (m_chunks.empty() || m_chunks.back().size - m_chunks.back().used < need) {
        Chunk c;
        c.size = std::max(m_chunkSize, need);
        c.data = mapChunk(size_t(c.size));
        m_chunks.push_back(std::move(c));
    }
    Chunk& c = m_chunks.back();
    const qsizetype at = c.used;
    Q_ASSERT_X(at <= 0xffffffff, "PackedRows", "a row starts beyond the reach of a row position");
    std::memcpy(c.data.get() + at, count, size_t(countSize));
    std::memcpy(c.data.get() + at + countSize, m_scratch.data(), m_scratch.size());
    c.used += need;
    return position(qsizetype(m_chunks.size()) - 1, at);
}

const char* PackedRows::rowStart(qint64 row) const
{
    const quint64 p = m_rows[size_t(row)];
    return m_chunks[size_t(p >> 32)].data.get() + (p & 0xffffffffu);
}

QVariantList PackedRows::row(qint64 row) const
{
    QVariantList out;
    readRow(row, out);
    return out;
}

void PackedRows::readRow(qint64 row, QVariantList& into) const
{
    if (row < 0 || row >= rowCount()) {
        into.clear();
        return;
    }
    Reader r(rowStart(row));
    const int n = int(r.varint());
    into.resize(n);
    for (int i = 0; i < n; ++i)
        into[i] = decode(r);
}

QVariant PackedRows::value(qint64 row, int index) const
{
    if (row < 0 || row >= rowCount() || index < 0)
        return {};
    Reader r(rowStart(row));
    if (index >= int(r.varint()))
        return {};
    for (int i = 0; i < index; ++i)
        skip(r);
    return decode(r);
}

int PackedRows::valueCount(qint64 row) const
{
    if (row < 0 || row >= rowCount())
        return 0;
    return int(Reader(rowStart(row)).varint());
}

void PackedRows::replaceValue(qint64 row, int index, const QVariant& value)
{
    QVariantList values = this->row(row);
    if (index < 0 || index >= values.size())
        return;
    values[index] = value;
    stageRow(values);
    m_rows[size_t(row)] = storeScratch();
}

void PackedRows::eraseRow(qint64 row)
{
    if (row < 0 || row >= rowCount())
        return;
    m_rows.erase(m_rows.begin() + row);
}

qsizetype PackedRows::bytesReserved() const
{
    qsizetype total = qsizetype(m_rows.capacity() * sizeof(quint64));
    for (const Chunk& c : m_chunks)
        total += c.size;
    return total;
}

} // namespace vaskel
