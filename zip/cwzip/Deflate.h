#pragma once
// The compression of entry data. A file compressed whole goes through libdeflate; a large
// file is cut into chunks that workers compress in parallel with zlib as parts of one
// deflate stream: each chunk starts with the 32 KiB before it as dictionary and ends on a
// byte boundary (a sync flush), so the chunks joined in order are the stream.
#include "Bytes.h"

#include <cstddef>
#include <cstdint>
#include <zlib.h>

struct libdeflate_compressor;

namespace cw::zip {

constexpr size_t kDeflateWindow = 32 * 1024;

// The room stored deflate blocks need for n bytes.
size_t storedBound(size_t n);
// Writes in[0..n) as stored deflate blocks starting on a byte boundary; the last one ends
// the stream when last is set. Returns the bytes written (at most storedBound(n)).
size_t storedBlocks(const uint8_t* in, size_t n, bool last, uint8_t* out);

class WholeDeflater {
public:
    explicit WholeDeflater(int level);
    ~WholeDeflater();
    WholeDeflater(const WholeDeflater&) = delete;
    WholeDeflater& operator=(const WholeDeflater&) = delete;
    // Raw deflate of in[0..n) into out; 0 when the result would not be smaller than n.
    size_t compress(const uint8_t* in, size_t n, uint8_t* out);
    // The same with room for at most limit bytes; 0 when they do not suffice.
    size_t compress(const uint8_t* in, size_t n, uint8_t* out, size_t limit);

private:
    libdeflate_compressor* c_;
};

// Whether data looks like it will not shrink (compressed or random data): three samples,
// from its start, middle and end, each fail to lose 2 % with the fastest level. Such data
// is stored at once rather than searched for matches it does not have.
class IncompressibleProbe {
public:
    IncompressibleProbe() : fast_(1) {}
    bool operator()(const uint8_t* data, size_t n);

private:
    WholeDeflater fast_;
    uint8_t out_[16 * 1024];
};

class ChunkDeflater {
public:
    explicit ChunkDeflater(int level);
    ~ChunkDeflater();
    ChunkDeflater(const ChunkDeflater&) = delete;
    ChunkDeflater& operator=(const ChunkDeflater&) = delete;
    // One chunk of a stream into out (allocated here). dict holds the bytes just before the
    // chunk (none for the first). A chunk deflate does not shrink becomes stored blocks. out
    // is enlarged when it holds less than storedBound(n).
    size_t compress(const uint8_t* dict, size_t dictSize, const uint8_t* in, size_t n, bool last,
                    Bytes& out);

private:
    z_stream zs_{};
    bool ready_ = false;
};

} // namespace cw::zip
