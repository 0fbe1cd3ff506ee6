// The pieces both libraries share: 8.3 names, include lists, and the judgement of names.
#include "zip/common/IncludeList.h"
#include "zip/common/Paths.h"
#include "zip/common/ShortNames.h"

#include "tests/support/TestEnv.h"
#include "tests/zip/ZipTestKit.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

using namespace cw::zip;

TEST(ZipShortNames, FollowTheClassicRules) {
    EXPECT_EQ(shortName("a.txt", 0), "A.TXT");
    EXPECT_EQ(shortName("Long File Name.text", 0), "LONGFI~1.TEX");
    EXPECT_EQ(shortName(".hidden.cfg", 0), "HIDDEN.CFG");
    EXPECT_EQ(shortName("my file.txt", 0), "MYFILE.TXT");
    EXPECT_EQ(shortName("a.b.c.txt", 0), "ABC.TXT");
    EXPECT_EQ(shortName("price+tax=1.doc", 0), "PRICE_~1.DOC");
    EXPECT_EQ(shortName("Größe.txt", 0), "GR__E.TXT");
    EXPECT_EQ(shortName(".profile", 0), "PROFILE");
    EXPECT_EQ(shortName("verylongname.txt", 10), "VERYL~10.TXT");
}

TEST(ZipShortNames, CollisionsInOneDirectoryAreNumbered) {
    ShortNamer n;
    EXPECT_EQ(n.path({"Program Files", "Long File Name.text"}), "PROGRA~1/LONGFI~1.TEX");
    EXPECT_EQ(n.path({"Program Files", "Long File Nomad.text"}), "PROGRA~1/LONGFI~2.TEX");
    EXPECT_EQ(n.path({"Program Files", "Long File Name.text"}), "PROGRA~1/LONGFI~1.TEX");
    EXPECT_EQ(n.path({"Program Filters", "Long File Name.text"}), "PROGRA~2/LONGFI~1.TEX");
    EXPECT_EQ(n.path({"x", "a.txt"}), "X/A.TXT");
    EXPECT_EQ(n.path({"x", "A.TXT"}), "X/A~1.TXT");
    for (int i = 0; i < 12; ++i)
        n.path({"y", "Another long name " + std::to_string(i) + ".txt"});
    EXPECT_EQ(n.path({"y", "Another long name 11.txt"}), "Y/ANOTH~12.TXT");
}

TEST(ZipIncludeLists, SplitAtBars) {
    EXPECT_EQ(splitIncludeList("A|B|"), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(splitIncludeList("A|B"), (std::vector<std::string>{"A", "B"}));
    EXPECT_TRUE(splitIncludeList("").empty());
    EXPECT_EQ(splitIncludeList("||a b ||"), std::vector<std::string>{"a b "});
}

TEST(ZipEntryNames, OnlyNamesBelowTheDestinationAreSafe) {
    std::vector<std::string> parts;
    EXPECT_TRUE(safeEntryParts("a/./b//c.txt", parts));
    EXPECT_EQ(parts, (std::vector<std::string>{"a", "b", "c.txt"}));
    EXPECT_TRUE(safeEntryParts("dir/", parts));
    for (const char* bad :
         {"", "/", "/etc/passwd", "../x", "a/../../x", "a\\..\\..\\x", "C:\\x", "c:x", "./.."})
        EXPECT_FALSE(safeEntryParts(bad, parts)) << bad;
    EXPECT_FALSE(safeEntryParts(std::string("a\0b", 3), parts));
}

TEST(ZipPaths, AbsolutePathsAreLexical) {
    EXPECT_EQ(absolutePath("/a/b/../c/./d"), "/a/c/d");
    EXPECT_EQ(absolutePath("/../.."), "/");
    EXPECT_EQ(absolutePath("//x//y/"), "/x/y");
}

// The programs load the libraries by path from their own folder, wherever that is, and
// reach only the C interface.
TEST(ZipLibraries, LoadFromAnyFolderAndExportOnlyTheirInterface) {
    cw::test::TestEnv env;
    for (const char* lib : {"libcwzip.so", "libcwunzip.so"}) {
        const std::string from = std::string(CW_BIN_DIR) + "/" + lib;
        const std::string to = env.path(lib);
        ASSERT_EQ(cw::test::shell("cp '" + from + "' '" + to + "'"), 0);
        void* h = dlopen(to.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(h, nullptr) << dlerror();
        const bool zip = std::string(lib) == "libcwzip.so";
        EXPECT_NE(dlsym(h, zip ? "cwZip_TestVolumeLimit" : "cwUnzip_View"), nullptr);
        EXPECT_NE(dlsym(h, zip ? "cwZip" : "cwUnzip"), nullptr);
        dlclose(h);
        EXPECT_EQ(cw::test::shell("nm -D --defined-only '" + to +
                                  "' | grep -v -E ' (cwZip|cwUnzip)' | grep -q ."),
                  1)
            << lib << " exports more than its interface";
    }
}
