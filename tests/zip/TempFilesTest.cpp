// Runs that die: a backup killed part-way leaves the older set as it was, a restore killed
// part-way leaves every file it was replacing whole, and the next run finds no temporary of
// a dead run left behind. Temporaries of a live writer stay.
#include "ZipTestKit.h"

#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace cw::test;

namespace {

std::vector<std::string> temporariesIn(const std::string& dir) {
    std::vector<std::string> found;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (std::string(e->d_name).find(".cwtmp") != std::string::npos)
                found.push_back(e->d_name);
        closedir(d);
    }
    return found;
}

// Runs work in a child process that kills itself at the n-th event of kind action.
void killedAt(const std::function<void()>& work, int action, int n) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        int seen = 0;
        Recorder::onEvent = [&](const Event& e) {
            if (e.action == action && ++seen == n)
                raise(SIGKILL);
        };
        work();
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        << "the run ended before the point it was to be killed at";
}

struct KillPoint {
    int action, n;
    bool span;
};

class KilledBackup : public ::testing::TestWithParam<KillPoint> {};

TEST_P(KilledBackup, LeavesTheOlderSetAndNothingAfterTheNextRun) {
    TestEnv env;
    Recorder::reset();
    std::string list;
    for (int i = 0; i < 6; ++i)
        list += env.writeFile("app/f" + std::to_string(i), randomBytes(300000, 7 + i)) + "|";
    const std::string dest = env.makeDir("dest");
    ZipSettings s{list, dest + "/Set.bks"};
    s.span = GetParam().span;
    s.cap = GetParam().span ? 400000 : 0;
    ASSERT_EQ(runZip(s), 0);
    const std::string older = TestEnv::readFile(s.set);

    killedAt([&] { runZip(s); }, GetParam().action, GetParam().n);
    EXPECT_EQ(TestEnv::readFile(s.set), older);

    Recorder::reset();
    ASSERT_EQ(runZip(s), 0);
    EXPECT_EQ(temporariesIn(dest), std::vector<std::string>{});
    EXPECT_EQ(listSet(s.set).size(), 6u);
}

INSTANTIATE_TEST_SUITE_P(Points, KilledBackup,
                         ::testing::Values(KillPoint{12, 1, false}, KillPoint{13, 3, false},
                                           KillPoint{13, 6, false}, KillPoint{20, 2, true}));

class KilledRestore : public ::testing::TestWithParam<int> {};

TEST_P(KilledRestore, LeavesEveryReplacedFileWholeAndNothingAfterTheNextRun) {
    TestEnv env;
    Recorder::reset();
    std::string list, include;
    std::vector<std::string> files;
    for (int i = 0; i < 8; ++i) {
        files.push_back(env.writeFile("app/f" + std::to_string(i), randomBytes(2000000, 40 + i)));
        list += files.back() + "|";
        include += files.back().substr(1) + "|";
    }
    ZipSettings s{list, env.path("Set.bks")};
    s.level = 0;
    ASSERT_EQ(runZip(s), 0);
    const std::string dest = env.makeDir("dest");
    for (const auto& f : files)
        env.writeFile("dest/" + f.substr(f.rfind('/') + 1), "older");

    // Replace All, killed as the n-th file is about to be written: the workers have
    // temporaries in flight.
    Recorder::answers = {1};
    killedAt([&] { extract(s.set, include, dest, false); }, 15, GetParam());
    for (const auto& f : files) {
        const std::string now = TestEnv::readFile(dest + f.substr(f.rfind('/')));
        EXPECT_TRUE(now == "older" || now == TestEnv::readFile(f)) << f;
    }

    Recorder::reset();
    Recorder::answers = {1};
    ASSERT_EQ(extract(s.set, include, dest, false), 0);
    EXPECT_EQ(temporariesIn(dest), std::vector<std::string>{});
    for (const auto& f : files)
        EXPECT_EQ(TestEnv::readFile(dest + f.substr(f.rfind('/'))), TestEnv::readFile(f));
}

INSTANTIATE_TEST_SUITE_P(Points, KilledRestore, ::testing::Values(1, 4));

TEST(StaleTemporaries, OnlyThoseOfDeadRunsOfTheSameSetAreRemoved) {
    TestEnv env;
    Recorder::reset();
    const std::string dest = env.makeDir("dest");
    const std::string dead = env.writeFile("dest/.Set.cwtmpAbc123", "left by a killed run");
    const std::string live = env.writeFile("dest/.Set.cwtmpXyz789", "a run still writing");
    const std::string other = env.writeFile("dest/.Other.cwtmpQrs456", "another set's");
    int held = open(live.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX), 0);

    ZipSettings s{env.writeFile("app/a.txt", "alpha") + "|", dest + "/Set.bks"};
    ASSERT_EQ(runZip(s), 0);
    close(held);

    EXPECT_NE(access(dead.c_str(), F_OK), 0);
    EXPECT_EQ(access(live.c_str(), F_OK), 0);
    EXPECT_EQ(access(other.c_str(), F_OK), 0);
}

} // namespace
