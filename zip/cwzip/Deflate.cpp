#include "Deflate.h"

#include <cstring>
#include <libdeflate.h>
#include <new>

namespace cw::zip {

namespace {
constexpr size_t kStoredMax = 65535;
}

size_t storedBound(size_t n) {
    return n + 5 * (n / kStoredMax + 1);
}

size_t storedBlocks(const uint8_t* in, size_t n, bool last, uint8_t* out) {
    uint8_t* p = out;
    do {
        const size_t len = n < kStoredMax ? n : kStoredMax;
        n -= len;
        // Block header (final bit, type 00), padded to the byte boundary, then LEN, NLEN.
        *p++ = last && n == 0 ? 1 : 0;
        *p++ = static_cast<uint8_t>(len);
        *p++ = static_cast<uint8_t>(len >> 8);
        *p++ = static_cast<uint8_t>(~len);
        *p++ = static_cast<uint8_t>(~len >> 8);
        if (len)
            std::memcpy(p, in, len);
        p += len;
        in += len;
    } while (n > 0);
    return static_cast<size_t>(p - out);
}

WholeDeflater::WholeDeflater(int level) : c_(libdeflate_alloc_compressor(level)) {
    if (!c_)
        throw std::bad_alloc();
}

WholeDeflater::~WholeDeflater() {
    libdeflate_free_compressor(c_);
}

size_t WholeDeflater::compress(const uint8_t* in, size_t n, uint8_t* out) {
    return n < 2 ? 0 : libdeflate_deflate_compress(c_, in, n, out, n - 1);
}

size_t WholeDeflater::compress(const uint8_t* in, size_t n, uint8_t* out, size_t limit) {
    return libdeflate_deflate_compress(c_, in, n, out, limit);
}

bool IncompressibleProbe::operator()(const uint8_t* data, size_t n) {
    constexpr size_t kSample = sizeof out_;
    if (n < 4 * kSample)
        return false;
    for (size_t at : {size_t{0}, (n - kSample) / 2, n - kSample})
        if (fast_.compress(data + at, kSample, out_, kSample - kSample / 50) != 0)
            return false;
    return true;
}

ChunkDeflater::ChunkDeflater(int level) {
    if (deflateInit2(&zs_, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::bad_alloc();
    ready_ = true;
}

ChunkDeflater::~ChunkDeflater() {
    if (ready_)
        deflateEnd(&zs_);
}

size_t ChunkDeflater::compress(const uint8_t* dict, size_t dictSize, const uint8_t* in, size_t n,
                               bool last, Bytes& out) {
    if (out.capacity() < storedBound(n))
        out.allocate(storedBound(n));
    deflateReset(&zs_);
    if (dictSize > 0)
        deflateSetDictionary(&zs_, dict, static_cast<uInt>(dictSize));
    zs_.next_in = const_cast<Bytef*>(in);
    zs_.avail_in = static_cast<uInt>(n);
    zs_.next_out = out.data();
    zs_.avail_out = static_cast<uInt>(n);
    const int r = deflate(&zs_, last ? Z_FINISH : Z_SYNC_FLUSH);
    // Complete only when the whole flush fitted in fewer bytes than the chunk itself.
    const bool complete = last ? r == Z_STREAM_END : (r == Z_OK && zs_.avail_out > 0);
    if (complete && zs_.total_out < n)
        return zs_.total_out;
    return storedBlocks(in, n, last, out.data());
}

} // namespace cw::zip
