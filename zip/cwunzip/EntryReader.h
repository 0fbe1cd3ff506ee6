#pragma once
// One entry's data read on its own, from its local header to its last byte: the WinZip AES
// layer, store or deflate, and every check (CRC, authentication code, declared size). Each
// worker owns one reader; readers share nothing.
#include "../common/CentralDirectory.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct libdeflate_decompressor;

namespace cw::zip {

struct EntryOutcome {
    int reason = 0; // 0: whole and checked; else a CwUnzipReason, or kStopped
    std::string detail;
    static constexpr int kStopped = -1;
};

// Where an entry's data begins, and the AES salt and verifier that open it.
struct EntryStart {
    long long data = 0; // first byte after the local header
    CdEntry aesInfo;    // the AES fields, from the directory or else the local header
};

class EntryReader {
public:
    using Sink = std::function<bool(const void* data, size_t size)>; // false: write failed
    EntryReader();
    ~EntryReader();
    EntryReader(const EntryReader&) = delete;
    EntryReader& operator=(const EntryReader&) = delete;

    // Reads e, whose bytes must end at or before limit, and hands its plain data to out.
    EntryOutcome read(Source& src, const CdEntry& e, long long limit, const std::string* password,
                      const Sink& out, const std::atomic<bool>& stop);
    // Whether password opens the AES entry e (its verifier alone); damage reads as true, so
    // that read() reports it.
    bool passwordOpens(Source& src, const CdEntry& e, long long limit, const std::string& password);

    struct Layer;

private:
    struct Aes;
    bool locate(Source& src, const CdEntry& e, long long limit, EntryStart& start,
                std::string& why);
    EntryOutcome plain(Source& src, const CdEntry& e, uint16_t method, long long from,
                       uint64_t size, Layer* layer, const Sink& out, const std::atomic<bool>& stop,
                       uint32_t& crc);

    std::vector<unsigned char> in_, out_;
    libdeflate_decompressor* inflater_ = nullptr;
};

// PBKDF2-HMAC-SHA1 with 1,000 rounds, as WinZip AES derives its keys.
void deriveAesKeys(const std::string& password, const unsigned char* salt, size_t saltLen,
                   unsigned char* out, size_t outLen);

} // namespace cw::zip
