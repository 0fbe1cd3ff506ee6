// The writer's own pieces checked against references: the key derivation against nettle's
// PBKDF2 and the published vectors, and chunks of one deflate stream against zlib's inflate.
#include "tests/support/Tree.h"
#include "zip/cwzip/Deflate.h"
#include "zip/cwzip/WinZipAes.h"

#include <gtest/gtest.h>
#include <nettle/pbkdf2.h>
#include <zlib.h>

using namespace cw::zip;

namespace {

std::string hex(const uint8_t* p, size_t n) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out += digits[p[i] >> 4];
        out += digits[p[i] & 15];
    }
    return out;
}

std::string derive(const std::string& password, const std::string& salt, unsigned rounds,
                   size_t length) {
    std::vector<uint8_t> out(length);
    KeyDeriver(password).derive(reinterpret_cast<const uint8_t*>(salt.data()), salt.size(), rounds,
                                out.data(), length);
    return hex(out.data(), length);
}

TEST(ZipKeyDerivation, MatchesThePublishedVectorsAndNettle) {
    EXPECT_EQ(derive("password", "salt", 1, 20), "0c60c80f961f0e71f3a9b524af6012062fe037a6");
    EXPECT_EQ(derive("password", "salt", 2, 20), "ea6c014dc72d6f8ccd1ed92ace1d41f0d8de8957");
    EXPECT_EQ(derive("password", "salt", 4096, 20), "4b007901b765489abead49d926f721d065a429c1");
    EXPECT_EQ(derive("passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096, 25),
              "3d2eec4fe41c849b80c8d83662c0e44a8b291a964cf2f07038");
    EXPECT_EQ(derive(std::string("pass\0word", 9), std::string("sa\0lt", 5), 4096, 16),
              "56fa6aa75548099dcc37d7f03425e0c3");
    // Passwords of every length around the hash's block, as the writer uses them.
    const std::string salt = "0123456789abcdef";
    for (size_t len : {0, 1, 63, 64, 65, 200}) {
        std::string pw(len, 'p');
        uint8_t want[66];
        pbkdf2_hmac_sha1(pw.size(), reinterpret_cast<const uint8_t*>(pw.data()), 1000, salt.size(),
                         reinterpret_cast<const uint8_t*>(salt.data()), sizeof want, want);
        EXPECT_EQ(derive(pw, salt, 1000, 66), hex(want, sizeof want)) << len;
    }
}

TEST(ZipChunkDeflate, ChunksJoinIntoOneStreamAndIncompressibleOnesAreStored) {
    std::string text;
    while (text.size() < 300000)
        text += "some text that repeats " + std::to_string(text.size() % 77) + "\n";
    const std::string data = text + cw::test::randomBytes(250000, 3) + text;
    const size_t chunk = 100000;
    std::string stream;
    ChunkDeflater deflater(6);
    size_t storedChunks = 0;
    for (size_t at = 0; at < data.size(); at += chunk) {
        const size_t n = std::min(chunk, data.size() - at);
        const size_t dict = std::min(at, kDeflateWindow);
        Bytes out;
        const auto* base = reinterpret_cast<const uint8_t*>(data.data());
        const size_t got =
            deflater.compress(base + at - dict, dict, base + at, n, at + n == data.size(), out);
        storedChunks += got >= n;
        stream.append(reinterpret_cast<const char*>(out.data()), got);
    }
    EXPECT_GE(storedChunks, 2u);
    EXPECT_LT(stream.size(), data.size());
    z_stream z{};
    ASSERT_EQ(inflateInit2(&z, -15), Z_OK);
    std::string back(data.size() + 10, '\0');
    z.next_in = reinterpret_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = reinterpret_cast<Bytef*>(back.data());
    z.avail_out = static_cast<uInt>(back.size());
    EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
    back.resize(z.total_out);
    inflateEnd(&z);
    EXPECT_TRUE(back == data);
}

} // namespace
