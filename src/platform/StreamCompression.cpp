#include "platform/StreamCompression.h"

#include <zlib.h>

#if __has_include(<dlfcn.h>)
#include <dlfcn.h>
#endif

namespace vaskel {
namespace {

// The level a default-level stream begun on this thread is given.
thread_local int t_defaultLevel = Z_DEFAULT_COMPRESSION;

} // namespace

FastStreamCompression::FastStreamCompression() : m_previous(t_defaultLevel)
{
    t_defaultLevel = kLevel;
}

FastStreamCompression::~FastStreamCompression()
{
    t_defaultLevel = m_previous;
}

} // namespace vaskel

#if __has_include(<dlfcn.h>) && defined(RTLD_NEXT)
// zlib's `deflateInit` is a macro over this function. Defined in the program, it is the one the
// dynamic linker binds every caller to, Qt's PDF writer included; the system's own is the next
// definition after the program's.
extern "C" __attribute__((visibility("default"))) int deflateInit_(
    z_streamp stream, int level, const char* version, int streamSize)
{
    using Init = int (*)(z_streamp, int, const char*, int);
    static const auto next = reinterpret_cast<Init>(dlsym(RTLD_NEXT, "deflateInit_"));
    if (!next)
        return Z_VERSION_ERROR; // no zlib behind the program: nothing could have compressed
    if (level == Z_DEFAULT_COMPRESSION)
        level = vaskel::t_defaultLevel;
    return next(stream, level, version, streamSize);
}
#endif
