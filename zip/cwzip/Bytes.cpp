#include "Bytes.h"

#include <cstdlib>
#include <new>
#include <sys/mman.h>
#include <utility>

namespace cw::zip {

namespace {
constexpr size_t kMapFrom = 128 * 1024;
}

void Bytes::allocate(size_t capacity) {
    release();
    if (capacity == 0)
        return;
    if (capacity >= kMapFrom) {
        void* p =
            mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            throw std::bad_alloc();
        p_ = static_cast<uint8_t*>(p);
        mapped_ = true;
    } else {
        p_ = static_cast<uint8_t*>(std::malloc(capacity));
        if (!p_)
            throw std::bad_alloc();
        mapped_ = false;
    }
    cap_ = capacity;
}

void Bytes::release() {
    if (p_) {
        if (mapped_)
            munmap(p_, cap_);
        else
            std::free(p_);
    }
    p_ = nullptr;
    cap_ = 0;
    mapped_ = false;
}

Bytes BytesPool::take(size_t capacity) {
    if (capacity < kMapFrom)
        return Bytes(capacity);
    size_t size = kMapFrom;
    while (size < capacity)
        size *= 2;
    {
        std::lock_guard<std::mutex> lock(m_);
        for (size_t i = 0; i < spare_.size(); ++i) {
            if (spare_[i].capacity() == size) {
                Bytes b = std::move(spare_[i]);
                spare_[i] = std::move(spare_.back());
                spare_.pop_back();
                kept_ -= size;
                return b;
            }
        }
    }
    return Bytes(size);
}

void BytesPool::give(Bytes&& b) {
    const size_t size = b.capacity();
    if (size < kMapFrom || (size & (size - 1)) != 0)
        return b.release();
    std::lock_guard<std::mutex> lock(m_);
    if (kept_ + size > keep_)
        return b.release();
    kept_ += size;
    spare_.push_back(std::move(b));
}

void Bytes::swap(Bytes& o) noexcept {
    std::swap(p_, o.p_);
    std::swap(cap_, o.cap_);
    std::swap(mapped_, o.mapped_);
}

} // namespace cw::zip
