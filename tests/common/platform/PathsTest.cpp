#include "common/platform/FilePaths.h"
#include "common/platform/QtRuntime.h"
#include "common/platform/SharedLibrary.h"
#include "tests/support/TestEnv.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using namespace cw;

TEST(Paths, JoinAndSplit) {
    EXPECT_EQ(paths::join("/a", "b"), "/a/b");
    EXPECT_EQ(paths::join("/a/", "b"), "/a/b");
    EXPECT_EQ(paths::join("/", "b"), "/b");
    EXPECT_EQ(paths::withTrailingSep("/a"), "/a/");
    EXPECT_EQ(paths::withTrailingSep("/a/"), "/a/");
    EXPECT_TRUE(paths::isRoot("/"));
    EXPECT_FALSE(paths::isRoot("/home"));
    EXPECT_FALSE(paths::isRoot(""));
    EXPECT_EQ(paths::fileName("/a/b.txt"), "b.txt");
    EXPECT_EQ(paths::fileName("/a/dir/"), "dir");
    EXPECT_EQ(paths::fileName("/"), "");
    EXPECT_EQ(paths::parent("/a/b/c"), "/a/b");
    EXPECT_EQ(paths::parent("/a"), "/");
    EXPECT_EQ(paths::parent("/"), "/");
    EXPECT_EQ(paths::parent("/a/b/"), "/a");
    EXPECT_EQ(paths::parent("name"), "");
}

TEST(Paths, WindowsAndSystemDirectoriesFollowTheEnvironment) {
    test::TestEnv env;
    EXPECT_EQ(paths::windowsDirectory(), env.home());
    EXPECT_EQ(paths::systemDirectory(), env.config());

    ::setenv("HOME", (env.home() + "/").c_str(), 1);
    EXPECT_EQ(paths::windowsDirectory(), env.home()) << "no trailing separator";

    // A relative XDG_CONFIG_HOME is ignored, as the base directory rules say.
    ::setenv("XDG_CONFIG_HOME", "relative/conf", 1);
    EXPECT_EQ(paths::systemDirectory(), env.home() + "/.config");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(paths::systemDirectory(), env.home() + "/.config");

    // Without HOME the password database still names a home.
    ::unsetenv("HOME");
    std::string fromPasswd = paths::windowsDirectory();
    EXPECT_FALSE(fromPasswd.empty());
    EXPECT_EQ(fromPasswd[0], '/');
}

TEST(Paths, RuntimeAndExecutableDirectories) {
    namespace fs = std::filesystem;
    std::string rt = paths::runtimeLibraryDirectory();
    EXPECT_TRUE(fs::exists(fs::path(rt) / paths::kRuntimeLibrary)) << rt;
    EXPECT_TRUE(fs::exists(fs::path(rt) / paths::kSecondRuntimeFile)) << rt;
    EXPECT_EQ(paths::executableDirectory(), fs::canonical("/proc/self/exe").parent_path().string());
}

TEST(SharedLibrary, MissingFileAndMissingOperationGiveMessages) {
    test::TestEnv env;
    SharedLibrary none(env.path("libnothing.so"));
    EXPECT_FALSE(none.load());
    EXPECT_NE(none.error().find("libnothing.so"), std::string::npos);
    EXPECT_EQ(none.symbol("anything"), nullptr);

    SharedLibrary garbage(env.writeFile("libgarbage.so", "not a library"));
    EXPECT_FALSE(garbage.load());
    EXPECT_FALSE(garbage.isLoaded());

    SharedLibrary rt(paths::join(paths::runtimeLibraryDirectory(), paths::kSecondRuntimeFile));
    ASSERT_TRUE(rt.load()) << rt.error();
    EXPECT_NE(rt.symbol("_Unwind_Resume"), nullptr);
    EXPECT_EQ(rt.symbol("cwNoSuchOperation"), nullptr);
    EXPECT_NE(rt.error().find("cwNoSuchOperation"), std::string::npos);
}

TEST(QtRuntime, TheTestsRunOnTheSystemsQtAndARequestedPlatformKeepsOnlyPluginsThatAreThere) {
    // The system's Qt keeps its plugins elsewhere: nothing is redirected for it.
    const std::string qt = runtime::qtLibraryDirectory();
    ASSERT_FALSE(qt.empty());
    EXPECT_TRUE(std::filesystem::exists(qt + "/libQt6Core.so.6")) << qt;
    EXPECT_FALSE(std::filesystem::exists(qt + "/plugins/platforms")) << qt;

    const auto onlyXcb = [](const std::string& name) { return name == "xcb"; };
    const struct {
        const char* requested;
        const char* kept;
    } rows[] = {
        {"xcb", "xcb"},
        {"wayland;xcb", "xcb"},               // a Wayland session falls back to XWayland
        {"wayland", ""},                      // nothing left: Qt chooses, and finds xcb
        {"xcb:nograb;wayland", "xcb:nograb"}, // options stay with their platform
        {"offscreen;;eglfs", ""},
        {"", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(runtime::availablePlatforms(row.requested, onlyXcb), row.kept) << row.requested;
}
