// Spanned sets: volumes filled to their cap, named by disk number, the last one the set;
// listing from the last volume alone; extraction asking for each disk it needs, once.
#include "ZipTestKit.h"

#include "zip/common/CentralDirectory.h"
#include "zip/common/Paths.h"
#include "zip/common/VolumeSet.h"
#include "zip/common/Volumes.h"

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

using namespace cw::test;

namespace {

class ZipSpanTest : public ::testing::Test {
protected:
    void SetUp() override {
        Recorder::reset();
        for (int i = 0; i < 6; ++i) {
            files.push_back(env.writeFile("app/f" + std::to_string(i) + ".bin",
                                          randomBytes(40000 + 7000 * i, 10 + i)));
            list += files.back() + "|";
        }
        files.push_back(env.writeFile("app/small.txt", "small"));
        list += files.back() + "|";
        out = env.makeDir("disk");
        set = out + "/Weekly.bks";
        ZipSettings s{list, set};
        s.span = true;
        s.cap = kCap;
        ASSERT_EQ(runZip(s), 0);
        filled = Recorder::only(20);
        Recorder::reset();
        dest = env.makeDir("dest");
    }
    long long size(const std::string& path) {
        struct stat st {};
        return stat(path.c_str(), &st) == 0 ? st.st_size : -1;
    }
    // A removable drive at out/ that holds one disk at a time; disk n's volume waits in
    // shelf/<n>/ (0: the last disk, which is in the drive when the set is opened).
    void useDrive() {
        for (int n = 0; n <= static_cast<int>(filled.size()); ++n) {
            const std::string vol = cw::zip::volumePath(set, n);
            env.writeFile("shelf/" + std::to_string(n) + "/" + cw::zip::baseName(vol),
                          TestEnv::readFile(vol));
            if (n > 0)
                unlink(vol.c_str());
        }
    }
    // Takes out the disk in the drive and puts in the volume at path.
    void insert(const std::string& path) {
        for (const auto& f : filesBelow(out))
            unlink((out + "/" + f).c_str());
        env.writeFile("disk/" + cw::zip::baseName(path), TestEnv::readFile(path));
    }
    std::string shelved(int disk) {
        return env.path("shelf/" + std::to_string(disk) + "/" +
                        cw::zip::baseName(cw::zip::volumePath(set, disk)));
    }
    // Answers each disk prompt with the disk asked for, or first with wrong[n] when given.
    void answerPrompts(std::map<int, std::string> wrong = {}) {
        Recorder::onEvent = [this, wrong](const Event& e) mutable {
            if (e.action != 20)
                return;
            const int disk = std::stoi(e.field(2));
            auto it = wrong.find(disk);
            insert(it != wrong.end() ? it->second : shelved(disk));
            if (it != wrong.end())
                wrong.erase(it);
        };
    }
    static std::vector<std::string> disksAsked() {
        std::vector<std::string> asked;
        for (const auto& e : Recorder::only(20))
            asked.push_back(e.field(2));
        return asked;
    }
    std::vector<std::string> everyEarlierDisk() const {
        std::vector<std::string> all;
        for (size_t i = 1; i <= filled.size(); ++i)
            all.push_back(std::to_string(i));
        return all;
    }
    std::string storedList() {
        std::string l;
        for (const auto& f : files)
            l += f.substr(1) + "|";
        return l;
    }
    static constexpr long long kCap = 100000;
    TestEnv env;
    std::vector<std::string> files;
    std::string list, out, set, dest;
    std::vector<Event> filled;
};

TEST_F(ZipSpanTest, VolumesAreFilledAndNamedByDisk) {
    ASSERT_GE(filled.size(), 3u);
    std::vector<std::string> expected;
    for (size_t i = 0; i < filled.size(); ++i) {
        EXPECT_EQ(filled[i].field(2), std::to_string(i + 1));
        std::string vol = cw::zip::volumePath(set, static_cast<int>(i + 1));
        expected.push_back(cw::zip::baseName(vol));
        EXPECT_LE(size(vol), kCap);
        if (i + 1 < filled.size()) { // every disk is full but the one before the directory
            EXPECT_EQ(size(vol), kCap);
        }
    }
    expected.push_back("Weekly.bks");
    EXPECT_EQ(filesBelow(out), expected);
    EXPECT_EQ(expected.front(), "Weekly.b01");
}

// Only the directory may move on to a fresh disk: entry bytes that the archiver still held
// when the set ended go onto the disk they were meant for, which is left short no more than
// the directory needs.
TEST_F(ZipSpanTest, TheDiskBeforeTheDirectoryIsShortOnlyWhenTheDirectoryMoved) {
    for (long long cap = 60000; cap <= 130000; cap += 2500) {
        SCOPED_TRACE(cap);
        const std::string folder = env.makeDir("caps/" + std::to_string(cap));
        ZipSettings s{list, folder + "/Weekly.bks"};
        s.span = true;
        s.cap = cap;
        ASSERT_EQ(runZip(s), 0);
        const std::vector<std::string> names = filesBelow(folder);
        ASSERT_GE(names.size(), 2u);
        const long long before = size(folder + "/" + names[names.size() - 2]);
        if (before == cap)
            continue;
        cw::zip::FileSource last(s.set);
        cw::zip::CdLocation loc;
        ASSERT_TRUE(cw::zip::locateCentralDirectory(last, loc));
        EXPECT_EQ(loc.cdLocal, 0) << "entry bytes moved past a disk with room for them";
    }
}

TEST_F(ZipSpanTest, JoinedVolumesAreOneStandardZip) {
    std::string bytes;
    for (size_t i = 1; i <= filled.size(); ++i)
        bytes += TestEnv::readFile(cw::zip::volumePath(set, static_cast<int>(i)));
    std::string joined = env.writeFile("joined.zip", bytes + TestEnv::readFile(set));
    EXPECT_EQ(shell("unzip -tq '" + joined + "'"), 0);
    EXPECT_EQ(shell(sevenZip() + " t '" + joined + "'"), 0);
}

TEST_F(ZipSpanTest, TheLastDiskAloneListsTheSet) {
    std::string away = env.makeDir("away");
    for (size_t i = 1; i <= filled.size(); ++i) {
        std::string vol = cw::zip::volumePath(set, static_cast<int>(i));
        ASSERT_EQ(rename(vol.c_str(), (away + "/" + cw::zip::baseName(vol)).c_str()), 0);
    }
    auto listing = listSet(set);
    ASSERT_EQ(listing.size(), files.size());
    EXPECT_EQ(Event({0, listing.back()}).field(5), "small.txt");
    EXPECT_EQ(Event({0, listing.front()}).field(6), "40000");
}

TEST_F(ZipSpanTest, VolumesAlreadyInPlaceAreReadWithoutAsking) {
    ASSERT_EQ(extract(set, storedList(), dest, false), 0);
    for (const auto& f : files)
        EXPECT_EQ(TestEnv::readFile(dest + "/" + cw::zip::baseName(f)), TestEnv::readFile(f));
    EXPECT_TRUE(Recorder::only(20).empty());
    EXPECT_TRUE(Recorder::only(23).empty());
    EXPECT_TRUE(Recorder::only(255).empty());
}

TEST_F(ZipSpanTest, ADriveIsAskedForEachDiskOnceInOrder) {
    useDrive();
    for (bool record : {true, false}) {
        SCOPED_TRACE(record);
        if (!record) { // a set written before the last disk recorded the others
            std::string last = TestEnv::readFile(shelved(0));
            const size_t at = last.rfind("Caskwell volumes:");
            ASSERT_NE(at, std::string::npos);
            last.resize(at);
            last[at - 2] = last[at - 1] = '\0';
            env.writeFile("shelf/0/Weekly.bks", last);
        }
        insert(shelved(0));
        Recorder::reset();
        answerPrompts();
        ASSERT_EQ(extract(set, storedList(), env.makeDir("dest" + std::to_string(record)), false),
                  0);
        for (const auto& f : files)
            EXPECT_EQ(TestEnv::readFile(env.path("dest" + std::to_string(record)) + "/" +
                                        cw::zip::baseName(f)),
                      TestEnv::readFile(f));
        // The last disk was read when the set was opened and is not asked for again.
        EXPECT_EQ(disksAsked(), everyEarlierDisk());
        EXPECT_TRUE(Recorder::only(255).empty());
    }
}

TEST_F(ZipSpanTest, AnotherSetsVolumeIsAskedForAgainAndNeverRead) {
    // The same name and the same full-disk size, other contents.
    const std::string other = env.makeDir("other") + "/Weekly.bks";
    std::string otherList;
    for (size_t i = 0; i < 3; ++i)
        otherList += env.writeFile("o/g" + std::to_string(i), randomBytes(60000, 90 + i)) + "|";
    ZipSettings s{otherList, other};
    s.span = true;
    s.cap = kCap;
    ASSERT_EQ(runZip(s), 0);
    const std::string foreign = cw::zip::volumePath(other, 1);
    ASSERT_EQ(size(foreign), size(cw::zip::volumePath(set, 1)));
    useDrive();
    Recorder::reset();
    answerPrompts({{1, foreign}});
    ASSERT_EQ(extract(set, storedList(), dest, false), 0);
    for (const auto& f : files)
        EXPECT_EQ(TestEnv::readFile(dest + "/" + cw::zip::baseName(f)), TestEnv::readFile(f));
    std::vector<std::string> expected = everyEarlierDisk();
    expected.insert(expected.begin(), "1");
    EXPECT_EQ(disksAsked(), expected);
    EXPECT_TRUE(Recorder::only(23).empty());
}

TEST_F(ZipSpanTest, TheLastDiskIsAskedForAgainOnlyWhenItsPartIsNotKept) {
    useDrive();
    std::string joined;
    for (size_t i = 1; i <= filled.size(); ++i)
        joined += TestEnv::readFile(shelved(static_cast<int>(i)));
    joined += TestEnv::readFile(set);
    // A last disk whose entries changed since: same name and size, other bytes.
    std::string changed = TestEnv::readFile(set);
    changed[changed.size() / 3] ^= 0x55;
    const std::string stale = env.writeFile("stale/Weekly.bks", changed);
    for (size_t limit : {size_t{1} << 20, size_t{100}}) {
        SCOPED_TRACE(limit);
        insert(shelved(0));
        Recorder::reset();
        answerPrompts({{0, stale}});
        cw::zip::VolumeSet volumes(set, [](int disk) {
            Recorder::callback(0, 20, ("0|" + std::to_string(disk)).c_str());
        });
        ASSERT_TRUE(volumes.open());
        volumes.keepLast(volumes.lastStart(), limit);
        std::string read(joined.size(), '\0');
        ASSERT_TRUE(volumes.readAt(0, read.data(), read.size()));
        EXPECT_TRUE(read == joined);
        std::vector<std::string> expected = everyEarlierDisk();
        if (limit == 100) { // the stale disk is refused and the right one asked for again
            expected.push_back("0");
            expected.push_back("0");
        }
        EXPECT_EQ(disksAsked(), expected);
    }
}

TEST_F(ZipSpanTest, SomeFilesNeedOnlyTheDisksTheirBytesAreOn) {
    // Where each volume begins, and where each entry's bytes lie (to the next entry).
    std::vector<long long> starts{0};
    for (size_t i = 1; i <= filled.size(); ++i)
        starts.push_back(starts.back() + size(cw::zip::volumePath(set, static_cast<int>(i))));
    std::vector<std::pair<long long, std::string>> at;
    cw::zip::VolumeSet volumes(set, nullptr);
    ASSERT_TRUE(volumes.open());
    volumes.forEachEntry([&](const cw::zip::CdEntry& e) {
        at.emplace_back(static_cast<long long>(e.localOffset), e.name);
        return true;
    });
    std::sort(at.begin(), at.end());
    at.emplace_back(static_cast<long long>(volumes.location().cdOffset), "");
    useDrive();
    for (size_t pick : {size_t{3}, at.size() - 2}) {
        const std::string name = at[pick].second;
        SCOPED_TRACE(name);
        std::vector<std::string> expected; // the earlier disks the entry touches
        for (size_t d = 0; d + 1 < starts.size(); ++d)
            if (starts[d] < at[pick + 1].first && at[pick].first < starts[d + 1])
                expected.push_back(std::to_string(d + 1));
        insert(shelved(0));
        Recorder::reset();
        answerPrompts();
        ASSERT_EQ(extract(set, name + "|", dest, false), 0);
        EXPECT_EQ(TestEnv::readFile(dest + "/" + cw::zip::baseName(name)),
                  TestEnv::readFile("/" + name));
        EXPECT_EQ(disksAsked(), expected);
        EXPECT_LT(expected.size(), filled.size());
    }
}

TEST_F(ZipSpanTest, ADiskThatNeverComesStopsTheRun) {
    unlink(cw::zip::volumePath(set, 2).c_str());
    EXPECT_LT(extract(set, storedList(), dest, false), 0);
    auto stopped = Recorder::only(255);
    ASSERT_EQ(stopped.size(), 1u);
    EXPECT_EQ(stopped[0].field(3), "2");
    size_t asksForTwo = 0;
    for (const auto& e : Recorder::only(20))
        asksForTwo += e.field(2) == "2";
    EXPECT_EQ(asksForTwo, 3u);
    // What was written is whole; the file that runs onto the missing disk is not there.
    const auto written = filesBelow(dest);
    EXPECT_FALSE(written.empty());
    EXPECT_LT(written.size(), files.size());
    for (const auto& f : written) {
        const auto original = std::find_if(
            files.begin(), files.end(), [&f](const auto& o) { return cw::zip::baseName(o) == f; });
        ASSERT_NE(original, files.end()) << f;
        EXPECT_EQ(TestEnv::readFile(dest + "/" + f), TestEnv::readFile(*original)) << f;
    }
}

TEST_F(ZipSpanTest, EncryptedSpannedSetsRestore) {
    ZipSettings s{list, set};
    s.span = true;
    s.cap = 70000;
    s.password = "k";
    ASSERT_EQ(runZip(s), 0);
    filled = Recorder::only(20);
    useDrive();
    Recorder::reset();
    answerPrompts();
    ASSERT_EQ(extract(set, storedList(), dest, true, "k"), 0);
    for (const auto& f : files)
        EXPECT_EQ(TestEnv::readFile(dest + f), TestEnv::readFile(f));
    EXPECT_EQ(disksAsked(), everyEarlierDisk());

    // One file alone: the other entries' headers are made up, the file itself is read.
    const std::string one = env.makeDir("one");
    insert(shelved(0));
    Recorder::reset();
    answerPrompts();
    ASSERT_EQ(extract(set, files[3].substr(1) + "|", one, false, "k"), 0);
    EXPECT_EQ(TestEnv::readFile(one + "/f3.bin"), TestEnv::readFile(files[3]));
    EXPECT_EQ(filesBelow(one), std::vector<std::string>{"f3.bin"});
    EXPECT_TRUE(Recorder::only(23).empty());
    EXPECT_LT(disksAsked().size(), filled.size());
}

} // namespace
