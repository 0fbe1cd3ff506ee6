// Extraction: the include list's entries, read through libarchive from the joined volumes and
// written below the destination, each under a temporary name until it is complete.
#include "../common/IncludeList.h"
#include "../common/Paths.h"
#include "../common/Utf8Locale.h"
#include "../common/VolumeSet.h"
#include "../common/Volumes.h"
#include "FileOut.h"
#include "UnzipJob.h"

#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace cw::zip {

namespace {

constexpr size_t kBlock = 64 * 1024;
constexpr size_t kTailLimit = 16 * 1024 * 1024;

using ReaderPtr = std::unique_ptr<archive, decltype(&archive_read_free)>;

std::string errText(archive* a) {
    const char* s = archive_error_string(a);
    return s ? s : "";
}

// libarchive turns backslashes into "/" in names; otherwise its names are the directory's.
bool sameName(std::string a, std::string b) {
    for (auto* s : {&a, &b})
        for (char& c : *s)
            if (c == '\\')
                c = '/';
    return a == b;
}

class ExtractRun {
public:
    explicit ExtractRun(const UnzipOptions& o)
        : o_(o), set_(o.setPath, [this](int disk) { askDisk(disk); }) {}
    ~ExtractRun() {
        if (destFd_ >= 0)
            close(destFd_);
    }
    ExtractRun(const ExtractRun&) = delete;
    ExtractRun& operator=(const ExtractRun&) = delete;
    int run();

private:
    enum class Step { Next, Stop };
    // The bytes of an entry that was not chosen: libarchive reads every entry's header and
    // may read through a short stretch of data instead of seeking over it.
    struct Skipped {
        long long start, end;
        std::string header;
    };
    bool prepare();
    int extract();
    void applyDirectoryModes();
    void removeMadeDirectories();
    void noteSetFiles();
    bool isSetFile(const struct stat& st) const;
    void planSkipped();
    const Skipped* skippedAt(long long pos) const;
    long long firstReadOnLast() const;
    Step entry(const CdEntry& cd, archive_entry* e);
    Step file(const CdEntry& cd, const std::vector<std::string>& parts, archive_entry* e);
    Step failed(const std::string& name, int reason, const std::string& detail);
    int stop(int code, const std::string& detail) {
        notify(o_.callback, 255, fields({"0", o_.setPath, std::to_string(code), detail}));
        return -1;
    }
    void askDisk(int disk) {
        notify(o_.callback, 20, fields({"0", std::to_string(disk), o_.setPath}));
    }

    static la_ssize_t readCb(archive*, void* self, const void** buf);
    static la_int64_t seekCb(archive*, void* self, la_int64_t offset, int whence);
    static const char* passCb(archive*, void* self);

    const UnzipOptions& o_;
    VolumeSet set_;
    std::vector<CdEntry> entries_; // in the order of their data in the set
    std::vector<bool> chosen_;
    std::vector<std::string> absent_; // include names no entry answers to
    std::vector<std::string> made_;   // folders this run created, below the destination
    std::vector<Skipped> skipped_;    // by start
    std::vector<std::pair<dev_t, ino_t>> setFiles_; // the set's volumes found at the start
    int destFd_ = -1;
    long long pos_ = 0;
    std::vector<char> block_, data_;
    bool passGiven_ = false, replaceAll_ = false, opening_ = false, wrongPassword_ = false;
    int number_ = 0;
    archive* a_ = nullptr;
};

la_ssize_t ExtractRun::readCb(archive* a, void* self, const void** buf) {
    auto* r = static_cast<ExtractRun*>(self);
    *buf = r->block_.data();
    if (const Skipped* s = r->skippedAt(r->pos_)) {
        // An entry not chosen: its header is made from the directory and its data is
        // zeros, so that its disk is not needed.
        const long long in = r->pos_ - s->start;
        const size_t n = static_cast<size_t>(
            std::min<long long>(s->end - r->pos_, static_cast<long long>(r->block_.size())));
        std::fill_n(r->block_.begin(), n, '\0');
        if (in < static_cast<long long>(s->header.size()))
            std::memcpy(r->block_.data(), s->header.data() + in,
                        std::min(n, s->header.size() - static_cast<size_t>(in)));
        r->pos_ += static_cast<long long>(n);
        return static_cast<la_ssize_t>(n);
    }
    if (r->opening_ && r->pos_ < r->set_.lastStart() && r->set_.location().cdLocal >= 0) {
        // Opening, libarchive looks for the end record in the last 16 KiB of the set; a
        // small last volume that holds the whole directory must not make it ask for the
        // disks before it.
        const size_t n = static_cast<size_t>(std::min<long long>(
            r->set_.lastStart() - r->pos_, static_cast<long long>(r->block_.size())));
        std::fill_n(r->block_.begin(), n, '\0');
        r->pos_ += static_cast<long long>(n);
        return static_cast<la_ssize_t>(n);
    }
    size_t n = r->set_.contiguous(r->pos_, r->block_.size());
    if (n == 0) {
        if (r->set_.diskMissing()) {
            archive_set_error(a, EIO, "a disk of the set is missing");
            return -1;
        }
        return 0;
    }
    if (!r->set_.readAt(r->pos_, r->block_.data(), n)) {
        archive_set_error(a, EIO, "the set cannot be read");
        return -1;
    }
    r->pos_ += static_cast<long long>(n);
    return static_cast<la_ssize_t>(n);
}

la_int64_t ExtractRun::seekCb(archive*, void* self, la_int64_t offset, int whence) {
    auto* r = static_cast<ExtractRun*>(self);
    if (offset > (1LL << 50) || offset < -(1LL << 50)) // damage; keeps the sum in range
        return ARCHIVE_FATAL;
    long long base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? r->pos_ : r->set_.size();
    long long to = base + offset;
    if (to < 0)
        return ARCHIVE_FATAL;
    r->pos_ = std::min(to, r->set_.size());
    return r->pos_;
}

const char* ExtractRun::passCb(archive*, void* self) {
    // The password once; asked again, it was wrong, and NULL ends libarchive's asking.
    auto* r = static_cast<ExtractRun*>(self);
    if (!r->o_.decrypt || r->passGiven_)
        return nullptr;
    r->passGiven_ = true;
    return r->o_.password.c_str();
}

ExtractRun::Step ExtractRun::failed(const std::string& name, int reason,
                                    const std::string& detail) {
    notify(o_.callback, 23,
           fields({std::to_string(number_), name, std::to_string(reason), detail}));
    if (reason == kReasonPassword)
        wrongPassword_ = true;
    return reason == kReasonPassword ? Step::Stop : Step::Next;
}

bool ExtractRun::prepare() {
    std::vector<CdEntry> all;
    if (!set_.forEachEntry([&](const CdEntry& e) {
            all.push_back(e);
            return true;
        }))
        return false;
    std::stable_sort(all.begin(), all.end(), [](const CdEntry& a, const CdEntry& b) {
        return a.localOffset < b.localOffset;
    });
    // Names are compared as the listing shows them ("/" separators; a backslash is one only
    // in names from other systems) or as stored, without a trailing "/".
    auto key = [](std::string n, bool backslashSeparates) {
        if (backslashSeparates)
            std::replace(n.begin(), n.end(), '\\', '/');
        while (!n.empty() && n.back() == '/')
            n.pop_back();
        return n;
    };
    std::set<std::string> wanted;
    for (auto& n : splitIncludeList(o_.include))
        wanted.insert(key(n, false));
    entries_ = std::move(all);
    chosen_.assign(entries_.size(), false);
    std::set<std::string> found;
    for (size_t i = 0; i < entries_.size(); ++i) {
        const CdEntry& e = entries_[i];
        for (const std::string& k : {key(e.name, !e.madeOnUnix()), key(e.name, false)})
            if (wanted.count(k)) {
                chosen_[i] = true;
                found.insert(k);
            }
    }
    // A name asked for that the set does not hold is reported at the end of the run, so a
    // restore that misses files never looks complete.
    for (const std::string& n : wanted)
        if (!n.empty() && !found.count(n))
            absent_.push_back(n);
    return true;
}

// The end of entry i's bytes: where the next entry or the directory begins.
static long long entryEnd(const std::vector<CdEntry>& entries, size_t i, long long cd) {
    for (size_t j = i + 1; j < entries.size(); ++j)
        if (entries[j].localOffset > entries[i].localOffset)
            return static_cast<long long>(entries[j].localOffset);
    return cd;
}

void ExtractRun::planSkipped() {
    const auto cd = static_cast<long long>(set_.location().cdOffset);
    std::set<uint64_t> chosenAt;
    for (size_t i = 0; i < entries_.size(); ++i)
        if (chosen_[i])
            chosenAt.insert(entries_[i].localOffset);
    for (size_t i = 0; i < entries_.size(); ++i) {
        const CdEntry& e = entries_[i];
        const auto start = static_cast<long long>(e.localOffset);
        if (chosen_[i] || chosenAt.count(e.localOffset) ||
            (!skipped_.empty() && skipped_.back().start == start))
            continue;
        // A stored, unencrypted header with no sizes: libarchive takes them from the
        // directory, and the mode and name are the directory's too.
        std::string h(30, '\0');
        auto put = [&h](size_t at, uint32_t v, int bytes) {
            for (int b = 0; b < bytes; ++b)
                h[at + static_cast<size_t>(b)] = static_cast<char>(v >> (8 * b));
        };
        put(0, 0x04034b50, 4);
        put(4, 20u | (e.madeBy & 0xFF00u), 2);
        put(6, e.flags & 0x0800u, 2);
        put(10, e.dosTime, 4);
        put(26, static_cast<uint32_t>(e.name.size()), 2);
        h += e.name;
        const long long end = entryEnd(entries_, i, cd);
        if (end - start >= static_cast<long long>(h.size()))
            skipped_.push_back({start, end, std::move(h)});
    }
}

const ExtractRun::Skipped* ExtractRun::skippedAt(long long pos) const {
    auto it = std::upper_bound(skipped_.begin(), skipped_.end(), pos,
                               [](long long p, const Skipped& s) { return p < s.start; });
    if (it == skipped_.begin())
        return nullptr;
    --it;
    return pos < it->end ? &*it : nullptr;
}

// The first byte of the last volume that the run reads from its disk: where a chosen
// entry starts on it or runs onto it, else the directory.
long long ExtractRun::firstReadOnLast() const {
    const long long last = set_.lastStart();
    const auto cd = static_cast<long long>(set_.location().cdOffset);
    long long from = cd;
    for (size_t i = 0; i < entries_.size(); ++i)
        if (chosen_[i] && entryEnd(entries_, i, cd) > last)
            from = std::min(from, std::max(last, static_cast<long long>(entries_[i].localOffset)));
    return from;
}

int ExtractRun::run() {
    const int r = extract();
    if (wrongPassword_)
        removeMadeDirectories();
    else
        applyDirectoryModes();
    return r;
}

// A run stopped by a wrong password restores nothing, so it leaves no folder behind either:
// the folders it created go again, deepest first, those that hold nothing.
void ExtractRun::removeMadeDirectories() {
    if (destFd_ < 0)
        return;
    for (auto it = made_.rbegin(); it != made_.rend(); ++it)
        (void)unlinkat(destFd_, it->c_str(), AT_REMOVEDIR);
}

// A folder the run created takes the stored folder's permissions once its files are in,
// so a private folder does not come back readable by everyone. The owner keeps full access,
// so re-creating empty folders inside it afterwards still works.
void ExtractRun::applyDirectoryModes() {
    if (destFd_ < 0 || made_.empty())
        return;
    std::map<std::string, unsigned> stored;
    for (const CdEntry& e : entries_) {
        std::vector<std::string> parts;
        if (e.directory() && e.mode() && safeEntryParts(e.name, parts, !e.madeOnUnix())) {
            std::string key;
            for (const auto& p : parts)
                key += (key.empty() ? "" : "/") + p;
            stored[key] = e.mode();
        }
    }
    for (const std::string& dir : made_) {
        auto it = stored.find(dir);
        if (it == stored.end())
            continue;
        std::vector<std::string> parts;
        if (!safeEntryParts(dir, parts, false))
            continue;
        const int fd = openDirBelow(destFd_, parts, parts.size(), false);
        if (fd < 0)
            continue;
        fchmod(fd, (it->second & 0777) | S_IRWXU);
        close(fd);
    }
}

int ExtractRun::extract() {
    Utf8Locale utf8;
    notify(o_.callback, 10, fields({"0", o_.setPath}));
    if (!set_.open() || !prepare())
        return stop(kErrorNoSet, "not a readable backup set");
    planSkipped();
    noteSetFiles();
    set_.keepLast(firstReadOnLast(), kTailLimit);
    if (std::find(chosen_.begin(), chosen_.end(), true) == chosen_.end()) {
        notify(o_.callback, 22, fields({"0", o_.setPath}));
        return -1;
    }
    destFd_ = open(o_.destination.empty() ? "." : o_.destination.c_str(),
                   O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (destFd_ < 0)
        return stop(kErrorDestination, o_.destination + ": " + std::strerror(errno));
    block_.resize(kBlock);
    data_.resize(kBlock);
    ReaderPtr reader(archive_read_new(), archive_read_free);
    archive* a = reader.get();
    a_ = a;
    archive_read_support_format_zip_seekable(a);
    archive_read_set_passphrase_callback(a, this, passCb);
    archive_read_set_callback_data(a, this);
    archive_read_set_read_callback(a, readCb);
    archive_read_set_seek_callback(a, seekCb);
    opening_ = true;
    const int opened = archive_read_open1(a);
    opening_ = false;
    if (opened != ARCHIVE_OK)
        return stop(set_.diskMissing() ? kErrorDisk : kErrorNoSet, errText(a));
    for (size_t i = 0;; ++i) {
        archive_entry* e = nullptr;
        int r = archive_read_next_header(a, &e);
        if (r == ARCHIVE_EOF)
            break;
        if (r == ARCHIVE_FATAL || i >= entries_.size())
            return stop(set_.diskMissing() ? kErrorDisk : kErrorDamaged, errText(a));
        const char* name = archive_entry_pathname_utf8(e);
        // libarchive walks the entries in the order of their data, as entries_ is sorted;
        // a name that disagrees means the set is not what its directory says.
        if (name && (entries_[i].flags & 0x800) && !sameName(entries_[i].name, name))
            return stop(kErrorDamaged, "the directory does not match the entries");
        if (!chosen_[i])
            continue;
        ++number_;
        Step s = r < ARCHIVE_WARN ? failed(entries_[i].name, kReasonBadData, errText(a))
                                  : entry(entries_[i], e);
        if (s == Step::Stop)
            return -1;
        if (set_.diskMissing())
            return stop(kErrorDisk, "a disk of the set is missing");
    }
    for (const std::string& n : absent_)
        failed(n, kReasonNotInSet, "the set holds no entry of that name");
    return 0;
}

ExtractRun::Step ExtractRun::entry(const CdEntry& cd, archive_entry* e) {
    std::vector<std::string> parts;
    if (!safeEntryParts(cd.name, parts, !cd.madeOnUnix()))
        return failed(cd.name, kReasonUnsafe, "the name leaves the destination");
    const auto type = archive_entry_filetype(e);
    if (cd.directory() || type == AE_IFDIR) {
        if (!o_.structure)
            return Step::Next;
        int fd = openDirBelow(destFd_, parts, parts.size(), true, &made_);
        const int err = errno;
        if (fd < 0) // ELOOP: a link stands where a directory should be
            return failed(cd.name, err == ELOOP ? kReasonUnsafe : kReasonCannotWrite,
                          std::strerror(err));
        close(fd);
        return Step::Next;
    }
    if (type == AE_IFLNK) // a link could point anywhere; it is never made
        return failed(cd.name, kReasonUnsafe, "symbolic links are not restored");
    if (type != AE_IFREG)
        return failed(cd.name, kReasonUnsupported, "not a regular file");
    return file(cd, parts, e);
}

void ExtractRun::noteSetFiles() {
    struct stat st {};
    if (stat(o_.setPath.c_str(), &st) == 0)
        setFiles_.emplace_back(st.st_dev, st.st_ino);
    for (int disk = 1; stat(volumePath(o_.setPath, disk).c_str(), &st) == 0; ++disk)
        setFiles_.emplace_back(st.st_dev, st.st_ino);
}

bool ExtractRun::isSetFile(const struct stat& st) const {
    return std::find(setFiles_.begin(), setFiles_.end(), std::pair(st.st_dev, st.st_ino)) !=
           setFiles_.end();
}

ExtractRun::Step ExtractRun::file(const CdEntry& cd, const std::vector<std::string>& parts,
                                  archive_entry* e) {
    const std::string& leaf = parts.back();
    const size_t dirCount = o_.structure ? parts.size() - 1 : 0;
    std::string target = o_.destination;
    if (target.empty() || target.back() != '/')
        target += '/';
    for (size_t i = 0; i < dirCount; ++i)
        target += parts[i] + "/";
    target += leaf;
    int dfd = openDirBelow(destFd_, parts, dirCount, true, &made_);
    const int err = errno;
    if (dfd < 0)
        return failed(target, err == ELOOP ? kReasonUnsafe : kReasonCannotWrite,
                      std::strerror(err));
    struct DirCloser {
        int fd;
        ~DirCloser() { close(fd); }
    } closer{dfd};
    struct stat st {};
    if (fstatat(dfd, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(st.st_mode))
            return failed(target, kReasonCannotWrite, "a directory of that name exists");
        // A set kept in the folder it backs up holds an older copy of itself; replacing the
        // set being read with it would lose the newer backup.
        if (isSetFile(st))
            return failed(target, kReasonCannotWrite, "it is the backup set being restored");
        if (!replaceAll_) {
            short answer =
                notify(o_.callback, 24, fields({std::to_string(number_), target, cd.name}));
            if (answer == 3) {
                stop(kErrorCancelled, "cancelled");
                return Step::Stop;
            }
            if (answer == 1)
                replaceAll_ = true;
            else if (answer != 0)
                return Step::Next; // skip, and any answer we do not know keeps the file
        }
    }
    notify(o_.callback, 15,
           fields({std::to_string(number_), cd.name, std::to_string(cd.usize), target}));
    FileOut out(dfd, leaf);
    if (!out.create())
        return failed(target,
                      out.error() == ETXTBSY || out.error() == EBUSY ? kReasonInUse
                                                                     : kReasonCannotWrite,
                      std::strerror(out.error()));
    uint64_t total = 0;
    for (;;) {
        la_ssize_t n = archive_read_data(a_, data_.data(), data_.size());
        if (n == 0)
            break;
        if (n < 0) {
            std::string why = errText(a_);
            if (why.find("assphrase") != std::string::npos)
                return failed(target, kReasonPassword, why);
            Step s = failed(target, kReasonBadData, why);
            if (n == ARCHIVE_FATAL) {
                stop(set_.diskMissing() ? kErrorDisk : kErrorDamaged, why);
                return Step::Stop;
            }
            return s;
        }
        total += static_cast<uint64_t>(n);
        // Never more than the entry declares, whatever the data claims.
        if (total > cd.usize)
            return failed(target, kReasonSize, "the data is longer than the entry declares");
        if (!out.write(data_.data(), static_cast<size_t>(n)))
            return failed(target, kReasonCannotWrite, std::strerror(out.error()));
    }
    if (total != cd.usize)
        return failed(target, kReasonSize, "the data is shorter than the entry declares");
    // The stored Unix mode carries the file type, so a file kept at 0000 is told from an
    // entry that has no mode (which libarchive's permissions then stand for).
    const unsigned mode = cd.mode() ? cd.mode() : archive_entry_perm(e);
    if (!out.commit(mode, archive_entry_mtime(e), archive_entry_mtime_nsec(e)))
        return failed(target, kReasonCannotWrite, std::strerror(out.error()));
    return Step::Next;
}

} // namespace

int runExtract(const UnzipOptions& options) {
    try {
        return ExtractRun(options).run();
    } catch (const std::exception& e) {
        notify(options.callback, 255, fields({"0", options.setPath, "4", e.what()}));
        return -1;
    }
}

} // namespace cw::zip
