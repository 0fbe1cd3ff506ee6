#pragma once
// WinZip AES-256 (AE-2) for the entries of an encrypted set: the key material from
// PBKDF2-HMAC-SHA1 with 1,000 rounds over a 16-byte salt, AES-256 in WinZip's counter mode
// (a little-endian counter from 1), and the first 10 bytes of HMAC-SHA1 over the encrypted
// data. The ciphers themselves are nettle's.
#include <cstddef>
#include <cstdint>
#include <nettle/aes.h>
#include <nettle/hmac.h>
#include <string>

namespace cw::zip {

constexpr size_t kAesSaltSize = 16, kAesVerifierSize = 2, kAesMacSize = 10;
constexpr size_t kAesHeaderSize = kAesSaltSize + kAesVerifierSize;
constexpr unsigned kAesRounds = 1000;

struct AesKeys {
    uint8_t cipher[32];
    uint8_t mac[32];
    uint8_t verifier[kAesVerifierSize];
};

// Derives keys from one password for many salts. The HMAC states of the password are
// computed once; each round then costs two SHA-1 compressions, where a general PBKDF2
// spends four. Every copy of the password's material is wiped on destruction.
class KeyDeriver {
public:
    explicit KeyDeriver(const std::string& password);
    ~KeyDeriver();
    KeyDeriver(const KeyDeriver&) = delete;
    KeyDeriver& operator=(const KeyDeriver&) = delete;
    // PBKDF2-HMAC-SHA1(password, salt, rounds) into out[0..length).
    void derive(const uint8_t* salt, size_t saltLength, unsigned rounds, uint8_t* out,
                size_t length) const;
    void derive(const uint8_t salt[kAesSaltSize], AesKeys& keys) const;

private:
    hmac_sha1_ctx hmac_;
};

// Encrypts one entry's data in place, piece after piece, and authenticates the result.
class AesEntryCipher {
public:
    explicit AesEntryCipher(const AesKeys& keys);
    ~AesEntryCipher();
    AesEntryCipher(const AesEntryCipher&) = delete;
    AesEntryCipher& operator=(const AesEntryCipher&) = delete;
    void apply(uint8_t* data, size_t size);
    void finish(uint8_t mac[kAesMacSize]);

private:
    void refill();
    aes256_ctx aes_;
    hmac_sha1_ctx hmac_;
    uint64_t counter_ = 0;
    static constexpr size_t kStreamBlocks = 256;
    uint8_t stream_[kStreamBlocks * 16];
    size_t used_ = sizeof stream_;
};

// Fills buf with random bytes from the kernel; false when it cannot.
bool randomBytes(uint8_t* buf, size_t size);

} // namespace cw::zip
