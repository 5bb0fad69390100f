#pragma once
// Helpers the fuzz targets share: reading the input text and running a step whose only acceptable
// failures are the engine's own errors.
#include "platform/PlatformError.h"

#include <QString>

#include <cstdint>

namespace vaskel::fuzz {

// The input bytes as text: bit 0 of `mode` selects UTF-8 (surrogate pairs, replacement
// characters), otherwise Latin-1 (every byte one character, operator codes included).
inline QString inputText(uint8_t mode, const char* bytes, qsizetype size)
{
    return (mode & 1) ? QString::fromUtf8(bytes, size) : QString::fromLatin1(bytes, size);
}

// Runs `f`; the engine's own errors are valid outcomes, anything else escapes to the fuzzer.
template <typename F> void guarded(F&& f)
{
    try {
        f();
    } catch (const VaskelError&) {
    }
}

} // namespace vaskel::fuzz
