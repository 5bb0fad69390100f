#pragma once
// How hard the PDF writer compresses its streams. Qt's writer deflates every page's content at
// zlib's default level and offers no setting; on a long list that is a sixth of the export's
// time. zlib's fast level 3 takes less than half of that for page streams about a sixth larger,
// which a clerk exporting a thousand pages of figures gains more from. The level is chosen per
// thread: while a `FastStreamCompression` lives, a stream begun on its thread at the default
// level is compressed at level 3 instead; any other request, and every other thread, is left as
// asked.
//
// The program serves zlib's `deflateInit_` itself and passes each call on to the system's zlib,
// so this works wherever Qt uses the system's shared zlib. Where Qt carries its own copy, or the
// C library cannot find the next definition of a symbol, streams keep the default level.
namespace vaskel {

class FastStreamCompression {
public:
    static constexpr int kLevel = 3;

    FastStreamCompression();
    ~FastStreamCompression();
    FastStreamCompression(const FastStreamCompression&) = delete;
    FastStreamCompression& operator=(const FastStreamCompression&) = delete;

private:
    int m_previous;
};

} // namespace vaskel
