#pragma once
// A byte buffer for file data in flight. Large buffers are mapped from the kernel and
// returned to it when freed, so the memory of a run follows the bytes in flight and not
// the history of the allocator's arenas across worker threads.
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace cw::zip {

class Bytes {
public:
    Bytes() = default;
    explicit Bytes(size_t capacity) { allocate(capacity); }
    ~Bytes() { release(); }
    Bytes(Bytes&& o) noexcept { swap(o); }
    Bytes& operator=(Bytes&& o) noexcept {
        if (this != &o) {
            release();
            swap(o);
        }
        return *this;
    }
    Bytes(const Bytes&) = delete;
    Bytes& operator=(const Bytes&) = delete;

    // Discards the contents; capacity bytes are available at data() afterwards.
    void allocate(size_t capacity);
    void release();
    uint8_t* data() { return p_; }
    const uint8_t* data() const { return p_; }
    size_t capacity() const { return cap_; }

private:
    void swap(Bytes& o) noexcept;
    uint8_t* p_ = nullptr;
    size_t cap_ = 0;
    bool mapped_ = false;
};

// Large buffers handed back for the next piece instead of to the kernel: mapping fresh
// pages costs a page fault each, which on a virtual machine outweighs much of the
// compression. Capacities are rounded to powers of two so that buffers fit many pieces;
// at most keep bytes wait for reuse. Safe to use from every thread.
class BytesPool {
public:
    explicit BytesPool(size_t keep) : keep_(keep) {}
    Bytes take(size_t capacity);
    void give(Bytes&& b);

private:
    std::mutex m_;
    std::vector<Bytes> spare_;
    size_t kept_ = 0, keep_;
};

} // namespace cw::zip
