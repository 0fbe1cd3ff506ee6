#include "EntryReader.h"

#include "../include/cwevents.h"

#include <algorithm>
#include <cstring>
#include <libdeflate.h>
#include <nettle/aes.h>
#include <nettle/hmac.h>
#include <nettle/sha1.h>
#include <zlib.h>

namespace cw::zip {

namespace {

constexpr size_t kChunk = 256 * 1024; // a multiple of the AES block
// Entries up to this size are inflated in one call (libdeflate); larger ones stream (zlib).
constexpr uint64_t kWholeLimit = 4 * 1024 * 1024;
constexpr uint32_t kLocalSig = 0x04034b50;
constexpr size_t kMacLen = 10, kVerifierLen = 2;
constexpr int kRounds = 1000;

void bigEndian(const uint32_t* s, unsigned char* out) {
    for (int i = 0; i < 5; ++i)
        for (int b = 0; b < 4; ++b)
            out[4 * i + b] = static_cast<unsigned char>(s[i] >> (24 - 8 * b));
}

// One block holding a message of len bytes (at most 55) and its padding, for a hash that has
// already taken one 64-byte block (the HMAC key block).
void padBlock(unsigned char* block, size_t len) {
    std::memset(block + len, 0, 64 - len);
    block[len] = 0x80;
    const uint64_t bits = (64 + len) * 8;
    for (int i = 0; i < 8; ++i)
        block[63 - i] = static_cast<unsigned char>(bits >> (8 * i));
}

} // namespace

void deriveAesKeys(const std::string& password, const unsigned char* salt, size_t saltLen,
                   unsigned char* out, size_t outLen) {
    // HMAC-SHA1 computed on SHA-1's compression directly: the key blocks are hashed once,
    // and each of the 1,000 rounds costs two compressions instead of a full HMAC.
    unsigned char key[64] = {};
    if (password.size() > 64) {
        sha1_ctx c;
        sha1_init(&c);
        sha1_update(&c, password.size(), reinterpret_cast<const uint8_t*>(password.data()));
        sha1_digest(&c, SHA1_DIGEST_SIZE, key);
    } else {
        std::memcpy(key, password.data(), password.size());
    }
    const uint32_t iv[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    uint32_t inner[5], outer[5];
    std::memcpy(inner, iv, sizeof iv);
    std::memcpy(outer, iv, sizeof iv);
    unsigned char block[64];
    for (int i = 0; i < 64; ++i)
        block[i] = key[i] ^ 0x36;
    nettle_sha1_compress(inner, block);
    for (int i = 0; i < 64; ++i)
        block[i] = key[i] ^ 0x5c;
    nettle_sha1_compress(outer, block);
    auto hmac = [&](size_t len, unsigned char* result) { // message in block[0, len)
        uint32_t s[5];
        std::memcpy(s, inner, sizeof s);
        padBlock(block, len);
        nettle_sha1_compress(s, block);
        bigEndian(s, block);
        padBlock(block, SHA1_DIGEST_SIZE);
        std::memcpy(s, outer, sizeof s);
        nettle_sha1_compress(s, block);
        bigEndian(s, result);
    };
    for (uint32_t index = 1; outLen > 0; ++index) {
        unsigned char u[SHA1_DIGEST_SIZE], t[SHA1_DIGEST_SIZE];
        std::memcpy(block, salt, saltLen);
        for (int b = 0; b < 4; ++b)
            block[saltLen + static_cast<size_t>(b)] =
                static_cast<unsigned char>(index >> (24 - 8 * b));
        hmac(saltLen + 4, u);
        std::memcpy(t, u, sizeof t);
        for (int round = 1; round < kRounds; ++round) {
            std::memcpy(block, u, sizeof u);
            hmac(SHA1_DIGEST_SIZE, u);
            for (size_t i = 0; i < sizeof t; ++i)
                t[i] ^= u[i];
        }
        const size_t n = std::min(outLen, sizeof t);
        std::memcpy(out, t, n);
        out += n;
        outLen -= n;
    }
}

// What an encryption does to the bytes of one entry as they are read.
struct EntryReader::Layer {
    virtual ~Layer() = default;
    virtual void decrypt(unsigned char* p, size_t n) = 0;
};

// The traditional PKWARE encryption, which archivers still offer: three keys stirred by
// every plain byte. It reads only; sets are written with AES.
struct ZipCrypto : EntryReader::Layer {
    uint32_t k0 = 0x12345678, k1 = 0x23456789, k2 = 0x34567890;
    const z_crc_t* table = get_crc_table();
    explicit ZipCrypto(const std::string& password) {
        for (char c : password)
            stir(static_cast<unsigned char>(c));
    }
    void stir(unsigned char c) {
        k0 = table[(k0 ^ c) & 0xFF] ^ (k0 >> 8);
        k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1;
        k2 = table[(k2 ^ (k1 >> 24)) & 0xFF] ^ (k2 >> 8);
    }
    void decrypt(unsigned char* p, size_t n) override {
        for (size_t i = 0; i < n; ++i) {
            const uint32_t t = (k2 | 2) & 0xFFFF;
            p[i] = static_cast<unsigned char>(p[i] ^ ((t * (t ^ 1)) >> 8));
            stir(p[i]);
        }
    }
    // The twelve bytes before the data; the last one checks the password.
    bool opens(const CdEntry& e, unsigned char* head) {
        decrypt(head, 12);
        const unsigned check = (e.flags & 8) ? (e.dosTime >> 8) & 0xFF : e.crc >> 24;
        return head[11] == check;
    }
};

// The AES layer of one entry: CTR mode with a little-endian counter from 1, and HMAC-SHA1
// over the encrypted bytes.
struct EntryReader::Aes : EntryReader::Layer {
    union {
        aes128_ctx a128;
        aes192_ctx a192;
        aes256_ctx a256;
    } ctx;
    int strength = 0;
    hmac_sha1_ctx mac;
    uint64_t counter = 0;
    std::vector<unsigned char> stream;

    Aes(int strengthCode, const unsigned char* keys, size_t keyLen) : strength(strengthCode) {
        if (strength == 1)
            aes128_set_encrypt_key(&ctx.a128, keys);
        else if (strength == 2)
            aes192_set_encrypt_key(&ctx.a192, keys);
        else
            aes256_set_encrypt_key(&ctx.a256, keys);
        hmac_sha1_set_key(&mac, keyLen, keys + keyLen);
    }
    // n is a multiple of 16 except for the last piece of an entry.
    void decrypt(unsigned char* p, size_t n) override {
        hmac_sha1_update(&mac, n, p);
        const size_t blocks = (n + 15) / 16;
        stream.assign(blocks * 16, 0);
        for (size_t b = 0; b < blocks; ++b) {
            ++counter;
            for (int i = 0; i < 8; ++i)
                stream[b * 16 + static_cast<size_t>(i)] =
                    static_cast<unsigned char>(counter >> (8 * i));
        }
        if (strength == 1)
            aes128_encrypt(&ctx.a128, stream.size(), stream.data(), stream.data());
        else if (strength == 2)
            aes192_encrypt(&ctx.a192, stream.size(), stream.data(), stream.data());
        else
            aes256_encrypt(&ctx.a256, stream.size(), stream.data(), stream.data());
        for (size_t i = 0; i < n; ++i)
            p[i] ^= stream[i];
    }
};

EntryReader::EntryReader() : inflater_(libdeflate_alloc_decompressor()) {}

EntryReader::~EntryReader() {
    if (inflater_)
        libdeflate_free_decompressor(inflater_);
}

bool EntryReader::locate(Source& src, const CdEntry& e, long long limit, EntryStart& start,
                         std::string& why) {
    unsigned char h[30];
    const auto at = static_cast<long long>(e.localOffset);
    if (!src.readAt(at, h, sizeof h) || le32(h) != kLocalSig) {
        why = "the entry's local header is missing";
        return false;
    }
    const size_t nameLen = le16(h + 26), extraLen = le16(h + 28);
    start.data = at + 30 + static_cast<long long>(nameLen + extraLen);
    if (start.data + static_cast<long long>(e.csize) > limit) {
        why = "the entry's data runs past its place in the set";
        return false;
    }
    start.aesInfo = e;
    if (e.method == 99 && !e.aes() && extraLen > 0) {
        // The AES fields are looked for in the local header when the directory lacks them.
        std::vector<unsigned char> x(extraLen);
        std::string ignored;
        if (src.readAt(at + 30 + static_cast<long long>(nameLen), x.data(), x.size()))
            readExtraFields(start.aesInfo, x.data(), x.size(), ignored);
    }
    return true;
}

bool EntryReader::passwordOpens(Source& src, const CdEntry& e, long long limit,
                                const std::string& password) {
    EntryStart start;
    std::string why;
    if (locate(src, e, limit, start, why) && e.encrypted() && e.method != 99) {
        unsigned char head[12];
        ZipCrypto z(password);
        return e.csize < sizeof head || !src.readAt(start.data, head, sizeof head) ||
               z.opens(e, head);
    }
    if (!why.empty() || !start.aesInfo.aes())
        return true;
    const size_t saltLen = 4u * (start.aesInfo.aesStrength + 1u);
    const size_t keyLen = 8u * (start.aesInfo.aesStrength + 1u);
    unsigned char head[16 + kVerifierLen], keys[2 * 32 + kVerifierLen];
    if (e.csize < saltLen + kVerifierLen + kMacLen ||
        !src.readAt(start.data, head, saltLen + kVerifierLen))
        return true;
    deriveAesKeys(password, head, saltLen, keys, 2 * keyLen + kVerifierLen);
    const bool opens = std::memcmp(keys + 2 * keyLen, head + saltLen, kVerifierLen) == 0;
    explicit_bzero(keys, sizeof keys);
    return opens;
}

EntryOutcome EntryReader::read(Source& src, const CdEntry& e, long long limit,
                               const std::string* password, const Sink& out,
                               const std::atomic<bool>& stop) {
    EntryStart start;
    std::string why;
    if (!locate(src, e, limit, start, why))
        return {CW_REASON_BAD_DATA, why};
    const CdEntry& a = start.aesInfo;
    if (e.method == 99 && !a.aes())
        return {CW_REASON_UNSUPPORTED, "an AES entry of an unknown kind"};
    long long from = start.data;
    uint64_t size = e.csize;
    std::unique_ptr<Aes> aes;
    std::unique_ptr<ZipCrypto> zipCrypto;
    unsigned char mac[kMacLen];
    if (e.encrypted() && e.method != 99) {
        if (!password)
            return {CW_REASON_PASSWORD, "the entry is encrypted and no password was given"};
        unsigned char head[12];
        if (size < sizeof head)
            return {CW_REASON_BAD_DATA, "the encrypted data is too short"};
        if (!src.readAt(from, head, sizeof head))
            return {CW_REASON_BAD_DATA, "the set cannot be read"};
        zipCrypto = std::make_unique<ZipCrypto>(*password);
        if (!zipCrypto->opens(e, head))
            return {CW_REASON_PASSWORD, "wrong password"};
        from += sizeof head;
        size -= sizeof head;
    } else if (e.method == 99) {
        if (!password)
            return {CW_REASON_PASSWORD, "the entry is encrypted and no password was given"};
        const size_t saltLen = 4u * (a.aesStrength + 1u), keyLen = 8u * (a.aesStrength + 1u);
        unsigned char head[16 + kVerifierLen], keys[2 * 32 + kVerifierLen];
        if (size < saltLen + kVerifierLen + kMacLen)
            return {CW_REASON_BAD_DATA, "the encrypted data is too short"};
        if (!src.readAt(from, head, saltLen + kVerifierLen))
            return {CW_REASON_BAD_DATA, "the set cannot be read"};
        deriveAesKeys(*password, head, saltLen, keys, 2 * keyLen + kVerifierLen);
        const bool opens = std::memcmp(keys + 2 * keyLen, head + saltLen, kVerifierLen) == 0;
        if (opens)
            aes = std::make_unique<Aes>(a.aesStrength, keys, keyLen);
        explicit_bzero(keys, sizeof keys);
        if (!opens)
            return {CW_REASON_PASSWORD, "wrong password"};
        from += static_cast<long long>(saltLen + kVerifierLen);
        size -= saltLen + kVerifierLen + kMacLen;
    }
    const uint16_t method = e.method == 99 ? a.aesMethod : e.method;
    if (method != 0 && method != 8)
        return {CW_REASON_UNSUPPORTED, "a compression method this library does not read"};
    uint32_t crc = 0;
    Layer* layer = aes ? static_cast<Layer*>(aes.get()) : zipCrypto.get();
    EntryOutcome r = plain(src, e, method, from, size, layer, out, stop, crc);
    if (r.reason)
        return r;
    if (aes) {
        // Read after the data, so that a spanned set's disks are asked for in order.
        if (!src.readAt(from + static_cast<long long>(size), mac, kMacLen))
            return {CW_REASON_BAD_DATA, "the set cannot be read"};
        unsigned char digest[SHA1_DIGEST_SIZE];
        hmac_sha1_digest(&aes->mac, sizeof digest, digest);
        if (std::memcmp(digest, mac, kMacLen) != 0)
            return {CW_REASON_BAD_DATA, "authentication failed"};
    }
    // AE-2 stores no CRC: the authentication code stands for it.
    if (!(aes && a.aesVersion == 2) && crc != e.crc)
        return {CW_REASON_BAD_DATA, "bad CRC"};
    return {};
}

EntryOutcome EntryReader::plain(Source& src, const CdEntry& e, uint16_t method, long long from,
                                uint64_t size, Layer* layer, const Sink& out,
                                const std::atomic<bool>& stop, uint32_t& crc) {
    crc = 0;
    uint64_t total = 0;
    auto emit = [&](const unsigned char* p, size_t n) -> EntryOutcome {
        total += n;
        if (total > e.usize)
            return {CW_REASON_SIZE, "the data is longer than the entry declares"};
        crc = static_cast<uint32_t>(libdeflate_crc32(crc, p, n));
        if (n && !out(p, n))
            return {CW_REASON_CANNOT_WRITE, ""};
        return {};
    };
    auto fetch = [&](unsigned char* p, size_t n, long long at) {
        if (!src.readAt(at, p, n))
            return false;
        if (layer)
            layer->decrypt(p, n);
        return true;
    };
    const EntryOutcome unreadable{CW_REASON_BAD_DATA, "the set cannot be read"};
    const EntryOutcome stopped{EntryOutcome::kStopped, "stopped"};
    if (method == 0) {
        in_.resize(kChunk);
        for (uint64_t done = 0; done < size;) {
            if (stop)
                return stopped;
            const size_t n = static_cast<size_t>(std::min<uint64_t>(kChunk, size - done));
            if (!fetch(in_.data(), n, from + static_cast<long long>(done)))
                return unreadable;
            done += n;
            if (EntryOutcome r = emit(in_.data(), n); r.reason)
                return r;
        }
    } else if (size == 0 && e.usize == 0) {
        // Nothing stored for an empty file: some archivers write no deflate block at all.
    } else if (size <= kWholeLimit && e.usize <= kWholeLimit && inflater_) {
        in_.resize(static_cast<size_t>(size));
        out_.resize(static_cast<size_t>(std::max<uint64_t>(e.usize, 1)));
        if (!fetch(in_.data(), in_.size(), from))
            return unreadable;
        size_t got = 0;
        const auto r =
            libdeflate_deflate_decompress_ex(inflater_, in_.data(), in_.size(), out_.data(),
                                             static_cast<size_t>(e.usize), nullptr, &got);
        if (r == LIBDEFLATE_INSUFFICIENT_SPACE)
            return {CW_REASON_SIZE, "the data is longer than the entry declares"};
        if (r != LIBDEFLATE_SUCCESS)
            return {CW_REASON_BAD_DATA, "the compressed data is damaged"};
        if (EntryOutcome o = emit(out_.data(), got); o.reason)
            return o;
    } else {
        z_stream z{};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
            return {CW_REASON_BAD_DATA, "no memory to inflate"};
        struct End {
            z_stream* z;
            ~End() { inflateEnd(z); }
        } end{&z};
        in_.resize(kChunk);
        out_.resize(kChunk);
        uint64_t left = size;
        long long at = from;
        bool ended = false;
        while (!ended) {
            if (z.avail_in == 0) {
                if (left == 0)
                    break;
                const size_t n = static_cast<size_t>(std::min<uint64_t>(kChunk, left));
                if (!fetch(in_.data(), n, at))
                    return unreadable;
                at += static_cast<long long>(n);
                left -= n;
                z.next_in = in_.data();
                z.avail_in = static_cast<uInt>(n);
            }
            if (stop)
                return stopped;
            z.next_out = out_.data();
            z.avail_out = static_cast<uInt>(kChunk);
            const int ret = inflate(&z, Z_NO_FLUSH);
            if (EntryOutcome o = emit(out_.data(), kChunk - z.avail_out); o.reason)
                return o;
            if (ret == Z_STREAM_END)
                ended = true;
            else if (ret != Z_OK && !(ret == Z_BUF_ERROR && z.avail_in == 0))
                return {CW_REASON_BAD_DATA, "the compressed data is damaged"};
        }
        if (!ended)
            return {CW_REASON_BAD_DATA, "the compressed data ends early"};
    }
    if (total != e.usize)
        return {CW_REASON_SIZE, "the data is shorter than the entry declares"};
    return {};
}

} // namespace cw::zip
