#pragma once
// The page compressor of prepared-report files: zstd frames, one per page. It is off by default,
// so files stay readable by installations without it; a file records whether its pages went
// through it, and files written with it off always load.
//
// Decompression is bounded: a page never grows beyond kMaxPageBytes, whatever a damaged or
// hostile frame claims, so a bad file fails with a stream error instead of exhausting memory.
#include "report/model/PageCompressor.h"

#include <QtGlobal>

namespace vaskel {

class TfrCompressor : public PageCompressor {
public:
    // Far above any real page: 20 memos take about 4 KB, a page-sized photograph a few megabytes.
    static constexpr qint64 kMaxPageBytes = qint64(64) << 20;
    static constexpr int kLevel = 3; // zstd's default: about 4 times smaller, fast in both directions

    QByteArray Compress(const QByteArray& source) override;
    QByteArray Decompress(const QByteArray& source) override;

    // How the prepared pages store keeps finished pages in memory, whatever `Enabled` says: the
    // fastest zstd level, and expansion to the size the store recorded (an EStreamError when the
    // data does not give exactly that).
    static QByteArray pack(const QByteArray& source);
    static QByteArray unpack(const QByteArray& packed, qsizetype plainSize);
};

// The compressor of the current engine globals; installs a TfrCompressor on first use.
PageCompressor& frCompressor();

} // namespace vaskel
