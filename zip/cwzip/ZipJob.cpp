#include "ZipJob.h"

#include "../common/IncludeList.h"
#include "../common/Paths.h"
#include "../common/ShortNames.h"
#include "../common/Utf8Locale.h"
#include "../common/VolumeWriter.h"
#include "../common/Volumes.h"

#include <archive.h>
#include <archive_entry.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace cw::zip {

namespace {

constexpr size_t kBufferSize = 256 * 1024;
constexpr long long kProgressStep = 4LL * 1024 * 1024;

struct Item {
    size_t number;    // 1-based place in the include list
    std::string name; // as the include list gave it
    std::string path; // absolute
    bool directory;
    std::string stored;
};

using ArchivePtr = std::unique_ptr<archive, decltype(&archive_write_free)>;
using EntryPtr = std::unique_ptr<archive_entry, decltype(&archive_entry_free)>;

class ZipRun {
public:
    explicit ZipRun(const ZipOptions& o) : o_(o) {}
    int run();

private:
    void collect();
    bool openArchive();
    // Both return false when the run must stop; done tells whether the entry was stored.
    bool storeDirectory(const Item& item, bool& done);
    bool storeFile(const Item& item, bool& done);
    bool writeData(const Item& item, int fd, long long size);
    bool stop(int code, const std::string& detail);
    void event(int action, const Item& item, const std::string& a = "", const std::string& b = "",
               const std::string& detail = "") {
        notify(o_.callback, action,
               fields({std::to_string(item.number), item.name, item.stored, a, b, detail}));
    }
    static la_ssize_t writeCb(archive*, void* self, const void* buf, size_t n);
    static const char* passCb(archive*, void* self) {
        return static_cast<ZipRun*>(self)->o_.password.c_str();
    }

    const ZipOptions& o_;
    std::vector<Item> items_;
    std::unique_ptr<VolumeWriter> out_;
    ArchivePtr a_{nullptr, archive_write_free};
    std::vector<char> buf_;
};

std::string errText(archive* a) {
    const char* s = a ? archive_error_string(a) : nullptr;
    return s ? s : "archive error";
}

la_ssize_t ZipRun::writeCb(archive* a, void* self, const void* buf, size_t n) {
    auto* run = static_cast<ZipRun*>(self);
    if (!run->out_->write(buf, n)) {
        archive_set_error(a, EIO, "%s", run->out_->error().c_str());
        return -1;
    }
    return static_cast<la_ssize_t>(n);
}

bool ZipRun::stop(int code, const std::string& detail) {
    if (out_)
        out_->abort();
    notify(o_.callback, 255, fields({"0", o_.setPath, std::to_string(code), "", "", detail}));
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

bool ZipRun::openArchive() {
    a_.reset(archive_write_new());
    archive* a = a_.get();
    std::string opts = "zip:hdrcharset=UTF-8";
    opts += o_.level == 0
                ? ",zip:compression=store"
                : ",zip:compression=deflate,zip:compression-level=" + std::to_string(o_.level);
    if (o_.encrypt)
        opts += ",zip:encryption=aes256";
    if (!a || archive_write_set_format_zip(a) != ARCHIVE_OK ||
        archive_write_add_filter_none(a) != ARCHIVE_OK ||
        archive_write_set_bytes_per_block(a, 64 * 1024) != ARCHIVE_OK ||
        archive_write_set_bytes_in_last_block(a, 1) != ARCHIVE_OK ||
        archive_write_set_options(a, opts.c_str()) != ARCHIVE_OK)
        return stop(kZipArchive, errText(a));
    // The callback, not archive_write_set_passphrase, so that an empty password works.
    if (o_.encrypt)
        archive_write_set_passphrase_callback(a, this, passCb);
    if (archive_write_open2(a, this, nullptr, writeCb, nullptr, nullptr) != ARCHIVE_OK)
        return stop(kZipCannotWrite, errText(a));
    return true;
}

bool ZipRun::storeDirectory(const Item& item, bool& done) {
    struct stat st {};
    if (stat(item.path.c_str(), &st) != 0)
        return true;
    EntryPtr e(archive_entry_new(), archive_entry_free);
    archive_entry_set_pathname_utf8(e.get(), item.stored.c_str());
    archive_entry_set_filetype(e.get(), AE_IFDIR);
    archive_entry_set_perm(e.get(), st.st_mode & 0777);
    archive_entry_set_mtime(e.get(), st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    if (archive_write_header(a_.get(), e.get()) < ARCHIVE_WARN)
        return stop(kZipArchive, errText(a_.get()));
    done = true;
    return true;
}

bool ZipRun::storeFile(const Item& item, bool& done) {
    int fd = open(item.path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        int err = fd < 0 ? errno : 0;
        if (fd >= 0)
            close(fd);
        event(22, item, "", "", err ? std::strerror(err) : "not a regular file");
        return true;
    }
    EntryPtr e(archive_entry_new(), archive_entry_free);
    archive_entry_set_pathname_utf8(e.get(), item.stored.c_str());
    archive_entry_set_filetype(e.get(), AE_IFREG);
    archive_entry_set_perm(e.get(), st.st_mode & 07777);
    archive_entry_set_size(e.get(), st.st_size);
    archive_entry_set_mtime(e.get(), st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    archive_entry_set_atime(e.get(), st.st_atim.tv_sec, st.st_atim.tv_nsec);
    if (archive_write_header(a_.get(), e.get()) < ARCHIVE_WARN) {
        close(fd);
        return stop(kZipArchive, errText(a_.get()));
    }
    done = true;
    bool ok = writeData(item, fd, st.st_size);
    close(fd);
    return ok;
}

bool ZipRun::writeData(const Item& item, int fd, long long size) {
    const std::string total = std::to_string(size);
    event(12, item, total, "0");
    long long done = 0, nextReport = kProgressStep;
    std::string problem;
    while (done < size) {
        size_t want = static_cast<size_t>(std::min<long long>(size - done, kBufferSize));
        ssize_t got = read(fd, buf_.data(), want);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            // The file shrank or cannot be read further: the entry keeps the size its header
            // declared, filled with zeros, so the set stays consistent.
            problem = got < 0 ? std::strerror(errno) : "the file shrank while it was stored";
            std::memset(buf_.data(), 0, kBufferSize);
            while (done < size) {
                size_t n = static_cast<size_t>(std::min<long long>(size - done, kBufferSize));
                if (archive_write_data(a_.get(), buf_.data(), n) < 0)
                    return stop(kZipCannotWrite, errText(a_.get()));
                done += static_cast<long long>(n);
            }
            break;
        }
        if (archive_write_data(a_.get(), buf_.data(), static_cast<size_t>(got)) < 0)
            return stop(kZipCannotWrite, errText(a_.get()));
        done += got;
        if (done >= nextReport && done < size) {
            event(12, item, total, std::to_string(done * 100 / size));
            nextReport = done + kProgressStep;
        }
    }
    char extra;
    if (problem.empty() && read(fd, &extra, 1) > 0)
        problem =
            "the file grew while it was stored; the part stored is its first " + total + " bytes";
    if (archive_write_finish_entry(a_.get()) < ARCHIVE_WARN)
        return stop(kZipCannotWrite, errText(a_.get()));
    event(12, item, total, "100");
    if (!problem.empty())
        event(23, item, total, "", problem);
    event(13, item, total, "100");
    return true;
}

int ZipRun::run() {
    Utf8Locale utf8;
    notify(o_.callback, 10, fields({"0", o_.setPath}));
    if (o_.setPath.empty()) {
        stop(kZipNoSetName, "no set name");
        return -1;
    }
    collect();
    const std::string setPath = absolutePath(o_.setPath);
    out_ = std::make_unique<VolumeWriter>(setPath, o_.span, o_.volumeCap, [this, &setPath](int n) {
        notify(o_.callback, 20, fields({"0", std::to_string(n), volumePath(setPath, n)}));
    });
    if (!out_->open())
        return stop(kZipCannotWrite, out_->error()), -1;
    if (!openArchive())
        return -1;
    buf_.resize(kBufferSize);
    std::set<std::string> stored;
    for (const auto& item : items_) {
        if (stored.count(item.stored)) {
            event(24, item);
            continue;
        }
        bool done = false;
        if (!(item.directory ? storeDirectory(item, done) : storeFile(item, done)))
            return -1;
        if (done) // a file that could not be read leaves its name free
            stored.insert(item.stored);
    }
    out_->beginTail();
    if (archive_write_close(a_.get()) != ARCHIVE_OK) {
        std::string why = out_->error().empty() ? errText(a_.get()) : out_->error();
        return stop(kZipCannotWrite, why), -1;
    }
    if (!out_->finish())
        return stop(kZipCannotWrite, out_->error()), -1;
    return 0;
}

} // namespace

int runZip(const ZipOptions& options) {
    try {
        return ZipRun(options).run();
    } catch (const std::exception& e) {
        notify(options.callback, 255, fields({"0", options.setPath, "3", "", "", e.what()}));
        return -1;
    }
}

} // namespace cw::zip
