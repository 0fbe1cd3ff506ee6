#include "EntryPipeline.h"

#include "Deflate.h"
#include "WinZipAes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <libdeflate.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace cw::zip {

namespace {

const char* const kShrank = "the file shrank while it was stored";

std::string grewWarning(uint64_t size) {
    return "the file grew while it was stored; the part stored is its first " +
           std::to_string(size) + " bytes";
}

bool grew(int fd, uint64_t size) {
    char c;
    ssize_t got;
    do
        got = pread(fd, &c, 1, static_cast<off_t>(size));
    while (got < 0 && errno == EINTR);
    return got > 0;
}

} // namespace

std::string EntryPipeline::readFully(int fd, uint64_t offset, uint8_t* buf, size_t size) {
    size_t done = 0;
    std::string warning;
    while (done < size) {
        ssize_t got = pread(fd, buf + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            // The entry keeps the size found when the file was opened, completed with
            // zeros, so the set stays consistent.
            warning = got < 0 ? std::strerror(errno) : kShrank;
            std::memset(buf + done, 0, size - done);
            break;
        }
        done += static_cast<size_t>(got);
    }
    return warning;
}

EntryPipeline::EntryPipeline(std::vector<std::string> paths, Settings settings)
    : s_(settings), pool_(kBudget / 2) {
    works_.resize(paths.size());
    for (size_t i = 0; i < paths.size(); ++i) {
        works_[i].path = std::move(paths[i]);
        if (works_[i].path.empty())
            works_[i].state = FileWork::kNotAFile;
    }
    const unsigned n = std::max(1u, s_.workers);
    threads_.reserve(n);
    try {
        for (unsigned i = 0; i < n; ++i)
            threads_.emplace_back([this, i] { run(i); });
    } catch (...) {
        stop();
        throw;
    }
}

EntryPipeline::~EntryPipeline() {
    stop();
    for (auto& w : works_)
        if (w.fd >= 0)
            close(w.fd);
}

void EntryPipeline::stop() {
    {
        std::lock_guard<std::mutex> lock(m_);
        stopping_ = true;
    }
    workCv_.notify_all();
    for (auto& t : threads_)
        if (t.joinable())
            t.join();
}

void EntryPipeline::openItem(FileWork& w) {
    // Not blocking on a FIFO or a device that waits for a reader: it is no regular file.
    const int fd = open(w.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    struct stat st {};
    if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = fd < 0 ? errno : 0;
        if (fd >= 0)
            close(fd);
        w.state = FileWork::kUnreadable;
        w.error = err ? std::strerror(err) : "not a regular file";
        return;
    }
    w.fd = fd;
    w.size = static_cast<uint64_t>(st.st_size);
    w.mode = st.st_mode & 07777;
    w.mtime = st.st_mtim.tv_sec;
    w.whole = w.size <= kWholeLimit;
    w.pieces.resize(w.whole ? 1 : static_cast<size_t>((w.size + kChunkSize - 1) / kChunkSize));
    for (size_t k = 0; k < w.pieces.size(); ++k) {
        Piece& p = w.pieces[k];
        p.offset = w.whole ? 0 : k * kChunkSize;
        p.length = w.whole ? w.size : std::min<uint64_t>(kChunkSize, w.size - p.offset);
        p.need = p.length + 4096; // an entry's records and bookkeeping count too
    }
    w.state = FileWork::kOpened;
}

bool EntryPipeline::take(Task& task, std::unique_lock<std::mutex>& lock) {
    for (;;) {
        if (stopping_ || cursor_ >= works_.size())
            return false;
        FileWork& w = works_[cursor_];
        if (w.state == FileWork::kWaiting) {
            openItem(w);
            doneCv_.notify_all();
        }
        if (w.state != FileWork::kOpened) {
            ++cursor_;
            continue;
        }
        Piece& p = w.pieces[w.nextChunk];
        // Something is always allowed in flight, so a piece larger than the budget moves.
        if (inFlight_ > 0 && inFlight_ + p.need > kBudget) {
            workCv_.wait(lock);
            continue;
        }
        inFlight_ += p.need;
        task = {cursor_, w.nextChunk};
        if (++w.nextChunk == w.pieces.size())
            ++cursor_;
        return true;
    }
}

namespace {
// What the writer compares between neighbouring chunks: the dictionary this one was given
// (the dict bytes before the chunk) and its own last bytes.
void saveEdges(Piece& p, const uint8_t* in, size_t dict, size_t len) {
    const size_t tail = std::min(len, kDeflateWindow);
    p.edges.allocate(dict + tail);
    std::memcpy(p.edges.data(), in, dict);
    std::memcpy(p.edges.data() + dict, in + dict + len - tail, tail);
    p.dictSize = dict;
    p.tailSize = tail;
}
} // namespace

void EntryPipeline::run(unsigned) {
    std::unique_ptr<WholeDeflater> whole;
    std::unique_ptr<ChunkDeflater> chunks;
    std::unique_ptr<IncompressibleProbe> probe;
    auto incompressible = [&](const uint8_t* data, size_t n) {
        if (!probe)
            probe = std::make_unique<IncompressibleProbe>();
        return (*probe)(data, n);
    };
    std::unique_lock<std::mutex> lock(m_);
    Task t;
    while (take(t, lock)) {
        FileWork& w = works_[t.item];
        Piece& p = w.pieces[t.chunk];
        const int fd = w.fd;
        const uint64_t size = w.size;
        const bool last = t.chunk + 1 == w.pieces.size();
        const bool wholeFile = w.whole;
        lock.unlock();
        try {
            if (s_.readHook)
                s_.readHook(w.path.c_str());
            if (wholeFile) {
                const bool aes = s_.keys && size > 0; // an empty file has nothing to hide
                const size_t pre = aes ? kAesHeaderSize : 0, post = aes ? kAesMacSize : 0;
                Bytes in = pool_.take(pre + size + post);
                p.warning = readFully(fd, 0, in.data() + pre, size);
                if (p.warning.empty() && grew(fd, size))
                    p.warning = grewWarning(size);
                p.crc = static_cast<uint32_t>(libdeflate_crc32(0, in.data() + pre, size));
                size_t n = size;
                p.method = 0;
                if (s_.level > 0 && size > 0 && !incompressible(in.data() + pre, size)) {
                    if (!whole)
                        whole = std::make_unique<WholeDeflater>(s_.level);
                    Bytes out = pool_.take(pre + size + post);
                    const size_t c = whole->compress(in.data() + pre, size, out.data() + pre);
                    if (c > 0) {
                        n = c;
                        p.method = 8;
                        std::swap(in, out);
                    }
                    pool_.give(std::move(out));
                }
                if (aes) {
                    uint8_t* frame = in.data();
                    if (!randomBytes(frame, kAesSaltSize))
                        throw std::runtime_error("no random bytes for the salt");
                    AesKeys keys;
                    s_.keys->derive(frame, keys);
                    std::memcpy(frame + kAesSaltSize, keys.verifier, kAesVerifierSize);
                    AesEntryCipher cipher(keys);
                    explicit_bzero(&keys, sizeof keys);
                    cipher.apply(frame + pre, n);
                    cipher.finish(frame + pre + n);
                }
                p.aes = aes;
                p.data = std::move(in);
                p.begin = 0;
                p.size = pre + n + post;
            } else {
                const size_t dict =
                    static_cast<size_t>(std::min<uint64_t>(p.offset, kDeflateWindow));
                const size_t len = static_cast<size_t>(p.length);
                Bytes in = pool_.take(dict + len);
                // The dictionary part is read again here: a difference from what the
                // chunk before found is caught by the writer.
                readFully(fd, p.offset - dict, in.data(), dict);
                p.warning = readFully(fd, p.offset, in.data() + dict, len);
                if (p.warning.empty() && last && grew(fd, size))
                    p.warning = grewWarning(size);
                p.crc = static_cast<uint32_t>(libdeflate_crc32(0, in.data() + dict, len));
                if (s_.level > 0 && incompressible(in.data() + dict, len)) {
                    p.data = pool_.take(storedBound(len));
                    p.size = storedBlocks(in.data() + dict, len, last, p.data.data());
                    p.begin = 0;
                    saveEdges(p, in.data(), dict, len);
                    pool_.give(std::move(in));
                } else if (s_.level == 0) {
                    p.data = std::move(in);
                    p.begin = dict;
                    p.size = len;
                } else {
                    if (!chunks)
                        chunks = std::make_unique<ChunkDeflater>(s_.level);
                    saveEdges(p, in.data(), dict, len);
                    p.data = pool_.take(storedBound(len));
                    p.size = chunks->compress(in.data(), dict, in.data() + dict, len, last, p.data);
                    pool_.give(std::move(in));
                    p.begin = 0;
                }
            }
        } catch (const std::exception& e) {
            // Out of memory or randomness: the writer stops the run with this text.
            p.size = 0;
            p.data.release();
            p.failure = e.what();
        }
        lock.lock();
        if (wholeFile) { // read whole: its descriptor is not held while it waits
            close(w.fd);
            w.fd = -1;
        }
        p.done = true;
        doneCv_.notify_all();
    }
}

FileWork& EntryPipeline::opened(size_t item) {
    std::unique_lock<std::mutex> lock(m_);
    FileWork& w = works_[item];
    doneCv_.wait(lock, [&] { return w.state != FileWork::kWaiting; });
    return w;
}

Piece& EntryPipeline::piece(size_t item, size_t k) {
    std::unique_lock<std::mutex> lock(m_);
    Piece& p = works_[item].pieces[k];
    doneCv_.wait(lock, [&] { return p.done; });
    return p;
}

void EntryPipeline::release(size_t item, size_t k) {
    Piece& p = works_[item].pieces[k];
    pool_.give(std::move(p.data));
    p.edges.release();
    {
        std::lock_guard<std::mutex> lock(m_);
        inFlight_ -= p.need;
        p.need = 0;
    }
    workCv_.notify_all();
}

void EntryPipeline::finish(size_t item) {
    FileWork& w = opened(item);
    for (size_t k = 0; k < w.pieces.size(); ++k) {
        {
            std::unique_lock<std::mutex> lock(m_);
            // A piece no worker took (the run is stopping) is never awaited.
            if (k >= w.nextChunk)
                break;
        }
        piece(item, k);
        release(item, k);
    }
    std::lock_guard<std::mutex> lock(m_);
    if (w.fd >= 0) {
        close(w.fd);
        w.fd = -1;
    }
}

} // namespace cw::zip
