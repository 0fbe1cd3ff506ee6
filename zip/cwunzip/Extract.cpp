// Extraction: each chosen entry is located through the set's directory (or, for a set that
// lost it, a scan of its local headers) and read on its own, so damage costs only the
// damaged file. Workers decode entries into temporary files in the destination; the
// caller's thread reports, asks and renames in the set's order. A test (cwUnzip_Test) runs
// the same way over every entry, with the decoded data thrown away instead of written.
#include "../common/Cores.h"
#include "../common/IncludeList.h"
#include "../common/Paths.h"
#include "../common/TempFiles.h"
#include "../common/VolumeSet.h"
#include "../common/Volumes.h"
#include "EntryTime.h"
#include "FileOut.h"
#include "SetIndex.h"
#include "UnzipJob.h"
#include "WorkerPool.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace cw::zip {

namespace {

constexpr size_t kTailLimit = 16 * 1024 * 1024;
constexpr uint64_t kProgressStep = 4 * 1024 * 1024; // bytes between events 16 of one file
std::atomic<int> g_workers{0};
std::atomic<unsigned long> g_runs{0};

// The folder a worker wrote its last file into: most files share their folder with the one
// before, and opening it again level by level costs a system call per level. It lives as
// long as the worker's thread, which ends with its run.
struct LastFolder {
    unsigned long run = 0;
    std::vector<std::string> parts;
    int fd = -1;
    ~LastFolder() {
        if (fd >= 0)
            close(fd);
    }
};
thread_local LastFolder t_lastFolder;

// One file to restore: what a worker makes of it, and what the caller's thread decides.
struct Task {
    size_t entry = 0;
    std::vector<std::string> parts;
    size_t dirCount = 0;
    std::string target; // the path reported
    std::atomic<bool> abandon{false};
    std::atomic<uint64_t> written{0}; // bytes in the temporary file so far
    uint64_t told = 0;                // what the last event 16 reported (caller's thread)
    int dirFd = -1;
    std::unique_ptr<FileOut> out;
    EntryOutcome outcome{CW_REASON_BAD_DATA, "the entry was not read"};
    std::vector<std::string> made; // folders the worker created
    Task() = default;
    Task(const Task&) = delete;
    Task& operator=(const Task&) = delete;
    ~Task() { close(); }
    void close() {
        out.reset(); // a file not renamed into place goes with its temporary name
        if (dirFd >= 0)
            ::close(dirFd);
        dirFd = -1;
    }
};

enum class Kind { File, Directory, Link, Other };

Kind kindOf(const CdEntry& e) {
    const unsigned type = e.mode() & S_IFMT;
    if (e.directory() || type == S_IFDIR || (!e.madeOnUnix() && (e.externalAttr & 0x10)))
        return Kind::Directory;
    if (type == S_IFLNK)
        return Kind::Link;
    return type == 0 || type == S_IFREG ? Kind::File : Kind::Other;
}

class ExtractRun {
public:
    explicit ExtractRun(const UnzipOptions& o)
        : o_(o), set_(o.setPath, [this](int disk) { askDisk(disk); }), single_(o.setPath) {}
    ~ExtractRun() {
        halt();
        if (destFd_ >= 0)
            close(destFd_);
    }
    ExtractRun(const ExtractRun&) = delete;
    ExtractRun& operator=(const ExtractRun&) = delete;
    int run();

private:
    enum class Step { Next, Stop };
    struct Item {
        size_t entry;
        Kind kind;
        std::vector<std::string> parts;
        bool safe;
        Task* task = nullptr;
        size_t taskNo = 0;
    };
    bool prepare();
    int extract();
    void plan();
    bool passwordRefused();
    void work(size_t taskNo, EntryReader& reader);
    Step directory(const Item& item);
    Step file(const Item& item);
    bool tellWriting(Task& t);
    Step cancelled() {
        halt();
        stop(CW_UNZIP_ERROR_CANCELLED, "cancelled");
        return Step::Stop;
    }
    Step tested(const Task& t);
    int passwordReason(const EntryOutcome& outcome) const;
    void halt();
    void clearStaleTemps(int dirFd);
    bool fitsDestination();
    void applyDirectoryModes();
    void noteSetFiles();
    bool isSetFile(const struct stat& st) const;
    long long firstReadOnLast() const;
    Source& source() { return spanned_ ? static_cast<Source&>(set_) : single_; }
    Step failed(const std::string& name, int reason, const std::string& detail);
    int stop(int code, const std::string& detail) {
        notify(o_.callback, CW_EVENT_FATAL,
               fields({"0", o_.setPath, std::to_string(code), detail}));
        return -1;
    }
    void askDisk(int disk) {
        notify(o_.callback, CW_EVENT_DISK, fields({"0", std::to_string(disk), o_.setPath}));
    }
    std::string targetOf(const std::vector<std::string>& parts, size_t dirCount) const;

    const UnzipOptions& o_;
    VolumeSet set_;
    FileSource single_;
    bool spanned_ = false;
    SetIndex index_;
    std::vector<bool> chosen_;
    std::vector<std::string> absent_; // include names no entry answers to
    std::vector<std::string> made_;   // folders this run created, below the destination
    std::vector<std::pair<dev_t, ino_t>> setFiles_; // the set's volumes found at the start
    std::vector<Item> items_;                       // the chosen entries, in the set's order
    std::vector<std::unique_ptr<Task>> tasks_;
    std::unique_ptr<WorkerPool> pool_;
    std::atomic<WorkerPool*> livePool_{nullptr}; // pool_, for the workers once it is set
    const std::thread::id caller_ = std::this_thread::get_id();
    bool cancel_ = false; // the callback answered 3 to event 16
    std::mutex clearedMutex_;
    std::set<std::pair<dev_t, ino_t>> cleared_; // folders whose stale temporaries are gone
    int destFd_ = -1;
    const unsigned long run_ = ++g_runs;
    bool replaceAll_ = false, passwordChecked_ = false;
    int number_ = 0;
};

ExtractRun::Step ExtractRun::failed(const std::string& name, int reason,
                                    const std::string& detail) {
    notify(o_.callback, CW_EVENT_FAILED,
           fields({std::to_string(number_), name, std::to_string(reason), detail}));
    return reason == CW_REASON_PASSWORD ? Step::Stop : Step::Next;
}

bool ExtractRun::prepare() {
    const bool opened = set_.open();
    if (!loadSetIndex(set_, opened, single_, index_))
        return false;
    spanned_ = opened && !index_.recovered && set_.lastStart() > 0;
    // Names are compared as the listing shows them ("/" separators; a backslash is one only
    // in names from other systems) or as stored, without a trailing "/".
    auto key = [](std::string n, bool backslashSeparates) {
        if (backslashSeparates)
            std::replace(n.begin(), n.end(), '\\', '/');
        while (!n.empty() && n.back() == '/')
            n.pop_back();
        return n;
    };
    if (o_.test) { // every entry, whatever the include list says
        chosen_.assign(index_.entries.size(), true);
        return true;
    }
    std::set<std::string> wanted;
    for (auto& n : splitIncludeList(o_.include))
        wanted.insert(key(n, false));
    chosen_.assign(index_.entries.size(), false);
    std::set<std::string> found;
    for (size_t i = 0; i < index_.entries.size(); ++i) {
        const CdEntry& e = index_.entries[i].cd;
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

std::string ExtractRun::targetOf(const std::vector<std::string>& parts, size_t dirCount) const {
    std::string target = o_.destination;
    if (target.empty() || target.back() != '/')
        target += '/';
    for (size_t i = 0; i < dirCount; ++i)
        target += parts[i] + "/";
    return target + parts.back();
}

void ExtractRun::plan() {
    for (size_t i : index_.dataOrder()) {
        if (!chosen_[i])
            continue;
        const CdEntry& e = index_.entries[i].cd;
        Item item{i, kindOf(e), {}, false};
        item.safe = safeEntryParts(e.name, item.parts, !e.madeOnUnix());
        if (item.safe && item.kind == Kind::File && !index_.entries[i].refused) {
            auto task = std::make_unique<Task>();
            task->entry = i;
            task->parts = item.parts;
            task->dirCount = o_.structure && !o_.test ? item.parts.size() - 1 : 0;
            // A test writes nothing: its reports name the entry as stored.
            task->target = o_.test ? e.name : targetOf(task->parts, task->dirCount);
            item.task = task.get();
            item.taskNo = tasks_.size();
            tasks_.push_back(std::move(task));
        }
        items_.push_back(std::move(item));
    }
}

// The first encrypted file decides whether the password is right, before anything is
// written: a wrong one ends the run there (reason 14).
bool ExtractRun::passwordRefused() {
    int number = 0;
    for (const Item& item : items_) {
        ++number;
        const IndexedEntry& ie = index_.entries[item.entry];
        if (!item.task || !ie.cd.encrypted())
            continue;
        EntryReader reader;
        const bool right =
            o_.decrypt && reader.passwordOpens(source(), ie.cd, ie.limit, o_.password);
        if (set_.diskMissing())
            return false; // reported when the entry is read
        if (right) {
            passwordChecked_ = true;
            return false;
        }
        number_ = number;
        failed(item.task->target, CW_REASON_PASSWORD,
               o_.decrypt ? "wrong password" : "the set is encrypted and no password was given");
        return true;
    }
    return false;
}

void ExtractRun::work(size_t taskNo, EntryReader& reader) {
    Task& t = *tasks_[taskNo];
    if (t.abandon)
        return;
    if (o_.test) {
        const IndexedEntry& ie = index_.entries[t.entry];
        t.outcome = reader.read(
            source(), ie.cd, ie.limit, o_.decrypt ? &o_.password : nullptr,
            [](const void*, size_t) { return true; }, t.abandon);
        return;
    }
    const std::vector<std::string> folder(t.parts.begin(),
                                          t.parts.begin() + static_cast<long>(t.dirCount));
    LastFolder& last = t_lastFolder;
    if (!spanned_ && last.run == run_ && last.parts == folder) {
        t.dirFd = dup(last.fd);
    } else {
        t.dirFd = openDirBelow(destFd_, t.parts, t.dirCount, true, &t.made);
        if (t.dirFd >= 0 && !spanned_) {
            if (last.fd >= 0)
                close(last.fd);
            last = {};
            last.fd = dup(t.dirFd);
            last.run = last.fd >= 0 ? run_ : 0;
            last.parts = folder;
        }
    }
    if (t.dirFd < 0) { // ELOOP: a link stands where a directory should be
        const int err = errno;
        t.outcome = {err == ELOOP ? CW_REASON_UNSAFE : CW_REASON_CANNOT_WRITE, std::strerror(err)};
        return;
    }
    clearStaleTemps(t.dirFd);
    t.out = std::make_unique<FileOut>(t.dirFd, t.parts.back());
    if (!t.out->create()) {
        const int err = t.out->error();
        t.outcome = {err == ETXTBSY || err == EBUSY ? CW_REASON_IN_USE : CW_REASON_CANNOT_WRITE,
                     std::strerror(err)};
        t.out.reset();
        return;
    }
    const IndexedEntry& ie = index_.entries[t.entry];
    FileOut& out = *t.out;
    // Every 4 MiB the caller hears of it: directly when this is its thread, else woken.
    const auto sink = [this, &t, &out](const void* p, size_t n) {
        if (!out.write(p, n))
            return false;
        const uint64_t before = t.written.fetch_add(n);
        if (before / kProgressStep != (before + n) / kProgressStep) {
            if (std::this_thread::get_id() == caller_)
                tellWriting(t);
            else if (WorkerPool* pool = livePool_.load())
                pool->poke();
        }
        return true;
    };
    t.outcome = reader.read(source(), ie.cd, ie.limit, o_.decrypt ? &o_.password : nullptr, sink,
                            t.abandon);
    if (t.outcome.reason == CW_REASON_CANNOT_WRITE)
        t.outcome.detail = std::strerror(out.error());
    if (t.outcome.reason)
        t.out.reset();
}

// A killed restore leaves its temporaries behind; the first file a run writes into a folder
// removes those no live run holds.
void ExtractRun::clearStaleTemps(int dirFd) {
    struct stat st {};
    if (fstat(dirFd, &st) != 0)
        return;
    // Held while the folder is cleared: another worker must not create its temporary there
    // before the clearing is over, or the clearing could take it for a dead run's.
    std::lock_guard<std::mutex> lock(clearedMutex_);
    if (cleared_.emplace(st.st_dev, st.st_ino).second)
        removeStaleTemps(dirFd, &FileOut::isTemporaryName);
}

// The chosen files must fit the destination's free space before anything is written. A file
// to be replaced frees nothing: it goes only once its new content is complete.
bool ExtractRun::fitsDestination() {
    if (index_.recovered) // sizes read from local headers may be unknown
        return true;
    unsigned long long needed = 0;
    for (const Item& item : items_) {
        const IndexedEntry& ie = index_.entries[item.entry];
        if (item.safe && item.kind == Kind::File && !ie.refused)
            needed += ie.cd.usize;
    }
    struct statvfs vfs {};
    if (fstatvfs(destFd_, &vfs) != 0)
        return true;
    const unsigned long long free = static_cast<unsigned long long>(vfs.f_bavail) *
                                    static_cast<unsigned long long>(vfs.f_frsize);
    return needed <= free;
}

void ExtractRun::halt() {
    for (auto& t : tasks_)
        t->abandon = true;
    if (pool_)
        pool_->stop();
    for (auto& t : tasks_) {
        made_.insert(made_.end(), t->made.begin(), t->made.end());
        t->made.clear();
        t->close();
    }
}

ExtractRun::Step ExtractRun::directory(const Item& item) {
    const CdEntry& cd = index_.entries[item.entry].cd;
    if (!o_.structure || o_.test)
        return Step::Next;
    int fd = openDirBelow(destFd_, item.parts, item.parts.size(), true, &made_);
    const int err = errno;
    if (fd < 0) // ELOOP: a link stands where a directory should be
        return failed(cd.name, err == ELOOP ? CW_REASON_UNSAFE : CW_REASON_CANNOT_WRITE,
                      std::strerror(err));
    close(fd);
    return Step::Next;
}

// Event 16 for the file the caller waits for, when another 4 MiB of it are written. The
// answer 3 stops the run: the file's reading stops and its temporary goes with the rest.
bool ExtractRun::tellWriting(Task& t) {
    if (cancel_)
        return false;
    const uint64_t written = t.written.load();
    if (written / kProgressStep <= t.told / kProgressStep)
        return true;
    t.told = written;
    const CdEntry& cd = index_.entries[t.entry].cd;
    const uint64_t percent = cd.usize ? std::min<uint64_t>(100, written * 100 / cd.usize) : 100;
    const short answer = notify(o_.callback, CW_EVENT_WRITING,
                                fields({std::to_string(number_), cd.name, std::to_string(cd.usize),
                                        t.target, std::to_string(percent)}));
    if (answer != CW_ANSWER_CANCEL)
        return true;
    cancel_ = true;
    t.abandon = true;
    return false;
}

ExtractRun::Step ExtractRun::file(const Item& item) {
    Task& t = *item.task;
    const CdEntry& cd = index_.entries[t.entry].cd;
    // A file a worker finished before its progress was told still gets one event 16.
    if (pool_->waitFor(item.taskNo, [this, &t] { return tellWriting(t); }))
        tellWriting(t);
    struct Release {
        ExtractRun* run;
        const Item& item;
        ~Release() {
            run->made_.insert(run->made_.end(), item.task->made.begin(), item.task->made.end());
            item.task->made.clear();
            item.task->close();
            run->pool_->release(item.taskNo);
        }
    } release{this, item};
    if (cancel_)
        return cancelled();
    if (o_.test)
        return tested(t);
    if (t.dirFd < 0)
        return failed(t.target, t.outcome.reason, t.outcome.detail);
    const std::string& leaf = t.parts.back();
    struct stat st {};
    if (fstatat(t.dirFd, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(st.st_mode))
            return failed(t.target, CW_REASON_CANNOT_WRITE, "a directory of that name exists");
        // A set kept in the folder it backs up holds an older copy of itself; replacing the
        // set being read with it would lose the newer backup.
        if (isSetFile(st))
            return failed(t.target, CW_REASON_CANNOT_WRITE, "it is the backup set being restored");
        if (!replaceAll_) {
            const short answer = notify(o_.callback, CW_EVENT_EXISTS,
                                        fields({std::to_string(number_), t.target, cd.name}));
            if (answer == CW_ANSWER_CANCEL)
                return cancelled();
            if (answer == CW_ANSWER_REPLACE_ALL)
                replaceAll_ = true;
            else if (answer != CW_ANSWER_REPLACE)
                return Step::Next; // skip, and any answer we do not know keeps the file
        }
    }
    if (notify(o_.callback, CW_EVENT_FILE,
               fields({std::to_string(number_), cd.name, std::to_string(cd.usize), t.target})) ==
        CW_ANSWER_CANCEL)
        return cancelled();
    if (t.outcome.reason)
        return failed(t.target, passwordReason(t.outcome), t.outcome.detail);
    // The stored Unix mode carries the file type, so a file kept at 0000 is told from an
    // entry that has no mode.
    const TimeOfEntry when = entryTime(cd);
    if (!t.out->commit(cd.mode(), when.seconds, 0))
        return failed(t.target, CW_REASON_CANNOT_WRITE, std::strerror(t.out->error()));
    return Step::Next;
}

// Once the password opened an entry, one that refuses it is damaged.
int ExtractRun::passwordReason(const EntryOutcome& outcome) const {
    return outcome.reason == CW_REASON_PASSWORD && passwordChecked_ ? CW_REASON_BAD_DATA
                                                                    : outcome.reason;
}

ExtractRun::Step ExtractRun::tested(const Task& t) {
    const CdEntry& cd = index_.entries[t.entry].cd;
    if (t.outcome.reason)
        return failed(t.target, passwordReason(t.outcome), t.outcome.detail);
    notify(o_.callback, CW_EVENT_TESTED,
           fields({std::to_string(number_), cd.name, std::to_string(cd.usize)}));
    return Step::Next;
}

int ExtractRun::run() {
    const int r = extract();
    halt();
    applyDirectoryModes();
    return r;
}

// A folder the run created takes the stored folder's permissions and time once its files
// are in, so a private folder does not come back readable by everyone. The owner keeps full
// access, so re-creating empty folders inside it afterwards still works.
void ExtractRun::applyDirectoryModes() {
    if (destFd_ < 0 || made_.empty())
        return;
    std::map<std::string, const CdEntry*> stored;
    for (const IndexedEntry& ie : index_.entries) {
        std::vector<std::string> parts;
        if (kindOf(ie.cd) == Kind::Directory &&
            safeEntryParts(ie.cd.name, parts, !ie.cd.madeOnUnix()))
            stored[joinPath(parts)] = &ie.cd;
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
        if (it->second->mode())
            fchmod(fd, (it->second->mode() & 0777) | S_IRWXU);
        const struct timespec times[2] = {{0, UTIME_OMIT}, {entryTime(*it->second).seconds, 0}};
        futimens(fd, times);
        close(fd);
    }
}

// The first byte of the last volume that the run reads from its disk: where a chosen
// entry starts on it or runs onto it, else the directory.
long long ExtractRun::firstReadOnLast() const {
    const long long last = set_.lastStart();
    long long from = last + set_.location().cdLocal;
    for (size_t i = 0; i < index_.entries.size(); ++i) {
        const IndexedEntry& ie = index_.entries[i];
        if (chosen_[i] && !ie.refused && ie.limit > last)
            from = std::min(from, std::max(last, static_cast<long long>(ie.cd.localOffset)));
    }
    return from;
}

int ExtractRun::extract() {
    FileOut::noteUmask();
    notify(o_.callback, CW_EVENT_START, fields({"0", o_.setPath}));
    if (!prepare())
        return stop(CW_UNZIP_ERROR_NO_SET, "not a readable backup set");
    noteSetFiles();
    if (spanned_)
        set_.keepLast(firstReadOnLast(), kTailLimit);
    if (!o_.test && std::find(chosen_.begin(), chosen_.end(), true) == chosen_.end()) {
        notify(o_.callback, CW_EVENT_NOTHING, fields({"0", o_.setPath}));
        return -1;
    }
    if (!o_.test) {
        destFd_ = open(o_.destination.empty() ? "." : o_.destination.c_str(),
                       O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (destFd_ < 0)
            return stop(CW_UNZIP_ERROR_DESTINATION, o_.destination + ": " + std::strerror(errno));
    }
    plan();
    if (passwordRefused())
        return -1;
    if (!o_.test && !fitsDestination())
        return stop(CW_UNZIP_ERROR_NO_SPACE,
                    "the chosen files do not fit the free space of the destination");
    // Disks come one at a time: a spanned set is read on this thread alone.
    const int asked = g_workers.load();
    const size_t cores = usableCores();
    const size_t workers = spanned_ ? 0 : asked > 0 ? static_cast<size_t>(asked) : cores;
    pool_ = std::make_unique<WorkerPool>(tasks_.size(), workers, 2 * workers + 2,
                                         [this](size_t k, EntryReader& r) { work(k, r); });
    livePool_ = pool_.get();
    for (const Item& item : items_) {
        ++number_;
        const IndexedEntry& ie = index_.entries[item.entry];
        Step s = Step::Next;
        if (!item.safe)
            s = failed(ie.cd.name, CW_REASON_UNSAFE, "the name leaves the destination");
        else if (item.kind == Kind::Directory)
            s = directory(item);
        else if (item.kind == Kind::Link) // a link could point anywhere; it is never made
            s = failed(ie.cd.name, CW_REASON_UNSAFE, "symbolic links are not restored");
        else if (item.kind == Kind::Other)
            s = failed(ie.cd.name, CW_REASON_UNSUPPORTED, "not a regular file");
        else if (ie.refused)
            s = failed(ie.cd.name, CW_REASON_BAD_DATA,
                       "its data overlaps another entry's or lies outside the set");
        else
            s = file(item);
        if (s == Step::Stop)
            return -1;
        if (set_.diskMissing()) {
            halt();
            return stop(CW_UNZIP_ERROR_DISK, "a disk of the set is missing");
        }
    }
    for (const std::string& n : absent_)
        failed(n, CW_REASON_NOT_IN_SET, "the set holds no entry of that name");
    // Every entry found may be whole, but a set that lost its directory is not.
    if (o_.test && index_.recovered)
        failed(o_.setPath, CW_REASON_BAD_DATA,
               "the set's directory is missing or damaged; its entries were found from their "
               "own headers");
    return 0;
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

} // namespace

void setExtractWorkers(int workers) {
    g_workers = workers;
}

int runExtract(const UnzipOptions& options) {
    try {
        return ExtractRun(options).run();
    } catch (const std::exception& e) {
        notify(options.callback, CW_EVENT_FATAL,
               fields({"0", options.setPath, std::to_string(CW_UNZIP_ERROR_DAMAGED), e.what()}));
        return -1;
    }
}

} // namespace cw::zip
