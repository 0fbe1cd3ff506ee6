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

TEST(Settings, FileThatIsNotIniIsNeitherTrustedNorDestroyed) {
    test::TestEnv env;
    std::string garbage("\x01\x02[[[=\n\xff\xfe=]]\n[Config\nCompression=9\n", 34);
    env.writeFile("home/.config/Caskwell/Caskwell DDK.conf", garbage);
    std::string got = settings::get(kApp, "Config", "Compression", "def");
    (void)got; // whatever a lenient read finds, it must not crash
    settings::save(kApp, "Config", "Compression", "1");
    // Either the store was rewritten as a sound INI file or it was left untouched.
    std::string after = test::TestEnv::readFile(settings::storePath(kApp));
    if (after != garbage) {
        EXPECT_EQ(settings::get(kApp, "Config", "Compression"), "1");
    }
}
