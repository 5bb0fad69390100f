#pragma once
// The hook through which prepared pages pass when they are written to or read from a
// prepared-report file. One instance lives in the engine globals and every prepared pages store
// shares it; the engine layer installs the real compressor (TfrCompressor). While `Enabled` is
// off, files are written uncompressed, which the company's older installations read.
#include <QByteArray>

namespace vaskel {

class PageCompressor {
public:
    virtual ~PageCompressor() = default;

    bool Enabled = false;

    virtual QByteArray Compress(const QByteArray& source) = 0;
    // Throws EStreamError when `source` is not something Compress produced.
    virtual QByteArray Decompress(const QByteArray& source) = 0;
};

} // namespace vaskel
