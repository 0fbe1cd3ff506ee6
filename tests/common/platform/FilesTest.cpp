#include "common/platform/Files.h"
#include "common/platform/Errors.h"
#include "tests/support/FileFaults.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace cw;
using files::Fault;

namespace {

int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const PlatformError& e) {
        return e.number();
    }
    return 0;
}

} // namespace

TEST(Files, PatternsIgnoreCaseAndAcceptLists) {
    EXPECT_TRUE(files::matchesPattern("SET1.BKS", "*.bks"));
    EXPECT_TRUE(files::matchesPattern("set1.bks", "*.BKS"));
    EXPECT_TRUE(files::matchesPattern("README", "*.*"));
    EXPECT_TRUE(files::matchesPattern("a.txt", "*.doc; *.txt"));
    EXPECT_TRUE(files::matchesPattern("ab", "a?"));
    EXPECT_FALSE(files::matchesPattern("abc", "a?"));
    EXPECT_FALSE(files::matchesPattern("a.bks.old", "*.bks"));
    EXPECT_TRUE(files::matchesPattern("anything", ""));
    EXPECT_TRUE(files::matchesPattern("ÄRGER.txt", "ärger.*"));
    // Many stars against a long non-matching name must stay quick.
    EXPECT_FALSE(files::matchesPattern(std::string(5000, 'a'), "*a*a*a*a*a*a*a*a*b"));
}

TEST(Files, ListingsFilterHiddenAndSystemEntriesAndSort) {
    test::TestEnv env;
    std::string d = env.makeDir("d");
    for (auto n : {"b.txt", "A.txt", "a.txt", "c.dat", ".hidden.txt"})
        env.writeFile(std::string("d/") + n, "x");
    env.makeDir("d/Sub");
    env.makeDir("d/another");
    env.makeDir("d/.git");
    ASSERT_EQ(::mkfifo((d + "/fifo.txt").c_str(), 0600), 0);
    ::symlink("b.txt", (d + "/link.txt").c_str());

    EXPECT_EQ(files::listFiles(d, "*.txt"),
              (std::vector<std::string>{"A.txt", "a.txt", "b.txt", "link.txt"}));
    files::AttrFilter withHidden;
    withHidden.hidden = true;
    EXPECT_EQ(files::listFiles(d, "*.txt", withHidden),
              (std::vector<std::string>{".hidden.txt", "A.txt", "a.txt", "b.txt", "link.txt"}));
    files::AttrFilter onlyHidden{false, false, false, true, false};
    EXPECT_EQ(files::listFiles(d, "*.*", onlyHidden), (std::vector<std::string>{".hidden.txt"}));

    EXPECT_EQ(files::listDirectories(d), (std::vector<std::string>{"another", "Sub"}));
    EXPECT_EQ(files::listDirectories(d, true),
              (std::vector<std::string>{".git", "another", "Sub"}));

    EXPECT_EQ(errorOf([&] { files::listFiles(env.path("missing"), "*.*"); }), kErrPathNotFound);
    files::injectFault(d, Fault::Unreadable);
    EXPECT_EQ(errorOf([&] { files::listDirectories(d); }), kErrPathNotFound);
    EXPECT_FALSE(files::isReadable(d));
}

TEST(Files, AttributeTests) {
    test::TestEnv env;
    std::string f = env.writeFile("f.txt", "12345");
    std::string h = env.writeFile(".h", "");
    std::string fifo = env.path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(files::isOrdinaryFile(f));
    EXPECT_FALSE(files::isOrdinaryFile(h));
    EXPECT_FALSE(files::isOrdinaryFile(fifo));
    EXPECT_FALSE(files::isOrdinaryFile(env.root()));
    EXPECT_TRUE(files::existsAsFileOrDirectory(env.root()));
    EXPECT_TRUE(files::existsAsFileOrDirectory(f));
    EXPECT_FALSE(files::existsAsFileOrDirectory(fifo));
    EXPECT_TRUE(files::isReadable(fifo)) << "answers without waiting for a writer";
    EXPECT_FALSE(files::existsAsFileOrDirectory(h));
    EXPECT_FALSE(files::existsAsFileOrDirectory(env.path("none")));
    EXPECT_EQ(files::fileLength(f), 5);
    EXPECT_EQ(files::fileLength(env.path("none")), -1);
}

TEST(Files, MakeDirectoryTellsErrorsApart) {
    test::TestEnv env;
    std::string d = env.path("new");
    EXPECT_NO_THROW(files::makeDirectory(d));
    EXPECT_TRUE(files::isDirectory(d));
    EXPECT_EQ(errorOf([&] { files::makeDirectory(d); }), kErrPathFileAccess);
    EXPECT_EQ(errorOf([&] { files::makeDirectory(env.writeFile("plain", "")); }),
              kErrPathFileAccess);
    EXPECT_EQ(errorOf([&] { files::makeDirectory(env.path("no/such/dir")); }), kErrPathNotFound);
    files::injectFault(env.root() + "/", Fault::ReadOnly);
    EXPECT_EQ(errorOf([&] { files::makeDirectory(env.path("other")); }), kErrFileIo);
    EXPECT_FALSE(files::isDirectory(env.path("other")));
}

TEST(Files, RemoveHonoursFaults) {
    test::TestEnv env;
    std::string f = env.writeFile("f", "x");
    files::injectFault(f, Fault::Undeletable);
    EXPECT_FALSE(files::removeFile(f));
    EXPECT_TRUE(files::isOrdinaryFile(f));
    files::clearFaults();
    EXPECT_TRUE(files::removeFile(f));
    EXPECT_FALSE(files::removeFile(f));
    EXPECT_FALSE(files::removeFile(env.makeDir("dir")));
    EXPECT_TRUE(files::isDirectory(env.path("dir")));
}

TEST(Files, CopyReplacesWholeOrNotAtAll) {
    test::TestEnv env;
    std::string big(300000, 'z');
    std::string src = env.writeFile("src.bin", big);
    ::chmod(src.c_str(), 0750);
    std::string dst = env.writeFile("out/dst.bin", "old content");
    files::copyFile(src, dst);
    EXPECT_EQ(test::TestEnv::readFile(dst), big);
    struct stat st {};
    ASSERT_EQ(::stat(dst.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0750u);

    EXPECT_EQ(errorOf([&] { files::copyFile(env.path("missing"), dst); }), kErrPathNotFound);
    EXPECT_EQ(errorOf([&] { files::copyFile(src, env.path("nodir/x")); }), kErrFileIo);

    std::string kept = env.writeFile("out/kept", "keep me");
    files::injectFault(src, Fault::Unreadable);
    EXPECT_EQ(errorOf([&] { files::copyFile(src, kept); }), kErrFileIo);
    files::clearFaults();
    files::injectFault(env.path("out"), Fault::ReadOnly);
    EXPECT_EQ(errorOf([&] { files::copyFile(src, kept); }), kErrFileIo);
    EXPECT_EQ(test::TestEnv::readFile(kept), "keep me");
    EXPECT_FALSE(files::isWritableDirectory(env.path("out")));
    files::clearFaults();
    // No temporary file is left behind in the target folder.
    EXPECT_EQ(files::listFiles(env.path("out"), "*", {true, true, true, true, true}),
              (std::vector<std::string>{"dst.bin", "kept"}));
}
