#include "report/engine/TfrCompressor.h"

#include "report/model/EStreamError.h"
#include "report/model/TfrGlobals.h"

#include <zstd.h>

#include <memory>

namespace vaskel {

namespace {

[[noreturn]] void failDecompress(const QString& why)
{
    throw EStreamError(
        QStringLiteral("Stream read error"), QStringLiteral("compressed page data: %1").arg(why));
}

struct DStreamFree {
    void operator()(ZSTD_DStream* s) const { ZSTD_freeDStream(s); }
};

} // namespace

namespace {

QByteArray compressAt(const QByteArray& source, int level)
{
    QByteArray out(
        static_cast<qsizetype>(ZSTD_compressBound(static_cast<size_t>(source.size()))), Qt::Uninitialized);
    const size_t n = ZSTD_compress(out.data(), static_cast<size_t>(out.size()), source.constData(),
        static_cast<size_t>(source.size()), level);
    if (ZSTD_isError(n))
        throw EStreamError(QStringLiteral("Stream write error"), QString::fromLatin1(ZSTD_getErrorName(n)));
    out.truncate(static_cast<qsizetype>(n));
    return out;
}

} // namespace

QByteArray TfrCompressor::Compress(const QByteArray& source)
{
    return compressAt(source, kLevel);
}

QByteArray TfrCompressor::pack(const QByteArray& source)
{
    QByteArray packed = compressAt(source, 1);
    packed.squeeze();
    return packed;
}

QByteArray TfrCompressor::unpack(const QByteArray& packed, qsizetype plainSize)
{
    QByteArray out(plainSize, Qt::Uninitialized);
    const size_t n = ZSTD_decompress(
        out.data(), static_cast<size_t>(plainSize), packed.constData(), static_cast<size_t>(packed.size()));
    if (ZSTD_isError(n) || n != static_cast<size_t>(plainSize))
        failDecompress(QStringLiteral("a packed page that does not expand to its %1 bytes").arg(plainSize));
    return out;
}

QByteArray TfrCompressor::Decompress(const QByteArray& source)
{
    // Files from installations whose compressor hook wrote nothing carry empty page data.
    if (source.isEmpty())
        return {};
    // Streamed into a buffer that grows with what the frame really yields: the content size a
    // frame header states only sizes the first step, and never beyond the limit.
    std::unique_ptr<ZSTD_DStream, DStreamFree> stream(ZSTD_createDStream());
    if (!stream)
        failDecompress(QStringLiteral("no decompression context"));
    ZSTD_inBuffer in{source.constData(), static_cast<size_t>(source.size()), 0};
    QByteArray out;
    const qsizetype chunk = static_cast<qsizetype>(ZSTD_DStreamOutSize());
    const unsigned long long declared = ZSTD_getFrameContentSize(source.constData(), size_t(source.size()));
    qsizetype step = declared < static_cast<unsigned long long>(chunk) ? qsizetype(declared) + 1 : chunk;
    size_t pending = 1; // zstd's hint: 0 once a whole frame has been decoded and flushed
    while (in.pos < in.size || pending != 0) {
        const qsizetype used = out.size();
        out.resize(used + step);
        ZSTD_outBuffer o{out.data() + used, static_cast<size_t>(step), 0};
        step = chunk;
        const size_t inBefore = in.pos;
        pending = ZSTD_decompressStream(stream.get(), &o, &in);
        if (ZSTD_isError(pending))
            failDecompress(QString::fromLatin1(ZSTD_getErrorName(pending)));
        out.resize(used + static_cast<qsizetype>(o.pos));
        if (out.size() > kMaxPageBytes)
            failDecompress(QStringLiteral("a page larger than %1 bytes").arg(kMaxPageBytes));
        if (pending != 0 && in.pos == in.size && in.pos == inBefore && o.pos == 0)
            failDecompress(QStringLiteral("the data ends inside a frame"));
    }
    out.squeeze(); // pages stay in memory for the life of the store
    return out;
}

PageCompressor& frCompressor()
{
    TfrGlobals& g = TfrGlobals::get();
    if (!g.compressor())
        g.setCompressor(std::make_unique<TfrCompressor>());
    return *g.compressor();
}

} // namespace vaskel
