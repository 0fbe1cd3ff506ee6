#include "common/profile/ProfileFile.h"
#include "common/platform/Files.h"
#include "tests/support/FileFaults.h"
#include "tests/support/TestEnv.h"

#include <chrono>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace cw;
using namespace cw::profile;

namespace {

int write(const std::string& path, const std::string& section,
          const std::vector<std::string>& lines) {
    return WritePrivateProfileSectionA(section.c_str(), makeBodyList(lines).c_str(), path.c_str());
}

std::vector<std::string> lines(const std::string& path, const std::string& section) {
    auto entries = listEntries(readSection(path, section));
    EXPECT_FALSE(entries.empty());
    EXPECT_EQ(entries.back(), "") << "a list always ends with one empty entry";
    entries.pop_back();
    return entries;
}

} // namespace

TEST(ProfileFile, WritesTheLayoutReadersExpect) {
    test::TestEnv env;
    std::string p = env.path(kFileName);
    EXPECT_NE(write(p, "Description", {"Inventory Manager"}), 0);
    EXPECT_NE(write(p, "Application", {"Data", "Reports/Monthly"}), 0);
    EXPECT_NE(write(p, "Windows", {}), 0);
    EXPECT_NE(write(p, "Longfile", {"true"}), 0);
    EXPECT_EQ(test::TestEnv::readFile(p), "[Description]\r\nInventory Manager\r\n"
                                          "[Application]\r\nData\r\nReports/Monthly\r\n"
                                          "[Windows]\r\n[Longfile]\r\ntrue\r\n");

    // Rewriting keeps the first-written order and replaces only that body.
    EXPECT_NE(write(p, "APPLICATION", {"Other"}), 0);
    EXPECT_EQ(test::TestEnv::readFile(p), "[Description]\r\nInventory Manager\r\n"
                                          "[Application]\r\nOther\r\n"
                                          "[Windows]\r\n[Longfile]\r\ntrue\r\n");

    char buf[64];
    std::size_t n = GetPrivateProfileSectionA("LongFile", buf, sizeof buf, p.c_str());
    EXPECT_EQ(n, 5u);
    EXPECT_EQ(std::string(buf, 6), std::string("true\0\0", 6));
    EXPECT_EQ(GetPrivateProfileSectionA("Windows", buf, sizeof buf, p.c_str()), 0u);
    EXPECT_EQ(GetPrivateProfileSectionA("Missing", buf, sizeof buf, p.c_str()), 0u);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_EQ(GetPrivateProfileSectionA("Longfile", buf, sizeof buf, env.path("none").c_str()), 0u);
}

TEST(ProfileFile, ThreeReaderForms) {
    test::TestEnv env;
    std::string p = env.path(kFileName);
    write(p, "Description", {"  Padded Name  "});
    write(p, "Application", {"Data", "Reports/Monthly"});
    write(p, "Windows", {});

    auto d = readSection(p, "description");
    EXPECT_EQ(d.buffer.size(), kReaderBuffer);
    EXPECT_EQ(firstLine(d), "  Padded Name  ");
    std::string whole;
    ASSERT_TRUE(wholeBody(d, whole));
    EXPECT_EQ(whole, "  Padded Name  ");
    EXPECT_FALSE(wholeBody(readSection(p, "Missing"), whole));

    auto a = readSection(p, "Application");
    EXPECT_EQ(firstLine(a), "Data");
    ASSERT_TRUE(wholeBody(a, whole));
    EXPECT_EQ(whole, std::string("Data\0Reports/Monthly", 20));
    EXPECT_EQ(listEntries(a), (std::vector<std::string>{"Data", "Reports/Monthly", ""}));
    EXPECT_EQ(listEntries(readSection(p, "Windows")), std::vector<std::string>{""});
    EXPECT_EQ(listEntries(readSection(p, "Missing")), std::vector<std::string>{""});
    EXPECT_EQ(firstLine(readSection(p, "Missing")), "");
}

TEST(ProfileFile, EmptyLineEndsTheBodyList) {
    test::TestEnv env;
    std::string p = env.path(kFileName);
    EXPECT_NE(write(p, "Application", {"first", "", "lost", "also lost"}), 0);
    EXPECT_EQ(lines(p, "Application"), std::vector<std::string>{"first"});
    EXPECT_TRUE(lineIsStorable(""));
}

TEST(ProfileFile, TruncationLeavesSizeMinusTwo) {
    test::TestEnv env;
    std::string p = env.path(kFileName);
    write(p, "S", {"abcd", "efgh"}); // body list of 10 characters
    char buf[16];
    EXPECT_EQ(GetPrivateProfileSectionA("S", buf, 12, p.c_str()), 10u) << "fits with 2 to spare";
    EXPECT_EQ(GetPrivateProfileSectionA("S", buf, 11, p.c_str()), 9u);
    EXPECT_EQ(std::string(buf, 11), std::string("abcd\0efgh\0\0", 11));
    EXPECT_EQ(GetPrivateProfileSectionA("S", buf, 7, p.c_str()), 5u);
    EXPECT_EQ(std::string(buf, 7), std::string("abcd\0\0\0", 7));
    EXPECT_EQ(GetPrivateProfileSectionA("S", buf, 2, p.c_str()), 0u);
    EXPECT_EQ(GetPrivateProfileSectionA("S", buf, 1, p.c_str()), 0u);
    EXPECT_EQ(GetPrivateProfileSectionA("S", buf, 0, p.c_str()), 0u);
    EXPECT_EQ(GetPrivateProfileSectionA("S", nullptr, 10, p.c_str()), 0u);

    // A body larger than the readers' buffer comes back cut, still a well-formed list.
    std::vector<std::string> many(5000, "0123456789");
    write(p, "Big", many);
    auto r = readSection(p, "Big");
    EXPECT_EQ(r.n, kReaderBuffer - 2);
    auto entries = listEntries(r);
    // 2972 whole lines fit; the fragment of the next one is no entry of its own.
    EXPECT_EQ(entries.size(), 32698u / 11 + 1);
    EXPECT_EQ(entries.back(), "");
    EXPECT_EQ(entries[entries.size() - 2], "0123456789");
    std::string whole;
    ASSERT_TRUE(wholeBody(r, whole));
    EXPECT_EQ(whole.size(), kReaderBuffer - 3);
}

TEST(ProfileFile, ReadersAcceptLfAndToleratedLayout) {
    test::TestEnv env;
    std::string p = env.writeFile(kFileName, "junk before\n[Description]\nLf Only\n\n"
                                             " [ Support ] trailing\r\nhttp://x\r\n\r\n"
                                             "[Last]\r\nno final newline");
    EXPECT_EQ(lines(p, "description"), std::vector<std::string>{"Lf Only"});
    EXPECT_EQ(lines(p, "Support"), std::vector<std::string>{"http://x"});
    EXPECT_EQ(lines(p, "LAST"), std::vector<std::string>{"no final newline"});
    // Writing one section leaves the others as they were.
    EXPECT_NE(write(p, "support", {"555-0100"}), 0);
    EXPECT_EQ(lines(p, "Description"), std::vector<std::string>{"Lf Only"});
    EXPECT_EQ(lines(p, "Support"), std::vector<std::string>{"555-0100"});
    EXPECT_EQ(lines(p, "Last"), std::vector<std::string>{"no final newline"});
    EXPECT_EQ(test::TestEnv::readFile(p).rfind("junk before\r\n", 0), 0u);
}

TEST(ProfileFile, HostileLinesReadBackExactlyAndHarmNoSection) {
    test::TestEnv env;
    std::string p = env.path(kFileName);
    const std::vector<std::string> hostile = {"[Support]",
                                              "  [Startup]",
                                              "\t[x",
                                              "[",
                                              "]",
                                              ";comment",
                                              "; Startup",
                                              "key=value",
                                              "=",
                                              "  padded  ",
                                              " ",
                                              "\\",
                                              "\\[Support]",
                                              "\\\\double",
                                              "Ünïcødé/データ",
                                              "x]y[z",
                                              "\x01\x7f\xff bytes"};
    for (const auto& l : hostile)
        EXPECT_TRUE(lineIsStorable(l)) << l;
    ASSERT_NE(write(p, "Description", {"App"}), 0);
    ASSERT_NE(write(p, "Application", hostile), 0);
    ASSERT_NE(write(p, "Support", {"555-0100"}), 0);
    ASSERT_NE(write(p, "Startup", {"Yes"}), 0);

    EXPECT_EQ(lines(p, "Application"), hostile);
    EXPECT_EQ(lines(p, "Support"), std::vector<std::string>{"555-0100"});
    EXPECT_EQ(lines(p, "Startup"), std::vector<std::string>{"Yes"});
    EXPECT_EQ(lines(p, "Description"), std::vector<std::string>{"App"});
    // Rewriting the hostile section twice changes nothing around it.
    ASSERT_NE(write(p, "Application", hostile), 0);
    EXPECT_EQ(lines(p, "Application"), hostile);
    EXPECT_EQ(lines(p, "Support"), std::vector<std::string>{"555-0100"});

    // Line breaks cannot be stored: the call fails, names why, and leaves the file alone.
    std::string before = test::TestEnv::readFile(p);
    for (std::string bad : {"a\r\n[Support]", "two\nlines", "cr\r"}) {
        EXPECT_FALSE(lineIsStorable(bad));
        EXPECT_EQ(write(p, "Application", {"fine", bad}), 0);
        EXPECT_FALSE(lastError().empty());
        EXPECT_EQ(test::TestEnv::readFile(p), before);
    }
    // Section names that would make another header are refused.
    for (const char* name : {"", "  ", "A]B", "[X", "a\nb"})
        EXPECT_EQ(WritePrivateProfileSectionA(name, makeBodyList({"v"}).c_str(), p.c_str()), 0)
            << name;
    EXPECT_EQ(test::TestEnv::readFile(p), before);
}

TEST(ProfileFile, NullBodyRemovesTheSection) {
    test::TestEnv env;
    std::string p = env.path(kFileName);
    write(p, "A", {"1"});
    write(p, "B", {"2"});
    EXPECT_NE(WritePrivateProfileSectionA("a", nullptr, p.c_str()), 0);
    EXPECT_EQ(test::TestEnv::readFile(p), "[B]\r\n2\r\n");
}

TEST(ProfileFile, CaseInsensitiveNamesBeyondAscii) {
    test::TestEnv env;
    std::string p = env.path(kFileName);
    write(p, "Überblick", {"1"});
    EXPECT_EQ(lines(p, "üBERBLICK"), std::vector<std::string>{"1"});
    write(p, "ÜBERBLICK", {"2"});
    EXPECT_EQ(test::TestEnv::readFile(p), "[Überblick]\r\n2\r\n");
}

TEST(ProfileFile, BinaryGarbageAndHugeFiles) {
    test::TestEnv env;
    std::string garbage;
    for (int i = 0; i < 200000; ++i)
        garbage += static_cast<char>((i * 2654435761u) >> 24);
    std::string p = env.writeFile(kFileName, garbage);
    char buf[100];
    for (const char* s : {"Description", "", "\xff", "["})
        EXPECT_LE(GetPrivateProfileSectionA(s, buf, sizeof buf, p.c_str()), 98u);
    ASSERT_NE(write(p, "Description", {"After garbage"}), 0);
    EXPECT_EQ(lines(p, "Description"), std::vector<std::string>{"After garbage"});

    // 10 MB: one huge section and sections after it stay quick and exact.
    std::string big = "[Description]\r\nBig\r\n[Application]\r\n";
    std::string line(98, 'x');
    while (big.size() < 10'000'000)
        big += line + "\r\n";
    big += "[Startup]\r\nYes\r\n";
    p = env.writeFile(kFileName, big);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(readSection(p, "Application").n, kReaderBuffer - 2);
    EXPECT_EQ(firstLine(readSection(p, "Startup")), "Yes");
    ASSERT_NE(write(p, "Startup", {"No"}), 0);
    EXPECT_EQ(firstLine(readSection(p, "Startup")), "No");
    EXPECT_EQ(firstLine(readSection(p, "Description")), "Big");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

TEST(ProfileFile, FailuresNeverLoseTheOldFile) {
    test::TestEnv env;
    std::string p = env.path(kFileName);
    write(p, "Description", {"Keep"});
    std::string before = test::TestEnv::readFile(p);

    files::injectFault(p, files::Fault::Unreadable);
    EXPECT_EQ(readSection(p, "Description").n, 0u);
    EXPECT_EQ(write(p, "Startup", {"Yes"}), 0) << "cannot merge into what cannot be read";
    files::clearFaults();
    files::injectFault(p, files::Fault::ReadOnly);
    EXPECT_EQ(write(p, "Startup", {"Yes"}), 0);
    files::clearFaults();
    files::injectFault(env.root(), files::Fault::ReadOnly);
    EXPECT_EQ(write(p, "Startup", {"Yes"}), 0);
    files::clearFaults();
    EXPECT_EQ(test::TestEnv::readFile(p), before);

    EXPECT_EQ(write(env.path("no/such/dir/") + kFileName, "A", {"1"}), 0);
    EXPECT_EQ(write(env.makeDir("isdir"), "A", {"1"}), 0);
    std::string fifo = env.path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(readSection(fifo, "A").n, 0u) << "must not block";
    EXPECT_EQ(write(fifo, "A", {"1"}), 0);

    // An existing file keeps its mode; no temporary file stays behind.
    ::chmod(p.c_str(), 0640);
    ASSERT_NE(write(p, "Startup", {"Yes"}), 0);
    struct stat st {};
    ASSERT_EQ(::stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(files::listFiles(env.root(), "*", {true, true, true, true, true}),
              std::vector<std::string>{kFileName});
}
