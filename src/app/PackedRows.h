#pragma once
// The rows of a query's snapshot held packed: each row's values encoded one after the other into
// large shared byte chunks, plus one position per row. A query result of a million rows of four
// fields (number, text, amount, date) takes about 50 bytes a row here, where a list of variants a
// row took about 250 and one heap block per row and per text.
//
// Rows are appended once, as the result is read; a value comes back as exactly the variant that
// went in (same type, same value, a null of a type stays a null of that type, an invalid variant
// stays invalid). The forms a result holds (bool, int, long long, double, text, date, time,
// date-time, bytes) have compact encodings; any other type goes through QDataStream. Replacing a
// value and erasing a row are rare (grid edits and deletions): a replaced row is written again at
// the end and its old bytes stay unused until the rows are cleared.
//
// A row is never split over two chunks, so reading one is a walk over contiguous bytes; a row
// larger than a chunk gets a chunk of its own size.
#include <QVariant>
#include <QVariantList>

#include <memory>
#include <vector>

namespace vaskel {

class PackedRows {
public:
    static constexpr qsizetype DefaultChunkSize = qsizetype(1) << 20;

    explicit PackedRows(qsizetype chunkSize = DefaultChunkSize);
    PackedRows(PackedRows&&) noexcept;
    PackedRows& operator=(PackedRows&&) noexcept;
    ~PackedRows();

    qint64 rowCount() const { return static_cast<qint64>(m_rows.size()); }
    void clear();

    // Appending a row value by value: startRow, appendValue for each value, finishRow. Values go
    // into a scratch buffer that is reused from row to row, so no row needs a list of its own.
    void startRow();
    void appendValue(const QVariant& value);
    void finishRow();
    void appendRow(const QVariantList& values);

    // The values of a row; out-of-range rows give an empty list, out-of-range indexes an invalid
    // variant.
    QVariantList row(qint64 row) const;
    // The same into an existing list, whose storage is reused when it is not shared.
    void readRow(qint64 row, QVariantList& into) const;
    QVariant value(qint64 row, int index) const;
    int valueCount(qint64 row) const;

    // Replaces one value of a row (the row is written again at the end); an index past the row's
    // last value is ignored.
    void replaceValue(qint64 row, int index, const QVariant& value);
    // Removes a row; the rows after it move up by one.
    void eraseRow(qint64 row);

    // Bytes held by the chunks and the row positions.
    qsizetype bytesReserved() const;

private:
    // Chunks are mapped from the system, not taken from the heap (see PackedRows.cpp).
    struct ChunkUnmap {
        size_t size;
        void operator()(char* data) const;
    };
    struct Chunk {
        std::unique_ptr<char, ChunkUnmap> data;
        qsizetype size = 0;
        qsizetype used = 0;
    };
    // Where a row starts: its chunk in the high 32 bits, the byte within it in the low 32.
    static quint64 position(qsizetype chunk, qsizetype offset)
    {
        return (quint64(chunk) << 32) | quint64(offset);
    }
    static std::unique_ptr<char, ChunkUnmap> mapChunk(size_t size);
    const char* rowStart(qint64 row) const;
    // Encodes `values` into the scratch buffer as the row being appended.
    void stageRow(const QVariantList& values);
    // Stores the scratch buffer as a new row's bytes and returns where they went.
    quint64 storeScratch();

    qsizetype m_chunkSize;
    std::vector<Chunk> m_chunks;
    std::vector<quint64> m_rows;
    // The row being appended: its value count and its values' bytes.
    std::vector<char> m_scratch;
    int m_scratchValues = 0;
};

} // namespace vaskel
