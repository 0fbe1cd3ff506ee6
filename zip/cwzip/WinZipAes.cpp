#include "WinZipAes.h"

#include <cerrno>
#include <cstring>
#include <nettle/sha1.h>
#include <sys/random.h>

namespace cw::zip {

namespace {

void putBe32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}

// One HMAC-SHA1 over a 20-byte message, from the password's inner and outer states: the
// message and its padding fill one block, and so does the inner digest.
void hmacOfDigest(const uint32_t inner[5], const uint32_t outer[5], uint8_t block[64],
                  uint32_t out[5]) {
    uint32_t s[5];
    std::memcpy(s, inner, sizeof s);
    nettle_sha1_compress(s, block);
    for (int i = 0; i < 5; ++i)
        putBe32(block + 4 * i, s[i]);
    std::memcpy(out, outer, sizeof s);
    nettle_sha1_compress(out, block);
}

} // namespace

KeyDeriver::KeyDeriver(const std::string& password) {
    hmac_sha1_set_key(&hmac_, password.size(), reinterpret_cast<const uint8_t*>(password.data()));
}

KeyDeriver::~KeyDeriver() {
    explicit_bzero(&hmac_, sizeof hmac_);
}

void KeyDeriver::derive(const uint8_t* salt, size_t saltLength, unsigned rounds, uint8_t* out,
                        size_t length) const {
    // A block of the round message: 20 bytes of digest, the 0x80 end mark, and the bit
    // length of key block plus message (64 + 20 bytes) at its end.
    uint8_t block[64] = {};
    block[20] = 0x80;
    block[62] = (64 + 20) * 8 >> 8;
    block[63] = (64 + 20) * 8 & 0xFF;
    for (uint32_t index = 1; length > 0; ++index) {
        hmac_sha1_ctx first = hmac_;
        uint8_t count[4];
        putBe32(count, index);
        hmac_sha1_update(&first, saltLength, salt);
        hmac_sha1_update(&first, sizeof count, count);
        uint8_t u[SHA1_DIGEST_SIZE], t[SHA1_DIGEST_SIZE];
        hmac_sha1_digest(&first, sizeof u, u);
        explicit_bzero(&first, sizeof first);
        std::memcpy(t, u, sizeof t);
        uint32_t words[5];
        std::memcpy(block, u, sizeof u);
        for (unsigned r = 1; r < rounds; ++r) {
            hmacOfDigest(hmac_.inner.state, hmac_.outer.state, block, words);
            for (int i = 0; i < 5; ++i) {
                putBe32(block + 4 * i, words[i]);
                uint8_t be[4];
                putBe32(be, words[i]);
                for (int k = 0; k < 4; ++k)
                    t[4 * i + k] ^= be[k];
            }
        }
        const size_t n = length < sizeof t ? length : sizeof t;
        std::memcpy(out, t, n);
        out += n;
        length -= n;
        explicit_bzero(u, sizeof u);
        explicit_bzero(t, sizeof t);
        explicit_bzero(words, sizeof words);
    }
    explicit_bzero(block, sizeof block);
}

void KeyDeriver::derive(const uint8_t salt[kAesSaltSize], AesKeys& keys) const {
    uint8_t material[32 + 32 + kAesVerifierSize];
    derive(salt, kAesSaltSize, kAesRounds, material, sizeof material);
    std::memcpy(keys.cipher, material, 32);
    std::memcpy(keys.mac, material + 32, 32);
    std::memcpy(keys.verifier, material + 64, kAesVerifierSize);
    explicit_bzero(material, sizeof material);
}

AesEntryCipher::AesEntryCipher(const AesKeys& keys) {
    aes256_set_encrypt_key(&aes_, keys.cipher);
    hmac_sha1_set_key(&hmac_, sizeof keys.mac, keys.mac);
}

AesEntryCipher::~AesEntryCipher() {
    explicit_bzero(&aes_, sizeof aes_);
    explicit_bzero(&hmac_, sizeof hmac_);
    explicit_bzero(stream_, sizeof stream_);
}

void AesEntryCipher::refill() {
    // The counter block is a 16-byte little-endian number; an entry never needs more than
    // its low 8 bytes.
    uint8_t counters[sizeof stream_] = {};
    for (size_t b = 0; b < kStreamBlocks; ++b) {
        uint64_t c = ++counter_;
        for (int i = 0; i < 8; ++i)
            counters[16 * b + i] = static_cast<uint8_t>(c >> (8 * i));
    }
    aes256_encrypt(&aes_, sizeof stream_, stream_, counters);
    used_ = 0;
}

void AesEntryCipher::apply(uint8_t* data, size_t size) {
    uint8_t* p = data;
    for (size_t left = size; left > 0;) {
        if (used_ == sizeof stream_)
            refill();
        size_t n = sizeof stream_ - used_;
        if (n > left)
            n = left;
        for (size_t i = 0; i < n; ++i)
            p[i] ^= stream_[used_ + i];
        used_ += n;
        p += n;
        left -= n;
    }
    hmac_sha1_update(&hmac_, size, data);
}

void AesEntryCipher::finish(uint8_t mac[kAesMacSize]) {
    hmac_sha1_digest(&hmac_, kAesMacSize, mac);
}

bool randomBytes(uint8_t* buf, size_t size) {
    while (size > 0) {
        ssize_t got = getrandom(buf, size, 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        buf += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

} // namespace cw::zip
