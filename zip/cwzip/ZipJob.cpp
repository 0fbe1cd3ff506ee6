#include "ZipJob.h"

#include "../common/Cores.h"
#include "../common/IncludeList.h"
#include "../common/Paths.h"
#include "../common/ShortNames.h"
#include "../common/VolumeWriter.h"
#include "../common/Volumes.h"
#include "Deflate.h"
#include "EntryPipeline.h"
#include "WinZipAes.h"
#include "ZipRecords.h"

#include <cstring>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <vector>
#include <zlib.h>

namespace cw::zip {

namespace {

constexpr uint64_t kProgressStep = 4ULL * 1024 * 1024;
constexpr size_t kStageSize = 64 * 1024; // small records are gathered into writes this big

struct Item {
    size_t number;    // 1-based place in the include list
    std::string name; // as the include list gave it
    std::string path; // absolute
    bool directory;
    std::string stored;
};

class ZipRun {
public:
    explicit ZipRun(const ZipOptions& o) : o_(o) {}
    int run();

private:
    void collect();
    // Each returns false when the run must stop; done tells whether the entry was stored.
    bool storeDirectory(const Item& item, bool& done);
    bool storeFile(size_t index, const Item& item, bool& done);
    bool storeChunks(size_t index, const Item& item, FileWork& w, EntryRecord& e,
                     std::string& warning);
    bool put(const void* data, size_t size);
    bool put(const std::string& s) { return put(s.data(), s.size()); }
    bool flush();
    void addToDirectory(const EntryRecord& e) {
        directory_ += centralHeader(e);
        ++entries_;
    }
    bool stop(int code, const std::string& detail);
    // The caller asked to stop (its answer to event 12 or 13).
    bool stopAsked() { return stop(CW_ZIP_ERROR_STOPPED, "stopped at the user's request"); }
    // The callback's answer.
    short event(int action, const Item& item, const std::string& a = "", const std::string& b = "",
                const std::string& detail = "") {
        return notify(o_.callback, action,
                      fields({std::to_string(item.number), item.name, item.stored, a, b, detail}));
    }
    // Events 12 and 13; false when the caller answered stop.
    bool goOn(int action, const Item& item, const std::string& total, const std::string& percent) {
        return event(action, item, total, percent) != CW_ZIP_ANSWER_STOP;
    }
    bool progress(const Item& item, uint64_t done, uint64_t size) { // 0 < done < size
        return goOn(CW_EVENT_PROGRESS, item, std::to_string(size),
                    std::to_string(done * 100 / size));
    }

    const ZipOptions& o_;
    std::vector<Item> items_;
    std::unique_ptr<VolumeWriter> out_;
    std::unique_ptr<KeyDeriver> keys_;
    std::unique_ptr<EntryPipeline> pipeline_;
    std::string stage_, directory_;
    uint64_t offset_ = 0, entries_ = 0;
};

bool ZipRun::stop(int code, const std::string& detail) {
    if (pipeline_)
        pipeline_->stop();
    if (out_) {
        out_->abort();
        if (code == CW_ZIP_ERROR_WRITE && out_->verifyFailed())
            code = CW_ZIP_ERROR_VERIFY;
    }
    notify(o_.callback, CW_EVENT_FATAL,
           fields({"0", o_.setPath, std::to_string(code), "", "", detail}));
    return false;
}

void ZipRun::collect() {
    ShortNamer shortNames;
    size_t number = 0;
    for (const auto& name : splitIncludeList(o_.include)) {
        ++number;
        Item item{number, name, absolutePath(name), false, ""};
        if (baseName(name) == "(EMPTY)") {
            // A marker names the directory that holds it; it is stored only on request,
            // and only while the directory exists.
            struct stat st {};
            item.path = absolutePath(dirName(name));
            if (!o_.emptyDirs || stat(item.path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
                continue;
            item.directory = true;
        }
        std::vector<std::string> parts = splitPath(item.path);
        if (parts.empty())
            continue; // the root itself has no name to store
        if (o_.structure == 0)
            parts.erase(parts.begin(), parts.end() - 1);
        item.stored = o_.longNames ? joinPath(parts) : shortNames.path(parts);
        if (item.directory)
            item.stored += '/';
        items_.push_back(std::move(item));
    }
}

bool ZipRun::put(const void* data, size_t size) {
    offset_ += size;
    if (stage_.size() + size <= kStageSize) {
        stage_.append(static_cast<const char*>(data), size);
        return true;
    }
    if (!flush())
        return false;
    if (size < kStageSize) {
        stage_.assign(static_cast<const char*>(data), size);
        return true;
    }
    return out_->write(data, size);
}

bool ZipRun::flush() {
    if (stage_.empty())
        return true;
    const bool ok = out_->write(stage_.data(), stage_.size());
    stage_.clear();
    return ok;
}

bool ZipRun::storeDirectory(const Item& item, bool& done) {
    struct stat st {};
    if (stat(item.path.c_str(), &st) != 0)
        return true;
    EntryRecord e;
    e.name = item.stored;
    e.directory = true;
    e.mode = S_IFDIR | (st.st_mode & 0777);
    e.mtime = st.st_mtim.tv_sec;
    e.offset = offset_;
    if (!put(localHeader(e)))
        return stop(CW_ZIP_ERROR_WRITE, out_->error());
    addToDirectory(e);
    done = true;
    return true;
}

bool ZipRun::storeFile(size_t index, const Item& item, bool& done) {
    FileWork& w = pipeline_->opened(index);
    if (w.state == FileWork::kUnreadable) {
        event(CW_EVENT_UNREADABLE, item, "", "", w.error);
        return true;
    }
    done = true;
    const std::string total = std::to_string(w.size);
    EntryRecord e;
    e.name = item.stored;
    e.mode = S_IFREG | w.mode;
    e.mtime = w.mtime;
    e.size = w.size;
    e.offset = offset_;
    if (!goOn(CW_EVENT_PROGRESS, item, total, "0"))
        return stopAsked();
    std::string warning;
    if (w.whole) {
        Piece& p = pipeline_->piece(index, 0);
        if (!p.failure.empty())
            return stop(CW_ZIP_ERROR_WRITER, p.failure);
        e.method = p.method;
        e.aes = p.aes;
        e.crc = p.crc;
        e.csize = p.size;
        warning = p.warning;
        if (!put(localHeader(e)) || !put(p.data.data() + p.begin, p.size))
            return stop(CW_ZIP_ERROR_WRITE, out_->error());
        pipeline_->release(index, 0);
        for (uint64_t at = kProgressStep; at < w.size; at += kProgressStep)
            if (!progress(item, at, w.size))
                return stopAsked();
    } else if (!storeChunks(index, item, w, e, warning)) {
        return false;
    }
    pipeline_->finish(index);
    addToDirectory(e);
    if (!goOn(CW_EVENT_PROGRESS, item, total, "100"))
        return stopAsked();
    if (!warning.empty())
        event(CW_EVENT_WARNING, item, total, "", warning);
    return goOn(CW_EVENT_STORED, item, total, "100") || stopAsked();
}

// A large file streams out piece after piece; its CRC and sizes follow in a descriptor.
bool ZipRun::storeChunks(size_t index, const Item& item, FileWork& w, EntryRecord& e,
                         std::string& warning) {
    e.descriptor = true;
    e.zip64 = needsZip64(w.size);
    e.method = o_.level > 0 ? kMethodDeflate : kMethodStore;
    e.aes = keys_ != nullptr;
    if (!put(localHeader(e)))
        return stop(CW_ZIP_ERROR_WRITE, out_->error());
    std::unique_ptr<AesEntryCipher> cipher;
    if (e.aes) {
        uint8_t frame[kAesHeaderSize];
        AesKeys keys;
        if (!randomBytes(frame, kAesSaltSize))
            return stop(CW_ZIP_ERROR_WRITER, "no random bytes for the salt");
        keys_->derive(frame, keys);
        std::memcpy(frame + kAesSaltSize, keys.verifier, kAesVerifierSize);
        cipher = std::make_unique<AesEntryCipher>(keys);
        explicit_bzero(&keys, sizeof keys);
        if (!put(frame, sizeof frame))
            return stop(CW_ZIP_ERROR_WRITE, out_->error());
        e.csize += sizeof frame;
    }
    // The last bytes written of the stream: the dictionary the next chunk must have had.
    Bytes tail(kDeflateWindow);
    size_t tailSize = 0;
    uint64_t nextReport = kProgressStep;
    for (size_t k = 0; k < w.pieces.size(); ++k) {
        Piece& p = pipeline_->piece(index, k);
        if (!p.failure.empty())
            return stop(CW_ZIP_ERROR_WRITER, p.failure);
        if (o_.level > 0 &&
            (p.dictSize != tailSize || std::memcmp(p.edges.data(), tail.data(), tailSize) != 0)) {
            // The file changed between the reads of two workers: this chunk is read once
            // more and goes out as stored blocks, which need no dictionary.
            const size_t len = static_cast<size_t>(p.length);
            Bytes again(len);
            std::string why = EntryPipeline::readFully(w.fd, p.offset, again.data(), len);
            p.data.allocate(storedBound(len));
            p.begin = 0;
            p.size = storedBlocks(again.data(), len, k + 1 == w.pieces.size(), p.data.data());
            p.crc = static_cast<uint32_t>(crc32(0, again.data(), static_cast<uInt>(len)));
            const size_t t = std::min(len, kDeflateWindow);
            p.edges.allocate(t);
            std::memcpy(p.edges.data(), again.data() + len - t, t);
            p.dictSize = 0;
            p.tailSize = t;
            if (p.warning.empty())
                p.warning = why.empty() ? "the file changed while it was stored" : why;
        }
        if (o_.level > 0) {
            std::memcpy(tail.data(), p.edges.data() + p.dictSize, p.tailSize);
            tailSize = p.tailSize;
        }
        if (cipher)
            cipher->apply(p.data.data() + p.begin, p.size);
        e.crc = k == 0 ? p.crc
                       : static_cast<uint32_t>(
                             crc32_combine(e.crc, p.crc, static_cast<z_off_t>(p.length)));
        e.csize += p.size;
        if (warning.empty())
            warning = p.warning;
        if (!put(p.data.data() + p.begin, p.size))
            return stop(CW_ZIP_ERROR_WRITE, out_->error());
        const uint64_t done = p.offset + p.length;
        pipeline_->release(index, k);
        if (done >= nextReport && done < w.size) {
            if (!progress(item, done, w.size))
                return stopAsked();
            nextReport = done + kProgressStep;
        }
    }
    if (cipher) {
        uint8_t mac[kAesMacSize];
        cipher->finish(mac);
        if (!put(mac, sizeof mac))
            return stop(CW_ZIP_ERROR_WRITE, out_->error());
        e.csize += sizeof mac;
    }
    if (!put(dataDescriptor(e)))
        return stop(CW_ZIP_ERROR_WRITE, out_->error());
    return true;
}

int ZipRun::run() {
    notify(o_.callback, CW_EVENT_START, fields({"0", o_.setPath}));
    if (o_.setPath.empty()) {
        stop(CW_ZIP_ERROR_NO_NAME, "no set name");
        return -1;
    }
    collect();
    const std::string setPath = absolutePath(o_.setPath);
    out_ = std::make_unique<VolumeWriter>(setPath, o_.span, o_.volumeCap, [this, &setPath](int n) {
        notify(o_.callback, CW_EVENT_DISK,
               fields({"0", std::to_string(n), volumePath(setPath, n)}));
    });
    out_->setReadBack(o_.readBack);
    out_->setWriteHook(o_.writeHook);
    if (!out_->open())
        return stop(CW_ZIP_ERROR_WRITE, out_->error()), -1;
    if (o_.encrypt)
        keys_ = std::make_unique<KeyDeriver>(o_.password);
    std::vector<std::string> paths;
    paths.reserve(items_.size());
    for (const auto& item : items_)
        paths.push_back(item.directory ? std::string() : item.path);
    EntryPipeline::Settings settings;
    settings.level = o_.level;
    settings.keys = keys_.get();
    settings.workers = o_.workers > 0 ? static_cast<unsigned>(o_.workers) : usableCores();
    settings.readHook = o_.readHook;
    pipeline_ = std::make_unique<EntryPipeline>(std::move(paths), settings);
    std::set<std::string> stored;
    for (size_t i = 0; i < items_.size(); ++i) {
        const Item& item = items_[i];
        if (stored.count(item.stored)) {
            event(CW_EVENT_DUPLICATE, item);
            if (!item.directory)
                pipeline_->finish(i);
            continue;
        }
        bool done = false;
        if (!(item.directory ? storeDirectory(item, done) : storeFile(i, item, done)))
            return -1;
        if (done) // a file that could not be read leaves its name free
            stored.insert(item.stored);
    }
    pipeline_.reset();
    if (!flush())
        return stop(CW_ZIP_ERROR_WRITE, out_->error()), -1;
    out_->beginTail();
    const uint64_t cdOffset = offset_;
    if (!put(directory_) || !put(endRecords(entries_, cdOffset, directory_.size())) || !flush())
        return stop(CW_ZIP_ERROR_WRITE, out_->error()), -1;
    if (!out_->finish())
        return stop(CW_ZIP_ERROR_WRITE, out_->error()), -1;
    return 0;
}

} // namespace

int runZip(ZipOptions& options) {
    int r;
    try {
        r = ZipRun(options).run();
    } catch (const std::exception& e) {
        notify(
            options.callback, CW_EVENT_FATAL,
            fields({"0", options.setPath, std::to_string(CW_ZIP_ERROR_WRITER), "", "", e.what()}));
        r = -1;
    }
    // The password does not outlive the run; the next run needs cwZip_Encrypt again.
    explicit_bzero(options.password.data(), options.password.size());
    options.password.clear();
    options.password.shrink_to_fit();
    options.encrypt = false;
    return r;
}

} // namespace cw::zip
