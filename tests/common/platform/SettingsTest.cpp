#include "common/platform/Settings.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace cw;

namespace {
const std::string kApp = "Caskwell DDK";
}

TEST(Settings, StoreLivesInTheSystemDirectoryAndIsPrivate) {
    test::TestEnv env;
    EXPECT_EQ(settings::storePath(kApp), env.config() + "/Caskwell/Caskwell DDK.conf");
    EXPECT_EQ(settings::get(kApp, "Options", "Show Tips at Startup", "1"), "1");
    EXPECT_EQ(settings::get(kApp, "Config", "Compression"), "");

    ASSERT_TRUE(settings::save(kApp, "Options", "Show Tips at Startup", "0"));
    ASSERT_TRUE(settings::save(kApp, "Config", "Compression", "3"));
    ASSERT_TRUE(settings::save(kApp, "Config", "Compression", "4"));
    EXPECT_EQ(settings::get(kApp, "Options", "Show Tips at Startup", "1"), "0");
    EXPECT_EQ(settings::get(kApp, "Config", "Compression"), "4");
    EXPECT_EQ(settings::get(kApp, "Options", "Compression", "none"), "none") << "groups apart";

    struct stat st {};
    ASSERT_EQ(::stat(settings::storePath(kApp).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(Settings, ValuesRoundTripVerbatim) {
    test::TestEnv env;
    for (std::string v : {"a, b", " padded ", "x=y;z", "@Variant(0)", "[Section]", "ünïcode",
                          "\"q\"", "back\\slash", ""}) {
        ASSERT_TRUE(settings::save(kApp, "Config", "Key With Blanks", v));
        EXPECT_EQ(settings::get(kApp, "Config", "Key With Blanks", "def"), v);
    }
}

TEST(Settings, FileThatIsNotIniGivesDefaultsAndIsRepairedBySaving) {
    test::TestEnv env;
    std::string garbage("\x01\x02[[[=\n\xff\xfe=]]\n\0\0[Options\nShow Tips=9\n", 36);
    env.writeFile("home/.config/Caskwell/Caskwell DDK.conf", garbage);
    EXPECT_EQ(settings::get(kApp, "Options", "Show Tips at Startup", "1"), "1");
    EXPECT_EQ(settings::get(kApp, "Config", "Compression"), "");
    ASSERT_TRUE(settings::save(kApp, "Config", "Compression", "1"));
    EXPECT_EQ(settings::get(kApp, "Config", "Compression"), "1");
    EXPECT_EQ(settings::get(kApp, "Options", "Show Tips at Startup", "1"), "1");
    ASSERT_TRUE(settings::save(kApp, "Options", "Show Tips at Startup", "0"));
    EXPECT_EQ(settings::get(kApp, "Options", "Show Tips at Startup", "1"), "0");
    EXPECT_EQ(settings::get(kApp, "Config", "Compression"), "1");
}

TEST(Settings, MissingFoldersAreCreatedPrivate) {
    test::TestEnv env;
    ::setenv("XDG_CONFIG_HOME", env.path("fresh/conf").c_str(), 1);
    ASSERT_TRUE(settings::save(kApp, "Config", "ChangeComp", "1"));
    EXPECT_EQ(settings::get(kApp, "Config", "ChangeComp"), "1");
    struct stat st {};
    ASSERT_EQ(::stat(env.path("fresh/conf/Caskwell").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // A store that cannot be created reports it.
    env.writeFile("blocked", "a file, not a folder");
    ::setenv("XDG_CONFIG_HOME", env.path("blocked").c_str(), 1);
    EXPECT_FALSE(settings::save(kApp, "Config", "ChangeComp", "1"));
    EXPECT_EQ(settings::get(kApp, "Config", "ChangeComp", "def"), "def");
}
