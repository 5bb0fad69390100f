// Fast stream compression: inside the scope, streams begun at zlib's default level on this thread
// are compressed at the fast level; explicit levels, other threads and everything after the scope
// keep what they ask for. zlib's header records the level class in its second byte.
#include "platform/StreamCompression.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <thread>

namespace vaskel {
namespace {

// The second header byte of a stream deflated at `level`: 0x01 fastest, 0x5E fast (2..5),
// 0x9C default (6), 0xDA best (7..9).
int headerLevelByte(int level)
{
    z_stream stream{};
    if (deflateInit(&stream, level) != Z_OK)
        return -1;
    const char text[] = "BT /F7 75 Tf 147 -220 Td <0001> Tj ET BT /F7 75 Tf 147 -220 Td <0001> Tj ET";
    unsigned char out[256];
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text));
    stream.avail_in = sizeof text;
    stream.next_out = out;
    stream.avail_out = sizeof out;
    const int result = deflate(&stream, Z_FINISH);
    deflateEnd(&stream);
    return result == Z_STREAM_END ? out[1] : -1;
}

TEST(FastStreamCompression, DefaultLevelIsFastOnlyInsideTheScopeOnItsThread)
{
    EXPECT_EQ(headerLevelByte(Z_DEFAULT_COMPRESSION), 0x9C);
    {
        const FastStreamCompression fast;
        EXPECT_EQ(headerLevelByte(Z_DEFAULT_COMPRESSION), 0x5E);
        EXPECT_EQ(headerLevelByte(9), 0xDA) << "an explicit level is kept";
        EXPECT_EQ(headerLevelByte(1), 0x01);
        int otherThread = 0;
        std::thread([&otherThread] { otherThread = headerLevelByte(Z_DEFAULT_COMPRESSION); }).join();
        EXPECT_EQ(otherThread, 0x9C) << "another thread keeps the default";
        {
            const FastStreamCompression nested;
            EXPECT_EQ(headerLevelByte(Z_DEFAULT_COMPRESSION), 0x5E);
        }
        EXPECT_EQ(headerLevelByte(Z_DEFAULT_COMPRESSION), 0x5E) << "a nested scope restores the outer one";
    }
    EXPECT_EQ(headerLevelByte(Z_DEFAULT_COMPRESSION), 0x9C);
}

} // namespace
} // namespace vaskel
