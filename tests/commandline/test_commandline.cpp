// cwb and cwr on the command line: the built programs, copied into an application folder
// with a profile, run as a scheduled job would run them (no display, no terminal).
#include "common/profile/Profile.h"
#include "tests/support/TestEnv.h"
#include "tests/support/Tree.h"

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using cw::test::TestEnv;

struct Result {
    int code = -1;
    std::string out, err;
};

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        app = env.makeDir("app");
        for (const char* f : {"cwb", "cwr", "libcwzip.so", "libcwunzip.so"})
            fs::copy_file(TestEnv::binDir() + "/" + f, app + "/" + f);
        env.writeFile("app/Data/a.txt", "alpha\n");
        env.writeFile("app/Data/b.bin", cw::test::randomBytes(200000, 7));
        env.makeDir("app/Empty");
        profile.description = "Inventory Manager";
        profile.application = {"Data", "Empty"};
        profile.encryptionAllowed = true;
        profile.longNames = true;
        profile.emptyDirectories = true;
        profile.hiddenFiles = false;
        profile.relativeStructure = true;
        profile.startupPrompt = true;
        profile.customCompression = false;
        profile.compression = cw::profile::Compression::None; // the binaries dominate: be quick
        writeProfile();
        password = env.writeFile("pw", "right horse\n");
        backups = env.makeDir("backups");
    }
    void writeProfile() { ASSERT_TRUE(cw::profile::write(profile, app + "/cwkcon32.dll")); }

    // Runs a program of the application folder as a timer would: no display, no terminal.
    Result run(const std::string& program, const std::vector<std::string>& args) {
        const std::string out = env.path("stdout"), err = env.path("stderr");
        const pid_t pid = ::fork();
        if (pid == 0) {
            for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
                ::unsetenv(v);
            ::dup2(::open("/dev/null", O_RDONLY), 0);
            ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
            ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (const auto& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        Result r;
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        r.out = TestEnv::readFile(out);
        r.err = TestEnv::readFile(err);
        return r;
    }
    Result cwb(const std::vector<std::string>& args) { return run(app + "/cwb", args); }
    Result cwr(const std::vector<std::string>& args) { return run(app + "/cwr", args); }

    // Where a file of the application folder lies below a restore with the structure.
    std::string restored(const std::string& dest, const std::string& rel) const {
        return dest + app + "/" + rel;
    }

    TestEnv env;
    cw::profile::Profile profile;
    std::string app, password, backups;
};

std::size_t countOf(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// The set's files: the two data files, the profile, the two programs and the two libraries.
constexpr std::size_t kFilesInSet = 7;

TEST_F(CommandLineTest, ABackupListsTestsAndRestoresWithoutADisplay) {
    Result r = cwb({"--to", backups, "--name", "Nightly", "--password-file", password});
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("Inventory Manager was backed up succesfully."), std::string::npos);
    EXPECT_NE(r.err.find("note: INVENTORY MANAGER must be closed"), std::string::npos) << r.err;
    EXPECT_EQ(countOf(r.out, "Compressing file : "), kFilesInSet) << "one line per file";
    const std::string set = backups + "/Nightly.bks";

    r = cwr({"--list", set});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find(app.substr(1) + "/Data/a.txt\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(app.substr(1) + "/Empty/\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("ENCRYPTED Files in Backup Set - [7]"), std::string::npos) << r.out;

    r = cwr({"--test", set, "--password-file", password});
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_EQ(countOf(r.out, "Testing "), kFilesInSet);

    const std::string dest = env.makeDir("restored");
    r = cwr({"--restore", set, "--to", dest, "--structure", "--password-file", password});
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("Restore Completed Succesfully."), std::string::npos);
    for (const char* f : {"Data/a.txt", "Data/b.bin", "cwkcon32.dll", "cwb", "libcwunzip.so"})
        EXPECT_EQ(TestEnv::readFile(restored(dest, f)), TestEnv::readFile(app + "/" + f)) << f;
    EXPECT_TRUE(fs::is_directory(restored(dest, "Empty")));

    // Again over the restored files: with no terminal to ask on, they are kept; --replace all
    // replaces them, and what it replaced is in the user's trash.
    env.writeFile(restored(dest, "Data/a.txt").substr(env.root().size() + 1), "changed\n");
    r = cwr({"--restore", set, "--to", dest, "--structure", "--password-file", password});
    EXPECT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_EQ(countOf(r.out, "Skipped "), kFilesInSet);
    EXPECT_EQ(TestEnv::readFile(restored(dest, "Data/a.txt")), "changed\n");
    r = cwr({"--restore", set, "--to", dest, "--structure", "--replace", "all", "--password-file",
             password});
    EXPECT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_EQ(TestEnv::readFile(restored(dest, "Data/a.txt")), "alpha\n");
    EXPECT_EQ(TestEnv::readFile(env.dataHome() + "/Trash/files/a.txt"), "changed\n");
    EXPECT_TRUE(fs::exists(env.dataHome() + "/Trash/info/a.txt.trashinfo"));
}

TEST_F(CommandLineTest, ExitStatusTellsBadUsageFromFailedFiles) {
    // A plain set to list and test, and a copy with one byte of an entry's data flipped.
    profile.encryptionAllowed = false;
    writeProfile();
    const std::string good = env.makeDir("good");
    ASSERT_EQ(cwb({"--to", good, "--name", "Plain"}).code, 0);
    std::string bytes = TestEnv::readFile(good + "/Plain.bks");
    bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x01);
    const std::string damaged = env.writeFile("damaged/Plain.bks", bytes);

    struct Row {
        const char* what;
        std::function<void()> arrange;
        std::function<Result()> act;
        int code;
        const char* says; // in standard error
        std::function<void()> check = [] {};
    };
    const std::string old = backups + "/nightly.bks";
    const auto oldSet = [&] { env.writeFile("backups/nightly.bks", "the old set"); };
    const auto onlyOldSet = [&] {
        EXPECT_EQ(cw::test::filesBelow(backups), std::vector<std::string>{"nightly.bks"});
        EXPECT_EQ(TestEnv::readFile(old), "the old set");
    };
    const std::vector<Row> rows = {
        {"an unknown option", [] {},
         [&] {
             return cwb({"--to", backups, "--fast"});
         },
         2, "unknown option '--fast'"},
        {"no name", [] {},
         [&] {
             return cwb({"--to", backups});
         },
         2, "--name is required"},
        {"two modes", [] {},
         [&] {
             return cwr({"--list", damaged, "--test", damaged});
         },
         2, "give one of --list, --test or --restore"},
        {"a level the profile fixes", [] {},
         [&] {
             return cwb({"--to", backups, "--name", "N", "--level", "maximum"});
         },
         2, "--level: the profile does not let users change",
         [&] { EXPECT_TRUE(cw::test::filesBelow(backups).empty()); }},
        {"a password the profile forbids", [] {},
         [&] {
             return cwb({"--to", backups, "--name", "N", "--password-file", password});
         },
         2, "--password-file: the profile does not allow",
         [&] { EXPECT_TRUE(cw::test::filesBelow(backups).empty()); }},
        {"an existing set without --replace-set", oldSet,
         [&] {
             return cwb({"--to", backups, "--name", "Nightly"});
         },
         2, "--replace-set", onlyOldSet},
        {"an existing set with --replace-set", [] {},
         [&] {
             return cwb({"--to", backups, "--name", "Nightly", "--replace-set"});
         },
         0, "",
         [&] {
             EXPECT_EQ(cw::test::filesBelow(backups), std::vector<std::string>{"Nightly.bks"});
         }},
        {"a damaged set tested", [] {},
         [&] {
             return cwr({"--test", damaged});
         },
         1, "Warning during process on file  "},
        {"a restore into no folder", [] {},
         [&] {
             return cwr({"--restore", good + "/Plain.bks", "--to", env.path("none")});
         },
         2, "--to: "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        row.arrange();
        const Result r = row.act();
        EXPECT_EQ(r.code, row.code) << r.out << r.err;
        EXPECT_NE(r.err.find(row.says), std::string::npos) << r.err;
        row.check();
    }
}

// The options --help names, and the options a man page's OPTIONS section describes.
std::set<std::string> helpOptions(const std::string& help) {
    std::set<std::string> out;
    const std::regex option("--([a-z][a-z-]*)");
    for (std::sregex_iterator it(help.begin(), help.end(), option), end; it != end; ++it)
        out.insert((*it)[1]);
    return out;
}

std::set<std::string> manOptions(const std::string& page) {
    std::set<std::string> out;
    const auto from = page.find("\n.SH OPTIONS\n"), to = page.find("\n.SH ", from + 1);
    const std::string section = page.substr(from, to - from);
    const std::regex item("\n\\.TP\n\\.BI? \\\\-\\\\-([a-z\\\\-]+)");
    for (std::sregex_iterator it(section.begin(), section.end(), item), end; it != end; ++it)
        out.insert(std::regex_replace((*it)[1].str(), std::regex("\\\\-"), "-"));
    return out;
}

TEST_F(CommandLineTest, EachManPageDescribesTheOptionsOfItsHelp) {
    fs::copy_file(TestEnv::binDir() + "/cwkit", app + "/cwkit");
    const std::string version = std::to_string(CW_VERSION_MAJOR) + "." +
                                std::to_string(CW_VERSION_MINOR) + "." +
                                std::to_string(CW_VERSION_BUILD);
    for (const std::string program : {"cwkit", "cwb", "cwr"}) {
        SCOPED_TRACE(program);
        const Result help = run(app + "/" + program, {"--help"});
        EXPECT_EQ(help.code, 0);
        EXPECT_EQ(help.out.rfind("Usage: " + program, 0), 0u) << help.out;
        const std::string page =
            TestEnv::readFile(std::string(CW_SOURCE_DIR) + "/packaging/man/" + program + ".1");
        const auto fromHelp = helpOptions(help.out);
        EXPECT_GE(fromHelp.size(), 2u);
        EXPECT_EQ(manOptions(page), fromHelp);
        EXPECT_EQ(run(app + "/" + program, {"--version"}).out,
                  program + " (Caskwell) " + version + "\n");
    }
}

TEST(PackageMetadata, TheAppStreamRecordValidatesAndNamesTheDesktopEntry) {
    if (std::system("command -v appstreamcli >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "appstreamcli is not installed (scripts/install-deps installs it)";
    const std::string file = CW_METAINFO;
    EXPECT_EQ(std::system(("appstreamcli validate --no-net --pedantic '" + file + "' >&2").c_str()),
              0);
    EXPECT_NE(TestEnv::readFile(file).find(
                  "<launchable type=\"desktop-id\">caskwell-cwkit.desktop</launchable>"),
              std::string::npos);
    EXPECT_TRUE(fs::exists(std::string(CW_SOURCE_DIR) + "/packaging/caskwell-cwkit.desktop"));
}

} // namespace
