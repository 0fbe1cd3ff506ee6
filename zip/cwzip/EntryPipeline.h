#pragma once
// The workers of a run. They take the files of the include list in order, read, CRC,
// compress and (for files compressed whole) encrypt them, and leave the finished bytes for
// the writer, which takes them in the same order on the caller's thread. A file up to
// kWholeLimit is one piece; a larger one is cut into kChunkSize pieces of one deflate
// stream so that it, too, uses every worker. The bytes of the pieces not yet written are
// capped (kBudget), whatever the tree and the number of workers.
#include "Bytes.h"

#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cw::zip {

class KeyDeriver;

constexpr uint64_t kWholeLimit = 8ULL << 20;
constexpr uint64_t kChunkSize = 1ULL << 20;
constexpr uint64_t kBudget = 24ULL << 20;

using ReadHook = void (*)(const char* path);

// The result of one piece of work: the bytes to write and what the writer needs to know
// about them.
struct Piece {
    Bytes data;
    size_t begin = 0, size = 0;      // the bytes to write: data[begin, begin + size)
    uint64_t offset = 0, length = 0; // the part of the file it holds
    uint32_t crc = 0;                // of that part as read
    uint16_t method = 0;             // files compressed whole: store or deflate
    bool aes = false;                // files compressed whole: encrypted, frame included
    // Chunks of a deflate stream: the dictionary the chunk was compressed with, and its
    // own last bytes (the next chunk's dictionary), to find a file that changed between
    // the reads of two workers.
    Bytes edges;
    size_t dictSize = 0, tailSize = 0;
    std::string warning; // the file shrank, grew or failed to read part-way
    std::string failure; // the piece could not be made (no memory): the run stops
    uint64_t need = 0;   // counted against the budget
    bool done = false;
};

struct FileWork {
    enum State { kWaiting, kOpened, kUnreadable, kNotAFile };
    State state = kWaiting;
    std::string path;  // empty: an item the writer handles itself (a directory entry)
    std::string error; // why it cannot be read
    int fd = -1;
    uint64_t size = 0;
    uint32_t mode = 0;
    time_t mtime = 0;
    bool whole = true;
    size_t nextChunk = 0;
    std::vector<Piece> pieces;
};

class EntryPipeline {
public:
    struct Settings {
        int level = 6;                    // 0 stores
        const KeyDeriver* keys = nullptr; // encrypts when given
        unsigned workers = 1;
        ReadHook readHook = nullptr;
    };
    // paths[i] is the file of item i, empty for items the writer handles itself.
    EntryPipeline(std::vector<std::string> paths, Settings settings);
    ~EntryPipeline();
    EntryPipeline(const EntryPipeline&) = delete;
    EntryPipeline& operator=(const EntryPipeline&) = delete;

    // The item once a worker has opened it (or found it unreadable).
    FileWork& opened(size_t item);
    // Piece k of an opened item, once done.
    Piece& piece(size_t item, size_t k);
    // The writer is done with a piece: its bytes and its share of the budget are freed.
    void release(size_t item, size_t k);
    // The writer is done with an item: the rest of its pieces are awaited and freed, and
    // its file is closed.
    void finish(size_t item);
    // Stops the workers; pieces in progress are finished and dropped.
    void stop();

    // Reads size bytes at offset into buf; a short file reads as zeros. Returns a warning,
    // empty when every byte was there.
    static std::string readFully(int fd, uint64_t offset, uint8_t* buf, size_t size);

private:
    struct Task {
        size_t item = 0, chunk = 0;
    };
    class Worker;
    bool take(Task& task, std::unique_lock<std::mutex>& lock);
    void openItem(FileWork& w);
    void run(unsigned index);

    Settings s_;
    BytesPool pool_;
    std::vector<FileWork> works_;
    std::mutex m_;
    std::condition_variable workCv_, doneCv_;
    size_t cursor_ = 0;
    uint64_t inFlight_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace cw::zip
